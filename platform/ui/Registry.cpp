#include "platform/ui/Registry.h"

#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString Utf8(const std::string& S) {
    return QString::fromStdString(S);
}

// Orders names so that runs of digits compare by value: "F2" before "F10".
bool NaturalLess(const QString& A, const QString& B) {
    qsizetype I = 0, J = 0;
    while (I < A.size() && J < B.size()) {
        if (A[I].isDigit() && B[J].isDigit()) {
            const qsizetype StartA = I, StartB = J;
            while (I < A.size() && A[I].isDigit())
                ++I;
            while (J < B.size() && B[J].isDigit())
                ++J;
            QStringView NumA = QStringView(A).mid(StartA, I - StartA),
                        NumB = QStringView(B).mid(StartB, J - StartB);
            while (NumA.size() > 1 && NumA.front() == u'0')
                NumA = NumA.mid(1);
            while (NumB.size() > 1 && NumB.front() == u'0')
                NumB = NumB.mid(1);
            if (NumA.size() != NumB.size())
                return NumA.size() < NumB.size();
            if (const int C = NumA.compare(NumB); C != 0)
                return C < 0;
            continue;
        }
        if (A[I] != B[J])
            return A[I] < B[J];
        ++I;
        ++J;
    }
    return A.size() - I < B.size() - J;
}

// Where the settings are kept when the settings file's name is taken by something that is no
// file: a name below a device node, which can be neither read nor made, so the settings live in
// memory only (shared by every TRegIniFile, as usual) and the node is never opened or replaced.
const QString NoSettingsFile = QStringLiteral("/dev/null/Quorvex/Registry.ini");

// Writes the changes of Settings to its file. The file that replaces the old one is given the old
// one's owner where the process may do so: settings written by root for a user (a program run with
// sudo in the user's home) stay the user's, who could otherwise never write them again.
void SyncKeepingOwner(QSettings& Settings) {
    const std::string Name = Settings.fileName().toStdString();
    struct stat Old {};
    const bool Existed = ::stat(Name.c_str(), &Old) == 0;
    Settings.sync();
    struct stat New {};
    if (Existed && ::stat(Name.c_str(), &New) == 0 &&
        (New.st_uid != Old.st_uid || New.st_gid != Old.st_gid)) {
        // A process that may not give the file away leaves it its own, as any new file.
        [[maybe_unused]] const int Given = ::chown(Name.c_str(), Old.st_uid, Old.st_gid);
    }
}
} // namespace

TRegIniFile::TRegIniFile(const std::string& KeyPath)
    : mNotAFile(NonFileKind(SettingsFileName().toStdString())),
      mSettings(std::make_unique<QSettings>(mNotAFile.empty() ? SettingsFileName() : NoSettingsFile,
                                            QSettings::IniFormat)) {
    mSettings->setAtomicSyncRequired(true);
    QString Path = Utf8(KeyPath);
    Path.replace(u'\\', u'/');
    while (Path.startsWith(u'/'))
        Path.remove(0, 1);
    while (Path.endsWith(u'/'))
        Path.chop(1);
    mPath = Path;
}

TRegIniFile::~TRegIniFile() {
    if (mNotAFile.empty())
        SyncKeepingOwner(*mSettings);
}

QString TRegIniFile::SettingsFileName() {
    // The name QSettings gives the user's file of organisation "Quorvex", application "Registry";
    // made here without a QSettings object, which would read the file (and wait on a pipe).
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quorvex/Registry.ini");
}

QString TRegIniFile::Key(const std::string& Section, const std::string& Ident) const {
    QString K = mPath;
    for (const std::string* Part : {&Section, &Ident})
        if (!Part->empty())
            K += (K.isEmpty() ? QString() : QStringLiteral("/")) + Utf8(*Part);
    return K;
}

void TRegIniFile::ReadSectionValues(const std::string& Section, TStringList& Strings) {
    mSettings->beginGroup(Key(Section));
    QStringList Names = mSettings->childKeys();
    std::sort(Names.begin(), Names.end(), NaturalLess);
    for (const QString& Name : Names)
        Strings.Add((Name + u'=' + mSettings->value(Name).toString()).toStdString());
    mSettings->endGroup();
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) {
    return mSettings->value(Key(Section, Ident), Utf8(Default)).toString().toStdString();
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    mSettings->setValue(Key(Section, Ident), Utf8(Value));
}

void TRegIniFile::EraseSection(const std::string& Section) {
    mSettings->remove(Key(Section));
}

void TRegIniFile::UpdateFile() {
    if (!mNotAFile.empty())
        throw Exception(Format("Cannot write the settings file %s: it is %s, not a file",
                               SettingsFileName().toStdString(), mNotAFile));
    SyncKeepingOwner(*mSettings);
    if (mSettings->status() != QSettings::NoError)
        throw Exception(Format("Cannot write the settings file %s", mSettings->fileName().toStdString()));
}
