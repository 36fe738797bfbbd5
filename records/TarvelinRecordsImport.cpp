// records.json back in: every value checked and turned into bytes at file
// offsets, then compared with the image. Nothing is planned unless all is sound.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <optional>

#include "records/TarvelinRecordMap.h"
#include "records/TarvelinRecords.h"
#include "rom/TarvelinRelocate.h"

namespace {

[[noreturn]] void Refuse(const std::string& Path, const std::string& Why) {
  throw ERecordsError(Path.empty() ? Why : Path + ": " + Why);
}

std::string Shown(const QJsonValue& Value) {
  switch (Value.type()) {
    case QJsonValue::Null:
      return "null";
    case QJsonValue::Bool:
      return Value.toBool() ? "true" : "false";
    case QJsonValue::Double: {
      const double d = Value.toDouble();
      return d == std::floor(d) && std::fabs(d) < 1e15 ? std::to_string(static_cast<long long>(d))
                                                       : QString::number(d, 'g', 17).toStdString();
    }
    case QJsonValue::String: {
      const QString text = Value.toString();
      std::string shown(1, '"');
      shown += (text.size() > 40 ? text.left(40) + "..." : text).toStdString();
      shown += '"';
      return shown;
    }
    case QJsonValue::Array:
      return "an array";
    case QJsonValue::Object:
      return "an object";
    case QJsonValue::Undefined:
      break;
  }
  return "nothing";
}

// "$" and hex digits, at most Max.
std::optional<int> HexText(const QString& Text, int Max) {
  if (Text.size() < 2 || Text.size() > 7 || Text[0] != '$') return std::nullopt;
  bool ok = false;
  const int value = Text.mid(1).toInt(&ok, 16);
  if (!ok || value < 0 || value > Max) return std::nullopt;
  for (const QChar c : Text.mid(1))
    if (!c.isDigit() && !QString("abcdefABCDEF").contains(c)) return std::nullopt;
  return value;
}

// A whole number from Min to Max, as a JSON number or, where Hex, also a "$" string.
std::optional<int> Whole(const QJsonValue& Value, int Min, int Max, bool Hex) {
  if (Value.isDouble()) {
    const double d = Value.toDouble();
    if (d != std::floor(d) || d < Min || d > Max) return std::nullopt;
    return static_cast<int>(d);
  }
  if (Hex && Value.isString()) {
    const auto value = HexText(Value.toString(), Max);
    if (value && *value >= Min) return value;
  }
  return std::nullopt;
}

int Byte(const QJsonValue& Value, const std::string& Path) {
  const auto value = Whole(Value, 0, 255, true);
  if (!value) Refuse(Path, Shown(Value) + " is not a byte");
  return *value;
}

int Count(const QJsonValue& Value, const std::string& Path, int Max) {
  const auto value = Whole(Value, 1, Max, false);
  if (!value) Refuse(Path, Shown(Value) + " is not a whole number from 1 to " + std::to_string(Max));
  return *value;
}

bool Flag(const QJsonValue& Value, const std::string& Path) {
  if (!Value.isBool()) Refuse(Path, Shown(Value) + " is not true or false");
  return Value.toBool();
}

QJsonObject Object(const QJsonValue& Value, const std::string& Path) {
  if (!Value.isObject()) Refuse(Path, Shown(Value) + " is not an object");
  return Value.toObject();
}

QJsonArray Array(const QJsonValue& Value, const std::string& Path) {
  if (!Value.isArray()) Refuse(Path, Shown(Value) + " is not an array");
  return Value.toArray();
}

std::string Member(const std::string& Path, const std::string& Name) {
  return Path.empty() ? Name : Path + "." + Name;
}

// The object's fields, all of Required present and none but those and Optional.
void Fields(const QJsonObject& Object, const std::string& Path, std::initializer_list<const char*> Required,
            std::initializer_list<const char*> Optional) {
  for (const char* name : Required)
    if (!Object.contains(QLatin1StringView(name))) Refuse(Member(Path, name), "missing");
  for (auto at = Object.begin(); at != Object.end(); ++at) {
    const auto known = [&](std::initializer_list<const char*> Names) {
      return std::ranges::any_of(Names, [&](const char* Name) { return at.key() == QLatin1StringView(Name); });
    };
    if (!known(Required) && !known(Optional)) Refuse(Member(Path, at.key().toStdString()), "unknown field");
  }
}

std::string Key(const std::string& Path, const QString& Key) {
  return Path + "[\"" + Key.toStdString() + "\"]";
}
std::string Index(const std::string& Path, qsizetype Index) {
  return Path + "[" + std::to_string(Index) + "]";
}

// One byte the file gives: where, what, and which value said so.
struct TPut {
  int Offset;
  std::uint8_t Value;
  int Source;   // index of the path of the record or table entry
  int Field;    // index into FieldNames
  int Element;  // sprite, position or frame index; -1 for none
};

constexpr const char* FieldNames[] = {"",          "chr",       "count", "align", "sprites", "sprites",
                                      "positions", "positions", "high",  "ticks", "frames"};
constexpr const char* ElementFieldNames[] = {"", "", "", "", "tile", "attr", "y", "x", "", "", ""};
enum {
  FieldEntry,
  FieldChr,
  FieldCount,
  FieldAlign,
  FieldTile,
  FieldAttr,
  FieldY,
  FieldX,
  FieldHigh,
  FieldTicks,
  FieldFrame
};

// A record whose count the file changes: given whole, where it starts now.
struct TResized {
  TRecordRewrite Record;
  std::string Path;
};

class TImporter {
 public:
  // Resize: counts may change, and such records come out in Resized rather than as writes.
  TImporter(std::span<const std::uint8_t> Image, bool Resize = false)
      : FImage(Image), FPrg(PrgOfImage(Image)), FMap(WalkRecords(FPrg)), FResize(Resize) {}

