#pragma once
// The registry-backed ini object. The current user's registry is one settings file of ours
// (Quorvex/Registry.ini under the user's configuration folder); a key path such as
// "\Software\Brackle\Quorvex\VB" is kept as the group path "Software/Brackle/Quorvex/VB" in it.

#include "platform/rtl/Classes.h"

#include <QString>

#include <memory>
#include <string>

class QSettings;

/// One registry key of the current user, read and written as sections (sub-keys) of string
/// values. Strings are UTF-8. Changes are kept in memory, where every TRegIniFile of the process
/// sees them at once, and reach the settings file with UpdateFile: the whole file is replaced in
/// one step (a new file, synced, renamed over the old one), so that a program ended half-way
/// leaves either the old file or the new one; the new file has no name until it is complete, so
/// none is left beside it (a lock file that a killed program leaves is taken over as stale by
/// the next write). Changes left over when the object ends are written then, without a
/// report. When the settings file's name is taken by something that is no regular file (a named
/// pipe, a device, a socket, a folder), it is neither read nor replaced: the settings live in
/// memory only and UpdateFile raises, saying what is in the way. The file keeps its owner where
/// the process may give it.
class TRegIniFile final {
public:
    /// Opens KeyPath (backslashes or slashes, a leading separator optional).
    explicit TRegIniFile(const std::string& KeyPath);
    ~TRegIniFile();
    TRegIniFile(const TRegIniFile&) = delete;
    TRegIniFile& operator=(const TRegIniFile&) = delete;

    /// Appends one "name=data" line per value of Section. Values come in the order they were
    /// written under numbered names: F2 before F10.
    void ReadSectionValues(const std::string& Section, TStringList& Strings);
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    /// Deletes Section with all its values.
    void EraseSection(const std::string& Section);
    /// Writes the changes to the settings file; raises when it cannot be written.
    void UpdateFile();

    /// The settings file that holds the current user's keys.
    static QString SettingsFileName();

private:
    QString Key(const std::string& Section, const std::string& Ident = {}) const;

    QString mPath;
    std::string mNotAFile; // what the settings file is when it is no regular file
    std::unique_ptr<QSettings> mSettings;
};
