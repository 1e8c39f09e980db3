#include "tests/reports/ReportsTestSupport.h"

#include "platform/report/QuickRep.h"
#include "platform/ui/Application.h"
#include "reports/fPreview.h"
#include "tests/support/ModalHelper.h"

#include <QApplication>
#include <QFileDialog>
#include <QPainter>
#include <QTimer>

#include <gtest/gtest.h>

namespace reportstest {
namespace {
class ReportsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        mApp = std::make_unique<TApplication>();
        mApp->SetTitle(QStringLiteral("Quorvex for VB"));
        RegisterScanClasses();
    }
    void TearDown() override { mApp.reset(); }

private:
    std::unique_ptr<TApplication> mApp;
};

[[maybe_unused]] ::testing::Environment* const Environment =
    ::testing::AddGlobalTestEnvironment(new ReportsEnvironment);
} // namespace

void FillImages(TImageList& List) {
    for (int I = 0; I < 24; ++I) {
        QPixmap Image(32, 32);
        Image.fill(Qt::transparent);
        QPainter P(&Image);
        P.setBrush(QColor::fromHsv(I * 15, 200, 200));
        P.drawEllipse(2, 2, 28, 28);
        P.end();
        List.Add(Image);
    }
}

THitInfo* NewHit(const std::string& Sub, const std::string& Variable, const std::string& Line,
                 Longint LineInModule, TCompliant Rating, const std::string& ErrorType) {
    auto* Hit = new THitInfo;
    Hit->Sub = Sub;
    Hit->Variable = Variable;
    Hit->Key = "Date";
    Hit->Line = Line;
    Hit->LineInModule = LineInModule;
    Hit->Compliant = Rating;
    Hit->ErrorType = ErrorType;
    return Hit;
}

TMDBHitInfo* NewMDBHit(const std::string& Sub, const std::string& Field, const std::string& Variable,
                       const std::string& Line, Longint LineInModule, TCompliant Rating) {
    auto* Hit = new TMDBHitInfo;
    Hit->Sub = Sub;
    Hit->Field = Field;
    Hit->Variable = Variable;
    Hit->Key = "Date";
    Hit->Line = Line;
    Hit->LineInModule = LineInModule;
    Hit->Compliant = Rating;
    Hit->ErrorType = "Computation";
    return Hit;
}

TModuleInfo* NewModule(const std::string& Name, int Hits, Longint Image, Longint Lines) {
    auto* Module = new TModuleInfo;
    Module->Name = Name;
    Module->ImageIndex = Image;
    Module->LinesOfCode = Lines;
    for (int I = 1; I <= Hits; ++I)
        Module->AddHit(
            NewHit("Sub" + std::to_string(I), "v" + std::to_string(I), Name + "." + std::to_string(I), I));
    return Module;
}

TProjectInfo* NewProject(const std::string& Name, std::vector<TModuleInfo*> Modules) {
    auto* Project = new TProjectInfo;
    Project->Name = Name;
    Project->ImageIndex = 1;
    for (TModuleInfo* M : Modules)
        Project->AddModule(M);
    return Project;
}

void WithPreview(TQuickRep& Report, const std::function<void(TfrmPreview&)>& Action) {
    bool Ran = false;
    QTimer::singleShot(0, [&] {
        TfrmPreview* Window = nullptr;
        for (QWidget* W : QApplication::topLevelWidgets())
            if (auto* P = qobject_cast<TfrmPreview*>(W);
                P != nullptr && P->isVisible() && P->Printer() != nullptr)
                Window = P;
        if (Window == nullptr) {
            ADD_FAILURE() << "no preview window";
            return;
        }
        Action(*Window);
        Ran = true;
        Window->close();
    });
    Report.Preview();
    EXPECT_TRUE(Ran);
}

void AnswerFileDialog(const QString& Path, int FilterIndex, const std::function<void()>& Then) {
    testsupport::AnswerNextModal([Path, FilterIndex, Then](QWidget* W) {
        auto* Dialog = qobject_cast<QFileDialog*>(W);
        if (Dialog == nullptr) {
            ADD_FAILURE() << "the modal window is not a file dialog";
            W->close();
            return;
        }
        if (FilterIndex > 0)
            Dialog->selectNameFilter(Dialog->nameFilters().value(FilterIndex - 1));
        Dialog->selectFile(Path);
        static_cast<QDialog*>(Dialog)->accept();
        if (Then)
            Then();
    });
}

} // namespace reportstest
