#pragma once
// The Visual Basic 6 project the scan benchmarks share, shaped after measured real projects:
// forms whose layout blocks make about 40 % of all lines, code modules, classes and a few user
// controls, with a Project.vbp that lists them. Lines average 33 bytes, with long SQL strings,
// Declare statements and If conditions among them; most files end their lines with CR LF, some
// with LF; text is Windows-1252. Date handling occurs at the frequency and in the shapes business
// code has, next to look-alikes (Format of amounts, Timeout, Days, Update, Validate) and
// keywords inside comments and string literals. The same seed writes the same bytes.

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qxbench {

/// One module file of the generated project.
struct TVbModule {
    std::string FileName; ///< as on disk, from the project's folder, e.g. "frmOrderList.frm"
    char Kind = 'M';      ///< 'F' form, 'M' code module, 'C' class, 'U' user control
    bool CrLf = true;     ///< lines end with CR LF, else with LF
    long Lines = 0;
    std::string Entry; ///< as Project.vbp lists it: "frmOrderList.frm", "..\Common\modDates.bas"
};

/// A module of another folder that a project lists as its own ("..\Common\modDates.bas").
struct TVbShared {
    TVbModule Module;        ///< its Entry is the project's
    std::string Name;        ///< the module's name, "modDates"
    std::string FromProject; ///< the file from the project's folder, "../Common/modDates.bas"
};

/// What one generated project holds. The default is the large project of the scan benchmarks.
struct TVbShape {
    std::string Name = "Auftrag";            ///< the project's name in its file
    std::string ProjectFile = "Project.vbp"; ///< none is written when empty
    int Forms = 150, CodeModules = 95, Classes = 50, Controls = 5;
    long Lines = 366000;
    /// Share of modules whose name on disk differs in letter case from the project's entry.
    int CaseMismatchPercent = 0;
    std::vector<TVbShared> Shared;
};

/// The generated project and what it holds. Totals count the module files, not Project.vbp.
struct TVbProject {
    std::string Folder;      ///< ends with '/'
    std::string ProjectFile; ///< Folder + "Project.vbp"
    std::vector<TVbModule> Modules;
    long long Lines = 0;
    long long Bytes = 0;       ///< file sizes, line ends included
    long long TextBytes = 0;   ///< line ends not included
    long long LayoutLines = 0; ///< form and user-control headers: VERSION, Object, Begin … End, Attribute
    long long LayoutBlockLines = 0; ///< the Begin … End blocks of the .frm files, which a scan passes over
    long long LongLines = 0;        ///< lines of 150 bytes or more
    long long AnsiBytes = 0;        ///< bytes of 0x80 and above: letters of Windows-1252
    long long LfFiles = 0;          ///< modules whose lines end with LF alone

    double AverageLineBytes() const {
        return Lines ? static_cast<double>(TextBytes) / static_cast<double>(Lines) : 0;
    }
    /// Module files as Folder + name, in project order.
    std::vector<std::string> Files() const;
};

/// Writes the project into Folder (emptied first; a '/' is added when missing). Words are the
/// keywords of a scan's list: some comments and string literals quote them. About 366 000
/// lines, 12 MB, 300 modules.
TVbProject GenerateVbProject(const std::string& Folder, const std::vector<std::string>& Words,
                             std::uint32_t Seed = 1998);
/// The same with another make-up.
TVbProject GenerateVbProject(const std::string& Folder, const std::vector<std::string>& Words,
                             const TVbShape& Shape, std::uint32_t Seed);

/// A folder of projects as a user's disk holds them: twelve projects of the sizes real ones have
/// (8 to 80 modules; 396 modules and about 257 000 lines together), each in a folder of its own,
/// most listing shared modules of a Common folder beside them as "..\Common\…". A third of the
/// module files have names on disk in another letter case than their entries.
struct TVbFolder {
    std::string Root; ///< ends with '/'
    std::vector<TVbProject> Projects;
    std::vector<std::string> ProjectFiles() const;
    long long Lines() const;
    std::size_t Modules() const;
};
TVbFolder GenerateVbFolder(const std::string& Root, const std::vector<std::string>& Words,
                           std::uint32_t Seed = 2000);

/// Project files to benchmark: the program's arguments after the benchmark's own flags, else
/// the entries of the environment variable QX_BENCH_PROJECTS (separated by ':'); empty when
/// neither names any.
std::vector<std::string> ProjectFilesFrom(int Argc, char** Argv);

/// Module files a project file lists, read as the program's project reader reads them (entries
/// upper-cased; ".." and drive entries from their own folder) and found on disk: {Path, Name}.
std::vector<std::pair<std::string, std::string>> ProjectModules(const std::string& ProjectFile);

/// How many lines of the project's modules hold at least one of Words (matched case-sensitively
/// as substrings, as the scan matches keywords). Reads the files.
long long LinesHoldingAny(const TVbProject& Project, const std::vector<std::string>& Words);

/// The entries of a word list file, without their line ends (CR LF or LF); empty lines dropped.
std::vector<std::string> ReadWordList(const std::string& FileName);

/// Times of Runs runs of `grep -c -F <Options> -f Patterns Files…`. Patterns is written from
/// Words with LF line ends: grep would take the CR of a CR LF list into every pattern. grep is
/// started directly (no shell) with LC_ALL=C, so that it reads bytes as the scan does and no
/// multibyte locale's decoding slows it down (the files are Windows-1252, not UTF-8). Its counts
/// go to a file, not to /dev/null, where GNU grep would stop at the first match. Empty when grep
/// cannot be run.
std::vector<double> GrepSeconds(const std::vector<std::string>& Files, const std::vector<std::string>& Words,
                                const std::string& Options, int Runs);

/// The seconds of D.
double Seconds(std::chrono::steady_clock::duration D);
/// A name in the temporary folder for What, kept apart from other processes' by this one's id.
std::string TempName(const std::string& What);

/// A kilobyte count of /proc/self/status ("VmRSS", "VmHWM").
long long StatusKb(const std::string& Field);
/// Sets the process's peak memory (VmHWM) back to what it holds now, so that a benchmark's peak
/// is its own and not that of one run before it.
void ResetPeakMemory();

/// The smallest and the median of Samples (0 for none).
double Min(std::vector<double> Samples);
double Median(std::vector<double> Samples);

/// Name_min_s and Name_med_s of the times in Samples, as a benchmark's counters.
template <class TCounters>
void SetTimes(TCounters& Counters, const std::string& Name, const std::vector<double>& Samples) {
    Counters[Name + "_min_s"] = Min(Samples);
    Counters[Name + "_med_s"] = Median(Samples);
}
/// Name_min and Name_med: the smallest of Times over the smallest of Others, and the medians'
/// ratio; nothing when Others is empty (grep could not be run).
template <class TCounters>
void SetRatios(TCounters& Counters, const std::string& Name, const std::vector<double>& Times,
               const std::vector<double>& Others) {
    if (Others.empty())
        return;
    Counters[Name + "_min"] = Min(Times) / Min(Others);
    Counters[Name + "_med"] = Median(Times) / Median(Others);
}

} // namespace qxbench
