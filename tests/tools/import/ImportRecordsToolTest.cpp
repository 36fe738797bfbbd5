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
  dir.Write("rom.nes", rom);
  const auto exported = program_test::RunProgram(TARVELIN_EXPORT_EXE, {"rom.nes", "out", "--quiet", "--records", "json", "--no-pictures"},
                                                 dir.Path());
  ASSERT_EQ(exported.ExitCode, 0) << exported.Err;
  const auto original = Read(dir.Path() / "out" / "records.json");
  const QByteArray json(reinterpret_cast<const char*>(original.data()), static_cast<qsizetype>(original.size()));

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
