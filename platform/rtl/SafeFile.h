#pragma once
// Replacing a file without risking its old contents.

#include "platform/rtl/Classes.h"

#include <functional>
#include <string>

/// A new file that is to replace FileName once it is complete. It is made in FileName's folder
/// without a name where the file system allows (so that a program killed while writing leaves
/// nothing behind), otherwise under a hidden temporary name; Commit syncs it and puts it in
/// FileName's place in one step, and until then the old file stays as it was. Dropped without
/// Commit (an exception on the way), the new file goes and the old one stays.
///
/// Only a regular file is replaced: a FileName that is a folder, a named pipe, a socket or a
/// device raises EFCreateError "Cannot create file %s: it is <a named pipe, ...>, not a file"
/// before anything is written. A symbolic link is followed: the file it points to is replaced
/// and the link stays. With ReplaceLink, a link at FileName is itself replaced and what it points
/// to is left alone (for files the program writes under fixed names beside the user's). The new
/// file keeps the old one's owner and permission bits where the process may give them.
///
/// A file that cannot be made raises EFCreateError "Cannot create file %s (<the system's
/// reason>)"; data that cannot be stored raises EWriteError "Cannot write file %s (<the system's
/// reason>)" at the failing write or at Commit.
class TSafeFile final : public TFileStream {
public:
    explicit TSafeFile(const std::string& FileName, bool ReplaceLink = false);
    ~TSafeFile() override;
    TSafeFile(const TSafeFile&) = delete;
    TSafeFile& operator=(const TSafeFile&) = delete;

    std::string ClassName() const override { return "TSafeFile"; }
    Longint Write(const void* Buffer, Longint Count) override;
    /// Puts the written data in the place of the file; nothing is to be written after it.
    void Commit();

private:
    struct TNew;
    /// Checks FileName and opens the new file.
    static TNew Create(const std::string& FileName, bool ReplaceLink);
    TSafeFile(const std::string& FileName, TNew New);
    [[noreturn]] void Fail(int Error);

    std::string mTarget; // the file to replace, links followed unless ReplaceLink
    std::string mTemp;   // the temporary name, empty while the new file has none
    bool mOpen = true;
};

/// Runs Write on a TSafeFile for FileName and commits it: on any failure, an exception of Write
/// itself included, the old file stays as it was and nothing is left beside it.
void SaveFileSafely(const std::string& FileName, const std::function<void(TStream&)>& Write,
                    bool ReplaceLink = false);
