// records.json out and back in: the round trip changes nothing, hand-worked
// records read as worked out, edits land on their bytes, and bad files are
// refused with the JSON path of the fault.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <variant>

#include "records/TarvelinRecords.h"
#include "tests/records/RecordsTestSupport.h"
#include "tests/rom/RomTestSupport.h"
#include "tools/DemoRom.h"

namespace {

QJsonObject Json(const std::vector<std::uint8_t>& Image) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(Text(Image, TRecordsFormat::Json))).object();
}

QJsonObject Bank(const QJsonObject& Json, int Index) {
  return Json["banks"].toArray()[Index].toObject();
}

std::string Compact(const QJsonValue& Value) {
  QJsonArray wrapper{Value};
  const QByteArray text = QJsonDocument(wrapper).toJson(QJsonDocument::Compact);
  return text.mid(1, text.size() - 2).toStdString();
}

TRomChange Import(const std::vector<std::uint8_t>& Image, const QJsonObject& Json) {
  const QByteArray text = QJsonDocument(Json).toJson();
  return PlanRecordsImport(Image, std::span<const char>(text.constData(), static_cast<std::size_t>(text.size())));
}

TEST(RecordsJson, RoundTripChangesNoByte) {
  auto shortImage = MakeTestRom();
  shortImage.resize(0x24900);
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> images = {
      {"demo", MakeDemoRom()},      {"test", MakeTestRom()},      {"zeroed", ZeroedImage()},
      {"random 1", RandomImage(1)}, {"random 2", RandomImage(2)}, {"random 3", RandomImage(3)},
      {"short", shortImage}};
  for (const auto& [name, image] : images) {
    const std::string json = Text(image, TRecordsFormat::Json);
    EXPECT_TRUE(PlanRecordsImport(image, Chars(json)).Empty()) << name;
  }
}

// MakeTestRom's records, worked out from its layout by hand.
TEST(RecordsJson, HandWorkedRecords) {
  const QJsonObject json = Json(MakeTestRom());
  const QJsonObject bank0 = Bank(json, 0), bank1 = Bank(json, 1);
  EXPECT_EQ(Compact(bank0["name"]), R"("12-13")");
  EXPECT_EQ(Compact(bank0["patternTable"]["$000"]), R"("$24810")");
  EXPECT_EQ(Compact(bank0["patternTable"]["$101"]), R"("$24820")");
  EXPECT_EQ(Compact(bank0["patternTable"]["$1FF"]), R"("$25010")");
  EXPECT_EQ(Compact(bank1["alignTable"]["$00"]), R"("$24910")");
  EXPECT_EQ(Compact(bank0["frames"]["$24810"]),
            R"({"align":"$00","chr":"$05","count":2,"cpu":"$8800","numbers":["12-13:$000","12-13:$001"],)"
            R"("sprites":[{"attr":"$00","group":0,"hflip":false,"tile":"$03","vflip":false},)"
            R"({"attr":"$5D","group":1,"hflip":true,"tile":"$44","vflip":false}]})");
  // Reached from both banks, listed once under the first; bank 1's one-sprite pattern reads less of it.
  EXPECT_EQ(
      Compact(bank0["aligns"]["$24910"]),
      R"({"cpu":"$8900","numbers":["12-13:$00","14-15:$00"],"positions":[{"x":"$F0","y":"$F8"},{"x":"$08","y":"$00"}]})");
  EXPECT_FALSE(bank1["aligns"].toObject().contains("$24910"));
  EXPECT_EQ(
      Compact(bank0["animations"]["$24A10"]),
      R"({"count":4,"cpu":"$8A00","frames":["$01","$00","$02","$00"],"high":false,"numbers":["12-13:$00"],"ticks":2})");
  // Bank 1's pointers at CPU $9000 land on its own neutral FrameData, whose alignment $FF leads to the zeros at $9010.
  EXPECT_EQ(Compact(bank1["frames"]["$29010"]["sprites"]),
            R"([{"attr":"$00","group":0,"hflip":false,"tile":"$00","vflip":false}])");
  EXPECT_EQ(Compact(bank0["aligns"]["$25020"]["positions"]), R"([{"x":"$00","y":"$00"}])");
}

