// Pictures through the X clipboard between TZrDIB and xclip, which reads and
// writes the clipboard as any desktop program does. Runs under with-xvfb.sh.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

#include "dib/ZrDIB.h"
#include "host/Kernel.h"
#include "host/qt/Clipboard.h"
#include "tests/host/qt/QtTestApplication.h"

namespace {

constexpr int TimeoutMs = 10000;

// Keeps the event loop turning (our process may be serving the selection)
// until Done or the timeout.
bool SpinUntil(const std::function<bool()>& Done) {
  QElapsedTimer timer;
  timer.start();
  while (!Done()) {
    if (timer.elapsed() > TimeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Runs xclip to its end and returns what it wrote; fails the test when it
// does not finish in time or exits with an error.
QByteArray Xclip(const QStringList& Arguments) {
  QProcess xclip;
  xclip.start("xclip", Arguments);
  if (!xclip.waitForStarted(TimeoutMs)) {
    ADD_FAILURE() << "xclip did not start";
    return {};
  }
  QByteArray out;
  const bool finished = SpinUntil([&] {
    out += xclip.readAllStandardOutput();
    return xclip.state() == QProcess::NotRunning;
  });
  if (!finished) {
    xclip.kill();
    xclip.waitForFinished(TimeoutMs);
    ADD_FAILURE() << "xclip " << Arguments.join(' ').toStdString() << " did not finish";
    return {};
  }
  out += xclip.readAllStandardOutput();
  EXPECT_EQ(xclip.exitCode(), 0) << xclip.readAllStandardError().toStdString();
  return out;
}

QRgb ColourOf(int i) { return qRgb(i, (i * 5) & 0xFF, 255 - i); }
int ValueAt(int x, int y) { return (x * 23 + y * 41) & 0xFF; }

class ClipboardInteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through with-xvfb.sh";
    FSaved = InstallQtClipboard();
  }
  void TearDown() override { Clipboard().SetBackend(FSaved); }
  std::shared_ptr<TClipboardBackend> FSaved;
};

}  // namespace

TEST_F(ClipboardInteropTest, XclipReadsWhatTZrDIBCopied) {
  constexpr int width = 7, height = 5;
  TZrDIB dib;
  dib.SetWidth(width);
  dib.SetHeight(height);
  for (int i = 0; i < 256; ++i) {
    const QRgb c = ColourOf(i);
    dib.SetColors(i, static_cast<TColor>(RGB(qRed(c), qGreen(c), qBlue(c))));
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) dib.GetScanLine(y)[x] = static_cast<BYTE>(ValueAt(x, y));
  Clipboard().Assign(&dib);
  ASSERT_TRUE(QGuiApplication::clipboard()->ownsClipboard());

  const QString targets = QString::fromLatin1(Xclip({"-selection", "clipboard", "-t", "TARGETS", "-o"}));
  EXPECT_TRUE(targets.contains("image/png")) << targets.toStdString();
  EXPECT_TRUE(targets.contains("image/bmp")) << targets.toStdString();

  // The BMP is the file header and the very packed DIB.
  WORD format;
  HGLOBAL data;
  HPALETTE palette;
  dib.SaveToClipboardFormat(format, data, palette);
  const QByteArray packed(static_cast<const char*>(GlobalLock(data)), static_cast<qsizetype>(GlobalSize(data)));
  GlobalUnlock(data);
  GlobalFree(data);
  const QByteArray bmp = Xclip({"-selection", "clipboard", "-t", "image/bmp", "-o"});
  EXPECT_EQ(bmp.size(), 14 + packed.size());
  EXPECT_EQ(bmp.left(2), "BM");
  EXPECT_EQ(bmp.mid(14), packed);

  for (const char* type : {"image/png", "image/bmp"}) {
    SCOPED_TRACE(type);
    const QImage image = QImage::fromData(Xclip({"-selection", "clipboard", "-t", type, "-o"}));
    ASSERT_EQ(image.size(), QSize(width, height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) EXPECT_EQ(image.pixel(x, y), ColourOf(ValueAt(x, y))) << x << "," << y;
  }
}

TEST_F(ClipboardInteropTest, TZrDIBPastesWhatXclipCopied) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  constexpr int width = 6, height = 4;
  QImage rgb(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rgb.setPixel(x, y, qRgb(x * 40, y * 60, 200 - x * y));
  QVector<QRgb> table;
  for (int i = 0; i < 24; ++i) table.push_back(ColourOf(i * 10));
  QImage indexed(width, height, QImage::Format_Indexed8);
  indexed.setColorTable(table);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) indexed.setPixel(x, y, static_cast<uint>(y * width + x));

  struct TCase {
    const char* Name;
    const QImage* Image;
    int Bits;
  };
  for (const TCase c : {TCase{"rgb", &rgb, 24}, TCase{"indexed", &indexed, 8}}) {
    SCOPED_TRACE(c.Name);
    const QString path = dir.filePath(QString("%1.png").arg(c.Name));
    ASSERT_TRUE(c.Image->save(path, "PNG"));
    // In the foreground, serving the selection until it is killed.
    QProcess xclip;
    xclip.start("xclip", {"-quiet", "-selection", "clipboard", "-t", "image/png", "-i", path});
    ASSERT_TRUE(xclip.waitForStarted(TimeoutMs));
    const bool taken = SpinUntil([] {
      return !QGuiApplication::clipboard()->ownsClipboard() && QGuiApplication::clipboard()->mimeData() &&
             QGuiApplication::clipboard()->mimeData()->hasFormat("image/png");
    });
    TZrDIB dib;
    if (taken) {
      try {
        dib.Assign(&Clipboard());
      } catch (const Exception& e) {
        ADD_FAILURE() << e.what();
      }
    }
    xclip.kill();
    xclip.waitForFinished(TimeoutMs);
    ASSERT_TRUE(taken) << "xclip did not take the clipboard";

    EXPECT_EQ(dib.GetBitCount(), c.Bits);
    ASSERT_EQ(dib.GetWidth(), width);
    ASSERT_EQ(dib.GetHeight(), height);
    const RGBQUAD* colors = dib.GetInternalDIB()->BitmapInfo.bmiColors;
    for (int y = 0; y < height; ++y) {
      const BYTE* row = dib.GetScanLine(y).data();
      for (int x = 0; x < width; ++x) {
        const RGBQUAD px = c.Bits == 8 ? colors[row[x]] : RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
        EXPECT_EQ(qRgb(px.rgbRed, px.rgbGreen, px.rgbBlue), c.Image->pixel(x, y)) << x << "," << y;
      }
    }
  }
}
