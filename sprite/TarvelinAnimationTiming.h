#pragma once
// An animation as timed frames: the game shows each frame for D + 1 NES frames
// of 1/60.0988 s (NTSC); a GIF counts hundredths of a second.

#include <cstdint>
#include <vector>

#include "sprite/TarvelinApng.h"
#include "rom/TarvelinFileIO.h"

struct TTimedFrame {
  int Frame = 0;      // index in the record
  int Pattern = -1;   // pattern number, -1 for the $00 frame that ends playback
  int NesFrames = 0;  // how long it stays; 0 for the end frame, which stays for good
  std::int64_t StartNesFrames = 0;
  int DelayCs = 0;    // GIF delay, rounded so that the error does not add up
};

struct TTimedAnimation {
  std::vector<TTimedFrame> Frames;
  bool Loops = true;  // false when a $00 frame stops playback
};

// The frames playback shows, up to and with the first $00 frame.
TTimedAnimation TimeAnimation(const TPrgData& PrgData, int Address);

// NES frames to hundredths of a second and to milliseconds.
// Each frame's delay is the rounded end time less the rounded start time, which
// carries every rounding remainder on to the next frame.
std::int64_t NesFramesToCentiseconds(std::int64_t NesFrames);
double NesFramesToMilliseconds(std::int64_t NesFrames);

// An APNG delay is a fraction with a 16-bit numerator and denominator. One NES
// frame is 10000/600988 = 2500/150247 s, whose prime denominator does not fit,
// so each frame gets the nearest such fraction to its length: off by a few
// nanoseconds at most, where a GIF's hundredths are off by up to 5 ms.
TApngDelay NesFramesToApngDelay(int NesFrames);
