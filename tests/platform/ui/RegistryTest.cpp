#include "platform/ui/Registry.h"
#include "tests/support/NamedPipe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

// Settings written by root in a user's settings file stay the user's, whether written by
// UpdateFile or when the object ends.
TEST(RegistryTest, TheSettingsFileKeepsItsOwner) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can write a file of another user";
    const std::string File = TRegIniFile::SettingsFileName().toStdString();
    auto Owner = [&] {
        struct stat St {};
        EXPECT_EQ(::stat(File.c_str(), &St), 0);
        return std::to_string(St.st_uid) + ":" + std::to_string(St.st_gid);
    };
    {
        TRegIniFile Reg("Software/Test/Owner");
        Reg.WriteString("S", "V", "by root");
    }
    ASSERT_EQ(::chown(File.c_str(), 65534, 65534), 0);
    {
        TRegIniFile Reg("Software/Test/Owner");
        Reg.WriteString("S", "V", "by UpdateFile");
        Reg.UpdateFile();
        EXPECT_EQ(Owner(), "65534:65534");
        Reg.WriteString("S", "V", "at the end");
    }
    EXPECT_EQ(Owner(), "65534:65534");
    EXPECT_EQ(TRegIniFile("Software/Test/Owner").ReadString("S", "V", ""), "at the end");
}

} // namespace
