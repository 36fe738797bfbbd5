// Zoom x1..x4: the keys and the 表示(V) menu, where the controls go, the window
// within the screen, and the pictures drawn in blocks at device pixel ratios 1 and 2.

#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerZoomTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoInActiveWindow();
    StartSize = Form1->size();
  }
  void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = {}) { QTest::keyClick(Form1->windowHandle(), Key, Modifiers); }
  QSize StartSize;
};

TEST_F(ViewerZoomTest, KeysAndMenuScaleThePicturesAndMoveWhatLiesBesideAndBelow) {
  ShowSpritePage();
  Form1->setFocus();
  const struct {
    std::function<void()> Do;
    int Zoom;
  } steps[] = {
      {[&] { Press(Qt::Key_Plus, Qt::ControlModifier); }, 2},
      {[&] { Press(Qt::Key_Plus, Qt::ControlModifier); }, 3},
      {[&] { Press(Qt::Key_Equal, Qt::ControlModifier); }, 4},
      {[&] { Press(Qt::Key_Plus, Qt::ControlModifier); }, 4},
      {[&] { Form1->ZoomItems[1]->trigger(); }, 2},
      {[&] { Press(Qt::Key_Minus, Qt::ControlModifier); }, 1},
      {[&] { Press(Qt::Key_Minus, Qt::ControlModifier); }, 1},
      {[&] { Form1->ZoomItems[2]->trigger(); }, 3},
      {[&] { Form1->ZoomItems[0]->trigger(); }, 1},
  };
  const QSize available = Form1->screen()->availableGeometry().size();
  for (const auto& step : steps) {
    step.Do();
    const int z = step.Zoom, d = 256 * (z - 1);
    SCOPED_TRACE(z);
    EXPECT_EQ(Form1->GetZoom(), z);
    EXPECT_TRUE(Form1->ZoomItems[static_cast<std::size_t>(z - 1)]->isChecked());
    const struct {
      QWidget* Control;
      QRect Place;
    } places[] = {
        {Form1->ImgSprite, {8, 72, 256 * z, 256 * z}},
        {Form1->ImgPatternTable, {312 + d, 72, 256 * z, 256 * z}},
        {Form1->ImgAnimation, {8, 72, 256 * z, 256 * z}},
        {Form1->LblSCHRBank, {440 + d, 344 + d, 40, 13}},
        {Form1->Label17, {8, 344 + d, 190, 13}},
        {Form1->EditSFrameData, {168, 416 + d, 257, 20}},
        {Form1->Label4, {208, 24, 82, 13}},
        {Form1->btnAnimationStop, {304 + d, 104, 75, 25}},
        {Form1->SBAFrame, {8, 328 + d, 257 + d, 16}},
        {Form1->LblAFrameMax, {323 + d, 336 + d, 40, 16}},
        {Form1->LblATimer, {254, 400 + d, 40, 13}},
    };
    for (const auto& p : places) EXPECT_EQ(p.Control->geometry(), p.Place) << p.Control->objectName().toStdString();
    EXPECT_EQ(Form1->ImgAnimation->GetStretch(), z > 1);
    if (z == 1) {
      EXPECT_EQ(Form1->centralWidget(), Form1->PageControl1);
      EXPECT_EQ(Form1->size(), StartSize);
    } else {
      // The pages keep their room; the window holds what the screen allows and scrolls the rest.
      EXPECT_EQ(Form1->PageControl1->size(), QSize(586 + 2 * d, 505 + d));
      const QSize wanted = (StartSize + QSize(2 * d, d)).boundedTo(available);
      EXPECT_LE(Form1->frameGeometry().width(), available.width());
      EXPECT_LE(Form1->frameGeometry().height(), available.height());
      EXPECT_GE(Form1->width(), std::min(wanted.width(), available.width()) - 40);
    }
    // The keys still reach the page.
    const std::string before = Text(Form1->EditSSpriteNum);
    Press(Qt::Key_Right);
    EXPECT_NE(Text(Form1->EditSSpriteNum), before);
    EXPECT_EQ(QApplication::focusWidget(), Form1);
  }
}

