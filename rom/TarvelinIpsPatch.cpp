#include "rom/TarvelinIpsPatch.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "host/Exception.h"
#include "host/Translate.h"
#include "rom/TarvelinPatch.h"

namespace {

constexpr std::uint8_t Signature[5] = {'P', 'A', 'T', 'C', 'H'};
constexpr std::uint8_t EndMarker[3] = {'E', 'O', 'F'};
constexpr std::size_t MaxRecordSize = 0xFFFF;
constexpr std::size_t Addressable = 0x1000000;
// A record's offset and size: what an unchanged stretch costs when split off.
constexpr std::size_t RecordHeader = 5;

class TIpsWriter {
public:
  explicit TIpsWriter(std::span<const std::uint8_t> Target) : FTarget(Target) {
    FOut.assign(std::begin(Signature), std::end(Signature));
  }

  // Target[Start, End) as literal records and run records, whichever is shorter.
  void Span(std::size_t Start, std::size_t End) {
    std::size_t literal = Start;
    for (std::size_t p = Start; p < End;) {
      std::size_t r = p + 1;
      while (r < End && FTarget[r] == FTarget[p]) ++r;
      // A run record costs 8 bytes, and splits the literal around it into two records.
      const bool first = p == literal, last = r == End;
      const std::size_t worth = first && last ? 3 : first || last ? 8 : 13;
      if (r - p > worth) {
        Literal(literal, p);
        Run(p, r - p);
        literal = r;
      }
      p = r;
    }
    Literal(literal, End);
  }

  std::vector<std::uint8_t> Finish() {
    FOut.insert(FOut.end(), std::begin(EndMarker), std::end(EndMarker));
    return std::move(FOut);
  }

private:
  void Header(std::size_t Offset, std::size_t Size) {
    Assert(Offset < Addressable && Offset != IpsEofOffset && Size <= MaxRecordSize, "IPS record out of range");
    for (const int shift : {16, 8, 0}) FOut.push_back(static_cast<std::uint8_t>(Offset >> shift));
    FOut.push_back(static_cast<std::uint8_t>(Size >> 8));
    FOut.push_back(static_cast<std::uint8_t>(Size));
  }

  void Literal(std::size_t Start, std::size_t End) {
    while (Start < End) {
      // Started a byte earlier, a record at "EOF" keeps the reader going.
      if (Start == IpsEofOffset) --Start;
      const std::size_t size = std::min(End - Start, MaxRecordSize);
      Header(Start, size);
      FOut.insert(FOut.end(), FTarget.begin() + static_cast<std::ptrdiff_t>(Start),
                  FTarget.begin() + static_cast<std::ptrdiff_t>(Start + size));
      Start += size;
    }
  }

  void Run(std::size_t Start, std::size_t Count) {
    while (Count > 0) {
      if (Start == IpsEofOffset) {
        Literal(Start - 1, Start + 1);
        ++Start;
        --Count;
        continue;
      }
      const std::size_t count = std::min(Count, MaxRecordSize);
      Header(Start, 0);
      FOut.push_back(static_cast<std::uint8_t>(count >> 8));
      FOut.push_back(static_cast<std::uint8_t>(count));
      FOut.push_back(FTarget[Start]);
      Start += count;
      Count -= count;
    }
  }

  std::span<const std::uint8_t> FTarget;
  std::vector<std::uint8_t> FOut;
};

[[noreturn]] void Refuse(const std::string& Text) {
  throw EPatchError(FillArgs(Translate("TarvelinPatch", "IPSパッチ: %1"), {Text}));
}

std::string Hex(std::size_t Value) {
  char text[16];
  std::snprintf(text, sizeof text, "$%06zX", Value);
  return text;
}

}  // namespace

std::vector<std::uint8_t> CreateIpsPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Target) {
  Assert(Target.size() >= Source.size() && Target.size() <= Addressable, "IPS cannot shorten a file or pass 16 MiB");
  const auto differs = [&](std::size_t i) { return i >= Source.size() || Source[i] != Target[i]; };
  TIpsWriter writer(Target);
  const std::size_t n = Target.size();
  for (std::size_t i = 0; i < n;) {
    if (!differs(i)) {
      ++i;
      continue;
    }
    // Unchanged stretches shorter than a record header go along in the record.
    std::size_t end = i + 1;
    for (;;) {
      while (end < n && differs(end)) ++end;
      std::size_t next = end;
      while (next < n && !differs(next) && next - end < RecordHeader) ++next;
      if (next == n || !differs(next) || next - end >= RecordHeader) break;
      end = next;
    }
    writer.Span(i, end);
    i = end;
  }
  return writer.Finish();
}

std::vector<std::uint8_t> ApplyIpsPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Patch,
                                        std::size_t MaxSize) {
  if (Patch.size() < sizeof Signature || !std::equal(std::begin(Signature), std::end(Signature), Patch.begin()))
    Refuse(Translate("TarvelinPatch", "\"PATCH\" で始まっていません"));
  std::vector<std::uint8_t> out(Source.begin(), Source.end());
  std::size_t at = sizeof Signature;
  const auto need = [&](std::size_t Count) {
    if (Patch.size() - at < Count)
      Refuse(FillArgs(Translate("TarvelinPatch", "%1 の記録が途中で切れています (\"EOF\" がありません)"), {Hex(at)}));
  };
  const auto number = [&](int Bytes) {
    std::size_t value = 0;
    for (int i = 0; i < Bytes; ++i) value = value << 8 | Patch[at++];
    return value;
  };
  for (;;) {
    need(3);
    if (std::equal(std::begin(EndMarker), std::end(EndMarker), Patch.begin() + static_cast<std::ptrdiff_t>(at))) {
      at += 3;
      break;
    }
    const std::size_t record = at;
    const std::size_t offset = number(3);
    need(2);
    std::size_t size = number(2);
    const bool run = size == 0;
    if (run) {
      need(3);
      size = number(2);
      if (size == 0) Refuse(FillArgs(Translate("TarvelinPatch", "%1 の記録の長さが 0 です"), {Hex(record)}));
    } else {
      need(size);
    }
    if (offset + size > MaxSize)
      Refuse(FillArgs(Translate("TarvelinPatch", "%1 の記録が %2 バイトを超えて書き込みます"),
                      {Hex(record), std::to_string(MaxSize)}));
    if (out.size() < offset + size) out.resize(offset + size);
    const auto to = out.begin() + static_cast<std::ptrdiff_t>(offset);
    if (run) {
      std::fill_n(to, size, Patch[at++]);
    } else {
      std::copy_n(Patch.begin() + static_cast<std::ptrdiff_t>(at), size, to);
      at += size;
    }
  }
  if (at == Patch.size()) return out;
  if (Patch.size() - at != 3) Refuse(Translate("TarvelinPatch", "\"EOF\" の後に余分なデータがあります"));
  const std::size_t truncated = number(3);
  if (truncated > out.size()) Refuse(Translate("TarvelinPatch", "\"EOF\" の後の長さがファイルより長くなっています"));

  out.resize(truncated);
  return out;
}
