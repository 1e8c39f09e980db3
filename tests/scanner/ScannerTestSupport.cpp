#include "tests/scanner/ScannerTestSupport.h"

#include "platform/ui/Text.h"
#include "tests/support/ModalHelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

namespace scannertest {
namespace {

THitInfo* NewHit(const std::string& Variable, TCompliant Rating, Longint Line) {
    auto* Hit = new THitInfo;
    Hit->Variable = Variable;
    Hit->Key = "Date";
    Hit->Line = "x = " + Variable + "(Now)";
    Hit->Position = 5;
    Hit->Sub = "Form_Load";
    Hit->LineInModule = Line;
    Hit->LineInSub = Line - 10;
    Hit->Compliant = Rating;
    Hit->ErrorType = "Computation";
    return Hit;
}

template <class T>
T* NewObject(const std::string& Name, Longint Image, Longint Lines) {
    auto* Object = new T;
    Object->Name = Name;
    Object->ImageIndex = Image;
    Object->LinesOfCode = Lines;
    return Object;
}
} // namespace

std::unique_ptr<TQuorvex> SampleDocument() {
    auto Doc = std::make_unique<TQuorvex>();
    Doc->Name = "Audit";

    auto* Project = new TProjectInfo;
    Project->Name = "Calendar.vbp";
    Project->Path = "/src/cal/";
    auto* Form = NewObject<TModuleInfo>("frmMain.frm", 7, 120);
    Form->Path = "/src/cal/";
    Form->AddHit(NewHit("DateAdd", ctNo, 14));
    Form->AddHit(NewHit("DateDiff", ctMayBe, 31));
    Project->AddModule(Form);
    auto* Code = NewObject<TModuleInfo>("modDates.bas", 3, 40);
    Code->Path = "/src/cal/";
    Project->AddModule(Code);
    Project->AddVBX(new TVBXInfo("MSCAL.OCX"));
    Doc->AddProject(Project);

    auto* MDB = new TMDBInfo;
    MDB->Name = "nwind.mdb";
    MDB->Path = "/data/";
    // Added out of kind order: the tree lists them by kind.
    MDB->AddModule(NewObject<TMDBModuleInfo>("Utils", 16, 4));
    MDB->AddQuery(NewObject<TMDBQueryInfo>("Sales", 12, 1));
    auto* Orders = NewObject<TMDBTableInfo>("Orders", 18, 2);
    auto* Hit = new TMDBHitInfo;
    Hit->Variable = "OrderDate";
    Hit->Field = "OrderDate";
    Hit->Key = "Date";
    Hit->Line = "Format(OrderDate, \"mm/dd/yy\")";
    Hit->Position = 13;
    Hit->Sub = "Orders";
    Hit->LineInModule = 3;
    Hit->Compliant = ctNo;
    Orders->AddHit(Hit);
    MDB->AddTable(Orders);
    Doc->AddMDB(MDB);
    Doc->PageIndex = 0; // as a document read from a file: opening sets it
    return Doc;
}

QTreeWidgetItem* Child(QTreeWidgetItem* Node, const QString& Text) {
    if (Node == nullptr)
        return nullptr;
    for (int I = 0; I < Node->childCount(); ++I)
        if (Node->child(I)->text(0) == Text)
            return Node->child(I);
    return nullptr;
}

std::vector<std::string> Entries(const TStringList& List) {
    std::vector<std::string> Out;
    for (Longint I = 0; I < List.Count(); ++I)
        Out.push_back(List[I]);
    return Out;
}

std::string ReadFile(const QString& Name) {
    QFile F(Name);
    if (!F.open(QIODevice::ReadOnly))
        return "<missing>";
    return F.readAll().toStdString();
}

void WriteFile(const QString& Name, const std::string& Bytes) {
    QFile F(Name);
    ASSERT_TRUE(F.open(QIODevice::WriteOnly | QIODevice::Truncate));
    F.write(Bytes.data(), static_cast<qint64>(Bytes.size()));
}

TScanningTest::TScanningTest() {
    WriteFile(Dir.filePath(QStringLiteral("KeyWords.TXT")), "Date\r\nNow\r\nYear\r\n");
    StopScan = false;
}

TScanningTest::~TScanningTest() {
    Modified = false;
    StopScan = false;
}

TfrmMain& TScanningTest::Main() {
    if (!mMain)
        mMain = std::make_unique<TfrmMain>(ToFileName(Dir.path()) + "/", QStringList{});
    return *mMain;
}

QString BoxText(const QMessageBox& Box) {
    return Box.detailedText().isEmpty() ? Box.text() : Box.text() + u'\n' + Box.detailedText();
}

TMessageBoxAnswers::TMessageBoxAnswers(QStringList& Texts) {
    QObject::connect(&mTimer, &QTimer::timeout, [&Texts] {
        auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (Box == nullptr || !Box->isVisible())
            return;
        Texts.append(BoxText(*Box));
        if (QAbstractButton* Ok = Box->button(QMessageBox::Ok))
            Ok->click();
        else
            Box->done(QMessageBox::Ok);
    });
    mTimer.start(5);
}

} // namespace scannertest
