// The direction of dependencies between the source folders: every #include of every source file
// is read, and a folder may include only headers of the folders it is allowed to use. The allowed
// edges are the ones in use, each also a library the folder links; they point one way:
//   platform (rtl; ui, dao, report over rtl; access over dao) <- streams <- scanmodel
//   <- components (over ui), reports <- scanner, viewer
// The model folders (platform/rtl, platform/dao, platform/access, streams, scanmodel) include no
// Qt Widgets header, so that they build and test without a display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::map<std::string, std::set<std::string>> Allowed = {
    {"platform/rtl", {}},
    {"platform/ui", {"platform/rtl"}},
    {"platform/dao", {"platform/rtl"}},
    {"platform/access", {"platform/rtl", "platform/dao"}},
    {"platform/report", {"platform/rtl"}},
    {"streams", {"platform/rtl"}},
    {"scanmodel", {"platform/rtl", "platform/dao", "platform/access", "streams"}},
    {"components", {"platform/rtl", "platform/ui"}},
    {"reports", {"platform/rtl", "platform/ui", "platform/report", "scanmodel"}},
    {"scanner",
     {"platform/rtl", "platform/ui", "platform/report", "platform/dao", "platform/access", "scanmodel",
      "components", "reports"}},
    {"viewer", {"platform/ui", "platform/report", "reports"}},
};

const std::set<std::string> ModelFolders = {"platform/rtl", "platform/dao", "platform/access", "streams",
                                            "scanmodel"};

/// The folder of Allowed that an include path names, or "" for a header of no such folder.
std::string FolderOf(const std::string& Include) {
    std::string Best;
    for (const auto& [Folder, _] : Allowed)
        if (Include.starts_with(Folder + "/") && Folder.size() > Best.size())
            Best = Folder;
    return Best;
}

/// Whether a system header belongs to Qt Widgets: named by module, or found among the
/// module's headers.
bool IsWidgetsHeader(const std::string& Header, const std::string& WidgetsDir) {
    if (Header.starts_with("QtWidgets") || Header.starts_with("QtPrintSupport"))
        return true;
    if (!WidgetsDir.empty())
        return fs::exists(fs::path(WidgetsDir) / Header);
    // Without the module's headers at hand every Qt header counts.
    return Header.size() > 1 && Header[0] == 'Q' && std::isupper(static_cast<unsigned char>(Header[1]));
}

/// Every include of the source files under Root that breaks the rules, as "file: include".
std::vector<std::string> Violations(const fs::path& Root, const std::string& WidgetsDir) {
    std::vector<std::string> Out;
    for (const auto& [Folder, Deps] : Allowed) {
        const fs::path Dir = Root / Folder;
        if (!fs::is_directory(Dir))
            continue;
        for (const auto& Entry : fs::directory_iterator(Dir)) {
            const std::string Ext = Entry.path().extension().string();
            if (!Entry.is_regular_file() || (Ext != ".h" && Ext != ".cpp"))
                continue;
            std::ifstream In(Entry.path());
            std::string Line;
            while (std::getline(In, Line)) {
                const auto Start = Line.find_first_not_of(" \t");
                if (Start == std::string::npos || Line.compare(Start, 8, "#include") != 0)
                    continue;
                const auto Open = Line.find_first_of("\"<", Start + 8);
                if (Open == std::string::npos)
                    continue;
                const auto Close = Line.find(Line[Open] == '"' ? '"' : '>', Open + 1);
                const std::string Header = Line.substr(Open + 1, Close - Open - 1);
                const std::string Where = Folder + "/" + Entry.path().filename().string() + ": " + Header;
                if (Line[Open] == '<') {
                    if (ModelFolders.contains(Folder) && IsWidgetsHeader(Header, WidgetsDir))
                        Out.push_back(Where);
                    continue;
                }
                const std::string Target = FolderOf(Header);
                if (!Target.empty() && Target != Folder && !Deps.contains(Target))
                    Out.push_back(Where);
            }
        }
    }
    std::sort(Out.begin(), Out.end());
    return Out;
}

TEST(Layers, NoFolderIncludesAHeaderOfAFolderAboveIt) {
    const std::vector<std::string> Found = Violations(QUORVEX_SOURCE_DIR, QUORVEX_QTWIDGETS_DIR);
    std::string List;
    for (const std::string& V : Found)
        List += "\n  " + V;
    EXPECT_TRUE(Found.empty()) << "includes against the direction of the layers:" << List;
}

TEST(Layers, TheCheckFindsIncludesUpwardsAndWidgetsInTheModel) {
    const fs::path Root = fs::temp_directory_path() / ("qx_layers_" + std::to_string(std::random_device()()));
    fs::remove_all(Root);
    fs::create_directories(Root / "scanmodel");
    fs::create_directories(Root / "components");
    std::ofstream(Root / "scanmodel" / "Bad.cpp") << "#include \"scanmodel/ScanInfo.h\"\n"
                                                     "#include \"scanner/Main.h\"\n"
                                                     "  #include <QtWidgets/QWidget>\n"
                                                     "#include <string>\n";
    std::ofstream(Root / "components" / "Fine.h") << "#include \"platform/ui/Text.h\"\n#include <QWidget>\n"
                                                     "#include \"reports/rptHits.h\"\n";
    EXPECT_EQ(Violations(Root, ""), (std::vector<std::string>{"components/Fine.h: reports/rptHits.h",
                                                              "scanmodel/Bad.cpp: QtWidgets/QWidget",
                                                              "scanmodel/Bad.cpp: scanner/Main.h"}));
    fs::remove_all(Root);
}

} // namespace
