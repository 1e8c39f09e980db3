// The scanner program.
#include "platform/rtl/SysUtils.h"
#include "scanner/QuorvexVB.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    return RunQuorvexVB(ProgramFolder(), QCoreApplication::arguments().mid(1));
}
