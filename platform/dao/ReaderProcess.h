#pragma once
// Runs the reader program on one database file under a time limit and returns its snapshot.

#include "platform/dao/Snapshot.h"

#include <memory>
#include <string>

namespace dao {

/// Checks the file, starts the reader with descriptor 3 as a pipe and everything else on
/// /dev/null, collects what it writes until it exits or the limit passes (then kills it), and
/// parses the result. Raises EOleException naming FileName when the file is missing, is no Access
/// database, or the reader fails, is killed, or writes an incomplete snapshot. While a snapshot of
/// the same unchanged file is held elsewhere, that one is returned without reading the file again.
std::shared_ptr<const Snapshot> ReadSnapshot(const std::string& FileName, const std::string& Program,
                                             int TimeLimitMs);

} // namespace dao
