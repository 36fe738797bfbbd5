#pragma once
// Helpers shared by the DIB library's tests.

#include <gtest/gtest.h>

#include <string>

#include "dib/ZrDIB.h"

// Sets DefaultUseFMO for one test and puts the previous value back.
class TDefaultUseFMOScope {
public:
  explicit TDefaultUseFMOScope(bool Value) : FSaved(DefaultUseFMO) { DefaultUseFMO = Value; }
  ~TDefaultUseFMOScope() { DefaultUseFMO = FSaved; }
  TDefaultUseFMOScope(const TDefaultUseFMOScope&) = delete;
  TDefaultUseFMOScope& operator=(const TDefaultUseFMOScope&) = delete;

private:
  bool FSaved;
};

// Runs Action and expects it to raise E with exactly Message.
template <class E, class F>
void ExpectRaises(F&& Action, const std::string& Message) {
  try {
    Action();
    ADD_FAILURE() << "nothing raised; expected: " << Message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), Message);
  } catch (const std::exception& e) {
    ADD_FAILURE() << "wrong exception: " << e.what() << "; expected: " << Message;
  }
}

inline const BITMAPINFOHEADER& HeaderOf(const TZrDIB& DIB) { return DIB.GetInternalDIB()->BitmapInfo.bmiHeader; }

inline RGBQUAD Quad(BYTE Red, BYTE Green, BYTE Blue) { return {Blue, Green, Red, 0}; }
inline bool operator==(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed && a.rgbReserved == b.rgbReserved;
}
