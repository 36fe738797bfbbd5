#include "records/TarvelinRecordsJson.h"

namespace {

class TJsonWriter {
 public:
  TJsonWriter(const TPrgData& PrgData, const TRecordMap& Map) : P(PrgData), FMap(Map) {}

  std::string Write() {
    FText.reserve(1 << 20);
    FText += "{\n  \"format\": \"tarvelin-records\",\n  \"version\": 1,\n  \"banks\": [";
    for (int bank = 0; bank < RecordBankCount; ++bank) {
      FText += bank ? ",\n    {\n" : "\n    {\n";
      Bank(bank);
      FText += "    }";
    }
    FText += "\n  ]\n}\n";
    return std::move(FText);
  }

 private:
  int Byte(int Offset) const { return P[static_cast<std::size_t>(Offset)]; }
  std::string ByteText(int Offset) const { return Quoted(RecordHex(Byte(Offset), 2)); }
  static std::string Quoted(const std::string& Text) { return "\"" + Text + "\""; }

  template <std::size_t N>
  void Table(const char* Name, const std::array<int, N>& Entries, int Digits) {
    FText += "      \"" + std::string(Name) + "\": {";
    for (std::size_t n = 0; n < N; ++n) {
      FText += n ? ",\n        " : "\n        ";
      FText += Quoted(RecordHex(static_cast<int>(n), Digits)) + ": " + Quoted(RecordHex(Entries[n], 5));
    }
    FText += "\n      },\n";
  }

  void Head(TRecordKind Kind, int Offset, const TRecordInfo& Info) {
    FText += Quoted(RecordHex(Offset, 5)) + ": {\"cpu\": " + Quoted(RecordHex(CpuAddress(Info.Bank, Offset), 4)) +
             ", \"numbers\": [";
    for (std::size_t i = 0; i < Info.Numbers.size(); ++i)
      FText += (i ? ", " : "") + Quoted(NumberName(Kind, Info.Numbers[i]));
    FText += "]";
  }

  // Each record of Kind listed under Bank, written by Fields.
  template <typename TFields>
  void Records(const char* Name, TRecordKind Kind, int Bank, bool Last, TFields Fields) {
    FText += "      \"" + std::string(Name) + "\": {";
    bool first = true;
    for (const auto& [offset, info] : FMap.Records(Kind)) {
      if (info.Bank != Bank) continue;
      FText += first ? "\n        " : ",\n        ";
      first = false;
      Head(Kind, offset, info);
      Fields(offset, info);
      FText += "}";
    }
    FText += first ? "}" : "\n      }";
    FText += Last ? "\n" : ",\n";
  }

  void Bank(int Bank) {
    const auto b = static_cast<std::size_t>(Bank);
    FText += "      \"name\": \"" + std::string(BankNames[b]) + "\",\n      \"base\": \"" +
             RecordHex(SpriteBanks[b], 5) + "\",\n";
    Table("patternTable", FMap.PatternTable[b], 3);
    Table("alignTable", FMap.AlignTable[b], 2);
    Table("animationTable", FMap.AnimationTable[b], 2);
    Records("frames", TRecordKind::Frame, Bank, false, [&](int At, const TRecordInfo&) {
      const int count = Byte(At + 1) + 1;
      FText += ", \"chr\": " + ByteText(At) + ", \"count\": " + std::to_string(count) +
               ", \"align\": " + ByteText(At + 2) + ", \"sprites\": [";
      for (int i = 0; i < count; ++i) {
        const int attribute = Byte(At + 4 + 2 * i);
        FText += i ? ",\n          " : "\n          ";
        FText += "{\"tile\": " + ByteText(At + 3 + 2 * i) + ", \"attr\": " + ByteText(At + 4 + 2 * i) +
                 ", \"vflip\": " + (attribute & 0x80 ? "true" : "false") +
                 ", \"hflip\": " + (attribute & 0x40 ? "true" : "false") +
                 ", \"group\": " + std::to_string(attribute & 3) + "}";
      }
      FText += "\n        ]";
    });
    Records("aligns", TRecordKind::Align, Bank, false, [&](int At, const TRecordInfo& Info) {
      FText += ", \"positions\": [";
      for (int i = 0; 2 * i < Info.Size; ++i) {
        FText += i ? ",\n          " : "\n          ";
        FText += "{\"y\": " + ByteText(At + 2 * i) + ", \"x\": " + ByteText(At + 2 * i + 1) + "}";
      }
      FText += Info.Size ? "\n        ]" : "]";
    });
    Records("animations", TRecordKind::Animation, Bank, true, [&](int At, const TRecordInfo&) {
      const int last = Byte(At) & 0x7F;
      FText += std::string(", \"high\": ") + (Byte(At) & 0x80 ? "true" : "false") +
               ", \"count\": " + std::to_string(last + 1) + ", \"ticks\": " + std::to_string(Byte(At + 1) + 1) +
               ", \"frames\": [";
      for (int k = 0; k <= last; ++k) FText += (k ? ", " : "") + ByteText(At + 2 + k);
      FText += "]";
    });
  }

  const TPrgData& P;
  const TRecordMap& FMap;
  std::string FText;
};

}  // namespace

std::string RecordsJson(const TPrgData& PrgData, const TRecordMap& Map) {
  return TJsonWriter(PrgData, Map).Write();
}
