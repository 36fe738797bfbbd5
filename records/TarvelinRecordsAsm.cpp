#include "records/TarvelinRecordsAsm.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

// One line of an item: its bytes at file offset At, either literal or the low
// (or high) bytes of labels.
struct TLine {
  int At = 0;
  std::vector<int> Bytes;
  std::vector<std::string> Labels;
  bool High = false;
  std::string Comment;
  int Size() const { return static_cast<int>(Labels.empty() ? Bytes.size() : Labels.size()); }
};

struct TItem {
  int At = 0;
  int Size = 0;
  int Order = 0;  // at one offset: tables, then FrameData, AlignData, AnimationData
  std::string Label;
  std::vector<std::string> Aliases;  // whole lines, after the label
  std::string Comment;
  std::vector<TLine> Lines;
};

std::string BankLabel(int Bank) {
  std::string name = BankNames[Bank];
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

std::string Plain(int Value, int Digits) {
  return RecordHex(Value, Digits).substr(1);
}

class TAsmWriter {
 public:
  TAsmWriter(const TPrgData& PrgData, const TRecordMap& Map, TAsmDialect Dialect)
      : P(PrgData), FMap(Map), FCa65(Dialect == TAsmDialect::Ca65) {}

  std::string Write() {
    FText.reserve(1 << 20);
    FText += FCa65 ? "; TARVELIN sprite records for ca65: one segment per bank, BANK_12_13, BANK_14_15 and BANK_16,\n"
                     "; each to be placed at the CPU address its .segment line gives (file offset = bank base + CPU - "
                     "$8000).\n"
                   : "; TARVELIN sprite records for asm6: one block per bank, each starting at its .base CPU address\n"
                     "; (file offset = bank base + CPU - $8000).\n";
    for (int bank = 0; bank < RecordBankCount; ++bank) Bank(bank);
    return std::move(FText);
  }

 private:
  int Byte(int Offset) const { return P[static_cast<std::size_t>(Offset)]; }

  std::vector<int> Bytes(int At, int Count) const {
    std::vector<int> bytes;
    for (int i = 0; i < Count; ++i) bytes.push_back(Byte(At + i));
    return bytes;
  }

  // The label and the aliases of a record, for the bank it is listed under.
  void Name(TItem& Item, TRecordKind Kind, const TRecordInfo& Info) const {
    Item.Label = RecordLabel(Kind, Info.Numbers.front());
    for (std::size_t i = 1; i < Info.Numbers.size(); ++i) {
      const TRecordNumber number = Info.Numbers[i];
      std::string line = RecordLabel(Kind, number) + " = " + Item.Label;
      // Another bank sees the same bytes at another CPU address.
      const int shift =
          SpriteBanks[static_cast<std::size_t>(Info.Bank)] - SpriteBanks[static_cast<std::size_t>(number.Bank)];
      if (shift) line += (shift > 0 ? " + " : " - ") + RecordHex(std::abs(shift), 4);
      Item.Aliases.push_back(line);
    }
  }

  void Tables(int Bank, std::vector<TItem>& Items) const {
    const auto b = static_cast<std::size_t>(Bank);
    const int base = SpriteBanks[b];
    const std::string bank = BankLabel(Bank);
    struct TTable {
      const char* Name;
      TRecordKind Kind;
      int First;  // the number of the table's first entry
      bool High;
    };
    static constexpr TTable Tables[8] = {
        {"ptr_frame_lo", TRecordKind::Frame, 0x000, false},    {"ptr_frame_lo_100", TRecordKind::Frame, 0x100, false},
        {"ptr_frame_hi", TRecordKind::Frame, 0x000, true},     {"ptr_frame_hi_100", TRecordKind::Frame, 0x100, true},
        {"ptr_align_lo", TRecordKind::Align, 0x000, false},    {"ptr_align_hi", TRecordKind::Align, 0x000, true},
        {"ptr_anim_lo", TRecordKind::Animation, 0x000, false}, {"ptr_anim_hi", TRecordKind::Animation, 0x000, true}};
    for (int t = 0; t < 8; ++t) {
      const TTable& table = Tables[t];
      TItem item{base + 0x100 * t, 0x100, 0, std::string(table.Name) + "_" + bank, {}, {}, {}};
      const char* what = table.Kind == TRecordKind::Frame   ? "FrameData"
                         : table.Kind == TRecordKind::Align ? "AlignData"
                                                            : "AnimationData";
      item.Comment = std::string(table.High ? "high" : "low") + " bytes of the " + what + " pointers";
      const int digits = table.Kind == TRecordKind::Frame ? 3 : 2;
      for (int n = 0; n < 256; n += 8) {
        TLine line;
        line.At = item.At + n;
        line.High = table.High;
        for (int i = n; i < n + 8; ++i) line.Labels.push_back(RecordLabel(table.Kind, {Bank, table.First + i}));
        line.Comment = RecordHex(table.First + n, digits) + "-" + RecordHex(table.First + n + 7, digits).substr(1);
        item.Lines.push_back(std::move(line));
      }
      Items.push_back(std::move(item));
    }
  }

  void Frame(int At, const TRecordInfo& Info, std::vector<TItem>& Items) const {
    TItem item{At, Info.Size, 1, {}, {}, {}, {}};
    Name(item, TRecordKind::Frame, Info);
    const int count = Byte(At + 1) + 1;
    item.Comment = "FrameData " + RecordHex(At, 5);
    item.Lines.push_back({At,
                          Bytes(At, 3),
                          {},
                          false,
                          "CHR bank " + RecordHex(Byte(At), 2) + ", " + std::to_string(count) +
                              (count == 1 ? " sprite" : " sprites") + ", alignment " + RecordHex(Byte(At + 2), 2)});
    for (int i = 0; i < count; ++i) {
      const int at = At + 3 + 2 * i, attribute = Byte(at + 1);
      std::string comment = "sprite " + std::to_string(i) + ": tile " + RecordHex(Byte(at), 2) + ", group " +
                            std::to_string(attribute & 3);
      if (attribute & 0x80) comment += ", V flip";
      if (attribute & 0x40) comment += ", H flip";
      item.Lines.push_back({at, Bytes(at, 2), {}, false, comment});
    }
    Items.push_back(std::move(item));
  }

  void Align(int At, const TRecordInfo& Info, std::vector<TItem>& Items) const {
    TItem item{At, Info.Size, 2, {}, {}, {}, {}};
    Name(item, TRecordKind::Align, Info);
    item.Comment = "AlignData " + RecordHex(At, 5) + (Info.Size ? "" : " (no pattern uses it: no bytes)");
    for (int i = 0; 2 * i < Info.Size; ++i) {
      const int at = At + 2 * i;
      item.Lines.push_back(
          {at,
           Bytes(at, 2),
           {},
           false,
           "sprite " + std::to_string(i) + ": Y " + RecordHex(Byte(at), 2) + ", X " + RecordHex(Byte(at + 1), 2)});
    }
    Items.push_back(std::move(item));
  }

  void Animation(int At, const TRecordInfo& Info, std::vector<TItem>& Items) const {
    TItem item{At, Info.Size, 3, {}, {}, {}, {}};
    Name(item, TRecordKind::Animation, Info);
    const int last = Byte(At) & 0x7F, high = Byte(At) & 0x80;
    item.Comment = "AnimationData " + RecordHex(At, 5);
    item.Lines.push_back({At,
                          Bytes(At, 2),
                          {},
                          false,
                          std::to_string(last + 1) + (last ? " frames" : " frame") + " of " +
                              std::to_string(Byte(At + 1) + 1) + (Byte(At + 1) ? " ticks" : " tick") +
                              (high ? ", patterns $100-$1FF" : "")});
    for (int k = 0; k <= last; k += 16) {
      const int n = std::min(16, last + 1 - k);
      item.Lines.push_back(
          {At + 2 + k,
           Bytes(At + 2 + k, n),
           {},
           false,
           n == 1 ? "frame " + std::to_string(k) : "frames " + std::to_string(k) + "-" + std::to_string(k + n - 1)});
    }
    Items.push_back(std::move(item));
  }

  std::string LineText(const TLine& Line, int Skip) const {
    std::string text = "  ";
    if (Line.Labels.empty()) {
      text += FCa65 ? ".byte " : ".db ";
      for (std::size_t i = static_cast<std::size_t>(Skip); i < Line.Bytes.size(); ++i)
        text += (i > static_cast<std::size_t>(Skip) ? ", " : "") + RecordHex(Line.Bytes[i], 2);
    } else {
      text += FCa65 ? (Line.High ? ".hibytes " : ".lobytes ") : ".db ";
      for (std::size_t i = static_cast<std::size_t>(Skip); i < Line.Labels.size(); ++i) {
        if (i > static_cast<std::size_t>(Skip)) text += ", ";
        if (!FCa65) text += Line.High ? ">" : "<";
        text += Line.Labels[i];
      }
    }
    return text;
  }

  void Bank(int Bank) {
    std::vector<TItem> items;
    Tables(Bank, items);
    for (const auto& [at, info] : FMap.Frames)
      if (info.Bank == Bank) Frame(at, info, items);
    for (const auto& [at, info] : FMap.Aligns)
      if (info.Bank == Bank) Align(at, info, items);
    for (const auto& [at, info] : FMap.Animations)
      if (info.Bank == Bank) Animation(at, info, items);
    std::ranges::sort(
        items, [](const TItem& A, const TItem& B) { return std::tuple(A.At, A.Order) < std::tuple(B.At, B.Order); });

    const int start = items.front().At;
    const std::string name = "BANK_" + BankLabel(Bank);
    FText += "\n; Bank " + std::string(BankNames[Bank]) + ", base " +
             RecordHex(SpriteBanks[static_cast<std::size_t>(Bank)], 5) + "\n";
    FText += FCa65 ? ".segment \"" + name + "\" ; CPU " + RecordHex(CpuAddress(Bank, start), 4) + "\n"
                   : ".base " + RecordHex(CpuAddress(Bank, start), 4) + " ; " + name + "\n";
    int end = start;  // file offset up to which bytes are written
    std::string anchor;
    int anchorAt = start;
    for (const TItem& item : items) {
      if (item.At > end) {
        FText += std::string(FCa65 ? "  .res " : "  .dsb ") + std::to_string(item.At - end) + "\n";
        end = item.At;
      }
      FText += "\n; " + item.Comment + "\n";
      if (item.At == end) {
        FText += item.Label + ":\n";
        anchor = item.Label;
        anchorAt = item.At;
      } else {
        FText += item.Label + " = " + anchor + (item.At > anchorAt ? " + " + std::to_string(item.At - anchorAt) : "") +
                 " ; inside the bytes above\n";
      }
      for (const std::string& alias : item.Aliases) FText += alias + "\n";
      for (const TLine& line : item.Lines) {
        const int lineEnd = line.At + line.Size();
        const std::string comment = " ; " + RecordHex(line.At, 5) + ": " + line.Comment + "\n";
        if (lineEnd <= end) {
          FText += ';';
          FText += LineText(line, 0);
          FText += comment;
        } else {
          FText += LineText(line, std::max(0, end - line.At)) + comment;
          end = lineEnd;
        }
      }
    }
  }

  const TPrgData& P;
  const TRecordMap& FMap;
  bool FCa65;
  std::string FText;
};

}  // namespace

std::string RecordLabel(TRecordKind Kind, TRecordNumber Number) {
  const char* prefix = Kind == TRecordKind::Frame ? "frame_" : Kind == TRecordKind::Align ? "align_" : "anim_";
  return prefix + BankLabel(Number.Bank) + "_" + Plain(Number.Number, Kind == TRecordKind::Frame ? 3 : 2);
}

std::string RecordsAssembly(const TPrgData& PrgData, const TRecordMap& Map, TAsmDialect Dialect) {
  return TAsmWriter(PrgData, Map, Dialect).Write();
}
