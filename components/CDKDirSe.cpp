#include "components/CDKDirSe.h"

#include "components/CDKDir95.h"
#include "components/CDKDirCr.h"
#include "components/CDKRotat.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <memory>

QString GetCurrentDirWithSlash() {
    QString Dir = QDir::currentPath();
    if (!Dir.endsWith(QLatin1Char('/')))
        Dir += QLatin1Char('/');
    return Dir;
}

TDriveComboBox::TDriveComboBox(QWidget* Parent) : QComboBox(Parent) {
    addItem(QStringLiteral("/"));
    connect(this, &QComboBox::activated, this, [this](int Index) {
        RunGuarded(this, [&] {
            if (mDirList != nullptr)
                mDirList->SetDirectory(itemText(Index));
        });
    });
}

TDirectorySelectForm::TDirectorySelectForm(QWidget* Parent) : TModalForm(Parent) {
    setWindowTitle(QStringLiteral("Select a Directory"));
    setFixedSize(285, 254);

    DirectoryListBox = new TCDKWin95DirListBox(this);
    DirectoryListBox->setGeometry(8, 27, 191, 192);
    DirectoryListBox->SetItemHeight(16);
    CreateDirectoryButton = new TButton(QStringLiteral("&New..."), this);
    CreateDirectoryButton->setGeometry(208, 194, 70, 25);
    DriveComboBox = new TDriveComboBox(this);
    DriveComboBox->setGeometry(8, 227, 191, 19);
    DriveComboBox->SetDirList(DirectoryListBox);
    OKButton = new TButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(208, 26, 70, 25);
    OKButton->setDefault(true);
    CancelButton = new TButton(QStringLiteral("Cancel"), this);
    CancelButton->setGeometry(209, 57, 70, 25);
    DirectoryShadowLabel = new QLabel(this);
    DirectoryShadowLabel->setGeometry(7, 9, 302, 16);
    DirectoryListBox->SetDirLabel(DirectoryShadowLabel);

    setTabOrder(DirectoryListBox, CreateDirectoryButton);
    setTabOrder(CreateDirectoryButton, DriveComboBox);
    setTabOrder(DriveComboBox, OKButton);
    setTabOrder(OKButton, CancelButton);

    SetModalResult(OKButton, mrOk);
    SetModalResult(CancelButton, mrCancel);
    SetCancelButton(CancelButton);
    connect(CreateDirectoryButton, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { CreateDirectoryButtonClick(CreateDirectoryButton); }); });
}

void TDirectorySelectForm::ShowNewButton(bool Value) {
    CreateDirectoryButton->setVisible(Value);
}

void TDirectorySelectForm::CreateDirectoryButtonClick(TObject*) {
    auto Form = std::make_unique<TCreateDirectoryForm>(this);
    const QString Dir = GetCurrentDirWithSlash();
    Form->DirectoryToCreateEdit->setText(Dir);
    QString Shown = Dir;
    if (Shown.size() > 1 && Shown.endsWith(QLatin1Char('/')))
        Shown.chop(1);
    Form->CurrentDirectoryLabel->SetCaption(Shown);
    if (Form->exec() == mrOk) {
        // A folder that could not be created has been reported; the list stays where it is.
        const QString Entry = Form->DirectoryToCreateEdit->text();
        if (!Entry.isEmpty() && QFileInfo(Entry).isDir())
            DirectoryListBox->SetDirectory(Entry);
    }
}

void TDirectorySelectForm::DirectoryListBoxClick(TObject*) {
    DirectoryListBox->OpenCurrent();
}

void TDirectorySelectForm::DirectoryListBoxKeyDown(TObject*, int& Key, TShiftState) {
    if (Key == Qt::Key_Down) {
        if (DirectoryListBox->currentRow() + 1 < DirectoryListBox->count())
            DirectoryListBox->setCurrentRow(DirectoryListBox->currentRow() + 1);
        Key = 0;
    } else if (Key == Qt::Key_Up) {
        if (DirectoryListBox->currentRow() > 0)
            DirectoryListBox->setCurrentRow(DirectoryListBox->currentRow() - 1);
        Key = 0;
    }
}
