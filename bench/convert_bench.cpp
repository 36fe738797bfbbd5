// Pixel-format converters on a 2048 x 2048 picture, each against a memcpy of
// the bytes it writes (for the RLE8 encoder: of the bytes it reads), timed in
// turn in every iteration so that load on the machine hits both alike.
// Counters: "ratio" against a memcpy between warm buffers, "ratio_fresh"
// against getting fresh pixel memory and copying into it, as a converter must.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBConvert.h"

namespace {

constexpr int Size = 2048;

std::unique_ptr<TZrDIB> Picture(int BitCount, bool UseFMO) {
  const bool saved = DefaultUseFMO;
  DefaultUseFMO = UseFMO;
  auto dib = std::make_unique<TZrDIB>();
  DefaultUseFMO = saved;
  dib->SetBitCount(BitCount);
  dib->SetWidth(Size);
  dib->SetHeight(Size);
  for (int i = 0; i < 256; ++i) dib->SetColors(i, RGB(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 77));
  std::mt19937 random(7);
  for (int y = 0; y < Size; ++y) {
    auto row = dib->GetScanLine(y);
    for (auto& b : row) b = static_cast<BYTE>(random());
  }
  return dib;
}

// Flat 64 x 64 blocks, and every sixteenth row noise.
std::unique_ptr<TZrDIB> TypicalPicture(bool UseFMO) {
  auto dib = Picture(8, UseFMO);
  std::mt19937 random(11);
  for (int y = 0; y < Size; ++y) {
    auto row = dib->GetScanLine(y);
    for (int x = 0; x < Size; ++x) row[x] = y % 16 == 15 ? static_cast<BYTE>(random()) : static_cast<BYTE>(x / 64 * 7 + y / 64);
  }
  return dib;
}

void Measure(benchmark::State& State, std::int64_t Bytes, bool UseFMO, const std::function<TZrDIBData()>& Convert) {
  using Clock = std::chrono::steady_clock;
  std::vector<BYTE> from(static_cast<std::size_t>(Bytes), 1), to(static_cast<std::size_t>(Bytes), 2);
  Clock::duration convertTime{}, copyTime{}, freshTime{};
  for (auto _ : State) {
    const auto t0 = Clock::now();
    {
      const TZrDIBData result = Convert();
      benchmark::DoNotOptimize(result.Bits);
    }
    const auto t1 = Clock::now();
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
    const auto t2 = Clock::now();
    {
      HANDLE mapping;
      BYTE* bits = nullptr;
      GetMemory(static_cast<std::int32_t>(Bytes), UseFMO, mapping, bits);
      std::memcpy(bits, from.data(), from.size());
      benchmark::DoNotOptimize(bits);
      ReleaseMemory(mapping, bits, UseFMO);
    }
    const auto t3 = Clock::now();
    convertTime += t1 - t0;
    copyTime += t2 - t1;
    freshTime += t3 - t2;
  }
  const auto us = [&](Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count() / static_cast<double>(State.iterations());
  };
  State.counters["convert_us"] = us(convertTime);
  State.counters["memcpy_us"] = us(copyTime);
  State.counters["ratio"] = us(convertTime) / us(copyTime);
  State.counters["ratio_fresh"] = us(convertTime) / us(freshTime);
  State.SetBytesProcessed(State.iterations() * Bytes);
}

using TConverter = TZrDIBData (*)(const TZrDIBSource&, bool);

void Converter(benchmark::State& State, int FromBits, int ToBits, TConverter Convert) {
  const bool useFMO = State.range(0) != 0;
  const auto dib = Picture(FromBits, useFMO);
  const TZrDIBSource source = SourceOf(*dib->GetInternalDIB());
  Measure(State, DIBStride(ToBits, Size) * Size, useFMO, [&] { return Convert(source, useFMO); });
}

void Widen1To4(benchmark::State& State) { Converter(State, 1, 4, &Convert1BitRGBTo4BitRGB); }
void Widen1To8(benchmark::State& State) { Converter(State, 1, 8, &Convert1BitRGBTo8BitRGB); }
void Widen4To8(benchmark::State& State) { Converter(State, 4, 8, &Convert4BitRGBTo8BitRGB); }
void TrueColorFrom1(benchmark::State& State) { Converter(State, 1, 24, &Convert1BitRGBToTrueColor); }
void TrueColorFrom4(benchmark::State& State) { Converter(State, 4, 24, &Convert4BitRGBToTrueColor); }
void TrueColorFrom8(benchmark::State& State) { Converter(State, 8, 24, &Convert8BitRGBToTrueColor); }

void EncodeRLE8Typical(benchmark::State& State) {
  const bool useFMO = State.range(0) != 0;
  const auto dib = TypicalPicture(useFMO);
  const TZrDIBSource source = SourceOf(*dib->GetInternalDIB());
  Measure(State, std::int64_t{Size} * Size, useFMO, [&] { return Convert8BitRGBTo8BitRLE(source, useFMO); });
}

void DecodeRLE8Typical(benchmark::State& State) {
  const bool useFMO = State.range(0) != 0;
  const auto dib = TypicalPicture(useFMO);
  dib->SetPixelFormat(zrpf8BitRLE);
  const TZrDIBSource source = SourceOf(*dib->GetInternalDIB());
  State.counters["compressed_kib"] = dib->GetInternalDIB()->ImageSize / 1024.0;
  Measure(State, std::int64_t{Size} * Size, useFMO, [&] { return Convert8BitRLETo8BitRGB(source, useFMO); });
}

// Argument: 1 pixel memory in a file mapping, 0 on the heap.
BENCHMARK(Widen1To4)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(Widen1To8)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(Widen4To8)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(TrueColorFrom1)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(TrueColorFrom4)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(TrueColorFrom8)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(EncodeRLE8Typical)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(DecodeRLE8Typical)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
