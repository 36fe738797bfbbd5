// The assembler is the judge of the assembly: ca65 and ld65 build records.s,
// a parse of asm6's .db lines builds records.asm, and every table and record
// the JSON lists must come out with the image's bytes at its CPU address.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

#include "records/TarvelinRecords.h"
#include "tests/records/RecordsTestSupport.h"
#include "tests/rom/RomTestSupport.h"
#include "tests/support/FileTestSupport.h"
#include "tools/DemoRom.h"

namespace {

constexpr int Window = 0x10400;  // a bank's CPU space and the longest record past its end

using TByteAt = std::function<int(int Bank, int Cpu)>;

// Every pointer table and every record of the JSON, compared at its CPU address.
void ExpectImageBytes(const std::vector<std::uint8_t>& Image, const TByteAt& ByteAt) {
  const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(Text(Image, TRecordsFormat::Json))).object();
  const QJsonArray banks = json["banks"].toArray();
  ASSERT_EQ(banks.size(), 3);
  int compared = 0, wrong = 0;
  const auto compare = [&](int Bank, int Offset, int Size) {
    const int base = SpriteBanks[static_cast<std::size_t>(Bank)];
    for (int i = 0; i < Size; ++i, ++compared)
      if (ByteAt(Bank, Offset - base + 0x8000 + i) != Image[static_cast<std::size_t>(Offset + i)] && ++wrong < 5)
        ADD_FAILURE() << "bank " << Bank << " offset " << std::hex << Offset + i;
  };
  for (int b = 0; b < 3; ++b) {
    compare(b, SpriteBanks[static_cast<std::size_t>(b)], 0x800);
    const QJsonObject bank = banks[b].toObject();
    for (const auto& [name, size] :
         std::initializer_list<std::pair<const char*, std::function<int(const QJsonObject&)>>>{
             {"frames", [](const QJsonObject& R) { return 3 + 2 * R["count"].toInt(); }},
             {"aligns", [](const QJsonObject& R) { return 2 * static_cast<int>(R["positions"].toArray().size()); }},
             {"animations", [](const QJsonObject& R) { return 2 + R["count"].toInt(); }}}) {
      const QJsonObject records = bank[name].toObject();
      for (auto at = records.begin(); at != records.end(); ++at)
        compare(b, at.key().mid(1).toInt(nullptr, 16), size(at.value().toObject()));
    }
  }
  EXPECT_EQ(wrong, 0) << "of " << compared << " bytes";
  EXPECT_GT(compared, 3 * 0x800);
}

