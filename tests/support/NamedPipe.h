#pragma once
// A named pipe for tests of what the program does with a file name that is no file. Opening a
// pipe to read waits for a writer, and reading it waits for data: a program that does not refuse
// it would hang the test. While the pipe lives, a watchdog gives every reader that is still
// there after the time limit a writer that closes at once, so the read ends (with an empty file)
// and the test fails on what it then sees instead of hanging; Released() tells it so.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

class TNamedPipe {
public:
    explicit TNamedPipe(std::string Name, std::chrono::milliseconds Limit = std::chrono::seconds(5))
        : mName(std::move(Name)) {
        mMade = ::mkfifo(mName.c_str(), 0600) == 0;
        mWatch = std::thread([this, Limit] {
            std::unique_lock Lock(mMutex);
            if (mStop.wait_for(Lock, Limit, [this] { return mDone; }))
                return;
            // Past the limit: release readers until the pipe is let go.
            while (!mStop.wait_for(Lock, std::chrono::milliseconds(20), [this] { return mDone; })) {
                const int Fd = ::open(mName.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (Fd >= 0) {
                    mReleased = true;
                    ::close(Fd);
                }
            }
        });
    }
    ~TNamedPipe() {
        {
            std::lock_guard Lock(mMutex);
            mDone = true;
        }
        mStop.notify_all();
        mWatch.join();
        ::unlink(mName.c_str());
    }
    TNamedPipe(const TNamedPipe&) = delete;
    TNamedPipe& operator=(const TNamedPipe&) = delete;

    /// The pipe could be made.
    bool Made() const { return mMade; }
    /// A reader hung on the pipe past the time limit and had to be released.
    bool Released() const { return mReleased; }
    const std::string& Name() const { return mName; }

private:
    std::string mName;
    bool mMade = false;
    std::atomic<bool> mReleased{false};
    std::mutex mMutex;
    std::condition_variable mStop;
    bool mDone = false;
    std::thread mWatch;
};

} // namespace testsupport
