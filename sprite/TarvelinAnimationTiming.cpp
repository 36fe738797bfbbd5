#include "sprite/TarvelinAnimationTiming.h"

#include "sprite/TarvelinSpritePattern.h"

#include <algorithm>
#include <cmath>

namespace {
// 60.0988 frames a second, kept as a ratio so the rounding is exact.
constexpr std::int64_t FramesPer10000s = 600988;
}  // namespace

std::int64_t NesFramesToCentiseconds(std::int64_t NesFrames) {
  // round(NesFrames * 100 / 60.0988), halves up.
  return (NesFrames * 2'000'000 + FramesPer10000s) / (2 * FramesPer10000s);
}

TApngDelay NesFramesToApngDelay(int NesFrames) {
  if (NesFrames <= 0) return {0, 1};
  // The best approximation of P/Q with both terms at most Limit is a convergent
  // of its continued fraction or a semiconvergent just before the first
  // convergent that is too big.
  constexpr std::int64_t Limit = 0xFFFF;
  std::int64_t p = std::int64_t{NesFrames} * 10000, q = FramesPer10000s;
  const long double exact = static_cast<long double>(p) / static_cast<long double>(q);
  std::int64_t h1 = 1, k1 = 0, h2 = 0, k2 = 1;  // the last two convergents
  while (q != 0) {
    const std::int64_t a = p / q;
    const std::int64_t h = a * h1 + h2, k = a * k1 + k2;
    if (h > Limit || k > Limit) {
      const std::int64_t t = std::min(h1 > 0 ? (Limit - h2) / h1 : a, k1 > 0 ? (Limit - k2) / k1 : a);
      const std::int64_t hs = t * h1 + h2, ks = t * k1 + k2;
      const auto error = [&](std::int64_t H, std::int64_t K) {
        return std::abs(exact - static_cast<long double>(H) / static_cast<long double>(K));
      };
      if (t > 0 && ks > 0 && (k1 == 0 || error(hs, ks) < error(h1, k1)))
        return {static_cast<std::uint16_t>(hs), static_cast<std::uint16_t>(ks)};
      return {static_cast<std::uint16_t>(h1), static_cast<std::uint16_t>(k1)};
    }
    h2 = h1, k2 = k1, h1 = h, k1 = k;
    const std::int64_t r = p - a * q;
    p = q, q = r;
  }
  return {static_cast<std::uint16_t>(h1), static_cast<std::uint16_t>(k1)};
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
