// StretchDIBits of a 256 x 256 8-bit DIB into 512 x 512 through the Qt painter
// device context, against QPainter::drawImage of the same pixels, and the
// ratio of the two; also into 8- and 24-bit memory surfaces.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Gdi.h"
#include "host/qt/PainterDevice.h"

namespace {

constexpr int Size = 256;

// A bottom-up 8-bit DIB, as the DIB library keeps its pictures.
struct TDib {
  BITMAPINFO Info{};
  std::vector<BYTE> Bits = std::vector<BYTE>(Size * Size);
  TDib() {
    auto& h = Info.bmiHeader;
    h.biSize = sizeof h;
    h.biWidth = Size;
    h.biHeight = Size;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biClrUsed = 256;
    for (int i = 0; i < 256; ++i)
      Info.bmiColors[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
    for (int i = 0; i < Size * Size; ++i) Bits[i] = static_cast<BYTE>(i * 31 + i / Size);
  }
};

const TDib& Dib() {
  static const TDib dib;
  return dib;
}

void PainterDCStretchDIBits(benchmark::State& state) {
  QImage target(2 * Size, 2 * Size, QImage::Format_RGB32);
  QPainter painter(&target);
  const TPainterDC dc(painter);
  const TDib& dib = Dib();
  for (auto _ : state) {
    const int rows = StretchDIBits(dc.Handle(), 0, 0, 2 * Size, 2 * Size, 0, 0, Size, Size, dib.Bits.data(), &dib.Info,
                                   DIB_RGB_COLORS, SRCCOPY);
    if (rows != Size) state.SkipWithError("StretchDIBits drew nothing");
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(PainterDCStretchDIBits)->Unit(benchmark::kMicrosecond);

void QPainterDrawImage(benchmark::State& state) {
  QImage target(2 * Size, 2 * Size, QImage::Format_RGB32);
  QPainter painter(&target);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const TDib& dib = Dib();
  QImage image(dib.Bits.data(), Size, Size, Size, QImage::Format_Indexed8);
  QList<QRgb> colors;
  for (int i = 0; i < 256; ++i)
    colors.append(qRgb(dib.Info.bmiColors[i].rgbRed, dib.Info.bmiColors[i].rgbGreen, dib.Info.bmiColors[i].rgbBlue));
  image.setColorTable(colors);
  for (auto _ : state) {
    painter.drawImage(QRect(0, 0, 2 * Size, 2 * Size), image);
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(QPainterDrawImage)->Unit(benchmark::kMicrosecond);

// The same stretch into a DIB section of a memory device context, 8 and 24 bits.
void MemoryDCStretchDIBits(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  BITMAPINFO info = Dib().Info;
  info.bmiHeader.biWidth = info.bmiHeader.biHeight = 2 * Size;
  info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  info.bmiHeader.biClrUsed = bits == 8 ? 256 : 0;
  const HDC dc = CreateCompatibleDC({});
  const HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, nullptr, {}, 0);
  const HGDIOBJ old = SelectObject(dc, section);
  const TDib& dib = Dib();
  for (auto _ : state) {
    const int rows = StretchDIBits(dc, 0, 0, 2 * Size, 2 * Size, 0, 0, Size, Size, dib.Bits.data(), &dib.Info,
                                   DIB_RGB_COLORS, SRCCOPY);
    if (rows != Size) state.SkipWithError("StretchDIBits drew nothing");
  }
  SelectObject(dc, old);
  DeleteObject(section);
  DeleteDC(dc);
}
BENCHMARK(MemoryDCStretchDIBits)->Arg(8)->Arg(24)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration for the ratio: the median of
// repetitions when there are any, else the mean of the runs.
class TRatioReporter final : public benchmark::ConsoleReporter {
 public:
  TRatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      auto& time = FTimes[run.run_name.function_name];
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        time.Median = run.GetAdjustedRealTime();
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        time.Sum += run.GetAdjustedRealTime();
        ++time.Count;
      }
    }
  }
  // 0 when the benchmark did not run.
  double Time(const std::string& name) const {
    const auto found = FTimes.find(name);
    if (found == FTimes.end()) return 0;
    const auto& t = found->second;
    return t.Median > 0 ? t.Median : t.Count > 0 ? t.Sum / t.Count : 0;
  }

 private:
  struct TTime {
    double Median = 0;
    double Sum = 0;
    int Count = 0;
  };
  std::map<std::string, TTime> FTimes;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double dc = reporter.Time("PainterDCStretchDIBits"), plain = reporter.Time("QPainterDrawImage");
  if (dc > 0 && plain > 0)
    std::printf("StretchDIBits through the painter DC / plain drawImage: %.2f (target at most 1.50)\n", dc / plain);
  return 0;
}
