// Colour tables, palette handles and the shared half-tone palettes.

#include "dib/ZrDIBHalfTone.h"
#include "host/Gdi.h"
#include "host/GdiObjects.h"
#include "tests/dib/DibTestSupport.h"

namespace {

HPALETTE MakePalette(int Count, BYTE Base) {
  LOGPALETTE record;
  record.palNumEntries = static_cast<WORD>(Count);
  for (int i = 0; i < Count; ++i)
    record.palPalEntry[i] = {static_cast<BYTE>(Base + i), static_cast<BYTE>(Base + 2 * i), static_cast<BYTE>(i), 0};
  return CreatePalette(&record);
}

std::vector<PALETTEENTRY> EntriesOf(HPALETTE Palette) {
  std::vector<PALETTEENTRY> entries(GetPaletteEntries(Palette, 0, 0, nullptr));
  GetPaletteEntries(Palette, 0, static_cast<UINT>(entries.size()), entries.data());
  return entries;
}

}  // namespace

TEST(DIBColorsTest, IndexRangeIsTheWholeColourTable) {
  TZrDIB dib;
  dib.SetBitCount(4);  // 16 colours in use: entries above are kept but not part of the palette
  dib.SetColors(255, RGB(1, 2, 3));
  EXPECT_EQ(dib.GetInternalDIB()->BitmapInfo.bmiColors[255], Quad(1, 2, 3));
  EXPECT_EQ(EntriesOf(dib.GetPalette()).size(), 16u);
  for (const int index : {256, -1})
    ExpectRaises<EZrDIBPaletteIndexRange>([&] { dib.SetColors(index, 0); },
                                          "TZrDIB.GetColors: Palette Index is Out of Range");
}

TEST(DIBColorsTest, SetColorsResolvesSystemColoursAndRenewsThePalette) {
  TZrDIB dib;
  const HPALETTE before = dib.GetPalette();
  EXPECT_EQ(dib.GetPalette(), before);  // cached
  dib.SetPaletteModified(false);
  dib.SetColors(7, clBtnFace);
  const COLORREF face = ColorToRGB(clBtnFace);
  EXPECT_EQ(dib.GetInternalDIB()->BitmapInfo.bmiColors[7], Quad(GetRValue(face), GetGValue(face), GetBValue(face)));
  EXPECT_TRUE(dib.GetPaletteModified());
  EXPECT_EQ(GetObjectType(before), 0u);  // the stale palette is deleted
  const auto entries = EntriesOf(dib.GetPalette());
  ASSERT_EQ(entries.size(), 256u);
  EXPECT_EQ(entries[7].peRed, GetRValue(face));
  EXPECT_EQ(entries[7].peBlue, GetBValue(face));
  dib.SetColors(8, 0x00563412);  // 0x00BBGGRR
  EXPECT_EQ(dib.GetInternalDIB()->BitmapInfo.bmiColors[8], Quad(0x12, 0x34, 0x56));
}

TEST(DIBColorsTest, SharersUseOnePaletteHandle) {
  TZrDIB a, b;
  b.Assign(&a);
  EXPECT_EQ(a.GetPalette(), b.GetPalette());
  EXPECT_EQ(a.GetInternalDIB()->RefCount, 2);  // reading the palette does not unshare
}

TEST(DIBPaletteTest, SetPaletteTakesItsCountAndKeepsLaterEntries) {
  const auto objects = GdiObjectCount();
  {
    TZrDIB dib;
    dib.SetColors(16, RGB(90, 91, 92));
    dib.SetColors(200, RGB(200, 0, 0));
    const HPALETTE palette = MakePalette(16, 40);
    dib.SetPalette(palette);
    const auto& info = dib.GetInternalDIB()->BitmapInfo;
    EXPECT_EQ(info.bmiHeader.biClrUsed, 16u);
    EXPECT_FALSE(dib.GetInternalDIB()->PaletteChanged);
    for (int i = 0; i < 16; ++i)
      EXPECT_EQ(info.bmiColors[i], Quad(static_cast<BYTE>(40 + i), static_cast<BYTE>(40 + 2 * i), static_cast<BYTE>(i)));
    EXPECT_EQ(info.bmiColors[16], Quad(90, 91, 92));
    EXPECT_EQ(info.bmiColors[200], Quad(200, 0, 0));
    EXPECT_EQ(dib.GetPalette(), palette);  // owned now

    dib.SetPalette(palette);  // its own palette again: kept, not deleted
    EXPECT_EQ(GetObjectType(palette), OBJ_PAL);
    const HPALETTE second = MakePalette(3, 0);
    dib.SetPalette(second);
    EXPECT_EQ(GetObjectType(palette), 0u);
    EXPECT_EQ(dib.GetInternalDIB()->BitmapInfo.bmiHeader.biClrUsed, 3u);
    dib.SetPalette({});
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(dib.GetInternalDIB()->BitmapInfo.bmiHeader.biClrUsed, 0u);
    EXPECT_FALSE(dib.GetPalette());
    dib.SetPalette(MakePalette(2, 0));
  }
  EXPECT_EQ(GdiObjectCount(), objects);  // the last palette died with the storage
}

TEST(DIBPaletteTest, InvalidPaletteIsRefused) {
  TZrDIB dib;
  const HBRUSH brush = CreateSolidBrush(0);
  ExpectRaises<EZrDIBInvalidPalette>([&] { dib.SetPalette(HPALETTE{brush}); }, "TZrDIB.SetPalette: Invalid Palette");
  ExpectRaises<EZrDIBInvalidPalette>([&] { dib.SetPalette(HPALETTE{{0x7FFFFFFF}}); },
                                     "TZrDIB.SetPalette: Invalid Palette");
  EXPECT_EQ(dib.GetInternalDIB()->BitmapInfo.bmiHeader.biClrUsed, 256u);
  DeleteObject(brush);
}

