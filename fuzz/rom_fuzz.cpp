// ROM loading, then every sprite pattern and every animation frame of every bank
// drawn as the two pages draw them.
//
// Input: first byte even: the rest is the ROM file as it stands. First byte odd:
// the rest patches a copy of the demo ROM, as records of a 3-byte file offset
// (little-endian, taken mod the image size), a length byte and that many bytes;
// so random inputs reach the drawing with pointer tables and records in place.

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "sprite/TarvelinDrawSprite.h"
#include "rom/TarvelinFileIO.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "host/Application.h"
#include "tools/DemoRom.h"

namespace {

class TNoMessageBoxes final : public IMessageBoxes {
public:
  void Show(const std::string&, const std::string&, TMessageKind) override {}
};

std::string RomPath;
const std::vector<std::uint8_t>* DemoImage = nullptr;

std::vector<std::uint8_t> FileFor(const std::uint8_t* Data, std::size_t Size) {
  if (Data[0] % 2 == 0) return std::vector<std::uint8_t>(Data + 1, Data + Size);
  std::vector<std::uint8_t> image = *DemoImage;
  std::size_t at = 1;
  while (at + 4 <= Size) {
    std::size_t offset = (Data[at] | Data[at + 1] << 8 | Data[at + 2] << 16) % image.size();
    std::size_t length = Data[at + 3];
    at += 4;
    for (; length > 0 && at < Size && offset < image.size(); --length) image[offset++] = Data[at++];
  }
  return image;
}

bool WriteFile(const std::vector<std::uint8_t>& Bytes) {
  std::FILE* file = std::fopen(RomPath.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(Bytes.data(), 1, Bytes.size(), file) == Bytes.size();
  return std::fclose(file) == 0 && written;
}

// The bytes of PrgData from Offset on, Count of them; the layout promises they are there.
std::span<const std::uint8_t> Prg(int Offset, std::size_t Count) {
  if (Offset < 0 || static_cast<std::size_t>(Offset) + Count > PrgData.size()) std::abort();
  return std::span<const std::uint8_t>(PrgData).subspan(static_cast<std::size_t>(Offset));
}

// A FrameData and the AlignData it names, as both pages resolve them.
std::pair<int, int> Resolve(int Bank, int PatternNumber) {
  const int frame = FrameDataOffset(PrgData, Bank, PatternNumber);
  return {frame, AlignDataOffset(PrgData, Bank, Prg(frame, 3)[2])};
}

void DrawRecords(TZrDIB& Sprite, std::pair<int, int> Records) {
  const auto [frameAt, alignAt] = Records;
  const std::size_t count = Prg(frameAt, 2)[1] + 1u;
  // The dumps the sprite page shows of both records.
  (void)HexDump(Prg(frameAt, 3 + 2 * count).first(3 + 2 * count));
  (void)HexDump(Prg(alignAt, 2 * count).first(2 * count));
  SpriteDrawer->DrawFrame(Sprite, Prg(frameAt, 3 + 2 * count), Prg(alignAt, 2 * count));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Application.SetTitle(ApplicationTitle);
  Application.SetMessageBoxes(std::make_shared<TNoMessageBoxes>());
  static const std::vector<std::uint8_t> demo = MakeDemoRom();
  DemoImage = &demo;
  RomPath = "/tmp/rom_fuzz_" + std::to_string(getpid()) + ".nes";
  std::atexit([] { std::remove(RomPath.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // The mode byte and one byte past the largest ROM, enough to reach the size check.
  if (Size == 0 || Size > static_cast<std::size_t>(RomImageSize) + 2) return 0;
  if (!WriteFile(FileFor(Data, Size))) return 0;
  ClearPrgData(PrgData);
  ClearChrData(ChrData);
  const bool loaded = LoadRomImage(RomPath, PrgData, ChrData);
  if (!loaded) {
    ClearPrgData(PrgData);
    ClearChrData(ChrData);
    return 0;
  }
  SpriteDrawer = std::make_unique<TDrawSprite>(ChrData, FcPalette.get());

  // Every pattern of every sprite bank, and every frame of every animation of every
  // animation bank. A frame resolves like a pattern of its bank, so each distinct
  // pair of records is drawn once; the pictures are page pictures, drawn over.
  std::set<std::pair<int, int>> records;
  for (const int bank : SpriteBanks)
    for (int n = 0; n < 512; ++n) records.insert(Resolve(bank, n));
  bool emptyFrame = false;
  for (const int bank : AnimationBanks) {
    for (int m = 0; m < 256; ++m) {
      const int at = AnimationDataOffset(PrgData, bank, m);
      const auto record = Prg(at, 2);
      const int last = record[0] & 0x7F;
      const std::size_t length = 3u + static_cast<std::size_t>(last);
      const auto frames = Prg(at, length).subspan(2);
      for (int k = 0; k <= last; ++k) {
        const int b = frames[static_cast<std::size_t>(k)];
        if (b == 0)
          emptyFrame = true;
        else
          records.insert(Resolve(bank, b + 256 * (record[0] >> 7)));
      }
      (void)HexDump(Prg(at, length).first(length));
    }
  }
  auto sprite = CreatePageDIB(256, 256);
  auto patternTable = CreatePageDIB(128, 128);
  // A pattern table depends only on the CHR bank and the load offset.
  std::bitset<1024> tables;
  for (const auto& pair : records) {
    DrawRecords(*sprite, pair);
    const auto frame = Prg(pair.first, 4);
    const int bank = frame[0], offset = frame[3] >> 6;
    if (tables.test(static_cast<std::size_t>(4 * bank + offset))) continue;
    tables.set(static_cast<std::size_t>(4 * bank + offset));
    SpriteDrawer->DrawPatternTable(*patternTable, frame[0], static_cast<std::uint8_t>(offset), 0);
  }
  if (emptyFrame) (void)CreatePageDIB(256, 256);
  SpriteDrawer.reset();
  return 0;
}
