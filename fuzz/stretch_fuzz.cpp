// StretchDIBits with a header, colour table, pixels or RLE stream and both
// rectangles taken from the input, into a memory device context over a DIB
// section and into the painter device context over a QImage. The 24-bit
// memory surface and the painter must leave the very same pixels.

#include <fuzzer/FuzzedDataProvider.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "host/Gdi.h"
#include "host/qt/PainterDevice.h"

namespace {

constexpr int MaxSide = 512;
constexpr int SurfaceSide = 64;

int Coordinate(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 15)) {
    case 0:
      return in.PickValueInArray({INT_MIN, INT_MAX, INT_MIN + 1, INT_MAX - 1, (1 << 27) - 1, -(1 << 27)});
    default:
      return in.ConsumeIntegralInRange(-2 * MaxSide, 2 * MaxSide);
  }
}

int Extent(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 15)) {
    case 0:
      return in.PickValueInArray({INT_MIN, INT_MAX, 0, (1 << 27) - 1, -((1 << 27) - 1), 1 << 27});
    default:
      return in.ConsumeIntegralInRange(-MaxSide, MaxSide);
  }
}

// The starting colour of pixel (x, y) of both 24-bit surfaces, 0x00RRGGBB.
std::uint32_t Start(int x, int y) {
  return static_cast<std::uint32_t>((x * 4) << 16 | (y * 4) << 8 | (x ^ y));
}

// A memory device context with a DIB section of its own; the caller fills and reads it.
struct TMemorySurface {
  TMemorySurface(int bits, bool topDown) {
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = SurfaceSide;
    info->bmiHeader.biHeight = topDown ? -SurfaceSide : SurfaceSide;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bits);
    if (bits <= 8) {
      info->bmiHeader.biClrUsed = 1u << bits;
      for (int i = 0; i < (1 << bits); ++i)
        info->bmiColors[i] = {static_cast<BYTE>(i * 37), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 11), 0};
    }
    dc = CreateCompatibleDC({});
    void* pixels = nullptr;
    section = CreateDIBSection(dc, info.get(), DIB_RGB_COLORS, &pixels, {}, 0);
    Pixels = static_cast<BYTE*>(pixels);
    old = SelectObject(dc, section);
  }
  // Pixel (x, y) of a 24-bit surface, rows from the top.
  BYTE* At(int x, int y) const {
    const int row = info->bmiHeader.biHeight < 0 ? y : SurfaceSide - 1 - y;
    return Pixels + row * SurfaceSide * 3 + x * 3;
  }
  ~TMemorySurface() {
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
  }
  std::unique_ptr<BITMAPINFO> info = std::make_unique<BITMAPINFO>();
  HDC dc;
  HBITMAP section;
  HGDIOBJ old;
  BYTE* Pixels = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "stretch_fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  auto info = std::make_unique<BITMAPINFO>();
  BITMAPINFOHEADER& h = info->bmiHeader;
  h.biSize = in.ConsumeIntegralInRange(0, 15) == 0 ? in.ConsumeIntegral<DWORD>() : sizeof(BITMAPINFOHEADER);
  h.biWidth = in.ConsumeIntegralInRange(-2, MaxSide);
  h.biHeight = in.ConsumeIntegralInRange(-MaxSide, MaxSide);
  h.biPlanes = 1;
  h.biBitCount = in.PickValueInArray<WORD>({1, 4, 8, 24, 1, 4, 8, 24, 16, 32});
  h.biCompression = in.ConsumeIntegralInRange<DWORD>(0, 3);
  h.biClrUsed = in.ConsumeIntegralInRange<DWORD>(0, 300);
  for (auto& c : info->bmiColors) {
    if (in.remaining_bytes() < 4) break;
    c = {in.ConsumeIntegral<BYTE>(), in.ConsumeIntegral<BYTE>(), in.ConsumeIntegral<BYTE>(), 0};
    if (&c - info->bmiColors >= 15 && in.ConsumeBool()) break;
  }

  TStretchRequest r;
  r.XDest = Coordinate(in);
  r.YDest = Coordinate(in);
  r.DestWidth = Extent(in);
  r.DestHeight = Extent(in);
  r.XSrc = Coordinate(in);
  r.YSrc = Coordinate(in);
  r.SrcWidth = Extent(in);
  r.SrcHeight = Extent(in);
  const int surfaceBits = in.PickValueInArray({1, 4, 8, 24});
  const bool topDown = in.ConsumeBool();
  const int transform = in.ConsumeIntegralInRange(0, 3);

  // The pixels: exactly the bytes the header says the call may read.
  const bool rle = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
  std::vector<BYTE> bits;
  if (rle) {
    bits = in.ConsumeRemainingBytes<BYTE>();
    if (bits.empty()) bits.push_back(0);
    h.biSizeImage = static_cast<DWORD>(bits.size());
  } else {
    const long long width = h.biWidth > 0 ? h.biWidth : 1;
    const long long stride = (width * (h.biBitCount ? h.biBitCount : 1) + 31) / 32 * 4;
    const long long rows = h.biHeight == 0 ? 1 : std::llabs(static_cast<long long>(h.biHeight));
    bits = in.ConsumeBytes<BYTE>(static_cast<std::size_t>(stride * rows));
    bits.resize(static_cast<std::size_t>(stride * rows));
  }
  bits.shrink_to_fit();
  const auto call = [&](HDC dc) {
    return StretchDIBits(dc, r.XDest, r.YDest, r.DestWidth, r.DestHeight, r.XSrc, r.YSrc, r.SrcWidth, r.SrcHeight,
                         bits.data(), info.get(), DIB_RGB_COLORS, SRCCOPY);
  };

  // Any memory surface.
  {
    TMemorySurface surface(surfaceBits, topDown);
    call(surface.dc);
  }

  // A 24-bit memory surface and the painter, from the same starting pixels.
  TMemorySurface rgb(24, topDown);
  QImage target(SurfaceSide, SurfaceSide, QImage::Format_RGB32);
  for (int y = 0; y < SurfaceSide; ++y)
    for (int x = 0; x < SurfaceSide; ++x) {
      const std::uint32_t c = Start(x, y);
      BYTE* p = rgb.At(x, y);
      p[0] = static_cast<BYTE>(c);
      p[1] = static_cast<BYTE>(c >> 8);
      p[2] = static_cast<BYTE>(c >> 16);
      target.setPixel(x, y, 0xFF000000u | c);
    }
  int painted = 0;
  {
    QPainter painter(&target);
    // A transformed painter still draws; only the plain one must match the memory surface.
    if (transform == 1) painter.translate(-3, 5);
    if (transform == 2) painter.scale(0.5, 3);
    const TPainterDC dc(painter);
    painted = call(dc.Handle());
  }
  const int drawn = call(rgb.dc);
  if (transform == 0) {
    if (painted != drawn) __builtin_trap();
    for (int y = 0; y < SurfaceSide; ++y)
      for (int x = 0; x < SurfaceSide; ++x) {
        const BYTE* p = rgb.At(x, y);
        if ((target.pixel(x, y) & 0xFFFFFFu) != static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0])) __builtin_trap();
      }
  }
  return 0;
}