  TRomChange Plan(std::span<const char> Json) {
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(Json.data(), static_cast<qsizetype>(Json.size())), &error);
    if (error.error != QJsonParseError::NoError)
      Refuse("", "not JSON: " + error.errorString().toStdString() + " at byte " + std::to_string(error.offset));
    if (!document.isObject()) Refuse("", "the top level is not an object");
    const QJsonObject top = document.object();
    Fields(top, "", {"format", "version", "banks"}, {});
    if (top["format"] != QJsonValue("tarvelin-records"))
      Refuse("format", Shown(top["format"]) + " is not \"tarvelin-records\"");
    if (!Whole(top["version"], 1, 1, false)) Refuse("version", Shown(top["version"]) + " is not 1");
    const QJsonArray banks = Array(top["banks"], "banks");
    bool seen[RecordBankCount] = {};
    for (qsizetype i = 0; i < banks.size(); ++i) {
      const std::string path = Index("banks", i);
      const QJsonObject bank = Object(banks[i], path);
      Fields(bank, path, {"name"},
             {"base", "patternTable", "alignTable", "animationTable", "frames", "aligns", "animations"});
      int index = -1;
      for (int b = 0; b < RecordBankCount; ++b)
        if (bank["name"] == QJsonValue(BankNames[b])) index = b;
      if (index < 0) Refuse(path + ".name", Shown(bank["name"]) + " is no bank (\"12-13\", \"14-15\" or \"16\")");
      if (seen[index]) Refuse(path + ".name", Shown(bank["name"]) + " is given twice");
      seen[index] = true;
      Bank(bank, index, path);
    }
    return Writes();
  }

