#pragma once
// The animation page: one animation definition of the chosen bank, its data, and
// its playback under the window's 16 ms timer, stopped, or stepped with the scroll bar.

#include <memory>

#include "sprite/TarvelinPixelTrace.h"

class TZrDIB;

// The page's state, one instance for the whole run.
struct TAnimationPageState {
  int AnimationNumber = 0;   // 0..255, shown in EditAAnimationNum
  int AnimationAddress = 0;  // file offset of the AnimationData
  int CurrentFrame = 0;      // the frame playback stands on
  int FrameTicks = 0;        // ticks already counted on it
  int DrawnFrame = 0;        // the frame last drawn by a step; -1 makes the next step draw
  bool Playing = false;
  std::unique_ptr<TZrDIB> AnimationDIB;  // the picture made last
  TSpriteTrace Trace;                    // how it was drawn
};
extern TAnimationPageState AnimationPage;

void ResetAnimationPage();
void AnimationPageKeyDown(int Key);
// One timer tick while the page is active.
void StepAnimation();

void LocateAnimation();
void RewindAnimation();
void ShowAnimationData();
void DrawAnimationFrame(int Frame);
void StopAnimation();

// The page's own controls.
void btnAnimationPlayClick();
void btnAnimationStopClick();
// ScrollPos is the new position; a refused move puts the current one back in it.
void SBAFrameScroll(int& ScrollPos);
