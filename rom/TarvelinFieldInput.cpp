#include "rom/TarvelinFieldInput.h"

#include <cstdio>

namespace {

std::string_view Trimmed(std::string_view Text) {
  while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t')) Text.remove_prefix(1);
  while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t')) Text.remove_suffix(1);
  return Text;
}

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

TFieldInput Refused(TInputRefusal Why) { return {-1, Why}; }

}  // namespace

TFieldInput ParseHexField(std::string_view Text, int Max) {
  Text = Trimmed(Text);
  if (Text.empty()) return Refused(TInputRefusal::Empty);
  int value = 0;
  for (char c : Text) {
    const int digit = HexDigit(c);
    if (digit < 0) return Refused(TInputRefusal::NotHex);
    value = value * 16 + digit;
  }
  if (Text.size() > 2) return Refused(TInputRefusal::TooLong);
  if (value > Max) return Refused(TInputRefusal::OutOfRange);
  return {value, TInputRefusal::None};
}

TFieldInput ParseOffsetField(std::string_view Text) {
  Text = Trimmed(Text);
  if (Text.empty() || (Text.front() != '-' && Text.front() != '+')) return ParseHexField(Text);
  const bool negative = Text.front() == '-';
  Text.remove_prefix(1);
  if (Text.empty()) return Refused(TInputRefusal::NotDecimal);
  int value = 0;
  for (char c : Text) {
    if (c < '0' || c > '9') return Refused(TInputRefusal::NotDecimal);
    // Past three digits it is out of range whatever follows; stop before it can overflow.
    if (value > 1000) return Refused(TInputRefusal::OutOfRange);
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < -128 || value > 127) return Refused(TInputRefusal::OutOfRange);
  return {value & 0xFF, TInputRefusal::None};
}

std::string FormatOffsetField(int Byte) {
  const int byte = Byte & 0xFF;
  const int signedValue = byte >= 0x80 ? byte - 0x100 : byte;
  char text[16];
  std::snprintf(text, sizeof text, signedValue > 0 ? "%02X (+%d)" : "%02X (%d)", byte, signedValue);
  return text;
}
