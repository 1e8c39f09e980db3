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
    /// Why the file is refused, when it is.
    std::string Problem;
};

/// Checks what libmdb would trust before it is handed the file: the signature of page 0, a known
/// version, a whole first pages up to the catalogue's definition page (2), and that page's kind.
JetHeader CheckJetFile(const std::string& FileName);

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
///
///   blob   := magic[4] chunk*
///   chunk  := length:u32 (with this header) type:u16 body      type 0x80 names, 0..2 a block
///   names  := (length:u16 bytes)*
///   block  := length:u32 namelength:u16 name record*
///   record := length:u16 ddl:u8 type:u8 nameindex:u16 size:u16 value[size]
std::vector<PropertyBlock> ParseLvProp(std::string_view Blob, bool Jet4);

} // namespace dao
