// The report viewer: shows saved report files (*.QXV) in the preview window and prints them.
#include "viewer/rptView.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication App(argc, argv);
    return RunViewer(QApplication::arguments().mid(1));
}
