// The picture control on the offscreen platform: DIB pictures painted through
// the control, the enter and leave events, and the stretch property.

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QImage>
#include <QPixmap>
#include <memory>
#include <string>
#include <vector>

#include "app/views/ImageEx.h"
#include "dib/ZrDIB.h"
#include "tests/app/AppTestApplication.h"

namespace {

constexpr QRgb Background = 0xFF123456;

// Every entry its own colour, so a misplaced pixel shows.
void FillColours(TZrDIB& DIB) {
  for (int i = 0; i < 256; ++i)
    DIB.SetColors(i, static_cast<TColor>(RGB(i, 255 - i, (i * 37) & 0xFF)));
}

int Value(int X, int Y) { return (X * 5 + Y * 3) & 0xFF; }

std::unique_ptr<TZrDIB> Picture(int Size) {
  auto dib = std::make_unique<TZrDIB>();
  dib->SetWidth(Size);
  dib->SetHeight(Size);
  FillColours(*dib);
  for (int y = 0; y < Size; ++y) {
    auto row = dib->GetScanLine(y);
    for (int x = 0; x < Size; ++x) row[static_cast<std::size_t>(x)] = static_cast<BYTE>(Value(x, y));
  }
  return dib;
}

QRgb TableColour(const TZrDIB& DIB, int Index) {
  const RGBQUAD q = DIB.GetInternalDIB()->BitmapInfo.bmiColors[Index];
  return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

QImage Shot(TImageEx& Image, int Width = 256, int Height = 256) {
  Image.resize(Width, Height);
  QPalette palette = Image.palette();
  palette.setColor(QPalette::Window, QColor(Background));
  Image.setPalette(palette);
  Image.setAutoFillBackground(true);
  return Image.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Reports the first pixel that differs.
template <typename F>
void ExpectShot(const QImage& Shot, F Expected) {
  for (int y = 0; y < Shot.height(); ++y)
    for (int x = 0; x < Shot.width(); ++x)
      if (Shot.pixel(x, y) != Expected(x, y)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << Shot.pixel(x, y) << ", expected "
                      << Expected(x, y);
        return;
      }
}

// ---- Painting ----

TEST(ImageEx, StretchedPatternTableFillsTheControlInTwoByTwoBlocks) {
  AppTestApplication();
  TImageEx image;
  image.SetStretch(true);
  const auto dib = Picture(128);
  image.GetPicture().SetGraphic(dib.get());
  const QImage shot = Shot(image);
  ASSERT_EQ(shot.size(), QSize(256, 256));
  ExpectShot(shot, [&](int x, int y) { return TableColour(*dib, Value(x / 2, y / 2)); });
}

TEST(ImageEx, UnstretchedPictureAtNaturalSizeFromTheTopLeft) {
  AppTestApplication();
  TImageEx image;
  const auto dib = Picture(256);
  image.GetPicture().SetGraphic(dib.get());
  ExpectShot(Shot(image), [&](int x, int y) { return TableColour(*dib, Value(x, y)); });
  // In a larger control the rest stays background.
  ExpectShot(Shot(image, 300, 280),
             [&](int x, int y) { return x < 256 && y < 256 ? TableColour(*dib, Value(x, y)) : Background; });
}

TEST(ImageEx, ControlKeepsASharedCopySoTheCallerMayFreeItsPicture) {
  AppTestApplication();
  TImageEx image;
  image.SetStretch(true);
  auto dib = Picture(128);
  image.GetPicture().SetGraphic(dib.get());
  auto* held = dynamic_cast<TZrDIB*>(image.GetPicture().GetGraphic());
  ASSERT_NE(held, nullptr);
  ASSERT_NE(held, dib.get());
  EXPECT_EQ(held->GetInternalDIB(), dib->GetInternalDIB());
  EXPECT_EQ(held->GetInternalDIB()->RefCount, 2);
  std::vector<QRgb> colours(256);
  for (int i = 0; i < 256; ++i) colours[static_cast<std::size_t>(i)] = TableColour(*dib, i);
  dib.reset();
  EXPECT_EQ(held->GetInternalDIB()->RefCount, 1);
  ExpectShot(Shot(image), [&](int x, int y) { return colours[static_cast<std::size_t>(Value(x / 2, y / 2))]; });
}

TEST(ImageEx, NewPictureReplacesTheOldCopy) {
  AppTestApplication();
  TImageEx image;
  auto first = Picture(256);
  image.GetPicture().SetGraphic(first.get());
  auto second = Picture(256);
  for (int y = 0; y < 256; ++y) std::ranges::fill(second->GetScanLine(y), BYTE{200});
  image.GetPicture().SetGraphic(second.get());
  EXPECT_EQ(first->GetInternalDIB()->RefCount, 1);
  const QRgb colour = TableColour(*second, 200);
  second.reset();
  ExpectShot(Shot(image), [&](int, int) { return colour; });
}

// ---- Stretch property ----

TEST(ImageEx, StretchPropertyWorksThroughTheMetaObject) {
  AppTestApplication();
  TImageEx image;
  ASSERT_TRUE(image.setProperty("Stretch", true));
  EXPECT_TRUE(image.GetStretch());
  EXPECT_TRUE(image.property("Stretch").toBool());
  const auto dib = Picture(128);
  image.GetPicture().SetGraphic(dib.get());
  const QImage stretched = Shot(image);
  EXPECT_EQ(stretched.pixel(255, 255), TableColour(*dib, Value(127, 127)));

  ASSERT_TRUE(image.setProperty("Stretch", false));
  EXPECT_FALSE(image.GetStretch());
  const QImage natural = Shot(image);
  EXPECT_EQ(natural.pixel(127, 127), TableColour(*dib, Value(127, 127)));
  EXPECT_EQ(natural.pixel(128, 128), Background);
}

// ---- Enter and leave ----

void Enter(QWidget& Widget) {
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QCoreApplication::sendEvent(&Widget, &enter);
}

void Leave(QWidget& Widget) {
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&Widget, &leave);
}

TEST(ImageEx, EnterThenLeaveFireOnceEachWithTheControlAsSender) {
  AppTestApplication();
  TImageEx image;
  std::vector<std::pair<std::string, TObject*>> calls;
  image.OnMouseEnter = [&](TObject* Sender) { calls.emplace_back("enter", Sender); };
  image.OnMouseLeave = [&](TObject* Sender) { calls.emplace_back("leave", Sender); };
  TObject* const self = &image;
  Enter(image);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], std::make_pair(std::string("enter"), self));
  Leave(image);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1], std::make_pair(std::string("leave"), self));
}

