// A real window on an X server: under Xvfb the screen's pixels at zoom x2 are the
// x1 picture scaled by two. The test runs this program under xvfb-run.

#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTest>

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

using ViewerScreenTest = ViewerTest;

QImage ScreenShot(QWidget* Control) {
  QTest::qWait(300);  // the X server has the repaint
  const QPoint at = Control->mapToGlobal(QPoint(0, 0));
  return Control->screen()->grabWindow(0, at.x(), at.y(), Control->width(), Control->height()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Run only by the test below, on the xcb platform.
TEST_F(ViewerScreenTest, DISABLED_ZoomTwoOnScreenIsZoomOneScaled) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  OpenDemo();
  Form1->move(0, 0);
  Form1->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
  GoToPattern(0, DemoRom::FourFlips.Number);
  const TShown shown = ShownBy(Form1->ImgSprite);
  const QImage one = ScreenShot(Form1->ImgSprite);
  Form1->SetZoom(2);
  const QImage two = ScreenShot(Form1->ImgSprite);
  ASSERT_EQ(one.size(), QSize(256, 256));
  ASSERT_EQ(two.size(), QSize(512, 512));
  auto& dib = *SpritePage.SpriteDIB;
  int wrong = 0;
  for (int y = 0; y < 512; ++y) {
    const auto row = dib.GetScanLine(y / 2);
    for (int x = 0; x < 512; ++x) {
      const QRgb want = one.pixel(x / 2, y / 2);
      if (two.pixel(x, y) != want && wrong++ < 3) ADD_FAILURE() << "x2 pixel (" << x << ", " << y << ")";
      if (x % 2 == 0 && y % 2 == 0 && (want & 0xFFFFFF) != shown.Colors[row[static_cast<std::size_t>(x / 2)]] && wrong++ < 3)
        ADD_FAILURE() << "x1 pixel (" << x / 2 << ", " << y / 2 << ")";
    }
  }
  std::printf("checked on screen\n");
}

TEST(ViewerScreen, UnderXvfbZoomTwoIsZoomOneScaled) {
  AppTestApplication();
  const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
  if (xvfb.isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
  QProcess run;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "xcb");
  environment.remove("QT_SCALE_FACTOR");
  // The X platform's D-Bus connection keeps a buffer to the end; not a leak of ours.
  QTemporaryFile suppressions;
  ASSERT_TRUE(suppressions.open());
  suppressions.write("leak:libdbus-1.so\n");
  suppressions.flush();
  environment.insert("LSAN_OPTIONS", "suppressions=" + suppressions.fileName());
  run.setProcessEnvironment(environment);
  run.start(xvfb, {"-a", "-s", "-screen 0 1600x1200x24", QCoreApplication::applicationFilePath(),
                   "--gtest_also_run_disabled_tests", "--gtest_filter=ViewerScreenTest.DISABLED_ZoomTwoOnScreenIsZoomOneScaled"});
  ASSERT_TRUE(run.waitForFinished(120000));
  const QString output = QString::fromLocal8Bit(run.readAllStandardOutput() + run.readAllStandardError());
  EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("checked on screen")) << output.toStdString();
}

}  // namespace
}  // namespace viewer_test
