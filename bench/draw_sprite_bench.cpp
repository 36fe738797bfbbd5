// A 256-sprite pattern drawn into a fresh page picture, and TZrDIB.Draw of a
// 256 x 256 picture into 512 x 512 through the Qt painter device context
// against a plain QPainter::drawImage of the same pixels, with their ratio.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "sprite/TarvelinDrawSprite.h"
#include "dib/ZrDIB.h"
#include "host/Canvas.h"
#include "host/qt/PainterDevice.h"
#include "tools/DemoRom.h"

namespace {

struct TDemo {
  std::vector<std::uint8_t> Rom = MakeDemoRom();
  std::unique_ptr<TChrData> Chr = std::make_unique<TChrData>();
  TDemo() { std::copy_n(Rom.begin() + DemoRom::ChrFileOffset, Chr->size(), Chr->begin()); }
};

const TDemo& Demo() {
  static const TDemo demo;
  return demo;
}

void DrawFrameAllSprites(benchmark::State& state) {
  const TDemo& demo = Demo();
  const auto& pattern = DemoRom::AllSprites;
  const std::span<const std::uint8_t> frame(demo.Rom.data() + pattern.FrameOffset, 3 + 2 * 256);
  const std::span<const std::uint8_t> align(demo.Rom.data() + pattern.AlignOffset, 2 * 256);
  if (frame[1] != 0xFF) state.SkipWithError("the pattern does not hold 256 sprites");
  const TDrawSprite drawer(*demo.Chr, nullptr);
  for (auto _ : state) {
    auto picture = CreatePageDIB(256, 256);
    drawer.DrawFrame(*picture, frame, align);
    benchmark::DoNotOptimize(picture->GetInternalDIB()->Bits);
  }
}
BENCHMARK(DrawFrameAllSprites)->Unit(benchmark::kMicrosecond);

constexpr int Size = 256;

std::unique_ptr<TZrDIB> Picture() {
  auto dib = std::make_unique<TZrDIB>();
  dib->SetWidth(Size);
  dib->SetHeight(Size);
  for (int i = 0; i < 256; ++i) dib->SetColors(i, static_cast<TColor>(RGB(i, 255 - i, (i * 7) & 0xFF)));
  for (int y = 0; y < Size; ++y) {
    auto row = dib->GetScanLine(y);
    for (int x = 0; x < Size; ++x) row[static_cast<std::size_t>(x)] = static_cast<BYTE>(x * 31 + y);
  }
  return dib;
}

// The same pixels and colours as an indexed QImage.
QImage AsQImage(TZrDIB& DIB) {
  QImage image(Size, Size, QImage::Format_Indexed8);
  QList<QRgb> colours;
  for (const RGBQUAD& q : DIB.GetInternalDIB()->BitmapInfo.bmiColors) colours.append(qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue));
  image.setColorTable(colours);
  for (int y = 0; y < Size; ++y) {
    const auto row = DIB.GetScanLine(y);
    std::copy(row.begin(), row.begin() + Size, image.scanLine(y));
  }
  return image;
}

// A 512 x 512 offscreen target with a painter and a canvas over its device context.
struct TTarget {
  QImage Image{2 * Size, 2 * Size, QImage::Format_RGB32};
  QPainter Painter{&Image};
  TPainterDC Dc{Painter};
  TCanvas Canvas;
  TTarget() {
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    Canvas.SetHandle(Dc.Handle());
  }
  ~TTarget() { Canvas.SetHandle({}); }
};

const TRect Dest = Rect(0, 0, 2 * Size, 2 * Size);

void ZrDIBDrawPainterDC(benchmark::State& state) {
  auto dib = Picture();
  TTarget target;
  for (auto _ : state) {
    dib->Draw(target.Canvas, Dest);
    benchmark::DoNotOptimize(target.Image.constBits());
  }
}
BENCHMARK(ZrDIBDrawPainterDC)->Unit(benchmark::kMicrosecond);

void QPainterDrawImage(benchmark::State& state) {
  auto dib = Picture();
  const QImage image = AsQImage(*dib);
  TTarget target;
  for (auto _ : state) {
    target.Painter.drawImage(QRect(0, 0, 2 * Size, 2 * Size), image);
    benchmark::DoNotOptimize(target.Image.constBits());
  }
}
BENCHMARK(QPainterDrawImage)->Unit(benchmark::kMicrosecond);

// Both in turn in every iteration, so load on the machine hits them alike;
// the counter "ratio" is the DIB path's time over the plain one's.
void DrawRatio(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  auto dib = Picture();
  const QImage image = AsQImage(*dib);
  TTarget target;
  Clock::duration dibTime{}, plainTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    dib->Draw(target.Canvas, Dest);
    const auto t1 = Clock::now();
    target.Painter.drawImage(QRect(0, 0, 2 * Size, 2 * Size), image);
    const auto t2 = Clock::now();
    benchmark::DoNotOptimize(target.Image.constBits());
    dibTime += t1 - t0;
    plainTime += t2 - t1;
  }
  const auto us = [&](Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count() / static_cast<double>(state.iterations());
  };
  state.counters["dib_us"] = us(dibTime);
  state.counters["plain_us"] = us(plainTime);
  state.counters["ratio"] = plainTime.count() > 0 ? us(dibTime) / us(plainTime) : 0;
}
BENCHMARK(DrawRatio)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
