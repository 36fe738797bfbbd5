// Sharing of storage between DIBs, copy-on-write, and the change notifications.

#include <algorithm>
#include <cstring>

#include "host/Gdi.h"
#include "tests/dib/DibTestSupport.h"

namespace {

void FillPattern(TZrDIB& DIB) {
  for (int y = 0; y < DIB.GetHeight(); ++y) {
    auto row = DIB.GetScanLine(y);
    for (std::size_t x = 0; x < row.size(); ++x) row[x] = static_cast<BYTE>(x * 3 + y);
  }
}

bool HasPattern(TZrDIB& DIB) {
  for (int y = 0; y < DIB.GetHeight(); ++y) {
    const auto row = DIB.GetScanLine(y);
    for (std::size_t x = 0; x < row.size(); ++x)
      if (row[x] != static_cast<BYTE>(x * 3 + y)) return false;
  }
  return true;
}

}  // namespace

class DIBSharingTest : public ::testing::TestWithParam<bool> {
protected:
  TDefaultUseFMOScope FScope{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Memory, DIBSharingTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "FileMapping" : "Heap"; });

TEST_P(DIBSharingTest, AssignSharesWithoutCopying) {
  TZrDIB source;
  source.SetWidth(16);
  source.SetHeight(8);
  source.SetColors(3, RGB(1, 2, 3));
  FillPattern(source);
  source.SetDrawMode(3);
  source.SetConvertMode(1);
  source.SetMaskColor(0x123456);

  TZrDIB copy;
  copy.SetPaletteModified(false);
  int changes = 0;
  copy.SetOnChange([&](TObject*) { ++changes; });
  copy.Assign(&source);
  EXPECT_EQ(copy.GetInternalDIB(), source.GetInternalDIB());
  EXPECT_EQ(source.GetInternalDIB()->RefCount, 2);
  EXPECT_EQ(copy.GetDrawMode(), 3);
  EXPECT_EQ(copy.GetConvertMode(), 1);
  EXPECT_EQ(copy.GetMaskColor(), 0x123456);
  EXPECT_TRUE(copy.GetPaletteModified());
  EXPECT_TRUE(copy.GetModified());
  EXPECT_EQ(changes, 1);

  copy.Assign(&copy);  // itself: nothing
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(source.GetInternalDIB()->RefCount, 2);
  copy.Assign(&source);  // the storage it already shares
  EXPECT_EQ(source.GetInternalDIB()->RefCount, 2);
}

TEST_P(DIBSharingTest, WritingThroughOneSharerLeavesTheOtherUntouched) {
  TZrDIB a;
  a.SetWidth(256);
  a.SetHeight(256);
  a.SetColors(5, RGB(10, 20, 30));
  FillPattern(a);
  {
    TZrDIB b;
    b.Assign(&a);
    const TZrInternalDIB* shared = a.GetInternalDIB();
    b.SetPaletteModified(false);

    b.GetScanLine(10)[20] = 0xEE;  // the first write unshares
    EXPECT_NE(b.GetInternalDIB(), shared);
    EXPECT_EQ(a.GetInternalDIB(), shared);
    EXPECT_EQ(a.GetInternalDIB()->RefCount, 1);
    EXPECT_EQ(b.GetInternalDIB()->RefCount, 1);
    EXPECT_EQ(b.GetUseFMO(), GetParam());
    EXPECT_TRUE(b.GetPaletteModified());
    EXPECT_TRUE(HasPattern(a));
    EXPECT_EQ(b.GetScanLine(10)[20], 0xEE);
    b.GetScanLine(10)[20] = a.GetScanLine(10)[20];
    EXPECT_TRUE(HasPattern(b));  // the copy held every other pixel
    EXPECT_EQ(std::memcmp(&a.GetInternalDIB()->BitmapInfo, &b.GetInternalDIB()->BitmapInfo, sizeof(BITMAPINFO)), 0);
    EXPECT_EQ(b.GetInternalDIB()->ImageSize, 65536);
  }
  EXPECT_TRUE(HasPattern(a));  // the other sharer's end does not reach it
}