TEST(DIBPaletteTest, GetPaletteFromDIBInfos) {
  BITMAPINFO info;
  EXPECT_FALSE(GetPaletteFromDIBInfos(info));
  info.bmiHeader.biClrUsed = 2;
  info.bmiColors[1] = Quad(7, 8, 9);
  const HPALETTE palette = GetPaletteFromDIBInfos(info);
  const auto entries = EntriesOf(palette);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].peRed, 7);
  EXPECT_EQ(entries[1].peGreen, 8);
  EXPECT_EQ(entries[1].peBlue, 9);
  DeleteObject(palette);
}

TEST(DIBHalfToneTest, DrawModesShareTwoPalettes) {
  TZrDIB a, b;
  a.SetDrawMode(1);
  b.SetDrawMode(1);
  const HPALETTE halfTone = a.GetPalette();
  EXPECT_EQ(b.GetPalette(), halfTone);
  const auto entries = EntriesOf(halfTone);
  ASSERT_EQ(entries.size(), 215u);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 7; ++g)
      for (int bl = 0; bl < 5; ++bl) {
        const auto& e = entries[r * 35 + g * 5 + bl];
        EXPECT_EQ(e.peRed, HalfToneRedLevels[r]);
        EXPECT_EQ(e.peGreen, HalfToneGreenLevels[g]);
        EXPECT_EQ(e.peBlue, HalfToneBlueLevels[bl]);
      }
  EXPECT_EQ(entries[0].peRed + entries[0].peGreen + entries[0].peBlue, 0);
  EXPECT_EQ(entries[209].peRed, 255);
  EXPECT_EQ(entries[209].peGreen, 255);
  EXPECT_EQ(entries[209].peBlue, 255);
  EXPECT_EQ(entries[210].peRed, 128);
  EXPECT_EQ(entries[213].peGreen, 192);
  EXPECT_EQ(entries[214].peBlue, 128);

  a.SetDrawMode(2);
  b.SetDrawMode(2);
  const HPALETTE bw = a.GetPalette();
  EXPECT_EQ(b.GetPalette(), bw);
  const auto two = EntriesOf(bw);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].peRed + two[0].peGreen + two[0].peBlue, 0);
  EXPECT_EQ(two[1].peRed + two[1].peGreen + two[1].peBlue, 3 * 255);

  a.SetDrawMode(0);
  EXPECT_NE(a.GetPalette(), bw);
  {
    TZrDIB later;
    later.SetDrawMode(1);
    EXPECT_EQ(later.GetPalette(), halfTone);  // made once
  }
  EXPECT_EQ(GetObjectType(halfTone), OBJ_PAL);  // no DIB owns it
}

TEST(DIBPaletteTest, SetPaletteCopiesWhatOthersOwn) {
  // Each case hands the taker a palette that the giver (a DIB) or the library owns.
  const struct {
    const char* Name;
    BYTE GiverMode;
    bool Shared;  // the taker shares the giver's storage when it takes the palette
    UINT Entries;
  } cases[] = {
      {"a sharer's", 0, true, 256},
      {"another DIB's", 0, false, 256},
      {"the half-tone", 1, false, 215},
      {"the half-tone black and white", 2, false, 2},
  };
  for (const auto& c : cases) {
    const auto objects = GdiObjectCount();
    {
      auto giver = std::make_unique<TZrDIB>();
      giver->SetColors(9, RGB(9, 99, 199));
      giver->SetDrawMode(c.GiverMode);
      TZrDIB taker;
      if (c.Shared) taker.Assign(giver.get());
      const HPALETTE given = giver->GetPalette();
      const auto objectsWithGiven = GdiObjectCount();
      taker.SetPalette(c.Shared ? taker.GetPalette() : given);
      EXPECT_EQ(taker.GetInternalDIB()->BitmapInfo.bmiHeader.biClrUsed, c.Entries) << c.Name;

      taker.SetColors(0, RGB(1, 2, 3));  // drops whatever palette the taker holds
      EXPECT_EQ(GetObjectType(given), OBJ_PAL) << c.Name;
      EXPECT_EQ(giver->GetPalette(), given) << c.Name;
      EXPECT_EQ(EntriesOf(taker.GetPalette()).size(), c.Entries) << c.Name;
      giver.reset();
      EXPECT_EQ(GetObjectType(taker.GetPalette()), OBJ_PAL) << c.Name;
      EXPECT_EQ(EntriesOf(taker.GetPalette()).size(), c.Entries) << c.Name;
      taker.SetPalette({});
      // Only the shared half-tone palette, made once for good, may outlive both DIBs.
      EXPECT_EQ(GdiObjectCount(), objectsWithGiven - (c.GiverMode == 0 ? 1 : 0)) << c.Name;
    }
    EXPECT_LE(GdiObjectCount(), objects + 1) << c.Name;
  }
}

TEST(DIBHalfToneTest, SharedPalettesCannotBeDeleted) {
  for (const BYTE mode : {1, 2}) {
    TZrDIB dib;
    dib.SetDrawMode(mode);
    const HPALETTE shared = dib.GetPalette();
    EXPECT_FALSE(DeleteObject(shared));
    EXPECT_EQ(GetObjectType(shared), OBJ_PAL);
    EXPECT_EQ(dib.GetPalette(), shared);
  }
}
