#include "rom/TarvelinBpsPatch.h"

#include <algorithm>
#include <string>

#include "host/Exception.h"
#include "host/Translate.h"
#include "rom/TarvelinPatch.h"

namespace {

constexpr std::uint8_t Signature[4] = {'B', 'P', 'S', '1'};
constexpr std::size_t FooterSize = 12;
enum TAction { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };
// A run of one byte shorter than this costs less as a target read than as a copy.
constexpr std::size_t MinCopiedRun = 8;

void AppendLe32(std::vector<std::uint8_t>& Out, std::uint32_t Value) {
  for (int shift = 0; shift < 32; shift += 8) Out.push_back(static_cast<std::uint8_t>(Value >> shift));
}

std::uint32_t Le32(std::span<const std::uint8_t> Bytes) {
  return static_cast<std::uint32_t>(Bytes[0]) | static_cast<std::uint32_t>(Bytes[1]) << 8 |
         static_cast<std::uint32_t>(Bytes[2]) << 16 | static_cast<std::uint32_t>(Bytes[3]) << 24;
}

void Action(std::vector<std::uint8_t>& Out, TAction Kind, std::size_t Length) {
  AppendBpsNumber(Out, (static_cast<std::uint64_t>(Length) - 1) << 2 | Kind);
}

[[noreturn]] void Refuse(const std::string& Text) {
  throw EPatchError(FillArgs(Translate("TarvelinPatch", "BPSパッチ: %1"), {Text}));
}

// Reads the patch's numbers; none of a valid patch for a ROM needs more than 40 bits.
class TBpsReader {
public:
  TBpsReader(std::span<const std::uint8_t> Bytes, std::size_t At) : FBytes(Bytes), FAt(At) {}
  std::uint64_t Number() {
    std::uint64_t value = 0, shift = 1;
    for (;;) {
      const std::uint8_t x = Byte();
      value += (x & 0x7Fu) * shift;
      if (x & 0x80) break;
      shift <<= 7;
      value += shift;
      if (shift > (std::uint64_t{1} << 35)) Refuse(Translate("TarvelinPatch", "数値が大きすぎます"));
    }
    return value;
  }
  std::uint8_t Byte() {
    if (FAt >= FBytes.size()) Refuse(Translate("TarvelinPatch", "途中で切れています"));
    return FBytes[FAt++];
  }
  std::size_t At() const { return FAt; }
  void Skip(std::uint64_t Count) {
    if (Count > FBytes.size() - FAt) Refuse(Translate("TarvelinPatch", "途中で切れています"));
    FAt += static_cast<std::size_t>(Count);
  }

private:
  std::span<const std::uint8_t> FBytes;
  std::size_t FAt;
};

// Moves a copy's offset by the signed distance that follows the action.
std::uint64_t Moved(TBpsReader& Reader, std::uint64_t Offset) {
  const std::uint64_t d = Reader.Number();
  const std::uint64_t distance = d >> 1;
  if (d & 1) {
    if (distance > Offset) Refuse(Translate("TarvelinPatch", "コピー元がファイルの前に出ます"));
    return Offset - distance;
  }
  return Offset + distance;
}

}  // namespace

void AppendBpsNumber(std::vector<std::uint8_t>& Out, std::uint64_t Number) {
  for (;;) {
    const std::uint8_t x = Number & 0x7F;
    Number >>= 7;
    if (Number == 0) {
      Out.push_back(0x80 | x);
      return;
    }
    Out.push_back(x);
    --Number;
  }
}

std::vector<std::uint8_t> CreateBpsPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Target,
                                         std::string_view Metadata) {
  std::vector<std::uint8_t> out(std::begin(Signature), std::end(Signature));
  AppendBpsNumber(out, Source.size());
  AppendBpsNumber(out, Target.size());
  AppendBpsNumber(out, Metadata.size());
  out.insert(out.end(), Metadata.begin(), Metadata.end());
  const auto kept = [&](std::size_t i) { return i < Source.size() && Source[i] == Target[i]; };
  const std::size_t n = Target.size();
  std::size_t targetOffset = 0;  // where the last target copy left the target-relative offset
  const auto targetRead = [&](std::size_t Start, std::size_t End) {
    if (Start == End) return;
    Action(out, TargetRead, End - Start);
    out.insert(out.end(), Target.begin() + static_cast<std::ptrdiff_t>(Start),
               Target.begin() + static_cast<std::ptrdiff_t>(End));
  };
  for (std::size_t pos = 0; pos < n;) {
    std::size_t end = pos;
    while (end < n && kept(end)) ++end;
    if (end > pos) {
      Action(out, SourceRead, end - pos);
      pos = end;
      continue;
    }
    while (end < n && !kept(end)) ++end;
    // The changed stretch [pos, end): its long runs of one byte repeat the run's first byte.
    std::size_t literal = pos;
    for (std::size_t p = pos; p < end;) {
      std::size_t r = p + 1;
      while (r < end && Target[r] == Target[p]) ++r;
      if (r - p >= MinCopiedRun) {
        targetRead(literal, p + 1);
        Action(out, TargetCopy, r - p - 1);
        const std::size_t from = p;
        AppendBpsNumber(out, from >= targetOffset ? (from - targetOffset) << 1 : (targetOffset - from) << 1 | 1);
        targetOffset = r - 1;
        literal = r;
      }
      p = r;
    }
    targetRead(literal, end);
    pos = end;
  }
  AppendLe32(out, Crc32(Source));
  AppendLe32(out, Crc32(Target));
  AppendLe32(out, Crc32(out));
  return out;
}

