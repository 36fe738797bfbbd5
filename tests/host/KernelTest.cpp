#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "host/Gdi.h"
#include "host/GdiObjects.h"
#include "host/Kernel.h"

namespace {

TEST(FileMapping, TwoViewsShareZeroFilledMemory) {
  const HANDLE mapping = CreateFileMapping(PAGE_READWRITE, 0, 10000);
  ASSERT_TRUE(mapping);
  EXPECT_EQ(GetFileMappingSize(mapping), 10000u);
  auto* first = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0));
  auto* second = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % 4096, 0u);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(first[i], 0) << i;
  first[9999] = 0x5A;
  second[0] = 0xA5;
  EXPECT_EQ(second[9999], 0x5A);
  EXPECT_EQ(first[0], 0xA5);
  // Closing the handle leaves the views usable; unmapping twice is refused.
  EXPECT_TRUE(CloseHandle(mapping));
  EXPECT_FALSE(CloseHandle(mapping));
  EXPECT_EQ(first[0], 0xA5);
  EXPECT_TRUE(UnmapViewOfFile(first));
  EXPECT_FALSE(UnmapViewOfFile(first));
  EXPECT_TRUE(UnmapViewOfFile(second));
}

TEST(FileMapping, RefusesEmptyAndOutOfRangeViews) {
  EXPECT_FALSE(CreateFileMapping(PAGE_READWRITE, 0, 0));
  const HANDLE mapping = CreateFileMapping(PAGE_READWRITE, 0, 100);
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 100, 0), nullptr);
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 101), nullptr);
  EXPECT_EQ(MapViewOfFile(HANDLE{{12345}}, FILE_MAP_WRITE, 0, 0), nullptr);
  auto* tail = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 90, 10));
  ASSERT_NE(tail, nullptr);
  tail[9] = 1;
  EXPECT_TRUE(UnmapViewOfFile(tail));
  EXPECT_TRUE(CloseHandle(mapping));
}

std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST(FileMapping, ThousandsOfLiveMappingsHoldNoDescriptors) {
  constexpr int Count = 5000;
  const std::size_t before = OpenDescriptors();
  struct TLive {
    HANDLE Mapping;
    std::uint8_t* View;
  };
  std::vector<TLive> live;
  for (int i = 0; i < Count; ++i) {
    const HANDLE mapping = CreateFileMapping(PAGE_READWRITE, 0, 64);
    ASSERT_TRUE(mapping) << i;
    auto* view = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0));
    ASSERT_NE(view, nullptr) << i;
    view[63] = static_cast<std::uint8_t>(i);
    live.push_back({mapping, view});
  }
  EXPECT_LT(OpenDescriptors(), before + 8);
  // Each object keeps its own memory, and a later view of it sees the same bytes both ways.
  for (int i = 0; i < Count; ++i) {
    auto* second = static_cast<std::uint8_t*>(MapViewOfFile(live[i].Mapping, FILE_MAP_WRITE, 0, 64));
    ASSERT_NE(second, nullptr) << i;
    ASSERT_EQ(second[63], static_cast<std::uint8_t>(i)) << i;
    second[0] = 1;
    ASSERT_EQ(live[i].View[0], 1) << i;
    ASSERT_TRUE(UnmapViewOfFile(second));
  }
  for (const auto& l : live) {
    ASSERT_TRUE(CloseHandle(l.Mapping));
    ASSERT_TRUE(UnmapViewOfFile(l.View));
  }
}

TEST(FileMapping, ViewsInAnyOrderOfUnmappingAndClosing) {
  // The first view, a read-only one and one at an offset, released in every order against the handle.
  for (const bool closeFirst : {false, true}) {
    const HANDLE mapping = CreateFileMapping(PAGE_READWRITE, 0, 3 * 4096);
    auto* first = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0));
    const auto* reader = static_cast<const std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0));
    auto* tail = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 4096 + 10, 100));
    ASSERT_TRUE(first && reader && tail);
    tail[0] = 7;
    EXPECT_EQ(first[4096 + 10], 7);
    EXPECT_EQ(reader[4096 + 10], 7);
    if (closeFirst) {
      EXPECT_TRUE(CloseHandle(mapping));
    }
    EXPECT_TRUE(UnmapViewOfFile(first));
    EXPECT_EQ(tail[0], 7);
    EXPECT_TRUE(UnmapViewOfFile(reader));
    EXPECT_TRUE(UnmapViewOfFile(tail));
    if (!closeFirst) {
      // A new first view after the old one went: the same memory.
      auto* again = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0));
      ASSERT_NE(again, nullptr);
      EXPECT_EQ(again[4096 + 10], 7);
      EXPECT_TRUE(UnmapViewOfFile(again));
      EXPECT_TRUE(CloseHandle(mapping));
    }
  }
}

TEST(GlobalMemory, LockSizeAndFree) {
  const HGLOBAL block = GlobalAlloc(GHND, 64);
  ASSERT_TRUE(block);
  EXPECT_EQ(GlobalSize(block), 64u);
  auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[63], 0);
  EXPECT_FALSE(GlobalUnlock(block));  // no locks left
  EXPECT_FALSE(GlobalFree(block));
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
}

TEST(Palette, CreateReadBackAndDelete) {
  LOGPALETTE record;
  record.palNumEntries = 3;
  record.palPalEntry[0] = {1, 2, 3, 0};
  record.palPalEntry[2] = {255, 128, 0, 0};
  const auto before = GdiObjectCount();
  const HPALETTE palette = CreatePalette(&record);
  ASSERT_TRUE(palette);
  EXPECT_EQ(GetObjectType(palette), OBJ_PAL);
  EXPECT_EQ(GdiObjectCount(), before + 1);
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 3u);
  PALETTEENTRY entries[4] = {};
  EXPECT_EQ(GetPaletteEntries(palette, 1, 4, entries), 2u);
  EXPECT_EQ(entries[1].peRed, 255);
  EXPECT_EQ(entries[1].peGreen, 128);
  EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(250, 120, 10)), 2u);
  EXPECT_TRUE(DeleteObject(palette));
  EXPECT_FALSE(DeleteObject(palette));
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 0u);
  EXPECT_EQ(GdiObjectCount(), before);

  record.palNumEntries = 0;
  EXPECT_FALSE(CreatePalette(&record));
  EXPECT_FALSE(DeleteObject(GetStockObject(DEFAULT_PALETTE)));
  EXPECT_EQ(GetPaletteEntries(HPALETTE{GetStockObject(DEFAULT_PALETTE)}, 0, 0, nullptr), 20u);
}

}  // namespace
