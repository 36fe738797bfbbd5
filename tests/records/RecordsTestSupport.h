#pragma once
// Images for the records tests: the demo ROM, the hand-built test ROM, the
// zeroed image and seeded random ones whose pointers crowd into a few places.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "records/TarvelinRecords.h"
#include "rom/TarvelinFileIO.h"

inline std::vector<std::uint8_t> ZeroedImage() {
  std::vector<std::uint8_t> image(RomImageSize, 0);
  image[0] = 'N', image[1] = 'E', image[2] = 'S', image[3] = 0x1A;
  return image;
}

// Random PRG bytes in the three banks' windows, every table's pointers aimed at
// a few dozen places around the tables (odd ones among them, some anywhere), so
// records share bytes with each other and with the tables.
inline std::vector<std::uint8_t> RandomImage(unsigned Seed) {
  std::mt19937 random(Seed);
  auto image = ZeroedImage();
  for (int i = 0x1C010; i < 0x34010 + 0x300; ++i)
    image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(random());
  std::vector<int> places;
  for (int i = 0; i < 40; ++i) places.push_back(0x7F00 + static_cast<int>(random() % 0xB00));
  const auto pointer = [&](int At, int High) {
    const int cpu = random() % 8 ? places[random() % places.size()] : static_cast<int>(random() & 0xFFFF);
    image[static_cast<std::size_t>(At)] = static_cast<std::uint8_t>(cpu);
    image[static_cast<std::size_t>(High)] = static_cast<std::uint8_t>(cpu >> 8);
  };
  for (const int base : SpriteBanks) {
    for (int i = 0; i < 0x200; ++i) pointer(base + i, base + i + 0x200);
    for (int i = 0x400; i < 0x500; ++i) pointer(base + i, base + i + 0x100);
    for (int i = 0x600; i < 0x700; ++i) pointer(base + i, base + i + 0x100);
  }
  return image;
}

inline std::string Text(std::span<const std::uint8_t> Image, TRecordsFormat Format) {
  return WriteRecords(Image, Format);
}

inline std::span<const char> Chars(const std::string& Text) {
  return {Text.data(), Text.size()};
}