std::vector<std::uint8_t> ApplyBpsPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Patch,
                                        std::size_t MaxSize) {
  if (Patch.size() < sizeof Signature + 3 + FooterSize ||
      !std::equal(std::begin(Signature), std::end(Signature), Patch.begin()))
    Refuse(Translate("TarvelinPatch", "\"BPS1\" で始まっていません"));
  const std::size_t actionsEnd = Patch.size() - FooterSize;
  const auto footer = Patch.subspan(actionsEnd);
  if (Crc32(Patch.first(Patch.size() - 4)) != Le32(footer.subspan(8)))
    Refuse(Translate("TarvelinPatch", "壊れています (パッチの CRC が合いません)"));
  TBpsReader reader(Patch.first(actionsEnd), sizeof Signature);
  const std::uint64_t sourceSize = reader.Number();
  const std::uint64_t targetSize = reader.Number();
  reader.Skip(reader.Number());
  if (sourceSize != Source.size() || Crc32(Source) != Le32(footer))
    Refuse(Translate("TarvelinPatch", "このROMに当てるパッチではありません (元のROMの CRC が合いません)"));
  if (targetSize > MaxSize) Refuse(FillArgs(Translate("TarvelinPatch", "結果が %1 バイトを超えます"), {std::to_string(MaxSize)}));

  std::vector<std::uint8_t> out(static_cast<std::size_t>(targetSize));
  std::size_t written = 0;
  std::uint64_t sourceOffset = 0, targetOffset = 0;
  while (reader.At() < actionsEnd) {
    const std::uint64_t action = reader.Number();
    const std::uint64_t length = (action >> 2) + 1;
    if (length > out.size() - written) Refuse(Translate("TarvelinPatch", "命令が結果の終わりを越えます"));
    const std::size_t count = static_cast<std::size_t>(length);
    switch (action & 3) {
      case SourceRead:
        if (written + count > Source.size()) Refuse(Translate("TarvelinPatch", "命令が元のROMの終わりを越えます"));
        std::copy_n(Source.begin() + static_cast<std::ptrdiff_t>(written), count, out.begin() + static_cast<std::ptrdiff_t>(written));
        break;
      case TargetRead:
        for (std::size_t i = 0; i < count; ++i) out[written + i] = reader.Byte();
        break;
      case SourceCopy:
        sourceOffset = Moved(reader, sourceOffset);
        if (sourceOffset > Source.size() || count > Source.size() - sourceOffset)
          Refuse(Translate("TarvelinPatch", "命令が元のROMの終わりを越えます"));
        std::copy_n(Source.begin() + static_cast<std::ptrdiff_t>(sourceOffset), count,
                    out.begin() + static_cast<std::ptrdiff_t>(written));
        sourceOffset += count;
        break;
      case TargetCopy:
        targetOffset = Moved(reader, targetOffset);
        // Byte by byte from what is already written, so a copy may overlap itself.
        if (targetOffset >= written) Refuse(Translate("TarvelinPatch", "命令がまだ書かれていない結果を読みます"));
        for (std::size_t i = 0; i < count; ++i) out[written + i] = out[static_cast<std::size_t>(targetOffset) + i];
        targetOffset += count;
        break;
    }
    written += count;
  }
  if (written != out.size()) Refuse(Translate("TarvelinPatch", "命令が結果の終わりまで届きません"));
  if (Crc32(out) != Le32(footer.subspan(4))) Refuse(Translate("TarvelinPatch", "結果の CRC が合いません"));

  return out;
}
