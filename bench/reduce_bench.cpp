// Colour reduction and half-tone on a 2048 x 2048 24-bit picture, each timed
// in turn with a memcpy of the picture's bytes in every iteration, so that
// load on the machine hits both alike ("ratio" = converter / memcpy;
// "best_us" the quickest single conversion).
//
// The picture is made here: smooth waves in each channel plus low-bit noise,
// about 1.6 million distinct colours. TARVELIN_REDUCE_BMP=path uses a BMP file
// instead; TARVELIN_REDUCE_WRITE_BMP=path writes the made picture and exits.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBConvert.h"

namespace {

constexpr int Size = 2048;

BYTE Channel(double v) { return static_cast<BYTE>(std::clamp(static_cast<int>(std::lround(v)), 0, 255)); }

std::unique_ptr<TZrDIB> MadePicture() {
  auto dib = std::make_unique<TZrDIB>();
  dib->SetBitCount(24);
  dib->SetWidth(Size);
  dib->SetHeight(Size);
  std::mt19937 random(7);
  for (int y = 0; y < Size; ++y) {
    auto row = dib->GetScanLine(y);
    for (int x = 0; x < Size; ++x) {
      const double red = 128 + 82 * std::sin(x * 0.0061 + 1.3 * std::sin(y * 0.0047)) + 21 * std::sin((x + y) * 0.013);
      const double green = 128 + 82 * std::sin(y * 0.0053 + 1.1 * std::cos(x * 0.0039)) + 21 * std::cos((x - y) * 0.011);
      const double blue = 128 + 82 * std::sin(x * 0.0043 + y * 0.0031 + 0.9 * std::sin(x * 0.0021 - y * 0.0057)) +
                          21 * std::sin(std::hypot(x - 900.0, y - 1200.0) * 0.02);
      const unsigned noise = random();
      row[3 * x] = Channel(blue + static_cast<int>(noise & 1));
      row[3 * x + 1] = Channel(green + static_cast<int>((noise >> 4) & 1));
      row[3 * x + 2] = Channel(red + static_cast<int>((noise >> 8) & 1));
    }
  }
  return dib;
}

const TZrDIB& Picture() {
  static const std::unique_ptr<TZrDIB> picture = [] {
    if (const char* path = std::getenv("TARVELIN_REDUCE_BMP")) {
      auto dib = std::make_unique<TZrDIB>();
      dib->LoadFromFile(path);
      if (dib->GetPixelFormat() != zrpf24Bit) dib->SetPixelFormat(zrpf24Bit);
      return dib;
    }
    return MadePicture();
  }();
  return *picture;
}

std::int64_t DistinctColours(const TZrDIB& DIB) {
  std::vector<bool> seen(1 << 24);
  std::int64_t count = 0;
  for (int y = 0; y < DIB.GetHeight(); ++y) {
    const auto row = const_cast<TZrDIB&>(DIB).GetScanLine(y);
    for (int x = 0; x < DIB.GetWidth(); ++x) {
      const unsigned c = row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
      if (!seen[c]) {
        seen[c] = true;
        ++count;
      }
    }
  }
  return count;
}

void Measure(benchmark::State& State, const std::function<TZrDIBData()>& Convert) {
  using Clock = std::chrono::steady_clock;
  const TZrInternalDIB& source = *Picture().GetInternalDIB();
  std::vector<BYTE> copy(static_cast<std::size_t>(source.ImageSize));
  Clock::duration convertTime{}, copyTime{}, best = Clock::duration::max();
  for (auto _ : State) {
    const auto t0 = Clock::now();
    {
      const TZrDIBData result = Convert();
      benchmark::DoNotOptimize(result.Bits);
    }
    const auto t1 = Clock::now();
    std::memcpy(copy.data(), source.Bits, copy.size());
    benchmark::DoNotOptimize(copy.data());
    const auto t2 = Clock::now();
    convertTime += t1 - t0;
    best = std::min(best, t1 - t0);
    copyTime += t2 - t1;
  }
  const auto us = [&](Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count() / static_cast<double>(State.iterations());
  };
  State.counters["convert_us"] = us(convertTime);
  State.counters["memcpy_us"] = us(copyTime);
  State.counters["ratio"] = us(convertTime) / us(copyTime);
  // The quickest single conversion, as the peers' best runs are compared with it.
  State.counters["best_us"] = std::chrono::duration<double, std::micro>(best).count();
}

using TReducer = TZrDIBData (*)(const TZrDIBSource&, bool, const TZrConvertProgress&);
using TPlain = TZrDIBData (*)(const TZrDIBSource&, bool);

void Reduce(benchmark::State& State, TReducer Convert) {
  const TZrDIBSource source = SourceOf(*Picture().GetInternalDIB());
  int steps = 0;
  const TZrConvertProgress progress = [&] { ++steps; };
  Measure(State, [&] { return Convert(source, true, progress); });
}

void Plain(benchmark::State& State, TPlain Convert) {
  const TZrDIBSource source = SourceOf(*Picture().GetInternalDIB());
  Measure(State, [&] { return Convert(source, true); });
}

void Low8(benchmark::State& State) { Reduce(State, ConvertTrueColorTo8BitRGBLow); }
void Low4(benchmark::State& State) { Reduce(State, ConvertTrueColorTo4BitRGBLow); }
void High8(benchmark::State& State) { Reduce(State, ConvertTrueColorTo8BitRGBHigh); }
void High4(benchmark::State& State) { Reduce(State, ConvertTrueColorTo4BitRGBHigh); }
void HalfTone(benchmark::State& State) { Plain(State, ConvertToHalfTone); }
void HalfToneBW(benchmark::State& State) { Plain(State, ConvertToHalfToneBW); }

// 8 bits to 16 colours, from the Low method's 256-colour result.
void From8To4(benchmark::State& State) {
  static const std::unique_ptr<TZrDIB> reduced = [] {
    auto dib = std::make_unique<TZrDIB>();
    dib->Assign(&const_cast<TZrDIB&>(Picture()));
    dib->SetPixelFormat(zrpf8Bit);
    return dib;
  }();
  const TZrDIBSource source = SourceOf(*reduced->GetInternalDIB());
  Measure(State, [&] { return Convert8BitRGBTo4BitRGB(source, true, {}); });
}

BENCHMARK(Low8)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Low4)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(High8)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(High4)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(HalfTone)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(HalfToneBW)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(From8To4)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  if (const char* path = std::getenv("TARVELIN_REDUCE_WRITE_BMP")) {
    auto dib = MadePicture();
    dib->SaveToFile(path);
    std::printf("%s: %d x %d, %lld distinct colours\n", path, Size, Size,
                static_cast<long long>(DistinctColours(*dib)));
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::AddCustomContext("distinct_colours", std::to_string(DistinctColours(Picture())));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
