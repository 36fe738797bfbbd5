#include "rom/TarvelinFileIO.h"

#include <algorithm>
#include <cstdio>

#include "host/Application.h"
#include "host/Classes.h"
#include "host/Translate.h"

namespace {

constexpr std::uint8_t RomSignature[4] = {0x4E, 0x45, 0x53, 0x1A};

std::uint8_t TableByte(const TPrgData& PrgData, std::int64_t Index) {
  return Index >= 0 && Index < static_cast<std::int64_t>(PrgData.size()) ? PrgData[static_cast<std::size_t>(Index)] : 0;
}

// B + p - 0x8000 for the split pointer at B + Low / B + High. Worked in 64 bits
// so that no bank base can overflow; the narrowing back to int is modular.
int PointerTarget(const TPrgData& PrgData, int BankBase, int Low, int High) {
  const std::int64_t base = BankBase;
  const int pointer = TableByte(PrgData, base + Low) + 256 * TableByte(PrgData, base + High);
  return static_cast<int>(base + pointer - 0x8000);
}

// The check and the two block reads, from whatever holds the file.
bool LoadRomStream(TStream& File, TPrgData& PrgData, TChrData& ChrData, std::int64_t* LoadedSize) {
  const auto size = File.GetSize();
  if (size < 16 || size > RomImageSize) {
    ShowMessage(Translate("TarvelinFileIO", "ファイルサイズが異常です"));
    return false;
  }
  // A file shorter than the image leaves the rest of both buffers as they were.
  std::int64_t loaded = File.Read(PrgData.data(), static_cast<std::int64_t>(PrgData.size()));
  for (std::size_t i = 0; i < sizeof RomSignature; ++i) {
    if (PrgData[i] != RomSignature[i]) {
      ShowMessage(Translate("TarvelinFileIO", "ヘッダが異常です"));
      return false;
    }
  }
  loaded += File.Read(ChrData.data(), static_cast<std::int64_t>(ChrData.size()));
  if (LoadedSize) *LoadedSize = loaded;
  return true;
}

}  // namespace

bool LoadRomImage(const std::string& FileName, TPrgData& PrgData, TChrData& ChrData, std::int64_t* LoadedSize) {
  TFileStream file(FileName, fmOpenRead);
  return LoadRomStream(file, PrgData, ChrData, LoadedSize);
}

bool LoadRomBytes(std::span<const std::uint8_t> Bytes, TPrgData& PrgData, TChrData& ChrData,
                  std::int64_t* LoadedSize) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
  stream.SetPosition(0);
  return LoadRomStream(stream, PrgData, ChrData, LoadedSize);
}

void ClearPrgData(TPrgData& PrgData) { PrgData.fill(0); }

void ClearChrData(TChrData& ChrData) { ChrData.fill(0); }

int FrameDataOffset(const TPrgData& PrgData, int BankBase, int PatternNumber) {
  const int number = PatternNumber & 0x1FF;
  // The high bit of the 9-bit number picks the second pair of tables.
  const int low = (number < 0x100 ? 0x000 : 0x100) + (number & 0xFF);
  return PointerTarget(PrgData, BankBase, low, low + 0x200);
}

int AlignDataOffset(const TPrgData& PrgData, int BankBase, int AlignNumber) {
  const int a = AlignNumber & 0xFF;
  return PointerTarget(PrgData, BankBase, 0x400 + a, 0x500 + a);
}

int AnimationDataOffset(const TPrgData& PrgData, int BankBase, int AnimationNumber) {
  const int m = AnimationNumber & 0xFF;
  return PointerTarget(PrgData, BankBase, 0x600 + m, 0x700 + m);
}

int ChrBankAddress(int Bank) { return (Bank & 0xFF) * 0x400 + ChrDataFileOffset; }

std::string FormatAddress(int Address) {
  char text[16];
  std::snprintf(text, sizeof text, "$%05X", static_cast<unsigned>(Address));
  return text;
}

std::string FormatByte(int Value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(Value) & 0xFFu);
  return text;
}

std::string HexDump(std::span<const std::uint8_t> Bytes) {
  static constexpr char Digits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(Bytes.size() * 3);
  for (const auto byte : Bytes) {
    text += Digits[byte >> 4];
    text += Digits[byte & 0x0F];
    text += ' ';
  }
  return text;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& FileName, std::int64_t Limit) {
  TFileStream file(FileName, fmOpenRead);
  const std::int64_t size = std::min(file.GetSize(), Limit);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  bytes.resize(static_cast<std::size_t>(file.Read(bytes.data(), size)));
  return bytes;
}
