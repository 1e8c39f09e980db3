#pragma once
// Forms, reports and modules of a database read from the database file itself, for a database
// without a text export: the reader program of the database engine (platform/dao) takes the
// containers from MSysObjects, the modules' source from the VBA project and the forms' and
// reports' controls from their designs, and hands them over in its snapshot.
//
// What the file gives: the documents of the containers "Forms", "Reports" and "Modules" in the
// file's order; every module's code; every control of a form or report with the properties
// Name and ControlType (Access's type code). Other property values of forms, reports and controls
// stay in Access's binary design format and are not read.

#include "platform/access/Access.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dao {
struct Snapshot;
}

namespace msaccess {

/// Lines of a text split at CR LF, CR or LF; a last line without its end is kept.
std::vector<std::string> SplitLines(std::string_view Text);

class FileSource {
public:
    FileSource(std::string DatabaseName, std::shared_ptr<const dao::Snapshot> Data);

    /// The names of the documents of a container ("Forms", "Reports", "Modules"), in file order.
    std::vector<std::string> Documents(const std::string& Container) const;
    /// A form (acForm) or report (acReport) in design view: its Name, and its controls (sections
    /// are not controls). Raises EOleException when there is no such object or its design cannot
    /// be read.
    std::shared_ptr<AccessObject> Load(int Kind, const std::string& Name) const;
    /// The code of a module as the editor shows it (without the leading Attribute lines): a
    /// standard or class module by its name, the module of a form or report as "Form_<name>" or
    /// "Report_<name>". Raises EOleException when there is no such module or it holds no code.
    std::vector<std::string> ModuleCode(const std::string& ModuleName) const;

private:
    /// The sentence of the reader's notes that concerns the module (Kind acModule), form or report
    /// Name ("" when none does).
    std::string ProblemWith(const std::string& Name, int Kind) const;
    std::string mDatabase;
    std::shared_ptr<const dao::Snapshot> mData;
};

} // namespace msaccess
