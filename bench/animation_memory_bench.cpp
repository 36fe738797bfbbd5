// Memory of one 128-frame animation written as APNG and as GIF at each scale:
// the growth of the peak resident set while encoding, measured in a forked
// child (getrusage's ru_maxrss after the encoding less before it), beside the
// file's size and one frame's pixels. An encoder that keeps each frame's worst
// case would grow with 128 frames' pixels; ours stays near one frame and the file.
//
// Measured on the 2-core build machine (peak growth, file size), APNG then GIF:
//   x1  2.7 MB (0.04 MB)   2.6 MB (0.09 MB)
//   x2  3.3 MB (0.07 MB)   3.3 MB (0.21 MB)
//   x4  4.8 MB (0.18 MB)   5.9 MB (0.52 MB)
//   x8 11.4 MB (0.61 MB)  13.8 MB (1.32 MB)
// With each frame's buffer left at zlib's bound the APNG grew 11, 36, 137 and
// 535 MB; tarvelin-export's whole peak resident set on that animation went from
// 17, 40, 143 and 551 MB to 17 MB at every scale.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureFiles.h"
#include "tools/DemoRom.h"

namespace {

constexpr int Frames = 128;

struct TResult {
  long PeakGrowthKb = 0;
  std::size_t FileBytes = 0;
};

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // kilobytes on Linux
}

// In the child: the demo ROM with animation $00 of "12-13" made 128 frames long, encoded once.
TResult Encode(int Scale, TAnimationFormat Format) {
  auto prg = std::make_unique<TPrgData>();
  auto chr = std::make_unique<TChrData>();
  const auto file = MakeDemoRom();
  std::copy_n(file.begin(), prg->size(), prg->begin());
  std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(prg->size()), chr->size(), chr->begin());
  const int address = DemoRom::ThreeFrames.Offset;
  (*prg)[static_cast<std::size_t>(address)] = Frames - 1;
  (*prg)[static_cast<std::size_t>(address + 1)] = 3;
  for (int k = 0; k < Frames; ++k) (*prg)[static_cast<std::size_t>(address + 2 + k)] = static_cast<std::uint8_t>(1 + k % 12);
  const TDrawSprite drawer(*chr, nullptr);
  const long before = PeakKb();
  const TAnimationFiles files = EncodeAnimation(drawer, *prg, DemoRom::BankBases[0], address, Scale, {Format});
  TResult result;
  result.PeakGrowthKb = PeakKb() - before;
  result.FileBytes = Format == TAnimationFormat::Apng ? files.Apng.size() : files.Gif.size();
  return result;
}

void AnimationPeakMemory(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  const auto format = state.range(1) ? TAnimationFormat::Apng : TAnimationFormat::Gif;
  TResult result;
  for (auto _ : state) {
    int pipe[2];
    if (::pipe(pipe) != 0) {
      state.SkipWithError("no pipe");
      return;
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(pipe[0]);
      const TResult r = Encode(scale, format);
      const bool written = ::write(pipe[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
      ::_exit(written ? 0 : 1);
    }
    ::close(pipe[1]);
    const bool read = ::read(pipe[0], &result, sizeof result) == static_cast<ssize_t>(sizeof result);
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the child failed");
  }
  const double frame = 256.0 * 256.0 * scale * scale;
  state.counters["peak_MB"] = static_cast<double>(result.PeakGrowthKb) / 1024;
  state.counters["file_MB"] = static_cast<double>(result.FileBytes) / (1024 * 1024);
  state.counters["frame_MB"] = frame / (1024 * 1024);
  // What the peak amounts to in frames' pixels beside the file: 128 would mean every frame kept whole.
  state.counters["peak_less_file_in_frames"] =
      (static_cast<double>(result.PeakGrowthKb) * 1024 - static_cast<double>(result.FileBytes)) / frame;
}
BENCHMARK(AnimationPeakMemory)
    ->ArgNames({"scale", "apng"})
    ->ArgsProduct({{1, 2, 4, 8}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