  // The records the file resizes, and every pattern checked to read as many
  // positions as it has sprites where it reads a resized record.
  const std::vector<TResized>& ResizedRecords(const TRomChange& Writes) {
    if (FResized.empty()) return FResized;
    auto prg = std::make_unique<TPrgData>(FPrg);
    for (const TByteWrite& write : Writes.Writes)
      if (static_cast<std::size_t>(write.Offset) < prg->size()) (*prg)[static_cast<std::size_t>(write.Offset)] = write.New;
    const auto find = [&](TRecordTable Table, int At) -> const TResized* {
      for (const TResized& resized : FResized)
        if (resized.Record.Table == Table && resized.Record.At == At) return &resized;
      return nullptr;
    };
    for (int bank = 0; bank < RecordBankCount; ++bank) {
      const int base = SpriteBanks[static_cast<std::size_t>(bank)];
      for (int n = 0; n < 512; ++n) {
        const int frame = FrameDataOffset(*prg, base, n);
        const TResized* frameWhole = find(TRecordTable::Frame, frame);
        const auto byte = [&](int Offset) {
          return frameWhole ? frameWhole->Record.Bytes[static_cast<std::size_t>(Offset - frame)]
                            : (*prg)[static_cast<std::size_t>(Offset)];
        };
        const int count = byte(frame + 1) + 1;
        const int align = AlignDataOffset(*prg, base, byte(frame + 2));
        const TResized* alignWhole = find(TRecordTable::Align, align);
        if (!frameWhole && !alignWhole) continue;
        const auto known = FMap.Aligns.find(align);
        const int positions = alignWhole                    ? static_cast<int>(alignWhole->Record.Bytes.size()) / 2
                              : known != FMap.Aligns.end() ? known->second.Size / 2
                                                           : count;
        if (positions < count)
          Refuse(frameWhole ? frameWhole->Path : alignWhole->Path,
                 "pattern " + NumberName(TRecordKind::Frame, {bank, n}) + " would read " + std::to_string(count) +
                     " positions from AlignData " + RecordHex(align, 5) + ", which has " + std::to_string(positions));
      }
    }
    return FResized;
  }

 private:
  TResized* Resized(TRecordTable Table, int At, int OldSize, int Size, const std::string& Path) {
    FResized.push_back({{Table, At, OldSize, std::vector<std::uint8_t>(static_cast<std::size_t>(Size))}, Path});
    return &FResized.back();
  }
  static int Set(TResized& Whole, int Offset, int Value) {
    Whole.Record.Bytes[static_cast<std::size_t>(Offset - Whole.Record.At)] = static_cast<std::uint8_t>(Value);
    return Value;
  }

  int Put(int Offset, int Value, int Source, int Field, int Element = -1) {
    FPuts.push_back({Offset, static_cast<std::uint8_t>(Value), Source, Field, Element});
    return Value;
  }

  std::string PathOf(const TPut& Put) const {
    std::string path = FSources[static_cast<std::size_t>(Put.Source)];
    if (Put.Field == FieldEntry) return path;
    path += std::string(".") + FieldNames[Put.Field];
    if (Put.Element >= 0) path = Index(path, Put.Element);
    if (*ElementFieldNames[Put.Field]) path += std::string(".") + ElementFieldNames[Put.Field];
    return path;
  }

  int Source(std::string Path) {
    FSources.push_back(std::move(Path));
    return static_cast<int>(FSources.size()) - 1;
  }

  // A record's key: the file offset where the image has a record of that kind.
  int RecordAt(const QString& Key, const std::string& Path, TRecordKind Kind) const {
    const auto offset = HexText(Key, 0xFFFFF);
    const char* what = Kind == TRecordKind::Frame   ? "FrameData"
                       : Kind == TRecordKind::Align ? "AlignData"
                                                    : "AnimationData";
    if (!offset) Refuse(Path, "\"" + Key.toStdString() + "\" is not a file offset");
    if (!FMap.Records(Kind).contains(*offset))
      Refuse(Path, "no " + std::string(what) + " of the image starts at " + RecordHex(*offset, 5));
    return *offset;
  }

  void Cpu(const QJsonObject& Record, const std::string& Path, int Bank, int Offset) const {
    if (!Record.contains("cpu")) return;
    const int cpu = CpuAddress(Bank, Offset);
    const auto given = Record["cpu"].isString() ? HexText(Record["cpu"].toString(), 0xFFFF) : std::nullopt;
    if (given != cpu)
      Refuse(Path + ".cpu", Shown(Record["cpu"]) + " is not " + RecordHex(cpu, 4) + ", where bank " + BankNames[Bank] +
                                " sees " + RecordHex(Offset, 5));
  }