TEST(RecordsJson, EditsLandOnTheirBytes) {
  const auto image = MakeTestRom();
  QJsonObject json = Json(image);
  QJsonArray banks = json["banks"].toArray();
  QJsonObject bank = banks[0].toObject();
  // Sprite 1's tile ($24815) to $45 and V flip on ($24816: $5D -> $DD); pattern $000 to the FrameData at $24820.
  QJsonObject frames = bank["frames"].toObject(), frame = frames["$24810"].toObject();
  QJsonArray sprites = frame["sprites"].toArray();
  QJsonObject sprite = sprites[1].toObject();
  sprite["tile"] = 0x45;
  sprite["attr"] = "$DD";
  sprite["vflip"] = true;
  sprites[1] = sprite;
  frame["sprites"] = sprites;
  frames["$24810"] = frame;
  bank["frames"] = frames;
  QJsonObject table = bank["patternTable"].toObject();
  table["$000"] = "$24820";
  bank["patternTable"] = table;
  banks[0] = bank;
  json["banks"] = banks;
  const TRomChange change = Import(image, json);
  ASSERT_EQ(change.Writes.size(), 3u);
  const std::vector<std::array<int, 3>> expected = {
      {0x24010, 0x00, 0x10}, {0x24815, 0x44, 0x45}, {0x24816, 0x5D, 0xDD}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(change.Writes[i].Offset, expected[i][0]);
    EXPECT_EQ(change.Writes[i].Old, expected[i][1]);
    EXPECT_EQ(change.Writes[i].New, expected[i][2]);
  }
}

// A step into a JSON value: a field name or an array index.
using TStep = std::variant<const char*, int>;

QJsonValue With(const QJsonValue& Value, std::span<const TStep> Path, const QJsonValue& New) {
  if (Path.empty()) return New;
  if (const auto* name = std::get_if<const char*>(&Path[0])) {
    QJsonObject object = Value.toObject();
    if (Path.size() == 1 && New.isUndefined())
      object.remove(*name);
    else
      object[*name] = With(object[*name], Path.subspan(1), New);
    return object;
  }
  QJsonArray array = Value.toArray();
  const int index = std::get<int>(Path[0]);
  array[index] = With(array[index], Path.subspan(1), New);
  return array;
}

struct TRefusal {
  std::vector<TStep> Path;
  QJsonValue New;
  std::string Message;
  bool Zeroed = false;  // on the zeroed image rather than the test ROM
};

