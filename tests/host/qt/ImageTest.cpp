#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QImage>
#include <QPixmap>
#include <memory>
#include <vector>

#include "host/Canvas.h"
#include "host/Gdi.h"
#include "host/qt/Image.h"
#include "tests/host/GdiTestSupport.h"
#include "tests/host/qt/QtTestApplication.h"

namespace {

using gdi_test::TDib;
using gdi_test::TestColor;

QRgb Rgb(int index) {
  const RGBQUAD c = TestColor(index);
  return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

int Value(int x, int y) {
  return (x * 5 + y * 3) & 0xFF;
}

// An 8-bit picture in a buffer of its own, drawn with one StretchDIBits call.
class TBufferGraphic final : public TGraphic {
 public:
  static std::unique_ptr<TGraphic> Make() { return std::make_unique<TBufferGraphic>(); }
  explicit TBufferGraphic(int Size = 1) : FDib(std::make_shared<TDib>(Size, Size, 8)) {
    for (int y = 0; y < Size; ++y)
      for (int x = 0; x < Size; ++x) FDib->Set8(x, y, static_cast<BYTE>(Value(x, y)));
  }
  TGraphicClass ClassType() const override { return &Make; }
  void Assign(TPersistent* Source) override {
    auto* other = dynamic_cast<TBufferGraphic*>(Source);
    ASSERT_NE(other, nullptr);
    FDib = other->FDib;
  }
  void Draw(TCanvas& ACanvas, const TRect& R) override {
    FDib->DrawTo(ACanvas.GetHandle(), R.Left, R.Top, R.Width(), R.Height());
  }
  bool GetEmpty() const override { return false; }
  int GetWidth() const override { return FDib->Width(); }
  int GetHeight() const override { return FDib->Rows(); }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}
  void LoadFromClipboardFormat(WORD, HGLOBAL, HPALETTE) override {}
  void SaveToClipboardFormat(WORD&, HGLOBAL&, HPALETTE&) override {}

 private:
  std::shared_ptr<TDib> FDib;
};

constexpr QRgb Background = 0xFF0000FF;

QImage Shot(TImage& image) {
  image.resize(256, 256);
  QPalette palette = image.palette();
  palette.setColor(QPalette::Window, QColor(Background));
  image.setPalette(palette);
  image.setAutoFillBackground(true);
  return image.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(Image, StretchedSmallPictureFillsTheControlInTwoByTwoBlocks) {
  TestApplication();
  TImage image;
  image.SetStretch(true);
  TBufferGraphic picture(128);
  image.GetPicture().SetGraphic(&picture);
  const QImage shot = Shot(image);
  ASSERT_EQ(shot.size(), QSize(256, 256));
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) ASSERT_EQ(shot.pixel(x, y), Rgb(Value(x / 2, y / 2))) << x << "," << y;
}

TEST(Image, UnstretchedPictureAtNaturalSizeFromTheTopLeft) {
  TestApplication();
  TImage image;
  TBufferGraphic full(256);
  image.GetPicture().SetGraphic(&full);
  const QImage shot = Shot(image);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) ASSERT_EQ(shot.pixel(x, y), Rgb(Value(x, y))) << x << "," << y;

  // A smaller one leaves the rest of the control alone, or sits in its middle.
  TBufferGraphic small(100);
  image.GetPicture().SetGraphic(&small);
  const QImage corner = Shot(image);
  EXPECT_EQ(corner.pixel(99, 99), Rgb(Value(99, 99)));
  EXPECT_EQ(corner.pixel(100, 50), Background);
  EXPECT_EQ(corner.pixel(50, 100), Background);
  image.SetCenter(true);
  const QImage centred = Shot(image);
  EXPECT_EQ(centred.pixel(77, 77), Background);
  EXPECT_EQ(centred.pixel(78, 78), Rgb(Value(0, 0)));
  EXPECT_EQ(centred.pixel(177, 177), Rgb(Value(99, 99)));
  EXPECT_EQ(centred.pixel(178, 178), Background);
}

TEST(Image, NoPictureDrawsOnlyTheBackground) {
  TestApplication();
  TImage image;
  image.SetStretch(true);
  const QImage shot = Shot(image);
  EXPECT_EQ(shot.pixel(0, 0), Background);
  EXPECT_EQ(shot.pixel(255, 255), Background);
  EXPECT_EQ(image.GetPicture().GetGraphic(), nullptr);
}

class TCountingImage final : public TImage {
 public:
  int Enters = 0, Leaves = 0;

 protected:
  void MouseEnter() override { ++Enters; }
  void MouseLeave() override { ++Leaves; }
};

TEST(Image, EnterAndLeaveReachTheHooksOncePerCrossing) {
  TestApplication();
  TCountingImage image;
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&image, &enter);
  EXPECT_EQ(image.Enters, 1);
  EXPECT_EQ(image.Leaves, 0);
  QCoreApplication::sendEvent(&image, &leave);
  EXPECT_EQ(image.Enters, 1);
  EXPECT_EQ(image.Leaves, 1);
}

TEST(Image, SettingAGraphicKeepsACopyAndAsksForARepaint) {
  TestApplication();
  TImage image;
  int changes = 0;
  auto picture = std::make_unique<TBufferGraphic>(8);
  image.GetPicture().SetGraphic(picture.get());
  picture.reset();  // the control holds its own copy
  ASSERT_NE(image.GetPicture().GetGraphic(), nullptr);
  EXPECT_EQ(image.sizeHint(), QSize(8, 8));
  image.GetPicture().SetOnChange([&](TObject*) { ++changes; });
  image.GetPicture().SetGraphic(nullptr);
  EXPECT_EQ(changes, 1);
}

}  // namespace
