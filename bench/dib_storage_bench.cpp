// The viewer's picture life cycle: make a 256 x 256, 8-bit picture with 16
// colours, fill it row by row, hand it to a second DIB, destroy both.

#include <benchmark/benchmark.h>

#include <cstring>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBMemory.h"

namespace {

void MakePicture(benchmark::State& State, bool UseFMO, bool Cold = false) {
  const bool saved = DefaultUseFMO;
  DefaultUseFMO = UseFMO;
  for (auto _ : State) {
    auto picture = std::make_unique<TZrDIB>();
    picture->SetWidth(256);
    picture->SetHeight(256);
    for (int i = 0; i < 16; ++i) picture->SetColors(i, RGB(static_cast<BYTE>(i * 16), 0, static_cast<BYTE>(255 - i)));
    for (int y = 0; y < 256; ++y) {
      auto row = picture->GetScanLine(y);
      std::memset(row.data(), y & 15, row.size());
    }
    auto held = std::make_unique<TZrDIB>();
    held->Assign(picture.get());
    benchmark::DoNotOptimize(held->GetInternalDIB()->Bits);
    picture.reset();
    held.reset();
    if (Cold) FreeSpareMemory();
  }
  DefaultUseFMO = saved;
}

void BM_PictureFileMapping(benchmark::State& State) { MakePicture(State, true); }
void BM_PictureHeap(benchmark::State& State) { MakePicture(State, false); }
// Every mapping made afresh: the kernel's own cost, which the pool saves.
void BM_PictureFileMappingCold(benchmark::State& State) { MakePicture(State, true, true); }

}  // namespace

BENCHMARK(BM_PictureFileMapping)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PictureHeap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PictureFileMappingCold)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
