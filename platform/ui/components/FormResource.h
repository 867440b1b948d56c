//===- FormResource.h - The text format of form resources, parsed into a tree -*- C++ -*-===//
//
//   object Form_main: TForm_main
//     Left = 192
//     Caption = 'Heliant'#13'line two'
//     Color = clBtnFace
//     Font.Style = [fsBold]
//     Items.Strings = (
//       'COM1'
//       'COM2')
//     OnCreate = FormCreate
//     object btn_start: TButton
//       Caption = '&Start'
//     end
//   end
//
// The text is 8-bit (Windows-1252) like the strings it holds; characters outside ASCII may be
// written as #nnn codes. Keywords (object, end) are matched without regard to case.
//
#pragma once

#include "platform/rtl/Exception.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TFormValueKind {
    Integer, // 12, -3, $00C0C0C0
    Float,   // 1.5, -2.0E3
    String,  // 'it''s'#13'two' + 'more'
    Ident,   // clBtnFace, True, btn_startClick, PopupMenu1
    Set,     // [fsBold, fsItalic], []
    List,    // ( 'a' 'b' ): values of any kind
    Binary,  // { 0A1B2C }
};

/// One value of a form resource.
struct TFormValue {
    TFormValueKind Kind = TFormValueKind::Integer;
    /// Integer. A $ value of up to 8 digits is a 32-bit pattern ($FFFFFFFF is -1, $8000000F is
    /// the system colour 15); longer ones are 64-bit patterns.
    int64_t Integer = 0;
    double Float = 0;
    /// String (its 8-bit characters) or Ident (as written).
    std::string Text;
    /// Set: the identifiers in order.
    std::vector<std::string> Elements;
    /// List: the values in order.
    std::vector<TFormValue> Items;
    /// Binary: the bytes.
    std::vector<uint8_t> Bytes;
    /// The line the value starts on (1 is the first line).
    int Line = 0;
};

/// One "Path = value" line; Path may have dots (Font.Style, Items.Strings).
struct TFormProperty {
    std::string Path;
    TFormValue Value;
    int Line = 0;
};

/// One object of a form resource: "object Name: TClass", its properties in order, its nested
/// objects in order. Name is empty for "object TClass".
struct TFormObject {
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
};

/// A form resource that cannot be parsed. The message names the resource and the line:
/// "Form resource TFORM_MAIN, line 12: Unterminated string".
class EParserError : public Exception {
public:
    EParserError(std::string ResourceName, int Line, const std::string& Reason);

    const std::string& ResourceName() const { return FResourceName; }
    int Line() const { return FLine; }

private:
    std::string FResourceName;
    int FLine;
};

/// Parses the text of a form resource (one root object and nothing after its end). Raises
/// EParserError for an unterminated string, a missing 'end', a bad token or a value that the
/// format does not have; ResourceName only serves the messages. Inherited and inline objects
/// and collections (<...>) are refused.
TFormObject ParseFormResource(std::string_view ResourceName, std::string_view Text);
