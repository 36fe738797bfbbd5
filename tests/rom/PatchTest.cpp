#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "rom/TarvelinBpsPatch.h"
#include "rom/TarvelinIpsPatch.h"
#include "rom/TarvelinPatch.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Text(const std::string& Chars) { return TBytes(Chars.begin(), Chars.end()); }

TBytes Join(std::initializer_list<TBytes> Parts) {
  TBytes out;
  for (const auto& part : Parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// 32 bytes 0x00..0x1F, so an unchanged byte inside a record shows where it came from.
TBytes Counting(std::size_t Size = 32) {
  TBytes bytes(Size);
  for (std::size_t i = 0; i < Size; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

TBytes With(TBytes Bytes, std::initializer_list<std::pair<std::size_t, std::uint8_t>> Changes) {
  for (const auto& [at, value] : Changes) Bytes[at] = value;
  return Bytes;
}

TEST(IpsPatchTest, RecordsAreWorkedOutByHand) {
  const TBytes source = Counting();
  TBytes run = source;
  std::fill(run.begin() + 0x10, run.begin() + 0x20, 0x77);
  TBytes interior = source;  // AA, fourteen 77, then BB at the last byte
  interior[0x10] = 0xAA;
  std::fill(interior.begin() + 0x11, interior.begin() + 0x1F, 0x77);
  interior[0x1F] = 0xBB;
  const struct {
    const char* Name;
    TBytes Source, Target, Records;
  } cases[] = {
      {"nothing changed", source, source, {}},
      {"one byte", source, With(source, {{0x10, 0xAB}}), {0x00, 0x00, 0x10, 0x00, 0x01, 0xAB}},
      {"a run of 16", source, run, {0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x77}},
      {"a run of 3 costs as much as its bytes", source, With(source, {{4, 9}, {5, 9}, {6, 9}}),
       {0x00, 0x00, 0x04, 0x00, 0x03, 9, 9, 9}},
      {"a run of 14 between other changes", source, interior,
       {0x00, 0x00, 0x10, 0x00, 0x01, 0xAA, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x0E, 0x77, 0x00, 0x00, 0x1F, 0x00,
        0x01, 0xBB}},
      {"offset 0 and the last byte", source, With(source, {{0, 0xF0}, {31, 0xF1}}),
       {0x00, 0x00, 0x00, 0x00, 0x01, 0xF0, 0x00, 0x00, 0x1F, 0x00, 0x01, 0xF1}},
      {"two changes 2 bytes apart share a record", source, With(source, {{0x10, 0xE0}, {0x12, 0xE2}}),
       {0x00, 0x00, 0x10, 0x00, 0x03, 0xE0, 0x11, 0xE2}},
      {"a gap of 5 costs as much as a record", source, With(source, {{0x10, 0xE0}, {0x16, 0xE6}}),
       {0x00, 0x00, 0x10, 0x00, 0x01, 0xE0, 0x00, 0x00, 0x16, 0x00, 0x01, 0xE6}},
      {"a longer target", Counting(4), TBytes{0, 1, 2, 3, 0xC4, 0xC5}, {0x00, 0x00, 0x04, 0x00, 0x02, 0xC4, 0xC5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TBytes patch = Join({Text("PATCH"), c.Records, Text("EOF")});
    EXPECT_EQ(CreateIpsPatch(c.Source, c.Target), patch);
    EXPECT_EQ(ApplyIpsPatch(c.Source, patch, 0x80010), c.Target);
  }
}

TEST(IpsPatchTest, NoRecordStartsAtTheEndMarkersOffset) {
  const TBytes source(IpsEofOffset + 0x20, 0x00);
  // A record there would read as "EOF": it starts a byte earlier. A run there
  // gives its first byte to such a record.
  TBytes one = source, run = source;
  one[IpsEofOffset] = 0x01;
  std::fill(run.begin() + IpsEofOffset, run.begin() + IpsEofOffset + 16, 0x22);
  EXPECT_EQ(CreateIpsPatch(source, one), Join({Text("PATCH"), {0x45, 0x4F, 0x45, 0x00, 0x02, 0x00, 0x01}, Text("EOF")}));
  const TBytes runPatch = Join({Text("PATCH"), {0x45, 0x4F, 0x45, 0x00, 0x02, 0x00, 0x22},
                                {0x45, 0x4F, 0x47, 0x00, 0x00, 0x00, 0x0F, 0x22}, Text("EOF")});
  EXPECT_EQ(CreateIpsPatch(source, run), runPatch);
  EXPECT_EQ(ApplyIpsPatch(source, runPatch, source.size()), run);
}

TEST(IpsPatchTest, ReaderRefusesWhatDoesNotFit) {
  const TBytes source = Counting();
  const struct {
    const char* Name;
    TBytes Patch;
    const char* Message;  // a part of it
  } cases[] = {
      {"no signature", Text("PATCX") , "\"PATCH\""},
      {"no EOF", Text("PATCH"), "途中で切れて"},
      {"a cut record header", Join({Text("PATCH"), {0x00, 0x00, 0x10, 0x00}}), "途中で切れて"},
      {"cut data", Join({Text("PATCH"), {0x00, 0x00, 0x10, 0x00, 0x04, 0xAA, 0xAA}, Text("EOF")}), "途中で切れて"},
      {"a run of no bytes", Join({Text("PATCH"), {0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x01}, Text("EOF")}), "0 です"},
      {"past the largest image", Join({Text("PATCH"), {0x08, 0x00, 0x10, 0x00, 0x01, 0xAA}, Text("EOF")}), "524304"},
      {"a run past it", Join({Text("PATCH"), {0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x11, 0xAA}, Text("EOF")}), "524304"},
      {"junk after EOF", Join({Text("PATCH"), Text("EOF"), {0x01}}), "余分な"},
      {"truncated to more than it has", Join({Text("PATCH"), Text("EOF"), {0x00, 0x00, 0x21}}), "長く"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      ApplyIpsPatch(source, c.Patch, 0x80010);
      ADD_FAILURE() << "accepted";
    } catch (const EPatchError& E) {
      EXPECT_NE(E.Message().find(c.Message), std::string::npos) << E.Message();
    }
  }
  // Up to the last byte of the largest image, the file grows with zeros; the
  // extension after "EOF" cuts it short.
  const TBytes grown = ApplyIpsPatch(source, Join({Text("PATCH"), {0x08, 0x00, 0x0F, 0x00, 0x01, 0xAA}, Text("EOF")}), 0x80010);
  ASSERT_EQ(grown.size(), 0x80010u);
  EXPECT_EQ(grown[0x8000F], 0xAA);
  EXPECT_EQ(grown[0x20], 0x00);
  EXPECT_EQ(ApplyIpsPatch(source, Join({Text("PATCH"), Text("EOF"), {0x00, 0x00, 0x08}}), 0x80010), Counting(8));
}

TEST(BpsPatchTest, NumbersAreSevenBitsAtATime) {
  const struct {
    std::uint64_t Number;
    TBytes Bytes;
  } cases[] = {{0, {0x80}}, {1, {0x81}}, {127, {0xFF}}, {128, {0x00, 0x80}}, {129, {0x01, 0x80}},
               {16511, {0x7F, 0xFF}}, {16512, {0x00, 0x00, 0x80}}, {0x80010, {0x10, 0x7F, 0x9E}}};
  for (const auto& c : cases) {
    TBytes out;
    AppendBpsNumber(out, c.Number);
    EXPECT_EQ(out, c.Bytes) << c.Number;
  }
}

TEST(BpsPatchTest, ActionsAreWorkedOutByHand) {
  // Footers from zlib's crc32 of the source, the target and the patch before its last four bytes.
  const struct {
    const char* Name;
    TBytes Source, Target, Patch;
    bool Written;  // the writer makes exactly this patch
  } cases[] = {
      {"source read, target read, source read", Text("ABCD"), Text("AXCD"),
       {0x42, 0x50, 0x53, 0x31, 0x84, 0x84, 0x80, 0x80, 0x81, 0x58, 0x84, 0xA5, 0x20, 0x17, 0xDB, 0x03, 0x06, 0xA6,
        0xCA, 0x45, 0xF1, 0xC9, 0xD0},
       true},
      {"a run as one target read and an overlapping target copy", TBytes(16, 0),
       Join({{0, 0}, TBytes(10, 0x77), {0, 0, 0, 0}}),
       {0x42, 0x50, 0x53, 0x31, 0x90, 0x90, 0x80, 0x84, 0x81, 0x77, 0xA3, 0x84, 0x8C, 0x55, 0x4B, 0xBB, 0xEC, 0x70,
        0x40, 0x8D, 0x71, 0xF2, 0x1D, 0xBC, 0x78},
       true},
      {"source copies forward and back", Text("ABCDEFGH"), Text("EFGHABCD"),
       {0x42, 0x50, 0x53, 0x31, 0x88, 0x88, 0x80, 0x8E, 0x88, 0x8E, 0x91, 0x1C, 0xB6, 0xDC, 0x68, 0x46, 0x85, 0x09,
        0xA3, 0x12, 0xBA, 0x4C, 0xA2},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Written) {
      EXPECT_EQ(CreateBpsPatch(c.Source, c.Target), c.Patch);
    }
    EXPECT_EQ(ApplyBpsPatch(c.Source, c.Patch, 0x80010), c.Target);
  }
}

// A patch of Body with the three CRCs a writer would give it.
TBytes Sealed(TBytes Body, const TBytes& Source, const TBytes& Target) {
  for (const TBytes* part : {&Source, &Target}) {
    const auto crc = crc32(0, part->data(), static_cast<uInt>(part->size()));
    for (int shift = 0; shift < 32; shift += 8) Body.push_back(static_cast<std::uint8_t>(crc >> shift));
  }
  const auto crc = crc32(0, Body.data(), static_cast<uInt>(Body.size()));
  for (int shift = 0; shift < 32; shift += 8) Body.push_back(static_cast<std::uint8_t>(crc >> shift));
  return Body;
}

TEST(BpsPatchTest, ReaderRefusesWhatDoesNotFit) {
  const TBytes source = Text("ABCD"), target = Text("AXCD");
  const TBytes good = CreateBpsPatch(source, target);
  TBytes flipped = good;
  flipped[9] ^= 1;
  const TBytes head = Text("BPS1");
  const struct {
    const char* Name;
    TBytes Source, Patch;
    const char* Message;
  } cases[] = {
      {"no signature", source, Join({Text("BPS2"), TBytes(good.begin() + 4, good.end())}), "\"BPS1\""},
      {"too short", source, Text("BPS1"), "\"BPS1\""},
      {"a changed byte", source, flipped, "パッチの CRC"},
      {"cut short", source, TBytes(good.begin(), good.end() - 1), "パッチの CRC"},
      {"the wrong base ROM", Text("ABCE"), good, "元のROM"},
      {"a base ROM of another size", Text("ABCDE"), good, "元のROM"},
      {"a target past the largest image", source, Sealed(Join({head, {0x84, 0x11, 0x7F, 0x9E, 0x80}}), source, source),
       "524304"},
      {"a read past the target", source, Sealed(Join({head, {0x84, 0x82, 0x80, 0x88}}), source, Text("AB")),
       "結果の終わり"},
      {"a source read past the source", Text("AB"), Sealed(Join({head, {0x82, 0x84, 0x80, 0x8C}}), Text("AB"), source),
       "元のROMの終わり"},
      {"a source copy before the source", source, Sealed(Join({head, {0x84, 0x84, 0x80, 0x8E, 0x83}}), source, source),
       "前に出ます"},
      {"a target copy of nothing written", source, Sealed(Join({head, {0x84, 0x84, 0x80, 0x8F, 0x80}}), source, source),
       "まだ書かれていない"},
      {"actions that stop short", source, Sealed(Join({head, {0x84, 0x84, 0x80, 0x80}}), source, source),
       "届きません"},
      {"a wrong target CRC", source, Sealed(Join({head, {0x84, 0x84, 0x80, 0x8C}}), source, target), "結果の CRC"},
      {"an endless number", source, Sealed(Join({head, TBytes(12, 0x00)}), source, source), "大きすぎ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      ApplyBpsPatch(c.Source, c.Patch, 0x80010);
      ADD_FAILURE() << "accepted";
    } catch (const EPatchError& E) {
      EXPECT_NE(E.Message().find(c.Message), std::string::npos) << E.Message();
    }
  }
}

TEST(PatchTest, RandomEditsRoundTripInBothFormats) {
  std::mt19937 random(19);
  for (int round = 0; round < 60; ++round) {
    TBytes source(4096 + random() % 4096);
    for (auto& byte : source) byte = static_cast<std::uint8_t>(random() % 4);  // runs happen
    TBytes target = source;
    const int edits = static_cast<int>(random() % 40);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = random() % target.size();
      const std::size_t length = std::min<std::size_t>(target.size() - at, random() % 3 ? 1 + random() % 4 : random() % 300);
      const bool fill = random() % 2;
      const auto value = static_cast<std::uint8_t>(random());
      for (std::size_t i = at; i < at + length; ++i) target[i] = fill ? value : static_cast<std::uint8_t>(random());
    }
    if (round % 5 == 0) target.resize(target.size() + random() % 100, static_cast<std::uint8_t>(random()));
    for (const auto format : {TPatchFormat::Ips, TPatchFormat::Bps}) {
      const TBytes patch = CreatePatch(format, source, target);
      ASSERT_EQ(ApplyPatch(source, patch, target.size()), target) << "round " << round;
    }
  }
}

TEST(PatchTest, ContentNamesTheFormat) {
  const TBytes source = Counting(), target = With(source, {{3, 0xEE}});
  EXPECT_EQ(ApplyPatch(source, CreateIpsPatch(source, target), 0x80010), target);
  EXPECT_EQ(ApplyPatch(source, CreateBpsPatch(source, target), 0x80010), target);
  EXPECT_THROW(ApplyPatch(source, Text("UPS1...."), 0x80010), EPatchError);
  EXPECT_THROW(ApplyPatch(source, {}, 0x80010), EPatchError);
}

}  // namespace
