// The scanner's program block: splash, application title and help file, the main window and the
// windows it uses, then the event loop until the main window closes.
#include "scanner/QuorvexVB.h"

#include "platform/ui/Application.h"
#include "reports/rptHits.h"
#include "scanmodel/ScanInfo.h"
#include "scanner/About.h"
#include "scanner/Fsplash.h"
#include "scanner/Glyphs.h"
#include "scanner/Main.h"
#include "scanner/ScanHit.h"
#include "scanner/ScanWizard1.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"

#include <QApplication>

int RunQuorvexVB(const std::string& ProgramDir, const QStringList& Arguments) {
    QApplication::setWindowIcon(ProgramIcon());
    TApplication Program;
    RegisterScanClasses();

    // Hidden once another window takes the activation, freed when the program ends.
    TfrmSplash Splash;
    Splash.ShowNow();

    Program.SetTitle(QStringLiteral("Quorvex for VB"));
    Program.SetHelpFile("Quorvex.html");

    TfrmMain Main(ProgramDir, Arguments);
    TfrmScanHit ScanHit;
    TfrmScanWizard ScanWizard;
    TfrmKeyWords KeyWords;
    TrepHits HitReport(Document, Main.imlLarge);
    TfrmOptions Options;
    TfrmHit Hit;
    std::unique_ptr<TfrmAbout> About;
    Program.Guard([&] { About = std::make_unique<TfrmAbout>(); });
    Main.show();
    return QApplication::exec();
}
