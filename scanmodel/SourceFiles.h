#pragma once
// File names from Windows project files, and the reading of source files as lines.
//
// Project files come from Windows: their entries hold '\' and upper-case names, while the files
// lie on a Linux disk with names in their own case, usually in UTF-8. ResolveWindowsPath turns
// such an entry into the name of the file that exists.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct stat;

/// The name of the file Entry names. '\' becomes '/'; a drive ("C:") becomes the root; a
/// relative entry is taken from Folder (the current folder when Folder is empty). When that
/// exact name does not exist, each component is matched without regard to case, and the entry's
/// Windows-1252 bytes are also tried as UTF-8, and a Windows short name ("CALCUL~1") stands for
/// the one entry it fits (EFOpenError naming the candidates when several fit). Returns the converted name
/// unchanged when nothing matches, so that opening it reports the name the user recognises.
std::string ResolveWindowsPath(std::string_view Folder, std::string_view Entry);

/// The file Name names in Folder, as ResolveWindowsPath(Folder, Name) finds it, for modules looked
/// up one after another in a few folders: when Folder exists as written and holds the name in
/// any letter case, the folder's kept listing answers without a walk from the root.
std::string ResolveInFolder(std::string_view Folder, std::string_view Name);

/// Folder part of an entry as a project file gives it: everything up to and including the last
/// '\', '/' or ':' ('' when there is none).
std::string ExtractWindowsPath(std::string_view Entry);
/// File-name part of such an entry: everything after the last '\', '/' or ':'.
std::string ExtractWindowsName(std::string_view Entry);

/// The value of a project-file line ("Module=Name; FILE.BAS"): what follows the '=' and, when
/// there is a ';', what follows it and the blank after it. The whole value is kept, so that long
/// relative paths still name their file.
void CutProjectFileValue(std::string& Line);
/// Where the module an entry of a project's file list names lies: {Path, Name}. An entry with a
/// drive (":"), a parent folder ("..") or a leading '/' is a path of its own; a ".." entry is
/// taken from Folder, the project's folder. Any other entry is relative to the project: Path is
/// Folder and Name the whole entry.
std::pair<std::string, std::string> ModuleFile(const std::string& Entry, const std::string& Folder);

/// What shows whether a file is still the one read: where it lies, its size and its times.
struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t Modified = 0, ModifiedNs = 0;
    std::int64_t Changed = 0, ChangedNs = 0;
    static TFileIdentity Of(const struct stat& Status);
    bool operator==(const TFileIdentity&) const = default;
};

/// A text file held whole, with the bounds of its lines: lines end with CR LF, LF or CR and keep
/// their bytes otherwise; a text that begins with a UTF-8 or UTF-16 byte-order mark, or is UTF-16
/// without one, is decoded to Windows-1252 first. One buffer for the whole file keeps the scans
/// from allocating per line.
class TSourceText {
public:
    /// Reads FileName; raises the class library's "Cannot open file %s" when it cannot be opened,
    /// "Stream read error: <file> (<reason>)" when reading it fails, and "Cannot read file <file>:
    /// it is <size> bytes, more than the memory can hold" for a file as large as the machine's
    /// memory or one whose text or lines cannot be held.
    void LoadFromFile(const std::string& FileName);
    void Clear();
    std::size_t Count() const { return mLines.size(); }
    bool Empty() const { return mLines.empty(); }
    std::string_view Line(std::size_t Index) const {
        return std::string_view(mText.get() + mLines[Index].Start, mLines[Index].Length);
    }
    /// The whole text, and where a line starts in it.
    std::string_view Text() const { return std::string_view(mText.get(), mSize); }
    std::size_t LineStart(std::size_t Index) const { return mLines[Index].Start; }
    /// Whether FileName is still the file the text was read from, unchanged since.
    bool StillAsRead(const std::string& FileName) const;

    struct TBounds {
        std::size_t Start;
        std::size_t Length;
    };

private:
    /// The bounds of the lines of the text read.
    void FindLines();

    std::unique_ptr<char[]> mText;
    std::size_t mCapacity = 0;
    std::size_t mSize = 0;
    TFileIdentity mRead; ///< the file the text was read from, as it was then
    std::vector<TBounds> mLines;
};

/// The number of lines TSourceText finds in FileName, counted without splitting them; raises
/// as TSourceText::LoadFromFile does.
std::size_t CountSourceLines(const std::string& FileName);
/// The number of line ends in Text: every CR and every LF, a CR LF pair counting once.
std::size_t CountLineEnds(std::string_view Text);

/// Reads a text file as lines, as TSourceText does.
std::vector<std::string> LoadSourceLines(const std::string& FileName);
