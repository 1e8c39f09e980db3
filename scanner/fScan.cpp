#include "scanner/fScan.h"

#include "components/CDKPathE.h"
#include "components/CDKShape.h"
#include "components/XDKSteps.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/About.h"
#include "scanner/DocumentFile.h"
#include "scanner/Glyphs.h"

#include "ui_fScan.h"

#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTabWidget>

#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TfrmProjects* frmProjects = nullptr;

namespace {
// The kinds of file searched for, in the order of the result's groups.
constexpr std::array<std::string_view, 3> Extensions{".mak", ".vbp", ".mdb"};
constexpr int NoGroup = -1;
constexpr int ItemHeight = 13;

/// The group whose extension Name ends with, compared without regard to ASCII case.
int GroupOf(std::string_view Name) {
    if (Name.size() < 4)
        return NoGroup;
    const std::string_view Tail = Name.substr(Name.size() - 4);
    for (std::size_t G = 0; G < Extensions.size(); ++G)
        if (std::equal(Tail.begin(), Tail.end(), Extensions[G].begin(), [](char A, char B) {
                return (A >= 'A' && A <= 'Z' ? static_cast<char>(A - 'A' + 'a') : A) == B;
            }))
            return static_cast<int>(G);
    return NoGroup;
}

/// Whether the entry is a folder, or a symbolic link to one. The entry's type from the listing
/// saves a stat call for everything but links and file systems that do not report types.
bool IsFolder(int Folder, const dirent& Entry) {
    if (Entry.d_type != DT_LNK && Entry.d_type != DT_UNKNOWN)
        return Entry.d_type == DT_DIR;
    struct stat St;
    return ::fstatat(Folder, Entry.d_name, &St, 0) == 0 && S_ISDIR(St.st_mode);
}

struct TFolderId {
    dev_t Device;
    ino_t Inode;
    bool operator==(const TFolderId&) const = default;
};
struct TFolderIdHash {
    std::size_t operator()(const TFolderId& Id) const noexcept {
        return std::hash<ino_t>()(Id.Inode) * 31 + std::hash<dev_t>()(Id.Device);
    }
};

/// An entry of one folder worth keeping: a match, a folder to search, or both.
struct TFound {
    std::string Name;
    int Group;
    bool Folder;
};

struct TCloseDir {
    void operator()(DIR* Dir) const { ::closedir(Dir); }
};

/// The project list's lines: of a fixed height, and never wider than the list, so that a long
/// name is cut (in the middle, by the list's elide mode) instead of running off its edge.
class TItemHeight final : public QStyledItemDelegate {
public:
    explicit TItemHeight(QListWidget* List) : QStyledItemDelegate(List), mList(List) {}
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        return {std::min(QStyledItemDelegate::sizeHint(Option, Index).width(), mList->viewport()->width()),
                ItemHeight};
    }

private:
    QListWidget* mList;
};
} // namespace

std::vector<std::string> TfrmProjects::SearchFolders(const std::string& Start) {
    // One breadth-first walk fills all three groups: the same lists as one walk per extension,
    // with the disk read once. The queue keeps the walk flat however deep the tree is.
    std::array<std::vector<std::string>, Extensions.size()> Groups;
    std::deque<std::string> Queue{Start};
    std::unordered_set<TFolderId, TFolderIdHash> Entered;
    std::vector<TFound> Found;
    while (!Queue.empty()) {
        const std::string Folder = std::move(Queue.front());
        Queue.pop_front();
        const int Fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (Fd < 0)
            continue;
        struct stat St;
        if (::fstat(Fd, &St) != 0 || !Entered.insert({St.st_dev, St.st_ino}).second) {
            ::close(Fd);
            continue;
        }
        const std::unique_ptr<DIR, TCloseDir> Dir(::fdopendir(Fd));
        if (!Dir) {
            ::close(Fd);
            continue;
        }
        Found.clear();
        while (const dirent* Entry = ::readdir(Dir.get())) {
            const std::string_view Name = Entry->d_name;
            if (Name == "." || Name == "..")
                continue;
            const int Group = GroupOf(Name);
            // Hidden folders are not searched; hidden files that match are listed.
            const bool Sub = Name.front() != '.' && IsFolder(::dirfd(Dir.get()), *Entry);
            if (Group != NoGroup || Sub)
                Found.push_back({std::string(Name), Group, Sub});
        }
        // Listings come in the file system's hash order; sorted, the list is the same each time.
        std::sort(Found.begin(), Found.end(),
                  [](const TFound& A, const TFound& B) { return A.Name < B.Name; });
        const std::string Prefix = Folder.ends_with('/') ? Folder : Folder + '/';
        for (TFound& F : Found) {
            if (F.Group != NoGroup)
                Groups[F.Group].push_back(Prefix + F.Name);
            if (F.Folder)
                Queue.push_back(Prefix + F.Name);
        }
    }
    std::vector<std::string> Results = std::move(Groups[0]);
    for (std::size_t G = 1; G < Groups.size(); ++G)
        Results.insert(Results.end(), std::make_move_iterator(Groups[G].begin()),
                       std::make_move_iterator(Groups[G].end()));
    return Results;
}

