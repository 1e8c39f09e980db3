#pragma once
// What the reader program quorvex-mdbread learns from an Access file, and the text form in which it
// hands that over to the engine. The engine serves every call from this snapshot.
//
// Text form: one record per line, fields separated by TAB; in a field, backslash, TAB, CR and LF are
// written \\, \t, \r, \n. Records:
//   V <format version> <Jet version: 0 Jet 3, 1 Jet 4, 2.. ACE>       first line
//   O <id> <parent id> <type> <flags> <name> <created> <updated> <connect> <database> <foreign name>
//   P <block name> <property name> <value>     a stored property of the last object, in file order
//   C <name> <type> <size> <flags>             a column of the last object's table definition
//   R <record count>                           the last object has a table definition with that many rows
//   E <damage>                                 what of the last object cannot be read, and why
//   T <table>                                  rows of a system table follow
//   K <column> <type>                          a column of the last table
//   W <value>...                               one row of the last table
//   M <name> <0 standard, 1 class> <code>     a module's source from the file
//   G <F form or R report> <name>              a design from the file
//   Q <name> <type code>                       a control of the last design
//   A <problem>                                something of the file's application objects unread
//   ! <message>                                                        the reader failed
//   Z                                                                  end: the snapshot is complete
// Values are a type letter and its text: N null, B0/B1 Boolean, U byte, H 16-bit, L 32-bit,
// C currency (ten-thousandths), F single and D double and T date (IEEE bits in hex), S text
// (Windows-1252), X bytes in hex. Numbers never pass through the C library's locale.

#include "platform/rtl/Variant.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dao {

/// Column and property data types of the Jet file format (also DAO's field type codes).
enum JetType : int {
    jtBoolean = 1,
    jtByte = 2,
    jtInteger = 3,
    jtLong = 4,
    jtCurrency = 5,
    jtSingle = 6,
    jtDouble = 7,
    jtDate = 8,
    jtBinary = 9,
    jtText = 10,
    jtLongBinary = 11,
    jtMemo = 12,
    jtGuid = 15,
    jtNumeric = 16,
};

struct StoredProperty {
    std::string Name;
    Variant Value;
};

/// The stored properties of one object or of one of its columns (Name empty: the object's own).
struct PropertyBlock {
    std::string Name;
    std::vector<StoredProperty> Properties;
};

struct ColumnInfo {
    std::string Name;
    int Type = 0;
    int Size = 0;
    /// Bit 0 fixed length, bit 2 auto-increment.
    int Flags = 0;
};

/// MSysObjects' Type of the objects that the reader and the Access service look for.
constexpr int kQueryObject = 5;
constexpr int kFormObject = -32768;
constexpr int kReportObject = -32764;
constexpr int kModuleObject = -32761;

/// One row of MSysObjects with what belongs to it.
struct CatalogObject {
    std::int32_t Id = 0;
    std::int32_t ParentId = 0;
    int Type = 0;
    std::int32_t Flags = 0;
    std::string Name;
    Variant DateCreate;
    Variant DateUpdate;
    std::string Connect;
    std::string Database;
    std::string ForeignName;
    std::vector<PropertyBlock> Properties;
    std::vector<ColumnInfo> Columns;
    std::int64_t RecordCount = 0;
    bool HasDefinition = false;
    /// Why the object's definition or stored properties cannot be read whole; empty when they can.
    std::string Damage;

    /// The block of stored properties with that name, or nil.
    const PropertyBlock* Block(std::string_view BlockName) const;
};

/// Rows of a system table that queries may run over.
struct TableRows {
    std::string Name;
    std::vector<std::pair<std::string, int>> Columns;
    std::vector<std::vector<Variant>> Rows;
};

/// A module's source as the database file holds it, in Windows-1252 with its own line ends.
struct FileModule {
    std::string Name;
    /// A class module (the modules of forms and reports are); else a standard module.
    bool Class = false;
    std::string Code;
};

/// A control of a form or report: its name and Access's type code (its ControlType: 100 Label,
/// 109 TextBox ...; the sections are listed too, with the codes from kFirstSection to kLastSection).
constexpr int kFirstSection = 152;
constexpr int kLastSection = 158;
struct FileControl {
    std::string Name;
    int Type = 0;
};

/// A form or report as the database file holds its design.
struct FileDesign {
    std::string Name;
    std::vector<FileControl> Controls;
};

/// The application objects of the database file (AccessProject.h reads them).
struct FileProject {
    std::vector<FileModule> Modules;
    std::vector<FileDesign> Forms;
    std::vector<FileDesign> Reports;
    /// What could not be read, one sentence each ("the module 'X' is damaged").
    std::vector<std::string> Problems;
};

struct Snapshot {
    int JetVersion = 0;
    std::vector<CatalogObject> Objects;
    std::vector<TableRows> Tables;
    FileProject Project;

    /// Looks a system table up without regard to case; nil when the file has none.
    const TableRows* FindTable(std::string_view Name) const;
};

/// Writes the text form record by record (used by the reader program).
class SnapshotWriter {
public:
    explicit SnapshotWriter(std::string& Out) : mOut(Out) {}
    void Header(int JetVersion);
    void Object(const CatalogObject& O);
    void Table(const TableRows& T);
    void Project(const FileProject& P);
    void Error(std::string_view Message);
    void End();

private:
    void Field(std::string_view Text);
    void Value(const Variant& V);
    void EndLine();
    std::string& mOut;
};

/// The outcome of parsing the reader's output.
struct ParsedSnapshot {
    Snapshot Data;
    bool Complete = false;
    std::string Error;
};

/// Parses the text form. Never throws on bad input: a line that cannot be read ends the parse and
/// leaves Complete false.
ParsedSnapshot ParseSnapshot(std::string_view Text);

/// Value encoding alone, for tests and the reader.
std::string EncodeValue(const Variant& V);
bool DecodeValue(std::string_view Text, Variant& V);

} // namespace dao
