#pragma once
// Reader of Access's text export of a form, report or module ("SaveAsText"):
//
//   Version =20                              header lines before the object
//   Begin Form                               the object's block
//       Caption ="Orders"                    a property: name, '=', value
//       RowSource ="SELECT ... "             a quoted value goes on in lines that start
//           "FROM Orders"                    with a quote; "" inside quotes is one quote
//       PrtMip = Begin                       a binary value: hex lines up to End
//           0x6801000068010000 ,
//       End
//       Begin                                unnamed block: default settings per control type
//           Begin Label ... End
//       End
//       Begin Section                        a section; its controls are the named blocks in it
//           Begin
//               Begin TextBox
//                   Name ="OrderDate"
//                   Format ="dd/mm/yy"
//               End
//           End
//       End
//   End
//   CodeBehindForm                           the code of the form's module follows
//   Option Compare Database
//
// Values keep a type: quoted text is a string, whole numbers are integers, other numbers doubles,
// NotDefault/Default/True/False Booleans, binary blocks byte arrays.

#include "platform/rtl/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace msaccess {

struct TextProperty {
    std::string Name;
    Variant Value;
};

struct TextBlock {
    /// The word after Begin ("Form", "Section", "TextBox"); empty for an unnamed block.
    std::string Type;
    std::vector<TextProperty> Properties;
    std::vector<TextBlock> Children;

    /// The value of the block's Name property as text; empty when it has none.
    std::string Name() const;
};

struct TextObject {
    /// Lines before the object's block (Version, Checksum ...).
    std::vector<TextProperty> Header;
    /// The object's block (Type "Form" or "Report"); Type empty for a module file.
    TextBlock Root;
    /// The code: after CodeBehindForm for forms and reports, the whole file for modules.
    std::vector<std::string> Code;
    bool HasCode = false;
};

/// Parses an export already decoded to Windows-1252. A module file (no Begin block) yields its
/// lines as code. Raises EOleException naming Source when the blocks are malformed (an End
/// without Begin, a value block without End, blocks nested deeper than 200).
TextObject ParseSaveAsText(std::string_view Text, const std::string& Source);

/// The code lines as a module shows them: without the leading "Attribute VB_..." lines.
std::vector<std::string> VisibleCode(const std::vector<std::string>& Code);

} // namespace msaccess
