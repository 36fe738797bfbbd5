#include <memory>

#include "host/DeviceContext.h"
#include "host/Gdi.h"

namespace {

// The screen of a host without a display: drawing lands nowhere.
class TScreenDevice final : public TDevice {
 public:
  int StretchDIBits(const TStretchRequest& Request, const TDibSource& Source) override {
    const auto geometry = StretchGeometry(Request, Source);
    return geometry ? geometry->RowsInside(Source.Height) : 0;
  }
  void FillRect(const TRect&, COLORREF) override {}
  COLORREF GetPixel(int, int) override { return CLR_INVALID; }
};

}  // namespace

HDC GetDC(HWND Window) {
  if (Window) return {};
  return CreateDeviceContext(std::make_unique<TScreenDevice>());
}

int ReleaseDC(HWND Window, HDC Dc) {
  if (Window) return 0;
  return DeleteDC(Dc) ? 1 : 0;
}
