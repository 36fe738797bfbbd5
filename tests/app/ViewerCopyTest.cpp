// 編集(E) > コピー(C) through Ctrl+C: what lands on the desktop clipboard (Qt's,
// offscreen) is the picture under the pointer, else the page's main picture, at the zoom.

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include "host/Clipboard.h"
#include "host/qt/Clipboard.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerCopyTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    FPrevious = InstallQtClipboard();
    QGuiApplication::clipboard()->clear();
    OpenDemoInActiveWindow();
  }
  void TearDown() override {
    Clipboard().SetBackend(FPrevious);
    ViewerTest::TearDown();
  }
  std::shared_ptr<TClipboardBackend> FPrevious;
};

// The clipboard's picture is Shown enlarged Scale times, colour for colour.
void ExpectOnClipboard(TZrDIB& Shown, int Scale) {
  const QImage image = QGuiApplication::clipboard()->image();
  ASSERT_EQ(image.size(), QSize(Shown.GetWidth(), Shown.GetHeight()) * Scale);
  const TShown colours = ShownBy(Shown);
  for (int y = 0; y < image.height(); ++y) {
    const auto row = Shown.GetScanLine(y / Scale);
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != colours.Colors[row[static_cast<std::size_t>(x / Scale)]]) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
        return;
      }
  }
}

TEST_F(ViewerCopyTest, CtrlCCopiesThePictureUnderThePointerElseThePagesOwn) {
  GoToPattern(0, 0x00D);
  const auto copy = [] { QTest::keyClick(Form1->windowHandle(), Qt::Key_C, Qt::ControlModifier); };
  // The pointer over no picture: the composed sprite.
  QTest::mouseMove(Form1->windowHandle(), QPoint(2, 2));
  copy();
  ExpectOnClipboard(*SpritePage.SpriteDIB, 1);
  // Over the pattern table: that picture.
  QTest::mouseMove(Form1->ImgPatternTable, QPoint(5, 5));
  copy();
  ExpectOnClipboard(*SpritePage.PatternTableDIB, 1);
  // The animation page's frame, at zoom 2, through the menu item.
  QTest::mouseMove(Form1->windowHandle(), QPoint(2, 2));
  GoToAnimation(3);
  Tick();
  Form1->SetZoom(2);
  Form1->Copy1->trigger();
  ExpectOnClipboard(*AnimationPage.AnimationDIB, 2);
  EXPECT_TRUE(Shown().empty());
}

TEST(ViewerCopyBeforeLoad, CopyWaitsForARom) {
  AppTestApplication();
  TForm1 window;
  EXPECT_FALSE(window.Copy1->isEnabled());
}

}  // namespace
}  // namespace viewer_test