TfrmProjects::TfrmProjects(QWidget* Parent) : TModalForm(Parent), ui(new Ui::TfrmProjects) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    QFont Form = font();
    Form.setPixelSize(11);
    setFont(Form);

    const QPixmap Picture = WizardPicture();
    ui->Image1->setPixmap(Picture);
    ui->Image2->setPixmap(Picture);
    // The step digits' own font is not installed on Linux; bold DejaVu Sans, which comes with
    // Qt's fonts, fills the circles in the same way.
    QFont Digit(QStringLiteral("DejaVu Sans"));
    Digit.setPixelSize(19);
    Digit.setBold(true);
    const std::pair<TCDKShape*, QLabel*> Marks[] = {{ui->CDKShape1, ui->lblNumber},
                                                    {ui->CDKShape2, ui->Label3},
                                                    {ui->CDKShape3, ui->Label5},
                                                    {ui->CDKShape4, ui->Label7},
                                                    {ui->CDKShape5, ui->Label8}};
    for (const auto& [Shape, Number] : Marks) {
        Shape->SetShape(stCircle);
        Shape->SetRotation(_0);
        Shape->SetBrush(QBrush(Qt::yellow));
        Number->setFont(Digit);
        Number->setForegroundRole(QPalette::WindowText);
        Number->setAutoFillBackground(false);
        Number->raise();
    }

    TCDKPathEditor* Path = ui->txtPath;
    Path->SetStyle(_SelectDirectory);
    Path->SetOptions({ofHideReadOnly, ofPathMustExist});
    Path->SetSmartShowBrowseButton(false);
    Path->SetBorderStyle(bsSingle);
    Path->OnDialogDrop = [this](TObject*) { txtPathDialogDrop(); };

    ui->lstProjects->setItemDelegate(new TItemHeight(ui->lstProjects));
    ui->lstProjects->setUniformItemSizes(true);
    ui->lstProjects->setTextElideMode(Qt::ElideMiddle);
    ui->lstProjects->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->lstProjects->setResizeMode(QListView::Adjust);

    ui->xdkSteps->OnAbout = [this](TObject*) { xdkStepsAbout(); };
    ui->xdkSteps->OnFinish = [this](TObject*) { xdkStepsFinish(); };
    ui->xdkSteps->OnCancel = [this](TObject*) { xdkStepsCancel(); };
    ui->xdkStepTab1->OnNext = [this](TObject*) { xdkStepTab1Next(); };
    ui->xdkStepTab2->OnBack = [this](TObject*) { xdkStepTab2Back(); };
    NotifyLoaded(this);
    // Each caption stands beside its box with its text on the box's middle line.
    for (const auto& [Caption, Box] : {std::pair<QLabel*, QWidget*>{ui->Label1, ui->txtName},
                                       std::pair<QLabel*, QWidget*>{ui->Label2, ui->txtPath}}) {
        Caption->setGeometry(Caption->x(), Box->y(), Caption->width(), Box->height());
        Caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    setFixedSize(size());
}

TfrmProjects::~TfrmProjects() {
    delete ui;
}

std::string TfrmProjects::DocumentName() const {
    return ToAnsi(ui->txtName->text());
}

QStringList TfrmProjects::CheckedProjects() const {
    QStringList Out;
    for (int I = 0; I < ui->lstProjects->count(); ++I)
        if (ui->lstProjects->item(I)->checkState() == Qt::Checked)
            Out << ui->lstProjects->item(I)->text();
    return Out;
}

TScanMode TfrmProjects::ScanMode() const {
    return ui->rdoAutomatic->isChecked() ? smAutomatic : smManual;
}

void TfrmProjects::SetScanMode(TScanMode Value) {
    (Value == smAutomatic ? ui->rdoAutomatic : ui->rdoManual)->setChecked(true);
}

TxdkSteps* TfrmProjects::Steps() const {
    return ui->xdkSteps;
}

QLineEdit* TfrmProjects::NameEdit() const {
    return ui->txtName;
}

TCDKPathEditor* TfrmProjects::PathEditor() const {
    return ui->txtPath;
}

QListWidget* TfrmProjects::Projects() const {
    return ui->lstProjects;
}

void TfrmProjects::showEvent(QShowEvent* Event) {
    TModalForm::showEvent(Event);
    if (Event->spontaneous())
        return;
    CentreOnScreen(*this);
    Application->Guard([this] { FormShow(); });
}

// --- handlers ---

void TfrmProjects::FormShow() {
    if (Document)
        ui->txtName->setText(FromAnsi(Document->Name));
    ui->txtPath->SetText(FromFileName(ProgramFolder()));
    ui->xdkSteps->DisableNext();
    // Back through the steps, so that the buttons and the caption follow the page.
    while (ui->xdkSteps->PageControl->currentIndex() > 0)
        ui->xdkSteps->BackClick(nullptr);
}

void TfrmProjects::txtPathDialogDrop() {
    ui->xdkSteps->EnableNext();
}

void TfrmProjects::xdkStepTab1Next() {
    std::string Start = ToFileName(ui->txtPath->Text());
    if (Start.empty()) {
        ShowMessage(QStringLiteral("Please select a path to scan."));
        Abort();
    }
    // The root stays "/"; any other folder loses its trailing separators.
    while (Start.size() > 1 && Start.ends_with('/'))
        Start.pop_back();
    ui->txtPath->SetText(FromFileName(Start));

    THourglass Wait;
    QListWidget* List = ui->lstProjects;
    List->clear();
    for (const std::string& Name : SearchFolders(Start)) {
        auto* Item = new QListWidgetItem(FromFileName(Name), List);
        Item->setToolTip(Item->text());
        Item->setFlags(Item->flags() | Qt::ItemIsUserCheckable);
        Item->setCheckState(Qt::Checked);
    }
}

void TfrmProjects::xdkStepTab2Back() {}

void TfrmProjects::xdkStepsFinish() {
    done(mrOk);
}

void TfrmProjects::xdkStepsCancel() {
    close();
}

void TfrmProjects::xdkStepsAbout() {
    if (frmAbout != nullptr)
        frmAbout->ShowModal();
}
