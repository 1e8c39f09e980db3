#pragma once
// Reader of Access's text export of a form, report or module ("SaveAsText"), as Access and the
// version-control exporters write it:
//
//   Version =20                              header lines before the object
//   VersionRequired =20
//   Begin Form                               the object's block
//       Caption ="Orders"                    a property: name, '=', value
//       RowSource ="SELECT Orders.OrderDate FROM Orders WHERE Orders.Order"
//           "Date > #1/1/1995#"              a long value goes on in further quoted pieces
//       ControlTipText ="Say \"hi\"\015\012"  escapes: \" quote, \\ backslash, \ooo octal byte
//       PrtMip = Begin                       a binary value: hex lines up to End
//           0x6801000068010000 ,
//       End
//       Begin                                unnamed block: the default properties per control
//           Begin TextBox                    type, then the sections
//               FontName ="Tahoma"
//           End
//           Begin Section
//               Name ="Detail"
//               Begin                        the section's controls
//                   Begin TextBox
//                       Name ="OrderDate"
//                       OnClickEmMacro = Begin   an embedded macro: a value that holds blocks
//                           Version =196611
//                           Begin
//                               Action ="Close"
//                           End
//                       End
//                       Begin                a control's own controls (its attached label)
//                           Begin Label
//                               Name ="OrderDate_Label"
//                           End
//                       End
//                   End
//               End
//           End
//       End
//   End
//   CodeBehindForm                           the code of the form's module follows
//   Option Compare Database
//
// Values keep a type: quoted text is a string (older exports double an embedded quote, "", which
// is read too), whole numbers are integers, other numbers doubles, NotDefault/Default/True/False
// Booleans, binary blocks byte arrays, embedded macros the macro's text.

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
    /// The object's block (Type "Form" or "Report").
    TextBlock Root;
    /// The code after CodeBehindForm.
    std::vector<std::string> Code;
    bool HasCode = false;
};

/// Parses an export already decoded to Windows-1252. Raises EOleException naming Source and the
/// line when the blocks are malformed (an End without Begin, a block or value without End, a line
/// that is no property, blocks nested deeper than 200, no Begin Form or Begin Report).
TextObject ParseSaveAsText(std::string_view Text, const std::string& Source);

/// The controls of a form or report: every named block at any depth but the sections, in file
/// order, without children. A control's properties are its own lines followed by the defaults of
/// its type (the unnamed blocks at the top of the object) that it does not set itself.
std::vector<TextBlock> NamedControls(const TextObject& Object);

/// The code lines as a module shows them: without a class file's "VERSION 1.0 CLASS" header and
/// without the leading "Attribute VB_..." lines.
std::vector<std::string> VisibleCode(const std::vector<std::string>& Code);

} // namespace msaccess
