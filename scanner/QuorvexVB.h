#pragma once
// The scanner's program block, apart from main() so that tests can run start-up as the user meets it.

#include <QStringList>

#include <string>

/// Runs the scanner on the QApplication that exists: splash, application title and help file,
/// the main window (word lists from ProgramDir, which ends with '/'; the scan document named
/// first in Arguments), the windows it uses, then the event loop until the main window closes.
/// Returns the event loop's exit code.
int RunQuorvexVB(const std::string& ProgramDir, const QStringList& Arguments);
