#pragma once
// Conversions at the widget boundary. Model strings are Windows-1252 bytes; file names are the
// system's own 8-bit names; widgets speak QString.

#include "platform/rtl/Classes.h"

#include <QCollator>
#include <QString>

#include <string>
#include <string_view>

/// Windows-1252 bytes to text; every byte round-trips through ToAnsi.
QString FromAnsi(std::string_view S);
/// Text to Windows-1252 bytes; a character the code page cannot hold becomes '?'.
std::string ToAnsi(const QString& S);

/// A file name as the system stores it, for display and for Qt's file classes.
QString FromFileName(const std::string& FileName);
/// A name from a widget or a Qt file class, as the system's file calls take it.
std::string ToFileName(const QString& FileName);

/// A message for the user: UTF-8 when the bytes are valid UTF-8 (messages that name files),
/// else Windows-1252 (messages that quote the model's strings).
QString FromMessage(std::string_view S);

/// What the entries of a TLocaleStringList hold.
enum class TEntryText { Ansi, FileName };

/// A string list that compares its entries as text (decoded from Windows-1252 or as file names)
/// without regard to case and in the order of the user's locale; the locale is the one in force
/// when the list is made.
class TLocaleStringList final : public TStringList {
public:
    explicit TLocaleStringList(TEntryText Entries);
    int CompareStrings(const std::string& S1, const std::string& S2) const override;

private:
    QString Decode(const std::string& S) const;

    TEntryText mEntries;
    QCollator mCollator;
};
