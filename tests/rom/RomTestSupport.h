#pragma once
// A hand-built ROM image with records at known offsets, shared by the ROM tests.
//
// In every bank, every pointer leads to a neutral record at CPU $9000 (FrameData
// 00 00 FF 00 00, AlignData $FF at $9010, AnimationData 00 00 00 at $9020). Bank 0
// ("12-13", base $24010) then holds:
//   patterns $000 and $001 -> FrameData $24810: 05 01 00 | 03 00 | 44 5D (two sprites, window bank 5)
//   pattern $101           -> FrameData $24820: 06 00 01 | 43 00 (tile $43 at load offset 1: bank 6 tile 3)
//   alignment 0            -> AlignData $24910: F8 F0 00 08
//   animation 0            -> AnimationData $24A10: 03 01 | 01 00 02 00
//   animation 3            -> AnimationData $24A20: 01 00 | 02 01
// and bank 1 ("14-15", base $28010), pattern $005 -> FrameData $28810: 05 00 00 | 10 00,
// whose alignment 0 points ($4900) back at $24910.
// CHR bank 5 tile 3 row 1: plane 0 $00, plane 1 $FF.

#include <cstdint>
#include <vector>

#include "rom/TarvelinFileIO.h"

inline std::vector<std::uint8_t> MakeTestRom() {
  std::vector<std::uint8_t> rom(RomImageSize, 0);
  rom[0] = 'N', rom[1] = 'E', rom[2] = 'S', rom[3] = 0x1A;
  const auto put = [&](int At, std::initializer_list<int> Bytes) {
    for (const int byte : Bytes) rom[static_cast<std::size_t>(At++)] = static_cast<std::uint8_t>(byte);
  };
  const auto pointer = [&](int Base, int Low, int High, int Cpu) {
    rom[static_cast<std::size_t>(Base + Low)] = static_cast<std::uint8_t>(Cpu);
    rom[static_cast<std::size_t>(Base + High)] = static_cast<std::uint8_t>(Cpu >> 8);
  };
  const auto pattern = [&](int Base, int N, int Cpu) {
    const int low = (N < 256 ? 0 : 0x100) + (N & 0xFF);
    pointer(Base, low, low + 0x200, Cpu);
  };
  for (const int base : SpriteBanks) {
    for (int n = 0; n < 512; ++n) pattern(base, n, 0x9000);
    for (int a = 0; a < 256; ++a) pointer(base, 0x400 + a, 0x500 + a, 0x9010);
    for (int m = 0; m < 256; ++m) pointer(base, 0x600 + m, 0x700 + m, 0x9020);
    put(base + 0x1000, {0x00, 0x00, 0xFF, 0x00, 0x00});
  }
  const int bank0 = SpriteBanks[0], bank1 = SpriteBanks[1];
  pattern(bank0, 0x000, 0x8800);
  pattern(bank0, 0x001, 0x8800);
  pattern(bank0, 0x101, 0x8810);
  put(0x24810, {0x05, 0x01, 0x00, 0x03, 0x00, 0x44, 0x5D});
  put(0x24820, {0x06, 0x00, 0x01, 0x43, 0x00});
  pointer(bank0, 0x400, 0x500, 0x8900);
  put(0x24910, {0xF8, 0xF0, 0x00, 0x08});
  pointer(bank0, 0x600, 0x700, 0x8A00);
  put(0x24A10, {0x03, 0x01, 0x01, 0x00, 0x02, 0x00});
  pointer(bank0, 0x603, 0x703, 0x8A10);
  put(0x24A20, {0x01, 0x00, 0x02, 0x01});
  pattern(bank1, 0x005, 0x8800);
  put(0x28810, {0x05, 0x00, 0x00, 0x10, 0x00});
  pointer(bank1, 0x400, 0x500, 0x4900);
  const int row = ChrDataFileOffset + 5 * 0x400 + 3 * 16 + 1;
  rom[static_cast<std::size_t>(row + 8)] = 0xFF;
  return rom;
}
