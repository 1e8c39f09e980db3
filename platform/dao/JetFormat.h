#pragma once
// Pieces of the Jet file format that we read ourselves rather than trust libmdb with: the file
// header, text encodings, typed values and the property blobs (LvProp) of MSysObjects.

#include "platform/dao/Snapshot.h"

#include <string>
#include <string_view>
#include <vector>

namespace dao {

/// What the first pages of a file say about it.
struct JetHeader {
    bool Ok = false;
    /// 0 Jet 3, 1 Jet 4, 2 and above the ACE formats.
    int Version = 0;
    int PageSize = 0;
    long long FileSize = 0;
    /// Why the file is refused, when it is; for a file that is no Access database, what it plainly is
    /// (NonDatabaseKind), which may be empty.
    std::string Problem;
    /// The file is no Access database at all.
    bool NotDatabase = false;
    /// The file is an Access database but damaged (rather than no Access database at all).
    bool Damaged = false;
};

/// Checks what libmdb would trust before it is handed the file: the signature of page 0, a known
/// version, a size that reaches the catalogue's definition page (2), and that page's kind. A
/// partial page at the end is no page: what lay on it is missing, as in a file cut before it.
JetHeader CheckJetFile(const std::string& FileName);

/// What a file that is no Access database plainly is, from its first bytes and its size: "the file
/// is empty", "it is a ZIP archive, such as ..." or "it is a text file"; "" when that is not plain.
std::string NonDatabaseKind(std::string_view Head, long long Size);

/// Page kinds (the first byte of a page).
constexpr int kDataPage = 0x01;
constexpr int kDefinitionPage = 0x02;
constexpr int kUsageMapPage = 0x05;

/// One row slot of a data page: the row's bytes [Start, End) and its flag bits: 0x4000 the row
/// moved to another page and this slot holds its page and row, 0x8000 a row moved here, both a
/// deleted row.
struct PageRow {
    int Start = 0;
    int End = 0;
    unsigned Flags = 0;
    /// Its offset does not fit the page: the row cannot be read (it holds no bytes here).
    bool Bad = false;
};

/// Reads the row slots of a data page and checks that they fit it: the page is a data page, the
/// table of row offsets after its header fits the page, and every row lies after that table and
/// below the row before it (rows fill the page from its end). Returns what is wrong, or an empty
/// text; a row whose offset does not fit is still listed, as Bad. The table that owns the page is in its
/// bytes 4 to 7 (ignored here; long-value pages of Jet 4 hold "LVAL" there).
///
///   page := kind:u8 (1) u8 freespace:u16 owner:u32 [u32 in Jet 4] count:u16 offset:u16[count] ...
std::string ReadPageRows(std::string_view Page, bool Jet4, std::vector<PageRow>& Rows);

/// The definition page that owns a data page.
std::uint32_t PageOwner(std::string_view Page);

/// Checks the frame of one row of a table with Columns columns, VarColumns of them of variable
/// length: the column count at its start, and at its end the null mask, the count of variable-length
/// columns and their offsets, which rise to the end of the data at or before the offset table (a
/// row that shrank leaves slack between them). A row cut at the wrong place fails.
///
///   Jet 4: count:u16 fixed... var... eod:u16 varoffset:u16[n] n:u16 nullmask[(count+7)/8]
///   Jet 3: count:u8  fixed... var... eod:u8  varoffset:u8[n] jump:u8[size/256] n:u8 nullmask[..]
///          (one-byte offsets count from the multiple of 256 that the jump table gives)
bool RowFrameFits(std::string_view Row, bool Jet4, unsigned Columns, unsigned VarColumns);

/// Text as Jet stores it: Windows-1252 bytes in Jet 3; in Jet 4 UTF-16LE, or the compressed form
/// that starts with FF FE and switches between one-byte and two-byte runs at each 00 byte.
std::string DecodeJetText(std::string_view Bytes, bool Jet4);

/// A fixed-size value of a Jet data type from its little-endian bytes. Text types go through
/// DecodeJetText; binary, OLE and GUID values become byte blocks; a value shorter than its type
/// needs gives Null.
Variant JetValue(int Type, std::string_view Bytes, bool Jet4);

/// Parses a property blob ("KKD\0" in Jet 3, "MR2\0" in Jet 4): a pool of names, then one block
/// per object and per column, each a run of records (length, DDL flag, data type, name index,
/// value size, value). Records that do not fit their block, name no pooled name or whose value
/// does not fit its type are passed over; a chunk that does not fit the blob ends the parse.
/// With Damage, what was passed over or left unread is said there (empty when all was read).
///
///   blob   := magic[4] chunk*
///   chunk  := length:u32 (with this header) type:u16 body      type 0x80 names, 0..2 a block
///   names  := (length:u16 bytes)*
///   block  := length:u32 namelength:u16 name record*
///   record := length:u16 ddl:u8 type:u8 nameindex:u16 size:u16 value[size]
std::vector<PropertyBlock> ParseLvProp(std::string_view Blob, bool Jet4, std::string* Damage = nullptr);

} // namespace dao
