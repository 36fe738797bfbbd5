#pragma once
// A DIB drawn in another draw mode for a while: the old mode comes back when the
// scope ends, also on failure.

#include "dib/ZrDIB.h"

class TZrDrawModeScope {
public:
  explicit TZrDrawModeScope(TZrDIB& DIB, BYTE Mode = 0) : FDIB(DIB), FSaved(DIB.GetDrawMode()) {
    FDIB.SetDrawMode(Mode);
  }
  ~TZrDrawModeScope() { FDIB.SetDrawMode(FSaved); }
  TZrDrawModeScope(const TZrDrawModeScope&) = delete;
  TZrDrawModeScope& operator=(const TZrDrawModeScope&) = delete;

private:
  TZrDIB& FDIB;
  BYTE FSaved;
};
