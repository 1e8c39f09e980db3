#pragma once
// The folder walk of Scan Directories: the search of a folder tree for Visual Basic project files
// and Access databases, on the POSIX directory calls alone. It needs no widgets, so that it is
// built and tested without a window.

#include <string>
#include <vector>

/// Every "*.mak", "*.vbp" and database ("*.mdb", "*.accdb"; any letter case) in and below Start,
/// in three groups in that order, each in breadth-first order, names sorted by bytes within a
/// folder. Folders whose names begin with '.' are not searched, folders that cannot be listed add
/// nothing, and a folder reached twice (through symbolic links) is searched once. Start is a folder
/// without a trailing '/' (the root is "/"); the results read Start + '/' + name.
std::vector<std::string> SearchFolders(const std::string& Start);
