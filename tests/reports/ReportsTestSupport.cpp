#include "tests/reports/ReportsTestSupport.h"

#include "platform/report/QuickRep.h"
#include "reports/fPreview.h"
#include "tests/support/ModalHelper.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>

#include <gtest/gtest.h>

namespace reportstest {

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

} // namespace reportstest
