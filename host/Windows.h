#pragma once
// The plain types of the platform layer: colour values, rectangles, handles and the
// bitmap and palette records, laid out as device-independent bitmaps store them.

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;

// A colour value: 0x00BBGGRR, or a system-colour code with the top byte 0x80 (see ColorToRGB).
using TColor = std::int32_t;
using COLORREF = DWORD;

struct TPoint {
  int X = 0;
  int Y = 0;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  // In 64 bits: the extent of (INT_MIN, 0, INT_MAX, 1) does not fit an int.
  std::int64_t Width() const { return static_cast<std::int64_t>(Right) - Left; }
  std::int64_t Height() const { return static_cast<std::int64_t>(Bottom) - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};
inline TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }

// Handles are small numbers naming live objects in a table, so a stale or
// foreign handle is recognised and refused instead of followed.
struct THandleValue {
  std::uintptr_t Value = 0;
  explicit operator bool() const { return Value != 0; }
  friend bool operator==(const THandleValue&, const THandleValue&) = default;
};
struct HANDLE : THandleValue {};   // kernel objects: file mappings
struct HGLOBAL : THandleValue {};  // global memory blocks
struct HDC : THandleValue {};      // device contexts
struct HGDIOBJ : THandleValue {};  // any GDI object
struct HPALETTE : HGDIOBJ {};
struct HBITMAP : HGDIOBJ {};
struct HBRUSH : HGDIOBJ {};
struct HWND : THandleValue {};     // windows; none names the screen

#pragma pack(push, 1)
struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFOHEADER {
  DWORD biSize = 0;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 0;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

struct BITMAPCOREHEADER {
  DWORD bcSize = 0;
  WORD bcWidth = 0;
  WORD bcHeight = 0;
  WORD bcPlanes = 0;
  WORD bcBitCount = 0;
};

struct RGBTRIPLE {
  BYTE rgbtBlue = 0;
  BYTE rgbtGreen = 0;
  BYTE rgbtRed = 0;
};

struct BITMAPFILEHEADER {
  WORD bfType = 0;
  DWORD bfSize = 0;
  WORD bfReserved1 = 0;
  WORD bfReserved2 = 0;
  DWORD bfOffBits = 0;
};
#pragma pack(pop)

// What GetObject tells of a bitmap.
struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(BITMAPCOREHEADER) == 12);
static_assert(sizeof(BITMAPFILEHEADER) == 14);

// The header followed by the largest colour area any DIB here carries: three
// 32-bit masks and 256 colour entries plus one spare.
inline constexpr int BitmapInfoColorEntries = 260;
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[BitmapInfoColorEntries];
};
static_assert(sizeof(BITMAPINFO) == 40 + 1040);

inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;

struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};

// A logical palette record. It holds room for the largest palette; only the
// first palNumEntries entries take part.
struct LOGPALETTE {
  WORD palVersion = 0x0300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[256];
};

inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
inline constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c); }
inline constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>(c >> 8); }
inline constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>(c >> 16); }