  void Table(const QJsonObject& Bank, const char* Name, int BankIndex, const std::string& BankPath, TRecordKind Kind) {
    if (!Bank.contains(QLatin1StringView(Name))) return;
    const std::string path = BankPath + "." + Name;
    const QJsonObject table = Object(Bank[QLatin1StringView(Name)], path);
    const int base = SpriteBanks[static_cast<std::size_t>(BankIndex)];
    const int count = Kind == TRecordKind::Frame ? 512 : 256;
    for (auto at = table.begin(); at != table.end(); ++at) {
      const std::string entry = Key(path, at.key());
      const auto number = HexText(at.key(), count - 1);
      if (!number) Refuse(entry, "not a number from $0 to " + RecordHex(count - 1, 2));
      if (!at.value().isString()) Refuse(entry, Shown(at.value()) + " is not a file offset");
      const int target = RecordAt(at.value().toString(), entry, Kind);
      const int pointer = CpuAddress(BankIndex, target);
      if (pointer < 0 || pointer > 0xFFFF) Refuse(entry, RecordHex(target, 5) + " is out of the bank's reach");
      int low = 0, high = 0;
      if (Kind == TRecordKind::Frame) {
        low = (*number < 0x100 ? 0x000 : 0x100) + (*number & 0xFF);
        high = low + 0x200;
      } else {
        low = (Kind == TRecordKind::Align ? 0x400 : 0x600) + *number;
        high = low + 0x100;
      }
      const int source = Source(entry);
      Put(base + low, pointer & 0xFF, source, FieldEntry);
      Put(base + high, pointer >> 8, source, FieldEntry);
    }
  }

  // Each record of the object Name, by Record(offset, object, path, source).
  template <typename TRecord>
  void Records(const QJsonObject& Bank, const char* Name, const std::string& BankPath, TRecordKind Kind,
               TRecord Record) {
    if (!Bank.contains(QLatin1StringView(Name))) return;
    const std::string path = BankPath + "." + Name;
    const QJsonObject records = Object(Bank[QLatin1StringView(Name)], path);
    for (auto at = records.begin(); at != records.end(); ++at) {
      const std::string entry = Key(path, at.key());
      const int offset = RecordAt(at.key(), entry, Kind);
      Record(offset, Object(at.value(), entry), entry, Source(entry));
    }
  }