std::string Read(const std::filesystem::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TImageCase {
  const char* Name;
  std::function<std::vector<std::uint8_t>()> Make;
};

// The test ROM's AlignData at $24910 is reached from banks "12-13" and "14-15" as well.
const TImageCase Images[] = {{"demo", MakeDemoRom},
                             {"test", MakeTestRom},
                             {"zeroed", ZeroedImage},
                             {"random1", [] { return RandomImage(1); }},
                             {"random2", [] { return RandomImage(2); }}};

class RecordsAssembly : public ::testing::TestWithParam<TImageCase> {};

TEST_P(RecordsAssembly, Ca65AndLd65PlaceTheImagesBytes) {
  if (std::system("command -v ca65 >/dev/null && command -v ld65 >/dev/null") != 0)
    GTEST_SKIP() << "ca65 or ld65 is missing (Debian package cc65)";
  const TTestDirectory folder(std::string("ca65-") + GetParam().Name);
  const auto image = GetParam().Make();
  const std::string source = Text(image, TRecordsFormat::Ca65);
  std::ofstream(folder.Path() / "records.s") << source;
  // Each bank's segment at the CPU address its .segment line names, in a 64 KiB window of its own.
  std::ostringstream config;
  config << "MEMORY {\n";
  for (int b = 0; b < 3; ++b)
    config << "  B" << b << ": start = $0000, size = $" << std::hex << Window << ", fill = yes, file = %O;\n";
  config << "}\nSEGMENTS {\n";
  const std::regex segment(R"re(\.segment "(BANK_\w+)" ; CPU \$([0-9A-F]{4}))re");
  int b = 0;
  for (std::sregex_iterator at(source.begin(), source.end(), segment), end; at != end; ++at, ++b)
    config << "  " << (*at)[1] << ": load = B" << b << ", type = ro, start = $" << (*at)[2] << ";\n";
  config << "}\n";
  ASSERT_EQ(b, 3);
  std::ofstream(folder.Path() / "records.cfg") << config.str();
  const std::string dir = folder.Path().string();
  ASSERT_EQ(std::system(("cd '" + dir + "' && ca65 -o records.o records.s 2>ca65.log").c_str()), 0)
      << Read(folder.Path() / "ca65.log");
  ASSERT_EQ(std::system(("cd '" + dir + "' && ld65 -C records.cfg -o records.bin records.o 2>ld65.log").c_str()), 0)
      << Read(folder.Path() / "ld65.log");
  const std::string binary = Read(folder.Path() / "records.bin");
  ASSERT_EQ(binary.size(), 3u * Window);
  ExpectImageBytes(image, [&](int Bank, int Cpu) {
    return static_cast<std::uint8_t>(binary[static_cast<std::size_t>(Bank * Window + Cpu)]);
  });
}

// asm6 is not packaged: its .base, .dsb, .db, labels and "name = a + b" equates are read here.
class TAsm6Reader {
 public:
  explicit TAsm6Reader(const std::string& Source) {
    std::istringstream in(Source);
    for (std::string line; std::getline(in, line);) {
      line = line.substr(0, line.find(';'));
      while (!line.empty() && line.back() == ' ') line.pop_back();
      line.erase(0, line.find_first_not_of(' '));
      if (!line.empty()) FLines.push_back(line);
    }
    Walk(false);
    Walk(true);
  }
  int Byte(int Bank, int Cpu) const {
    const auto at = FBytes.find({Bank, Cpu});
    return at == FBytes.end() ? -1 : at->second;
  }

 private:
  static std::vector<std::string> Items(const std::string& List) {
    std::vector<std::string> items;
    std::istringstream in(List);
    for (std::string item; std::getline(in, item, ',');) items.push_back(item.substr(item.find_first_not_of(' ')));
    return items;
  }
  int Value(const std::string& Term) const {
    if (Term[0] == '$') return std::stoi(Term.substr(1), nullptr, 16);
    if (std::isdigit(static_cast<unsigned char>(Term[0]))) return std::stoi(Term);
    if (const auto label = FLabels.find(Term); label != FLabels.end()) return label->second;
    const auto equate = FEquates.find(Term);
    if (equate == FEquates.end()) throw std::runtime_error("undefined " + Term);
    std::istringstream in(equate->second);
    std::string term, op;
    in >> term;
    int value = Value(term);
    while (in >> op >> term) value += op == "+" ? Value(term) : -Value(term);
    return value;
  }
  void Walk(bool Emit) {
    int bank = -1, pc = 0;
    for (const std::string& line : FLines) {
      if (line.starts_with(".base ")) {
        ++bank;
        pc = Value(line.substr(6));
      } else if (line.starts_with(".dsb ")) {
        pc += std::stoi(line.substr(5));
      } else if (line.starts_with(".db ")) {
        for (const std::string& item : Items(line.substr(4))) {
          if (Emit) {
            const int value = item[0] == '<'   ? Value(item.substr(1)) & 0xFF
                              : item[0] == '>' ? Value(item.substr(1)) >> 8 & 0xFF
                                               : Value(item);
            FBytes[{bank, pc}] = value;
          }
          ++pc;
        }
      } else if (line.back() == ':') {
        if (!Emit) FLabels[line.substr(0, line.size() - 1)] = pc;
      } else if (const auto equals = line.find(" = "); equals != std::string::npos) {
        if (!Emit) FEquates[line.substr(0, equals)] = line.substr(equals + 3);
      } else {
        throw std::runtime_error("unread line: " + line);
      }
    }
  }
  std::vector<std::string> FLines;
  std::map<std::string, int> FLabels;
  std::map<std::string, std::string> FEquates;
  std::map<std::pair<int, int>, int> FBytes;
};

TEST_P(RecordsAssembly, Asm6DbLinesHoldTheImagesBytes) {
  const auto image = GetParam().Make();
  const TAsm6Reader asm6(Text(image, TRecordsFormat::Asm6));
  ExpectImageBytes(image, [&](int Bank, int Cpu) { return asm6.Byte(Bank, Cpu); });
}

// MakeTestRom's FrameData at $24810 and its AlignData at $24910, worked out by hand.
TEST(RecordsAssemblyText, HandWorkedBlocks) {
  const std::string ca65 = Text(MakeTestRom(), TRecordsFormat::Ca65), asm6 = Text(MakeTestRom(), TRecordsFormat::Asm6);
  EXPECT_NE(ca65.find("; FrameData $24810\n"
                      "frame_12_13_000:\n"
                      "frame_12_13_001 = frame_12_13_000\n"
                      "  .byte $05, $01, $00 ; $24810: CHR bank $05, 2 sprites, alignment $00\n"
                      "  .byte $03, $00 ; $24813: sprite 0: tile $03, group 0\n"
                      "  .byte $44, $5D ; $24815: sprite 1: tile $44, group 1, H flip\n"),
            std::string::npos);
  // Bank "14-15" sees $24910 at CPU $4900, $4000 below bank "12-13"'s $8900.
  EXPECT_NE(asm6.find("; AlignData $24910\n"
                      "align_12_13_00:\n"
                      "align_14_15_00 = align_12_13_00 - $4000\n"
                      "  .db $F8, $F0 ; $24910: sprite 0: Y $F8, X $F0\n"
                      "  .db $00, $08 ; $24912: sprite 1: Y $00, X $08\n"),
            std::string::npos);
  EXPECT_NE(ca65.find("  .hibytes align_14_15_00, align_14_15_01,"), std::string::npos);
  EXPECT_NE(asm6.find("  .db <frame_12_13_000, <frame_12_13_001, <frame_12_13_002,"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Images, RecordsAssembly, ::testing::ValuesIn(Images),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
