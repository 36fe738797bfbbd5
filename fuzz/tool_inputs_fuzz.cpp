// What the command-line tools read besides the library's BMP input: their
// arguments as bytes, the numbers in their options, and an earlier index.csv.
//
// Input: the first byte picks the reader, the rest is its text. 0: arguments
// split at NUL bytes, each of which must come back byte for byte. 1: option
// numbers, whose results must lie in range and read back the same. 2: an old
// index.csv merged with one new row, which must keep its header and that row.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/export/CommandLine.h"
#include "tools/export/ExportIndex.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

void Arguments(const std::string& Text) {
  std::vector<std::string> arguments{"tool"};
  for (std::size_t at = 0; at <= Text.size();) {
    const std::size_t end = std::min(Text.find('\0', at), Text.size());
    arguments.push_back(Text.substr(at, end - at));
    at = end + 1;
  }
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  const TArguments parsed(static_cast<int>(argv.size()), argv.data());
  Check(parsed.Strings().size() == static_cast<qsizetype>(arguments.size()));
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const QString& text = parsed.Strings()[static_cast<qsizetype>(i)];
    // "--option=value" keeps the name as text and the value's bytes behind a mark.
    const qsizetype equals = text.indexOf('=');
    if (parsed.Bytes(text) == arguments[i]) continue;
    Check(text.startsWith("--") && equals > 2);
    Check(text.left(equals + 1).toUtf8().toStdString() + parsed.Bytes(text.mid(equals + 1)) == arguments[i]);
  }
}

void Numbers(const std::string& Text) {
  if (const auto n = ParseHexNumber(Text, 0x1FF)) {
    std::string digits = Text;
    if (digits.rfind("$", 0) == 0) digits.erase(0, 1);
    else if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0) digits.erase(0, 2);
    Check(!digits.empty() && digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos);
    Check(*n >= 0 && *n <= 0x1FF && std::strtol(digits.c_str(), nullptr, 16) == *n);
  }
  if (const auto n = ParseDecimal(Text, 1, 8))
    Check(*n >= 1 && *n <= 8 && Text.find_first_not_of("0123456789") == std::string::npos &&
          std::strtoll(Text.c_str(), nullptr, 10) == *n);
}

void Index(const std::string& Text) {
  const std::string row = "sprite,16,1,sprite/16/001.png,1,1,0,1,0,40010,0,00 00 00 00 00,00 00,";
  const std::string merged = MergeIndex(Text, {row}, "/nonexistent-folder");
  Check(merged.rfind(IndexHeader() + "\n", 0) == 0);
  Check(merged.find("\n" + row + "\n") != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0 || Size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  switch (Data[0] % 3) {
    case 0: Arguments(text); break;
    case 1: Numbers(text); break;
    default: Index(text); break;
  }
  return 0;
}