  void Bank(const QJsonObject& Bank, int BankIndex, const std::string& Path) {
    const int base = SpriteBanks[static_cast<std::size_t>(BankIndex)];
    if (Bank.contains("base") && !(Bank["base"].isString() && HexText(Bank["base"].toString(), 0xFFFFF) == base))
      Refuse(Path + ".base", Shown(Bank["base"]) + " is not " + RecordHex(base, 5));
    Table(Bank, "patternTable", BankIndex, Path, TRecordKind::Frame);
    Table(Bank, "alignTable", BankIndex, Path, TRecordKind::Align);
    Table(Bank, "animationTable", BankIndex, Path, TRecordKind::Animation);
    Records(
        Bank, "frames", Path, TRecordKind::Frame, [&](int At, const QJsonObject& Record, const std::string& P, int S) {
          Fields(Record, P, {"chr", "count", "align", "sprites"}, {"cpu", "numbers"});
          Cpu(Record, P, BankIndex, At);
          const int count = Count(Record["count"], P + ".count", 256), had = FPrg[static_cast<std::size_t>(At + 1)] + 1;
          if (count != had && !FResize)
            Refuse(P, "the sprite count changes from " + std::to_string(had) + " to " + std::to_string(count) +
                          "; a record keeps its size");
          TResized* whole = count != had ? Resized(TRecordTable::Frame, At, 3 + 2 * had, 3 + 2 * count, P) : nullptr;
          const auto give = [&](int Offset, int Value, int, int Field, int Element = -1) {
            return whole ? Set(*whole, Offset, Value) : this->Put(Offset, Value, S, Field, Element);
          };
          give(At, Byte(Record["chr"], P + ".chr"), S, FieldChr);
          give(At + 1, count - 1, S, FieldCount);
          give(At + 2, Byte(Record["align"], P + ".align"), S, FieldAlign);
          const QJsonArray sprites = Array(Record["sprites"], P + ".sprites");
          if (sprites.size() != count)
            Refuse(P + ".sprites",
                   std::to_string(sprites.size()) + " sprites where the count is " + std::to_string(count));
          for (qsizetype i = 0; i < count; ++i) {
            const std::string sp = Index(P + ".sprites", i);
            const QJsonObject sprite = Object(sprites[i], sp);
            Fields(sprite, sp, {"tile", "attr", "vflip", "hflip", "group"}, {});
            const int e = static_cast<int>(i), at = At + 3 + 2 * e;
            give(at, Byte(sprite["tile"], sp + ".tile"), S, FieldTile, e);
            const int attribute = give(at + 1, Byte(sprite["attr"], sp + ".attr"), S, FieldAttr, e);
            const auto agree = [&](const char* Field, bool Agrees, const QJsonValue& Value) {
              if (!Agrees) Refuse(sp + "." + Field, Shown(Value) + " disagrees with attr " + RecordHex(attribute, 2));
            };
            agree("vflip", Flag(sprite["vflip"], sp + ".vflip") == ((attribute & 0x80) != 0), sprite["vflip"]);
            agree("hflip", Flag(sprite["hflip"], sp + ".hflip") == ((attribute & 0x40) != 0), sprite["hflip"]);
            const auto group = Whole(sprite["group"], 0, 3, false);
            if (!group) Refuse(sp + ".group", Shown(sprite["group"]) + " is not a palette group from 0 to 3");
            agree("group", *group == (attribute & 3), sprite["group"]);
          }
        });
    Records(Bank, "aligns", Path, TRecordKind::Align,
            [&](int At, const QJsonObject& Record, const std::string& P, int S) {
              Fields(Record, P, {"positions"}, {"cpu", "numbers"});
              Cpu(Record, P, BankIndex, At);
              const QJsonArray positions = Array(Record["positions"], P + ".positions");
              const qsizetype had = FMap.Aligns.at(At).Size / 2;
              if (positions.size() != had && !FResize)
                Refuse(P, "the number of positions changes from " + std::to_string(had) + " to " +
                              std::to_string(positions.size()) + "; a record keeps its size");
              if (positions.size() != had && (positions.isEmpty() || positions.size() > 256))
                Refuse(P + ".positions", std::to_string(positions.size()) + " positions where 1 to 256 are needed");
              const auto size = static_cast<int>(positions.size());
              TResized* whole =
                  size != had ? Resized(TRecordTable::Align, At, static_cast<int>(2 * had), 2 * size, P) : nullptr;
              const auto give = [&](int Offset, int Value, int, int Field, int Element) {
                return whole ? Set(*whole, Offset, Value) : this->Put(Offset, Value, S, Field, Element);
              };
              for (qsizetype i = 0; i < size; ++i) {
                const std::string pp = Index(P + ".positions", i);
                const QJsonObject position = Object(positions[i], pp);
                Fields(position, pp, {"y", "x"}, {});
                const int e = static_cast<int>(i);
                give(At + 2 * e, Byte(position["y"], pp + ".y"), S, FieldY, e);
                give(At + 2 * e + 1, Byte(position["x"], pp + ".x"), S, FieldX, e);
              }
            });
    Records(Bank, "animations", Path, TRecordKind::Animation,
            [&](int At, const QJsonObject& Record, const std::string& P, int S) {
              Fields(Record, P, {"high", "count", "ticks", "frames"}, {"cpu", "numbers"});
              Cpu(Record, P, BankIndex, At);
              const int count = Count(Record["count"], P + ".count", 128),
                        had = (FPrg[static_cast<std::size_t>(At)] & 0x7F) + 1;
              if (count != had && !FResize)
                Refuse(P, "the frame count changes from " + std::to_string(had) + " to " + std::to_string(count) +
                              "; a record keeps its size");
              TResized* whole =
                  count != had ? Resized(TRecordTable::Animation, At, 2 + had, 2 + count, P) : nullptr;
              const auto give = [&](int Offset, int Value, int, int Field, int Element = -1) {
                return whole ? Set(*whole, Offset, Value) : this->Put(Offset, Value, S, Field, Element);
              };
              give(At, (Flag(Record["high"], P + ".high") ? 0x80 : 0) | (count - 1), S, FieldHigh);
              give(At + 1, Count(Record["ticks"], P + ".ticks", 256) - 1, S, FieldTicks);
              const QJsonArray frames = Array(Record["frames"], P + ".frames");
              if (frames.size() != count)
                Refuse(P + ".frames",
                       std::to_string(frames.size()) + " frames where the count is " + std::to_string(count));
              for (qsizetype k = 0; k < count; ++k)
                give(At + 2 + static_cast<int>(k), Byte(frames[k], Index(P + ".frames", k)), S, FieldFrame,
                    static_cast<int>(k));
            });
  }