TEST(RecordsJson, RefusalsNameTheJsonPath) {
  const std::string frame = R"(banks[0].frames["$24810"])";
  const QJsonValue gone(QJsonValue::Undefined);  // the field is removed
  const std::vector<TRefusal> refusals = {
      {{"banks", 0, "frames", "$24810", "sprites", 1, "tile"}, 300, frame + ".sprites[1].tile: 300 is not a byte"},
      {{"banks", 0, "frames", "$24810", "chr"}, true, frame + ".chr: true is not a byte"},
      {{"banks", 0, "frames", "$24810", "align"}, "$1G", frame + R"(.align: "$1G" is not a byte)"},
      {{"banks", 0, "frames", "$24810", "sprites", 0, "vflip"},
       true,
       frame + ".sprites[0].vflip: true disagrees with attr $00"},
      {{"banks", 0, "frames", "$24810", "sprites", 1, "group"},
       2,
       frame + ".sprites[1].group: 2 disagrees with attr $5D"},
      {{"banks", 0, "frames", "$24810", "count"},
       3,
       frame + ": the sprite count changes from 2 to 3; a record keeps its size"},
      {{"banks", 0, "frames", "$24810", "count"}, 0, frame + ".count: 0 is not a whole number from 1 to 256"},
      {{"banks", 0, "frames", "$24810", "sprites"}, QJsonArray{}, frame + ".sprites: 0 sprites where the count is 2"},
      {{"banks", 0, "frames", "$24810", "tile"}, 1, frame + ".tile: unknown field"},
      {{"banks", 0, "frames", "$24810", "cpu"},
       "$8801",
       frame + R"(.cpu: "$8801" is not $8800, where bank 12-13 sees $24810)"},
      {{"banks", 0, "frames", "$24811"},
       QJsonObject{},
       R"(banks[0].frames["$24811"]: no FrameData of the image starts at $24811)"},
      {{"banks", 0, "frames", "24810"}, QJsonObject{}, R"(banks[0].frames["24810"]: "24810" is not a file offset)"},
      {{"banks", 0, "patternTable", "$000"},
       "$24811",
       R"(banks[0].patternTable["$000"]: no FrameData of the image starts at $24811)"},
      {{"banks", 0, "patternTable", "$200"},
       "$24810",
       R"(banks[0].patternTable["$200"]: not a number from $0 to $1FF)"},
      {{"banks", 1, "alignTable", "$00"}, 5, R"(banks[1].alignTable["$00"]: 5 is not a file offset)"},
      {{"banks", 0, "aligns", "$24910", "positions", 1, "x"},
       -1,
       R"(banks[0].aligns["$24910"].positions[1].x: -1 is not a byte)"},
      {{"banks", 0, "aligns", "$24910", "positions"},
       QJsonArray{QJsonObject{{"y", 0}, {"x", 0}}},
       R"(banks[0].aligns["$24910"]: the number of positions changes from 2 to 1; a record keeps its size)"},
      {{"banks", 0, "animations", "$24A10", "count"},
       5,
       R"(banks[0].animations["$24A10"]: the frame count changes from 4 to 5; a record keeps its size)"},
      {{"banks", 0, "animations", "$24A10", "ticks"},
       257,
       R"(banks[0].animations["$24A10"].ticks: 257 is not a whole number from 1 to 256)"},
      {{"banks", 0, "animations", "$24A10", "high"},
       1,
       R"(banks[0].animations["$24A10"].high: 1 is not true or false)"},
      {{"banks", 0, "animations", "$24A10", "frames", 3},
       "$100",
       R"(banks[0].animations["$24A10"].frames[3]: "$100" is not a byte)"},
      {{"banks", 2, "name"}, "17", R"(banks[2].name: "17" is no bank ("12-13", "14-15" or "16"))"},
      {{"banks", 2, "name"}, "12-13", R"(banks[2].name: "12-13" is given twice)"},
      {{"banks", 1}, 7, "banks[1]: 7 is not an object"},
      {{"banks", 0, "frames", "$24810", "sprites", 0, "tile"}, gone, frame + ".sprites[0].tile: missing"},
      {{"version"}, 2, "version: 2 is not 1"},
      {{"format"}, "other", R"(format: "other" is not "tarvelin-records")"},
      // In the zeroed image bank 16's FrameData lies on bank 12-13's pattern table.
      {{"banks", 2, "frames", "$24010", "chr"},
       "$01",
       R"(banks[2].frames["$24010"].chr: gives $24010 the value $01 where banks[0].patternTable["$000"] gives $00)",
       true},
  };
  const QJsonObject test = Json(MakeTestRom()), zeroed = Json(ZeroedImage());
  for (const TRefusal& refusal : refusals) {
    const QJsonObject json = With(refusal.Zeroed ? zeroed : test, refusal.Path, refusal.New).toObject();
    try {
      Import(refusal.Zeroed ? ZeroedImage() : MakeTestRom(), json);
      ADD_FAILURE() << "accepted: " << refusal.Message;
    } catch (const ERecordsError& E) {
      EXPECT_EQ(E.Message(), refusal.Message);
    }
  }
}

TEST(RecordsJson, RefusesWhatIsNoRecordsFile) {
  const auto image = MakeTestRom();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "not JSON: "},
      {"{\"banks\": [", "not JSON: "},
      {"[]", "the top level is not an object"},
      {R"({"format": "tarvelin-records", "version": 1})", "banks: missing"},
      {R"({"format": "tarvelin-records", "version": 1, "banks": [], "extra": 0})", "extra: unknown field"},
      {R"({"format": "tarvelin-records", "version": 1, "banks": {}})", "banks: an object is not an array"}};
  for (const auto& [text, message] : cases) {
    try {
      PlanRecordsImport(image, Chars(text));
      ADD_FAILURE() << "accepted " << text;
    } catch (const ERecordsError& E) {
      // A parser's own words follow "not JSON: ".
      EXPECT_EQ(E.Message().substr(0, message.size()), message) << text;
      if (!message.ends_with(": ")) {
        EXPECT_EQ(E.Message(), message);
      }
    }
  }
  // A file that gives nothing changes nothing.
  EXPECT_TRUE(PlanRecordsImport(image, Chars(R"({"format": "tarvelin-records", "version": 1, "banks": []})")).Empty());
}

TEST(RecordsJson, AChangePastTheEndOfAShortImageIsRefused) {
  // The AlignData at $24910 lies past the end: it reads as zero and may only stay so.
  std::vector<std::uint8_t> image = MakeTestRom();
  image.resize(0x24900);
  QJsonObject json = Json(image);
  EXPECT_TRUE(Import(image, json).Empty());
  json = With(json, std::vector<TStep>{"banks", 0, "aligns", "$24910", "positions", 0, "y"}, "$01").toObject();
  try {
    Import(image, json);
    ADD_FAILURE() << "accepted";
  } catch (const ERecordsError& E) {
    EXPECT_EQ(
        E.Message(),
        R"(banks[0].aligns["$24910"].positions[0].y: would change $24910, past the end of the image (149760 bytes))");
  }
}

}  // namespace