TEST(ImageEx, EachEventCallsOnlyItsOwnHandler) {
  AppTestApplication();
  TImageEx image;
  int enters = 0, leaves = 0;
  // None assigned: the notifications go nowhere.
  Enter(image);
  Leave(image);
  image.OnMouseLeave = [&](TObject*) { ++leaves; };
  Enter(image);
  EXPECT_EQ(leaves, 0);
  Leave(image);
  EXPECT_EQ(leaves, 1);
  image.OnMouseLeave = nullptr;
  image.OnMouseEnter = [&](TObject*) { ++enters; };
  Leave(image);
  EXPECT_EQ(enters, 0);
  EXPECT_EQ(leaves, 1);
  image.DoMouseEnter();
  EXPECT_EQ(enters, 1);
}

class TDescendant final : public TImageEx {
public:
  std::vector<std::string> Calls;
  void DoMouseEnter() override { Calls.push_back("enter"); }
  void DoMouseLeave() override { Calls.push_back("leave"); }
};

TEST(ImageEx, DescendantsOverrideTheDoOperations) {
  AppTestApplication();
  TDescendant image;
  int handled = 0;
  image.OnMouseEnter = image.OnMouseLeave = [&](TObject*) { ++handled; };
  Enter(image);
  Leave(image);
  EXPECT_EQ(image.Calls, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_EQ(handled, 0);
}

}  // namespace
