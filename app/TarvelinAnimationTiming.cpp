#include "app/TarvelinAnimationTiming.h"

#include "app/TarvelinSpritePattern.h"

namespace {
// 60.0988 frames a second, kept as a ratio so the rounding is exact.
constexpr std::int64_t FramesPer10000s = 600988;
}  // namespace

std::int64_t NesFramesToCentiseconds(std::int64_t NesFrames) {
  // round(NesFrames * 100 / 60.0988), halves up.
  return (NesFrames * 2'000'000 + FramesPer10000s) / (2 * FramesPer10000s);
}

std::vector<TApngDelay> NesFramesToApngDelays(int NesFrames) {
  if (NesFrames <= 0) return {TApngDelay{0, 1}};
  const int parts = (NesFrames + MaxNesFramesPerApngFrame - 1) / MaxNesFramesPerApngFrame;
  std::vector<TApngDelay> delays;
  for (int i = 0; i < parts; ++i) {
    const int frames = NesFrames / parts + (i < NesFrames % parts ? 1 : 0);
    delays.push_back({static_cast<std::uint16_t>(frames * 2500), static_cast<std::uint16_t>(FramesPer10000s / 4)});
  }
  return delays;
}

double NesFramesToMilliseconds(std::int64_t NesFrames) {
  return static_cast<double>(NesFrames) * 1.0e7 / static_cast<double>(FramesPer10000s);
}

TTimedAnimation TimeAnimation(const TPrgData& PrgData, int Address) {
  const int last = PrgData[static_cast<std::size_t>(Address)] & 0x7F;
  const int ticks = PrgData[static_cast<std::size_t>(Address + 1)] + 1;
  TTimedAnimation animation;
  std::int64_t start = 0;
  for (int k = 0; k <= last; ++k) {
    TTimedFrame frame;
    frame.Frame = k;
    frame.Pattern = AnimationFramePattern(PrgData, Address, k);
    frame.StartNesFrames = start;
    if (frame.Pattern < 0) {
      animation.Frames.push_back(frame);
      animation.Loops = false;
      break;
    }
    frame.NesFrames = ticks;
    frame.DelayCs = static_cast<int>(NesFramesToCentiseconds(start + ticks) - NesFramesToCentiseconds(start));
    start += ticks;
    animation.Frames.push_back(frame);
  }
  return animation;
}
