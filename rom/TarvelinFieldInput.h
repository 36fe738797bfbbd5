#pragma once
// What the editor's fields accept: a byte typed in hex, and a sprite offset
// typed either as its stored hex byte ("F8") or as a signed decimal ("-8").

#include <string>
#include <string_view>

enum class TInputRefusal {
  None,
  Empty,       // nothing typed
  NotHex,      // a character that is no hex digit
  TooLong,     // more than two hex digits
  NotDecimal,  // a sign followed by something other than decimal digits
  OutOfRange,  // a number the field cannot hold
};

struct TFieldInput {
  int Value = -1;  // the byte to store; -1 when refused
  TInputRefusal Refusal = TInputRefusal::None;
  bool Accepted() const { return Refusal == TInputRefusal::None; }
};

// One or two hex digits, any case, surrounding blanks ignored, at most Max.
TFieldInput ParseHexField(std::string_view Text, int Max = 0xFF);
// Hex as above, or a sign and a decimal -128..127, stored as its two's complement byte.
TFieldInput ParseOffsetField(std::string_view Text);
// An offset byte as the table shows it: "F8 (-8)", "08 (+8)", "00 (0)".
std::string FormatOffsetField(int Byte);
