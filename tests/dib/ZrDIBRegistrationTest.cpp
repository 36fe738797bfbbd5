// TZrDIB as a graphic of the host: its registration and its life in a picture.

#include <cstring>

#include "tests/dib/DibTestSupport.h"

TEST(DIBRegistrationTest, PictureKnowsTheDIBClass) {
  EXPECT_EQ(TPicture::GraphicClassForExtension("dib"), &TZrDIB::Create);
  EXPECT_EQ(TPicture::GraphicClassForExtension("DIB"), &TZrDIB::Create);
  EXPECT_EQ(TPicture::DescriptionForExtension("dib"), "Device Independent Bitmap");
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(8));
  EXPECT_EQ(TPicture::GraphicClassForClipboardFormat(8), &TZrDIB::Create);

  TZrDIB dib;
  EXPECT_EQ(dib.ClassType(), &TZrDIB::Create);
  EXPECT_EQ(dib.GetClipboardFormat(), 8);
  const auto made = dib.ClassType()();
  EXPECT_NE(dynamic_cast<TZrDIB*>(made.get()), nullptr);
}

TEST(DIBRegistrationTest, PictureTakesASharingCopy) {
  TPicture picture;
  int changes = 0;
  picture.SetOnChange([&](TObject*) { ++changes; });
  {
    auto given = std::make_unique<TZrDIB>();
    given->SetWidth(32);
    given->SetHeight(16);
    given->GetScanLine(2)[3] = 42;
    picture.SetGraphic(given.get());
    auto* held = dynamic_cast<TZrDIB*>(picture.GetGraphic());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->GetInternalDIB(), given->GetInternalDIB());
    EXPECT_EQ(held->GetInternalDIB()->RefCount, 2);
  }  // the giver may go at once
  auto* held = dynamic_cast<TZrDIB*>(picture.GetGraphic());
  EXPECT_EQ(held->GetInternalDIB()->RefCount, 1);
  EXPECT_EQ(held->GetScanLine(2)[3], 42);
  EXPECT_EQ(picture.GetWidth(), 32);
  const int before = changes;
  held->SetColors(1, 0);
  EXPECT_EQ(changes, before + 1);  // the picture hears its copy change
}

TEST(DIBRegistrationTest, AssignFromAnotherGraphicKindIsRefused) {
  TZrDIB dib;
  TPicture picture;
  EXPECT_THROW(dib.Assign(&picture), EConvertError);
  EXPECT_EQ(dib.GetInternalDIB()->RefCount, 1);
}

TEST(DIBStreamTest, SaveWritesTheStoredFormAsABMPFile) {
  TZrDIB dib;
  dib.SetWidth(2);
  dib.SetHeight(-2);
  dib.SetColors(1, RGB(10, 20, 30));
  dib.GetScanLine(0)[1] = 1;
  TMemoryStream stream;
  dib.SaveToStream(stream);
  const auto bytes = stream.Memory();
  ASSERT_EQ(bytes.size(), 1086u);
  BITMAPFILEHEADER file;
  std::memcpy(&file, bytes.data(), sizeof file);
  // Copies: the packed fields cannot be bound by reference.
  const DWORD type = file.bfType, offBits = file.bfOffBits, size = file.bfSize;
  const int reserved = file.bfReserved1 + file.bfReserved2;
  EXPECT_EQ(type, 0x4D42u);
  EXPECT_EQ(offBits, 1078u);
  EXPECT_EQ(size, 1086u);
  EXPECT_EQ(reserved, 0);
  const auto& info = dib.GetInternalDIB()->BitmapInfo;
  EXPECT_EQ(std::memcmp(bytes.data() + 14, &info, 40 + 1024), 0);  // header and colours as stored
  EXPECT_EQ(std::memcmp(bytes.data() + 1078, dib.GetInternalDIB()->Bits, 8), 0);
  EXPECT_EQ(bytes[1078 + 1], 1);  // top-down rows stay top-down

  dib.SetBitCount(24);
  TMemoryStream trueColor;
  dib.SaveToStream(trueColor);
  EXPECT_EQ(trueColor.Memory().size(), 54u + 16u);  // no colour table
}

TEST(DIBStreamTest, EqualDIBsHaveEqualStoredForms) {
  TZrDIB a, b;
  a.SetWidth(3);
  b.SetWidth(3);
  EXPECT_TRUE(a.Equals(b));
  b.GetScanLine(0)[0] = 1;
  EXPECT_FALSE(a.Equals(b));
}
