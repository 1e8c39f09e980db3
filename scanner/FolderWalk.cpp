#include "scanner/FolderWalk.h"

#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The kinds of file searched for, with the result's group of each: projects of both kinds, then
// databases of both layouts together.
struct TKind {
    std::string_view Extension;
    int Group;
};
constexpr std::array<TKind, 4> Kinds{{{".mak", 0}, {".vbp", 1}, {".mdb", 2}, {".accdb", 2}}};
constexpr std::size_t GroupCount = 3;
constexpr int NoGroup = -1;

/// The group whose extension Name ends with, compared without regard to ASCII case.
int GroupOf(std::string_view Name) {
    for (const TKind& Kind : Kinds) {
        if (Name.size() < Kind.Extension.size())
            continue;
        const std::string_view Tail = Name.substr(Name.size() - Kind.Extension.size());
        if (std::equal(Tail.begin(), Tail.end(), Kind.Extension.begin(), [](char A, char B) {
                return (A >= 'A' && A <= 'Z' ? static_cast<char>(A - 'A' + 'a') : A) == B;
            }))
            return Kind.Group;
    }
    return NoGroup;
}

/// Whether the entry is a folder, or a symbolic link to one. The entry's type from the listing
/// saves a stat call for everything but links and file systems that do not report types.
bool IsFolder(int Folder, const dirent& Entry) {
    if (Entry.d_type != DT_LNK && Entry.d_type != DT_UNKNOWN)
        return Entry.d_type == DT_DIR;
    struct stat St;
    return ::fstatat(Folder, Entry.d_name, &St, 0) == 0 && S_ISDIR(St.st_mode);
}

struct TFolderId {
    dev_t Device;
    ino_t Inode;
    bool operator==(const TFolderId&) const = default;
};
struct TFolderIdHash {
    std::size_t operator()(const TFolderId& Id) const noexcept {
        return std::hash<ino_t>()(Id.Inode) * 31 + std::hash<dev_t>()(Id.Device);
    }
};

/// An entry of one folder worth keeping: a match, a folder to search, or both.
struct TFound {
    std::string Name;
    int Group;
    bool Folder;
};

struct TCloseDir {
    void operator()(DIR* Dir) const { ::closedir(Dir); }
};

} // namespace

std::vector<std::string> SearchFolders(const std::string& Start) {
    // One breadth-first walk fills all three groups: the same lists as one walk per extension,
    // with the disk read once. The queue keeps the walk flat however deep the tree is.
    std::array<std::vector<std::string>, GroupCount> Groups;
    std::deque<std::string> Queue{Start};
    std::unordered_set<TFolderId, TFolderIdHash> Entered;
    std::vector<TFound> Found;
    while (!Queue.empty()) {
        const std::string Folder = std::move(Queue.front());
        Queue.pop_front();
        const int Fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (Fd < 0)
            continue;
        struct stat St;
        if (::fstat(Fd, &St) != 0 || !Entered.insert({St.st_dev, St.st_ino}).second) {
            ::close(Fd);
            continue;
        }
        const std::unique_ptr<DIR, TCloseDir> Dir(::fdopendir(Fd));
        if (!Dir) {
            ::close(Fd);
            continue;
        }
        Found.clear();
        while (const dirent* Entry = ::readdir(Dir.get())) {
            const std::string_view Name = Entry->d_name;
            if (Name == "." || Name == "..")
                continue;
            const int Group = GroupOf(Name);
            // Hidden folders are not searched; hidden files that match are listed.
            const bool Sub = Name.front() != '.' && IsFolder(::dirfd(Dir.get()), *Entry);
            if (Group != NoGroup || Sub)
                Found.push_back({std::string(Name), Group, Sub});
        }
        // Listings come in the file system's hash order; sorted, the list is the same each time.
        std::sort(Found.begin(), Found.end(),
                  [](const TFound& A, const TFound& B) { return A.Name < B.Name; });
        const std::string Prefix = Folder.ends_with('/') ? Folder : Folder + '/';
        for (TFound& F : Found) {
            if (F.Group != NoGroup)
                Groups[F.Group].push_back(Prefix + F.Name);
            if (F.Folder)
                Queue.push_back(Prefix + F.Name);
        }
    }
    std::vector<std::string> Results = std::move(Groups[0]);
    for (std::size_t G = 1; G < Groups.size(); ++G)
        Results.insert(Results.end(), std::make_move_iterator(Groups[G].begin()),
                       std::make_move_iterator(Groups[G].end()));
    return Results;
}