TEST_P(DIBSharingTest, EveryWriterUnsharesTheColoursToo) {
  TZrDIB a, b, c;
  a.SetColors(1, RGB(9, 9, 9));
  b.Assign(&a);
  c.Assign(&a);
  EXPECT_EQ(a.GetInternalDIB()->RefCount, 3);
  b.SetColors(1, RGB(200, 0, 0));
  EXPECT_EQ(a.GetInternalDIB()->RefCount, 2);
  EXPECT_EQ(a.GetInternalDIB()->BitmapInfo.bmiColors[1], Quad(9, 9, 9));
  EXPECT_EQ(b.GetInternalDIB()->BitmapInfo.bmiColors[1], Quad(200, 0, 0));
  c.SetPalette({});
  EXPECT_EQ(a.GetInternalDIB()->RefCount, 1);
  EXPECT_EQ(HeaderOf(a).biClrUsed, 256u);
  EXPECT_EQ(HeaderOf(c).biClrUsed, 0u);
}

TEST_P(DIBSharingTest, ReplacingTheContentDropsOnlyItsOwnReference) {
  TZrDIB a;
  a.SetWidth(4);
  FillPattern(a);
  TZrDIB b;
  b.Assign(&a);
  b.SetWidth(9);
  EXPECT_EQ(a.GetInternalDIB()->RefCount, 1);
  EXPECT_EQ(a.GetWidth(), 4);
  EXPECT_TRUE(HasPattern(a));
  EXPECT_EQ(b.GetWidth(), 9);
  EXPECT_EQ(b.GetUseFMO(), GetParam());
}

TEST(DIBUnshareTest, FailedUnshareKeepsTheSharedStorage) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB a, b;
  b.Assign(&a);
  // A mapping object of no bytes cannot be made: the copy's memory is refused.
  TZrInternalDIB& shared = *a.GetInternalDIB();
  const auto saved = shared.ImageSize;
  shared.ImageSize = 0;
  ExpectRaises<EOutOfResources>([&] { b.GetScanLine(0); }, "GetMemory: Cannot Make File Mapping Object");
  EXPECT_EQ(b.GetInternalDIB(), &shared);
  EXPECT_EQ(shared.RefCount, 2);
  shared.ImageSize = saved;
}

TEST(DIBUseFMOTest, LaterStoragesKeepTheDIBsOwnChoice) {
  TDefaultUseFMOScope fmo(false);
  TZrDIB heap;
  DefaultUseFMO = true;
  heap.SetWidth(3);
  heap.SetBitCount(4);
  EXPECT_FALSE(heap.GetUseFMO());
  TZrDIB mapped;
  mapped.Assign(&heap);
  mapped.SetColors(0, 0);  // unshared with the storage's UseFMO
  EXPECT_FALSE(mapped.GetUseFMO());
  mapped.SetWidth(7);
  EXPECT_FALSE(mapped.GetUseFMO());
}

TEST(DIBChangeTest, NotificationsFollowExactlyTheChangingOperations) {
  TZrDIB dib;
  int changes = 0;
  dib.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, &dib);
    ++changes;
  });
  const auto expectChanges = [&](int expected, const char* after) {
    EXPECT_EQ(changes, expected) << after;
    changes = 0;
  };

  dib.SetWidth(4);
  expectChanges(1, "SetWidth");
  dib.SetWidth(4);
  expectChanges(0, "SetWidth unchanged");
  dib.SetHeight(-4);
  expectChanges(1, "SetHeight");
  dib.SetHeight(4);
  expectChanges(0, "SetHeight same row count");
  dib.SetBitCount(4);
  expectChanges(1, "SetBitCount");
  dib.SetBitCount(4);
  expectChanges(0, "SetBitCount unchanged");
  dib.SetColors(2, clBtnFace);
  expectChanges(1, "SetColors");
  dib.SetPalette({});
  expectChanges(1, "SetPalette");

  dib.GetScanLine(0)[0] = 1;
  dib.GetPalette();
  dib.UniqueDIB();
  TMemoryStream stream;
  dib.SaveToStream(stream);
  EXPECT_ANY_THROW(dib.SetColors(256, 0));
  EXPECT_ANY_THROW(dib.SetWidth(0));
  expectChanges(0, "reading, writing pixels, saving and refused calls");

  TZrDIB other;
  other.Assign(&dib);
  other.GetScanLine(0);  // unsharing is silent as well
  dib.UniqueDIB();
  expectChanges(0, "unsharing");
}
