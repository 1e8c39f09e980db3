#pragma once
// The keyword and exclusion lists and their files beside the program.

#include "platform/rtl/Classes.h"

#include <QString>

#include <memory>
#include <string>

class TfrmKeyWords;

/// The keywords the scans look for, and the words never reported as hits (sorted, compared
/// without regard to case, without duplicates). Defined with the main window, which loads them
/// at its creation and writes them back at its destruction.
extern std::unique_ptr<TStringList> KeyWordList;
extern std::unique_ptr<TStringList> ExcludeWordList;
/// The word lists' files: the program folder + "KeyWords.TXT" / "ExcWords.TXT".
extern std::string KeyWordFile;
extern std::string ExcludeWordFile;

/// A sorted list that compares its entries as text, without regard to case and by the locale's
/// rules, and keeps the first of two entries that differ only in case.
std::unique_ptr<TStringList> CreateWordList();
/// Adds the lines of FileName (every line one entry, an empty one too) to List.
void LoadWordList(TStringList& List, const std::string& FileName);
/// Writes List to FileName, one entry per line ended by CR LF; the old file is replaced only
/// once the new one is complete.
void SaveWordList(const TStringList& List, const std::string& FileName);

/// Lets the user edit List in Editor under Caption. The list is written to FileName first and
/// the editor loads that file; on OK the editor's lines go to the file and List is reloaded from
/// it, sorted and without duplicates. Returns True on OK.
bool EditWordList(TfrmKeyWords& Editor, TStringList& List, const std::string& FileName,
                  const QString& Caption);
