#include "platform/dao/ReaderProcess.h"

#include "platform/dao/DAO.h"
#include "platform/dao/JetFormat.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace dao {

namespace {

constexpr std::size_t kMaxSnapshot = 256u << 20;
const char* const kSource = "DAO.Workspace";

[[noreturn]] void Fail(const std::string& FileName, const std::string& Why, int Code = daoErrCannotRead) {
    throw EOleException(Format("'%s' could not be read: %s.", FileName, Why), Code, kSource);
}

/// Closes a descriptor when it goes out of scope.
struct FdGuard {
    int Fd = -1;
    ~FdGuard() {
        if (Fd >= 0)
            close(Fd);
    }
};

/// The last snapshot read, while anyone holds it: the engine and the Access service open the same
/// file one after the other during a scan, and the file is read once for both as long as it has
/// not changed.
struct LastSnapshot {
    std::mutex Lock;
    std::string FileName;
    struct stat Stat {};
    std::weak_ptr<const Snapshot> Data;
} gLast;

bool SameFile(const struct stat& A, const struct stat& B) {
    return A.st_dev == B.st_dev && A.st_ino == B.st_ino && A.st_size == B.st_size &&
           A.st_mtim.tv_sec == B.st_mtim.tv_sec && A.st_mtim.tv_nsec == B.st_mtim.tv_nsec &&
           A.st_ctim.tv_sec == B.st_ctim.tv_sec && A.st_ctim.tv_nsec == B.st_ctim.tv_nsec;
}

int WaitFor(pid_t Pid) {
    int Status = 0;
    while (waitpid(Pid, &Status, 0) < 0 && errno == EINTR) {
    }
    return Status;
}

} // namespace

std::shared_ptr<const Snapshot> ReadSnapshot(const std::string& FileName, const std::string& Program,
                                             int TimeLimitMs) {
    struct stat St {};
    if (stat(FileName.c_str(), &St) != 0)
        throw EOleException(Format("Could not find file '%s'.", FileName), daoErrFileNotFound, kSource);
    if (const std::string Kind = NonFileKind(St); !Kind.empty())
        throw EOleException(Format("Cannot open '%s': it is %s, not a database file.", FileName, Kind),
                            daoErrCannotRead, kSource);
    {
        const std::lock_guard<std::mutex> Guard(gLast.Lock);
        if (FileName == gLast.FileName && SameFile(St, gLast.Stat))
            if (auto Data = gLast.Data.lock())
                return Data;
    }
    const JetHeader H = CheckJetFile(FileName);
    if (!H.Ok) {
        if (!H.NotDatabase)
            Fail(FileName, H.Problem);
        throw EOleException(Format("'%s' is not an Access database%s.", FileName,
                                   H.Problem.empty() ? std::string() : " (" + H.Problem + ")"),
                            daoErrUnrecognized, kSource);
    }
    if (access(Program.c_str(), X_OK) != 0)
        throw EOleException(
            Format("Cannot open '%s': the database reader program '%s' is missing.", FileName, Program),
            daoErrCannotRead, kSource);

    int Pipe[2];
    if (pipe2(Pipe, O_CLOEXEC) != 0)
        Fail(FileName, std::strerror(errno));
    FdGuard ReadEnd{Pipe[0]};
    FdGuard WriteEnd{Pipe[1]};

    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addopen(&Actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&Actions, Pipe[1], 3);
    const std::string Seconds = IntToStr(TimeLimitMs / 1000 + 2);
    char* Argv[] = {const_cast<char*>(Program.c_str()), const_cast<char*>(FileName.c_str()),
                    const_cast<char*>(Seconds.c_str()), nullptr};
    pid_t Pid = 0;
    const int SpawnError = posix_spawn(&Pid, Program.c_str(), &Actions, nullptr, Argv, environ);
    posix_spawn_file_actions_destroy(&Actions);
    if (SpawnError != 0)
        Fail(FileName, Format("the database reader cannot be started (%s)", std::strerror(SpawnError)));
    close(WriteEnd.Fd);
    WriteEnd.Fd = -1;

    // Collect the output until the reader closes the pipe, with one deadline for the whole run.
    std::string Output;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeLimitMs);
    bool TimedOut = false, TooLarge = false;
    char Buffer[65536];
    while (true) {
        const auto Left =
            std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now())
                .count();
        if (Left <= 0) {
            TimedOut = true;
            break;
        }
        pollfd P{ReadEnd.Fd, POLLIN, 0};
        const int Ready = poll(&P, 1, static_cast<int>(Left));
        if (Ready < 0 && errno == EINTR)
            continue;
        if (Ready == 0) {
            TimedOut = true;
            break;
        }
        const ssize_t N = read(ReadEnd.Fd, Buffer, sizeof Buffer);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            break;
        Output.append(Buffer, static_cast<std::size_t>(N));
        if (Output.size() > kMaxSnapshot) {
            TooLarge = true;
            break;
        }
    }
    if (TimedOut || TooLarge)
        kill(Pid, SIGKILL);
    const int Status = WaitFor(Pid);
    if (TimedOut)
        Fail(FileName, Format("reading it took longer than %d seconds; the file may be damaged",
                              (TimeLimitMs + 999) / 1000));
    if (TooLarge)
        Fail(FileName, "its catalogue is implausibly large; the file may be damaged");

    ParsedSnapshot Parsed = ParseSnapshot(Output);
    if (Parsed.Complete && WIFEXITED(Status) && WEXITSTATUS(Status) == 0) {
        auto Data = std::make_shared<const Snapshot>(std::move(Parsed.Data));
        const std::lock_guard<std::mutex> Guard(gLast.Lock);
        gLast.FileName = FileName;
        gLast.Stat = St;
        gLast.Data = Data;
        return Data;
    }
    if (!Parsed.Error.empty() && Output.rfind("!\t", 0) == 0)
        Fail(FileName, Parsed.Error);
    if (WIFSIGNALED(Status))
        Fail(FileName,
             Format("the database reader stopped with signal %d; the file may be damaged", WTERMSIG(Status)));
    if (WIFEXITED(Status) && WEXITSTATUS(Status) != 0 && Parsed.Error.empty())
        Fail(FileName, Format("the database reader failed with exit code %d", WEXITSTATUS(Status)));
    Fail(FileName, Parsed.Error.empty() ? std::string("the database reader gave no result") : Parsed.Error);
}

} // namespace dao