// At scale 1 a window made smaller than designed scrolls its pages, which keep
// their designed size, as the larger scales do; back at the designed size the
// pages fill the window again.
TEST_F(ViewerZoomTest, SmallerWindowScrollsThePagesAtScaleOne) {
  const QSize pages(586, 505);
  ShowSpritePage();
  Form1->setFocus();
  const struct {
    QSize Size;
    bool Scrolls;
  } sizes[] = {{StartSize - QSize(200, 150), true}, {StartSize - QSize(0, 1), true}, {StartSize - QSize(1, 0), true},
               {StartSize, false}, {StartSize + QSize(100, 50), false}, {StartSize - QSize(300, 0), true}};
  for (const auto& step : sizes) {
    SCOPED_TRACE(std::to_string(step.Size.width()) + " x " + std::to_string(step.Size.height()));
    Form1->resize(step.Size);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Form1->size() == step.Size; }, 5000));
    QCoreApplication::sendPostedEvents();
    auto* area = qobject_cast<QScrollArea*>(Form1->centralWidget());
    ASSERT_EQ(area != nullptr, step.Scrolls);
    if (step.Scrolls) {
      const QSize view = area->viewport()->size();
      EXPECT_EQ(Form1->PageControl1->size(), pages.expandedTo(view));
      EXPECT_EQ(area->horizontalScrollBar()->maximum(), std::max(0, pages.width() - view.width()));
      EXPECT_EQ(area->verticalScrollBar()->maximum(), std::max(0, pages.height() - view.height()));
      // Scrolled to the end, the pattern table's right edge is in view.
      area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
      const QPoint right = Form1->ImgPatternTable->mapTo(area->viewport(), QPoint(255, 0));
      EXPECT_GE(right.x(), 0);
      EXPECT_LT(right.x(), view.width());
    } else {
      EXPECT_EQ(Form1->PageControl1->geometry(), Form1->centralWidget()->geometry());
      EXPECT_GE(Form1->PageControl1->width(), pages.width());
      EXPECT_GE(Form1->PageControl1->height(), pages.height());
    }
    // The focus stays with the window and the keys still reach the page.
    const std::string before = Text(Form1->EditSSpriteNum);
    Press(Qt::Key_Right);
    EXPECT_NE(Text(Form1->EditSSpriteNum), before);
    EXPECT_EQ(QApplication::focusWidget(), Form1);
  }
}

// Each picture pixel a block of device pixels: zoom x control scale x device pixel ratio.
void ExpectBlocks(TImageEx* Image, int ControlScale) {
  SCOPED_TRACE(Image->objectName().toStdString());
  const TShown shown = ShownBy(Image);
  auto& dib = *dynamic_cast<TZrDIB*>(Image->GetPicture().GetGraphic());
  const QImage shot = Image->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const qreal ratio = shot.devicePixelRatio();
  ASSERT_EQ(shot.size(), Image->size() * ratio);
  const int block = static_cast<int>(ControlScale * ratio);
  for (int y = 0; y < shot.height(); ++y) {
    const auto row = dib.GetScanLine(y / block);
    for (int x = 0; x < shot.width(); ++x)
      if (shot.pixel(x, y) != (0xFF000000u | shown.Colors[row[static_cast<std::size_t>(x / block)]])) {
        ADD_FAILURE() << "device pixel (" << x << ", " << y << ") at ratio " << ratio;
        return;
      }
  }
}

TEST_F(ViewerZoomTest, PicturesAreDrawnInBlocks) {
  GoToPattern(0, DemoRom::FourFlips.Number);
  std::printf("device pixel ratio %g\n", Form1->devicePixelRatioF());
  for (const int z : {3, 2}) {
    Form1->SetZoom(z);
    ExpectBlocks(Form1->ImgSprite, z);
    ExpectBlocks(Form1->ImgPatternTable, 2 * z);
  }
}

// The same at device pixel ratio 2: the program runs itself under QT_SCALE_FACTOR=2.
TEST(ViewerZoomScaleFactor, PicturesAreDrawnInBlocksAtDevicePixelRatioTwo) {
  AppTestApplication();
  QProcess run;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_SCALE_FACTOR", "2");
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  run.setProcessEnvironment(environment);
  run.start("/proc/self/exe", {"--gtest_filter=ViewerZoomTest.PicturesAreDrawnInBlocks"});
  ASSERT_TRUE(run.waitForFinished(120000));
  const QString output = QString::fromLocal8Bit(run.readAllStandardOutput());
  EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  EXPECT_TRUE(output.contains("device pixel ratio 2\n")) << output.toStdString();
}

}  // namespace
}  // namespace viewer_test
