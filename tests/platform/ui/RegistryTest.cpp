#include "platform/ui/Registry.h"
#include "tests/support/NamedPipe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Lines(const TStringList& L) {
    std::vector<std::string> Out;
    for (Longint I = 0; I < L.Count(); ++I)
        Out.push_back(L[I]);
    return Out;
}

TEST(RegistryTest, KeysLiveInOneSettingsFileOfTheUser) {
    const QString File = TRegIniFile::SettingsFileName();
    EXPECT_TRUE(File.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME"))) << File.toStdString();
    {
        TRegIniFile Reg("\\Software\\Brackle\\Quorvex\\VB");
        Reg.WriteString("MRU Items", "F0", "/home/u/a.qxs");
    }
    QSettings Raw(File, QSettings::IniFormat);
    EXPECT_EQ(Raw.value(QStringLiteral("Software/Brackle/Quorvex/VB/MRU Items/F0")).toString(),
              QStringLiteral("/home/u/a.qxs"));
    TRegIniFile Other("Software/Brackle/Quorvex/VB");
    EXPECT_EQ(Other.ReadString("MRU Items", "F0", "none"), "/home/u/a.qxs");
    EXPECT_EQ(Other.ReadString("MRU Items", "F9", "none"), "none");
}

TEST(RegistryTest, SectionValuesComeInNumberOrderAndEraseRemovesThemAll) {
    TRegIniFile Reg("\\Software\\Test\\Order");
    for (int I : {10, 2, 0, 1, 11})
        Reg.WriteString("List", "F" + std::to_string(I), "v" + std::to_string(I));
    Reg.WriteString("Other", "F0", "elsewhere");
    TStringList Values;
    Values.Add("kept");
    Reg.ReadSectionValues("List", Values);
    EXPECT_EQ(Lines(Values),
              (std::vector<std::string>{"kept", "F0=v0", "F1=v1", "F2=v2", "F10=v10", "F11=v11"}));

    Reg.EraseSection("List");
    TStringList After;
    Reg.ReadSectionValues("List", After);
    EXPECT_EQ(After.Count(), 0);
    EXPECT_EQ(Reg.ReadString("Other", "F0", ""), "elsewhere");
}

// A settings file whose name is taken by a named pipe is neither read (which would wait for a
// writer) nor replaced: the settings live in memory, and writing them says what is in the way.
TEST(RegistryTest, ASettingsFileThatIsAPipeIsNeitherReadNorReplaced) {
    const QString File = TRegIniFile::SettingsFileName();
    QFile::remove(File);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(File).path()));
    testsupport::TNamedPipe Pipe(File.toStdString());
    ASSERT_TRUE(Pipe.Made());
    {
        TRegIniFile Reg("\\Software\\Brackle\\Quorvex\\VB");
        Reg.WriteString("MRU Items", "F0", "/home/u/a.qxs");
        EXPECT_EQ(TRegIniFile("Software/Brackle/Quorvex/VB").ReadString("MRU Items", "F0", "none"),
                  "/home/u/a.qxs");
        try {
            Reg.UpdateFile();
            ADD_FAILURE() << "the settings were written";
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(),
                      "Cannot write the settings file " + Pipe.Name() + ": it is a named pipe, not a file");
        }
    }
    EXPECT_FALSE(Pipe.Released());
    EXPECT_FALSE(QFileInfo(File).isFile());
    EXPECT_EQ(QDir(QFileInfo(File).path())
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QFileInfo(File).fileName()});
}

} // namespace