  TRomChange Writes() {
    std::ranges::stable_sort(FPuts, {}, &TPut::Offset);
    TRomChange change;
    for (std::size_t i = 0; i < FPuts.size(); ++i) {
      const TPut& put = FPuts[i];
      if (i > 0 && FPuts[i - 1].Offset == put.Offset) {
        // Records may share bytes, as long as they agree on them.
        const TPut& first = FPuts[i - 1];
        if (first.Value != put.Value)
          Refuse(PathOf(put), "gives " + RecordHex(put.Offset, 5) + " the value " + RecordHex(put.Value, 2) +
                                  " where " + PathOf(first) + " gives " + RecordHex(first.Value, 2));
        continue;
      }
      const auto at = static_cast<std::size_t>(put.Offset);
      // The pages read zero past a short image's end.
      const std::uint8_t old = at < FImage.size() ? FImage[at] : 0;
      if (put.Value == old) continue;
      if (at >= FImage.size())
        Refuse(PathOf(put), "would change " + RecordHex(put.Offset, 5) + ", past the end of the image (" +
                                std::to_string(FImage.size()) + " bytes)");
      change.Writes.push_back({put.Offset, old, put.Value});
    }
    return change;
  }

  std::span<const std::uint8_t> FImage;
  TPrgData FPrg;
  TRecordMap FMap;
  std::vector<TPut> FPuts;
  std::vector<std::string> FSources;
  bool FResize;
  std::vector<TResized> FResized;
};

}  // namespace

TRomChange PlanRecordsImport(std::span<const std::uint8_t> Image, std::span<const char> Json) {
  // The image's copy and its walk are too large for a thread's stack.
  auto importer = std::make_unique<TImporter>(Image);
  return importer->Plan(Json);
}

TRomPlan PlanRecordsImport(const TRomDocument& Document, const TFreeMap& Free, std::span<const char> Json) {
  const std::vector<std::uint8_t> image = Document.Image();
  auto importer = std::make_unique<TImporter>(image, true);
  const TRomChange writes = importer->Plan(Json);
  const auto& resized = importer->ResizedRecords(writes);
  std::vector<TRecordRewrite> records;
  for (const TResized& record : resized) {
    // A record listed under two banks must be given alike.
    for (const TRecordRewrite& earlier : records)
      if (earlier.Table == record.Record.Table && earlier.At == record.Record.At && earlier.Bytes != record.Record.Bytes)
        throw ERecordsError(record.Path + ": gives the record other values than it is given elsewhere");
    records.push_back(record.Record);
  }
  return RewriteRecords(Document, Free, writes, records);
}
