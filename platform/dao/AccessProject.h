#pragma once
// The Access application objects stored inside a database file: the VBA project with the source
// of every module, and the design of every form and report (its controls by name and type).
// Used by the reader program only; every function here parses untrusted bytes and raises
// AccessFileError when they make no sense.
//
// Where Access keeps them:
//   MSysAccessObjects (ID, Data)       Access 97 and 2000: the chunks of one OLE compound file; the
//                                      row with ID 0 holds 5 and the total length, row n >= 1 the
//                                      chunk at (n - 1) x chunk size; all-zero chunks are left out
//   MSysAccessStorage (Id, ParentId,   Access 2002 and later: the same tree as rows; Type 1 is a
//     Name, Type, Lv)                  storage, 2 a stream whose bytes are Lv
// In both trees:
//   VBA/VBAProject/VBA/dir             the project's module list, compressed
//   VBA/VBAProject/VBA/<stream>        a module: p-code, then its source compressed from an offset
//   Forms/DirData, Reports/DirData     names of forms and reports with their storage numbers
//   Forms/<n>/TypeInfo                 the controls of a form: type code and name
// Files of the Access 95 era (Jet 3) may keep them elsewhere, or only there:
//   MSysModules2 (Name, Type, Module,  one row per module: Type 32775 a standard module, 32768 a
//     TypeInfo)                        form's ("Form_<name>"), 32772 a report's; Module holds the
//                                      compiled code with the source compressed inside it,
//                                      TypeInfo the controls as above
//   MSysObjects (Lv)                   the controls of a form or report without code

#include "platform/dao/Snapshot.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dao {

class AccessFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A storage or a stream of the object tree.
struct StorageNode {
    std::string Name;
    bool Stream = false;
    std::string Data;
    /// Why the stream's data could not be read; empty when it was.
    std::string Damage;
    std::vector<StorageNode> Children;

    /// The data of a stream, or AccessFileError with the reason it cannot be read.
    const std::string& Bytes() const;

    /// A child by name without regard to case, or nil.
    const StorageNode* Child(std::string_view ChildName) const;
    /// A descendant by a path of names separated by '/', or nil.
    const StorageNode* Find(std::string_view Path) const;
};

/// One row of MSysAccessObjects or MSysAccessStorage, raw.
struct StorageRow {
    std::int32_t Id = 0;
    std::int32_t ParentId = 0;
    std::string Name;
    int Type = 0;
    std::string Data;
    /// Why the row's data could not be read; empty when it was.
    std::string Damage;
};

/// The rows of MSysAccessObjects or MSysAccessStorage as the reader fetched them, with why the
/// data of a row could not be read (by row; empty when every row was read).
std::vector<StorageRow> StorageRows(const TableRows& T, const std::vector<std::string>& Damage = {});

/// What the catalogue (MSysObjects) lists: forms, reports, and anything that may have code.
struct ListedObjects {
    bool Forms = false;
    bool Reports = false;
    bool Code = false;
};

/// A stretch of the compound file that MSysAccessObjects does not hold whole: a chunk missing
/// from the numbering, held short, or whose row could not be read; Why says which.
struct ChunkHole {
    std::uint64_t Start = 0;
    std::uint64_t End = 0;
    std::string Why;
};

/// The compound file that the chunks of MSysAccessObjects make, what they do not hold filled with
/// zeros and listed in Holes. The header row states the file's length; rows past it are left over
/// from a longer file that Access wrote before and are not part of it. A chunk with more bytes
/// than a chunk holds is left out: it costs only what lies in its place.
std::string AssembleChunks(const std::vector<StorageRow>& Rows, std::size_t ChunkSize,
                           std::vector<ChunkHole>& Holes);

/// The project that the chunks of MSysAccessObjects hold. Access leaves out chunks of zeros, so a
/// hole costs nothing by itself: the file is read again with its holes filled with other bytes,
/// and the streams that either read gives otherwise may hold bytes that are not theirs. Those
/// cost only their modules and designs, each named with the chunks it lacks; a hole in the
/// directory costs the parts whose entries lay in it, named as missing. Only a compound file that
/// cannot be read at all costs the whole project (AccessFileError).
FileProject ReadChunkedProject(const std::vector<StorageRow>& Rows, std::size_t ChunkSize,
                               const ListedObjects& Listed = {});

/// The tree of an OLE compound file.
StorageNode ReadCompoundFile(std::string_view Bytes);

/// The tree of MSysAccessStorage: the root is the row that is its own parent.
StorageNode StorageTree(const std::vector<StorageRow>& Rows);

/// Decompresses a VBA compressed container that starts at Offset (libgsf's gsf_vba_inflate
/// misreads uncompressed chunks). The container runs to the end of Bytes, or, with
/// EndsAtShortChunk, to its first chunk that holds less than 4096 bytes (only the last chunk
/// does), so that other data may follow it.
std::string DecompressVba(std::string_view Bytes, std::size_t Offset = 0, bool EndsAtShortChunk = false);

/// The source of a module as MSysModules2 keeps it: the compressed container inside the compiled
/// code that starts with the module's Attribute lines.
std::string LegacyModuleSource(std::string_view Module);

struct VbaDirModule {
    std::string Name;       // in the project's code page
    std::string StreamName; // in the project's code page
    std::uint32_t TextOffset = 0;
    bool Class = false;
};

struct VbaDir {
    int CodePage = 1252;
    std::vector<VbaDirModule> Modules;
};

/// Reads the records of a decompressed `dir` stream.
VbaDir ParseVbaDir(std::string_view Bytes);

/// Windows-1252 text from text in a Windows code page; characters it cannot show become '?'.
std::string CodePageToCp1252(std::string_view Text, int CodePage);

/// The names and storage numbers of a DirData stream, in stream order.
std::vector<std::pair<std::string, std::uint32_t>> ParseDirData(std::string_view Bytes);

/// The type code of TypeInfo entries that are fields of the record source.
constexpr int kFieldEntry = 255;

/// The controls of a TypeInfo stream in stream order, sections included, fields left out. A list
/// that holds an entry that is no control, or does not end where its entries do, is damaged.
std::vector<FileControl> ParseTypeInfo(std::string_view Bytes);

/// Everything the tree holds: the modules' source and the forms' and reports' controls. Damage to
/// one module or one form is noted in the project's Problems and does not stop the others; so is
/// a VBA project, list of forms or list of reports that the tree lacks while Listed has objects
/// that need it.
FileProject ReadAccessProject(const StorageNode& Root, const ListedObjects& Listed = {});

/// Adds Cause to the reason of every note of P that does not yet say what damage it comes from:
/// what made the parts they name unreadable.
void NoteCause(FileProject& P, const std::string& Cause);

/// A form, report or standard module as the Access 95 layout keeps it.
struct LegacyObject {
    enum Kinds { Form, Report, Module } Kind = Module;
    /// The object's own name (a form's without "Form_").
    std::string Name;
    /// The Module value of MSysModules2: compiled code with the source inside; empty when none.
    std::string Code;
    /// A TypeInfo stream: the controls of a form or report; empty when none.
    std::string TypeInfo;
};

/// Adds to P what it lacks of the objects of the Access 95 layout: modules by name, the designs
/// of forms and reports by name. What cannot be read is noted in P's Problems.
void AddLegacyObjects(const std::vector<LegacyObject>& Objects, FileProject& P);

} // namespace dao
