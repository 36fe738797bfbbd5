// Reading and writing a 2048 x 2048 BMP against a plain read or memcpy of the
// same bytes, timed in turn in every iteration so load on the machine hits
// them alike.

#include <benchmark/benchmark.h>
#include <sys/mman.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dib/ZrDIB.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Side = 2048;

// A BMP file of Side x Side pixels at Bits (24 or 32), with varied pixels.
std::vector<BYTE> File(int Bits) {
  const std::size_t stride = (static_cast<std::size_t>(Bits) * Side + 31) / 32 * 4;
  const std::size_t pixels = stride * Side;
  std::vector<BYTE> file(54 + pixels);
  BITMAPFILEHEADER fileHeader;
  fileHeader.bfType = 0x4D42;
  fileHeader.bfSize = static_cast<DWORD>(file.size());
  fileHeader.bfOffBits = 54;
  BITMAPINFOHEADER info;
  info.biSize = 40;
  info.biWidth = Side;
  info.biHeight = Side;
  info.biPlanes = 1;
  info.biBitCount = static_cast<WORD>(Bits);
  std::memcpy(file.data(), static_cast<const void*>(&fileHeader), 14);
  std::memcpy(file.data() + 14, static_cast<const void*>(&info), 40);
  for (std::size_t i = 0; i < pixels; ++i) file[54 + i] = static_cast<BYTE>(i * 7 + i / stride);
  return file;
}

std::string WriteTemporary(const std::vector<BYTE>& bytes, int Bits) {
  const std::string path = "/tmp/tarvelin_bmp_bench_" + std::to_string(Bits) + ".bmp";
  TFileStream out(path, fmCreate);
  out.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  return path;
}

// Fresh anonymous memory, as a plain program gets for a new 12 MiB buffer: its
// pages are faulted in on first touch, as a new picture's pixels are.
class TFreshBuffer {
 public:
  explicit TFreshBuffer(std::size_t Size)
      : FSize(Size),
        FData(static_cast<BYTE*>(::mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))) {}
  ~TFreshBuffer() { ::munmap(FData, FSize); }
  TFreshBuffer(const TFreshBuffer&) = delete;
  TFreshBuffer& operator=(const TFreshBuffer&) = delete;
  BYTE* Data() const { return FData; }

 private:
  std::size_t FSize;
  BYTE* FData;
};

// "ratio": the library's time over a plain read into fresh memory;
// "warm_ratio": over the same read into a buffer used before.
void Report(benchmark::State& state, Clock::duration Mine, Clock::duration Fresh, Clock::duration Warm) {
  const auto us = [&](Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count() / static_cast<double>(state.iterations());
  };
  state.counters["dib_us"] = us(Mine);
  state.counters["plain_us"] = us(Fresh);
  state.counters["warm_us"] = us(Warm);
  state.counters["ratio"] = Fresh.count() > 0 ? us(Mine) / us(Fresh) : 0;
  state.counters["warm_ratio"] = Warm.count() > 0 ? us(Mine) / us(Warm) : 0;
}

// Arguments: bits per pixel of the file, and 1 for file-mapped pixels, 0 for heap.
void LoadFromFile(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  DefaultUseFMO = state.range(1) != 0;
  const auto bytes = File(bits);
  const auto size = static_cast<std::int64_t>(bytes.size());
  const std::string path = WriteTemporary(bytes, bits);
  std::vector<BYTE> warm(bytes.size());
  Clock::duration mine{}, fresh{}, used{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    {
      TZrDIB dib;
      dib.LoadFromFile(path);
      benchmark::DoNotOptimize(dib.GetInternalDIB()->Bits);
    }
    const auto t1 = Clock::now();
    {
      TFileStream in(path, fmOpenRead);
      TFreshBuffer buffer(bytes.size());
      in.ReadBuffer(buffer.Data(), size);
      benchmark::DoNotOptimize(buffer.Data());
    }
    const auto t2 = Clock::now();
    {
      TFileStream in(path, fmOpenRead);
      in.ReadBuffer(warm.data(), size);
      benchmark::DoNotOptimize(warm.data());
    }
    const auto t3 = Clock::now();
    mine += t1 - t0;
    fresh += t2 - t1;
    used += t3 - t2;
  }
  Report(state, mine, fresh, used);
  std::remove(path.c_str());
  DefaultUseFMO = true;
}
BENCHMARK(LoadFromFile)->ArgsProduct({{24, 32}, {1, 0}})->Unit(benchmark::kMillisecond);

void LoadFromMemoryStream(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  DefaultUseFMO = state.range(1) != 0;
  const auto bytes = File(bits);
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  std::vector<BYTE> warm(bytes.size());
  Clock::duration mine{}, fresh{}, used{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    {
      stream.SetPosition(0);
      TZrDIB dib;
      dib.LoadFromStream(stream);
      benchmark::DoNotOptimize(dib.GetInternalDIB()->Bits);
    }
    const auto t1 = Clock::now();
    {
      TFreshBuffer buffer(bytes.size());
      std::memcpy(buffer.Data(), bytes.data(), bytes.size());
      benchmark::DoNotOptimize(buffer.Data());
    }
    const auto t2 = Clock::now();
    std::memcpy(warm.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(warm.data());
    const auto t3 = Clock::now();
    mine += t1 - t0;
    fresh += t2 - t1;
    used += t3 - t2;
  }
  Report(state, mine, fresh, used);
  DefaultUseFMO = true;
}
BENCHMARK(LoadFromMemoryStream)->ArgsProduct({{24, 32}, {1, 0}})->Unit(benchmark::kMillisecond);

// Against writing the same bytes into a stream of the same kind with one call.
void SaveToStream(benchmark::State& state) {
  const auto bytes = File(24);
  TMemoryStream source;
  source.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  source.SetPosition(0);
  TZrDIB dib;
  dib.LoadFromStream(source);
  TMemoryStream mineOut, plainOut;
  Clock::duration mine{}, plain{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    mineOut.SetPosition(0);
    dib.SaveToStream(mineOut);
    const auto t1 = Clock::now();
    plainOut.SetPosition(0);
    plainOut.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    const auto t2 = Clock::now();
    benchmark::DoNotOptimize(mineOut.Memory().data());
    benchmark::DoNotOptimize(plainOut.Memory().data());
    mine += t1 - t0;
    plain += t2 - t1;
  }
  Report(state, mine, plain, plain);
}
BENCHMARK(SaveToStream)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
