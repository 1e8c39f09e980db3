// The scanner program: splash, application title and help file, the main window and the
// windows it uses, then the event loop until the main window closes.
#include "platform/ui/Application.h"
#include "reports/rptHits.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/About.h"
#include "scanner/Fsplash.h"
#include "scanner/Glyphs.h"
#include "scanner/Main.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    TApplication Program;
    RegisterScanClasses();

    (new TfrmSplash())->ShowNow();

    Program.SetTitle(QStringLiteral("Quorvex for VB"));
    Program.SetHelpFile("Quorvex.html");

    TfrmMain Main;
    TfrmKeyWords KeyWords;
    TrepHits HitReport(Document, Main.imlLarge);
    TfrmOptions Options;
    TfrmHit Hit;
    std::unique_ptr<TfrmAbout> About;
    Program.Guard([&] { About = std::make_unique<TfrmAbout>(); });
    Main.show();
    return QApplication::exec();
}
