#pragma once
// Reader of the version resource (VS_VERSIONINFO) of an executable file, without Windows.
//
// Where the resource is found:
//   PE32 / PE32+ (.exe, .dll, .ocx)  the first RT_VERSION (16) entry of the resource directory
//   NE (.vbx, 16-bit .dll)           the first RT_VERSION entry of the resource table; the
//                                    resource has the 16-bit layout (no wType, ANSI keys/values)
//   ELF (our own Linux programs)     the whole section ".qxversion", which holds the same bytes
//                                    a PE resource holds (cmake/QuorvexVersionInfo.cmake
//                                    embeds it)
// Block layout (every block starts on a 4-byte boundary of the resource):
//   32-bit: wLength, wValueLength, wType, szKey (UTF-16, NUL), pad, value, pad, children
//   16-bit: wLength, wValueLength, szKey (ANSI, NUL), pad, value, pad, children
// Texts of the 32-bit layout are returned in Windows-1252 ('?' for what it cannot hold).

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <string>
#include <vector>

/// The file has no version resource.
QX_DECLARE_EXCEPTION(ENoVerInfoError, Exception)
/// The version resource cannot be read or has no translation.
QX_DECLARE_EXCEPTION(EVerInfoError, Exception)
/// The version resource has no fixed file information.
QX_DECLARE_EXCEPTION(eNoFixeVerInfo, Exception)

/// The version resource of one executable file: its fixed file version and the strings of its
/// first translation. Everything is read by the constructor.
class TVerInfoRes : public TObject {
public:
    /// Reads FileName's version resource. Raises ENoVerInfoError "No Version Info Available.",
    /// EVerInfoError "Cannot obtain version info." or "No language info.", or eNoFixeVerInfo
    /// "No fixed file info".
    explicit TVerInfoRes(const std::string& FileName);
    std::string ClassName() const override { return "TVerInfoRes"; }

    /// Keys of GetString, by index.
    static constexpr const char* Keys[10] = {
        "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
        "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};

    /// The value of key Keys[Index] in the first translation's string table; '' when the file has
    /// none (or Index is above 9).
    std::string GetString(Byte Index) const;
    /// The fixed file version as "major.minor.release.build".
    std::string FixedFileVersion() const;

    const std::string& FileName() const { return mFileName; }
    /// The first translation: low 16 bits the language, high 16 bits the code page.
    std::uint32_t Translation() const { return mTranslation; }
    /// Size in bytes of the version data.
    std::int32_t VerSize() const { return static_cast<std::int32_t>(mVerData.size()); }

    /// Looks a sub-block up by its path ("\\", "\\VarFileInfo\\Translation",
    /// "\\StringFileInfo\\040904E4\\ProductName"; keys compared without regard to case). On
    /// success Offset and Length give the value's bytes in the version data (Length in bytes)
    /// and IsText whether it is a text of the 32-bit layout.
    bool QueryValue(const std::string& SubBlock, std::size_t& Offset, std::size_t& Length,
                    bool& IsText) const;

private:
    std::string mFileName;
    std::vector<unsigned char> mVerData;
    bool mWide = true; ///< 32-bit layout (UTF-16 keys); false for the 16-bit layout
    std::uint32_t mTranslation = 0;
    std::size_t mFixedInfo = 0; ///< offset of the 52-byte fixed record in mVerData
};
