// main() of the GUI test programs: HOME and the XDG folders point into a temporary directory, so
// that settings written by a test never touch the user's, and the offscreen platform is used
// unless another is asked for.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir Home;
    if (!Home.isValid())
        return 2;
    const QByteArray Root = QFile::encodeName(Home.path());
    qputenv("HOME", Root);
    for (const char* Var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        const QByteArray Dir = Root + '/' + QByteArray(Var).toLower();
        QDir().mkpath(QFile::decodeName(Dir));
        qputenv(Var, Dir);
    }
    const QByteArray Runtime = Root + "/runtime";
    QDir().mkpath(QFile::decodeName(Runtime));
    QFile::setPermissions(QFile::decodeName(Runtime),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", Runtime);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication App(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
