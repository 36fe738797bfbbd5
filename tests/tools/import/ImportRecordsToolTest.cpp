// tarvelin-import --records as built, on the records.json tarvelin-export wrote:
// unchanged it changes nothing, an edited field changes exactly its byte, and a
// refused file writes nothing.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <iterator>

#include "tests/support/FileTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"
#include "tools/DemoRom.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Read(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The demo ROM as rom.nes in Dir, and its records.json as tarvelin-export writes it.
QByteArray ExportDemoRecords(const TTestDirectory& Dir) {
  Dir.Write("rom.nes", MakeDemoRom());
  const auto exported = program_test::RunProgram(
      TARVELIN_EXPORT_EXE, {"rom.nes", "out", "--quiet", "--records", "json", "--no-pictures"}, Dir.Path());
  EXPECT_EQ(exported.ExitCode, 0) << exported.Err;
  const auto json = Read(Dir.Path() / "out" / "records.json");
  return QByteArray(reinterpret_cast<const char*>(json.data()), static_cast<qsizetype>(json.size()));
}

// records.json with sprite 0's tile of the first FrameData of bank 12-13 set to Tile (a JSON value);
// Offset learns that record's file offset.
QByteArray WithFirstTile(const QByteArray& Json, const QJsonValue& Tile, int& Offset) {
  QJsonObject root = QJsonDocument::fromJson(Json).object();
  QJsonArray banks = root["banks"].toArray();
  QJsonObject bank = banks[0].toObject();
  QJsonObject frames = bank["frames"].toObject();
  const QString key = frames.keys().front();
  Offset = key.mid(1).toInt(nullptr, 16);
  QJsonObject frame = frames[key].toObject();
  QJsonArray sprites = frame["sprites"].toArray();
  QJsonObject sprite = sprites[0].toObject();
  sprite["tile"] = Tile;
  sprites[0] = sprite;
  frame["sprites"] = sprites;
  frames[key] = frame;
  bank["frames"] = frames;
  banks[0] = bank;
  root["banks"] = banks;
  return QJsonDocument(root).toJson();
}

TEST(ImportRecordsToolTest, WritesWhatTheRecordsSayAndRefusesWhatTheyCannotSay) {
  TTestDirectory dir;
  const auto rom = MakeDemoRom();
  const QByteArray json = ExportDemoRecords(dir);
  ASSERT_FALSE(json.isEmpty());

  int offset = 0;
  struct TCase {
    const char* Name;
    QByteArray Json;
    std::vector<std::string> Extra;
    int Exit;
    int TileAfter;  // the new tile byte; -1: the image unchanged
    const char* Says;
  };
  const TCase cases[] = {
      {"unchanged", json, {}, 0, -1, "bytes changed"},
      {"one tile", WithFirstTile(json, "$7E", offset), {}, 0, 0x7E, "1 bytes changed"},
      {"not a byte", WithFirstTile(json, 300, offset), {}, 1, -1, "300 is not a byte"},
      {"with a bank", json, {"--bank", "16"}, 2, -1, "--records takes no"},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    const fs::path out = dir.Path() / "back.nes";
    fs::remove(out);
    dir.Write("edited.json", std::vector<std::uint8_t>(test.Json.begin(), test.Json.end()));
    std::vector<std::string> arguments = {"rom.nes", "back.nes", "--records", "edited.json"};
    arguments.insert(arguments.end(), test.Extra.begin(), test.Extra.end());
    const auto run = program_test::RunProgram(TARVELIN_IMPORT_EXE, arguments, dir.Path());
    EXPECT_EQ(run.ExitCode, test.Exit) << run.Err;
    EXPECT_NE((run.Out + run.Err).find(test.Says), std::string::npos) << run.Out << run.Err;
    if (test.Exit != 0) {
      EXPECT_FALSE(fs::exists(out));
      continue;
    }
    auto expected = rom;
    if (test.TileAfter >= 0) expected[static_cast<std::size_t>(offset + 3)] = static_cast<std::uint8_t>(test.TileAfter);
    EXPECT_TRUE(Read(out) == expected);
  }
}

}  // namespace

namespace {

// records.json with pattern FourGroups given a fifth sprite (tile $0E at (Y, X) = ($10, $20)),
// its FrameData and its AlignData both one sprite longer.
QByteArray WithFifthSprite(const QByteArray& Json) {
  const auto key = [](int Offset) { return QString("$%1").arg(Offset, 5, 16, QChar('0')).toUpper(); };
  QJsonObject root = QJsonDocument::fromJson(Json).object();
  QJsonArray banks = root["banks"].toArray();
  QJsonObject bank = banks[0].toObject();
  QJsonObject frames = bank["frames"].toObject(), aligns = bank["aligns"].toObject();
  QJsonObject frame = frames[key(DemoRom::FourGroups.FrameOffset)].toObject();
  QJsonObject align = aligns[key(DemoRom::FourGroups.AlignOffset)].toObject();
  QJsonArray sprites = frame["sprites"].toArray(), positions = align["positions"].toArray();
  sprites.append(QJsonObject{{"tile", "$0E"}, {"attr", "$00"}, {"vflip", false}, {"hflip", false}, {"group", 0}});
  positions.append(QJsonObject{{"y", "$10"}, {"x", "$20"}});
  frame["sprites"] = sprites;
  frame["count"] = 5;
  align["positions"] = positions;
  frames[key(DemoRom::FourGroups.FrameOffset)] = frame;
  aligns[key(DemoRom::FourGroups.AlignOffset)] = align;
  bank["frames"] = frames;
  bank["aligns"] = aligns;
  banks[0] = bank;
  root["banks"] = banks;
  return QJsonDocument(root).toJson();
}

TEST(ImportRecordsToolTest, ARecordGrowsOnlyIntoTheDeclaredFreeSpace) {
  TTestDirectory dir;
  const auto rom = MakeDemoRom();
  const QByteArray json = ExportDemoRecords(dir);
  ASSERT_FALSE(json.isEmpty());
  const QByteArray grown = WithFifthSprite(json);
  dir.Write("grown.json", std::vector<std::uint8_t>(grown.begin(), grown.end()));
  const auto map = [](const char* Ranges) {
    const std::string text = std::string("TARVELIN free space 1\n") + Ranges;
    return std::vector<std::uint8_t>(text.begin(), text.end());
  };
  // $27000-$270FF of bank "12-13" is zero and read by no pointer; $27000-$27008 holds neither record.
  dir.Write("free", map("$27000 $270FF\n"));
  dir.Write("small", map("$27000 $27008\n"));

  // Both records move to $27000 (CPU $AFF0) and $2700D ($AFFD): 11 + 2 and 8 + 2 bytes.
  const int frame = DemoRom::FourGroups.FrameOffset, align = DemoRom::FourGroups.AlignOffset;
  auto grownRom = rom;
  const auto put = [&](int Offset, int Value) { grownRom[static_cast<std::size_t>(Offset)] = static_cast<std::uint8_t>(Value); };
  for (int i = 0; i < 11; ++i) put(0x27000 + i, rom[static_cast<std::size_t>(frame + i)]);
  put(0x27001, 4);
  put(0x2700B, 0x0E);
  put(0x2700C, 0x00);
  for (int i = 0; i < 8; ++i) put(0x2700D + i, rom[static_cast<std::size_t>(align + i)]);
  put(0x27015, 0x10);
  put(0x27016, 0x20);
  for (const auto& [offset, value] : {std::pair{0x24013, 0xF0}, {0x24213, 0xAF}, {0x24414, 0xFD}, {0x24514, 0xAF}})
    put(offset, value);

  struct TCase {
    const char* Name;
    std::vector<std::string> Extra;
    int Exit;
    const char* Says;
  };
  const TCase cases[] = {
      {"no free space given", {}, 1, "the sprite count changes from 4 to 5; a record keeps its size"},
      {"too little", {"--free-space", "small"}, 1,
       "not enough free space: 13 bytes of the declared free space are needed within $24010-$2800F"},
      {"room", {"--free-space", "free"}, 0, "grown.json: "},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    std::vector<std::string> arguments = {"rom.nes", "back.nes", "--records", "grown.json"};
    arguments.insert(arguments.end(), test.Extra.begin(), test.Extra.end());
    const auto run = program_test::RunProgram(TARVELIN_IMPORT_EXE, arguments, dir.Path());
    EXPECT_EQ(run.ExitCode, test.Exit) << run.Err;
    EXPECT_NE((run.Out + run.Err).find(test.Says), std::string::npos) << run.Out << run.Err;
    EXPECT_EQ(Read(dir.Path() / "rom.nes"), rom);
    EXPECT_EQ(Read(dir.Path() / "free"), map("$27000 $270FF\n"));
    if (test.Exit != 0) {
      EXPECT_FALSE(fs::exists(dir.Path() / "back.nes"));
      EXPECT_FALSE(fs::exists(dir.Path() / "back.nes.tarvelin-free"));
      continue;
    }
    EXPECT_TRUE(Read(dir.Path() / "back.nes") == grownRom);
    // The map the import leaves goes beside the ROM it describes: the old places are nobody's now.
    EXPECT_EQ(Read(dir.Path() / "back.nes.tarvelin-free"),
              map("# first and last file offset of each free range\n$24970 $2497A\n$24C90 $24C97\n$27017 $270FF\n"));
  }
}

}  // namespace
