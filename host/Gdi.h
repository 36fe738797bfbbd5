#pragma once
// The graphics device interface of the platform layer: logical palettes, brushes,
// device contexts, DIB sections and StretchDIBits. Like the platform it models,
// failures return a null handle, 0 or GDI_ERROR rather than throwing.

#include <cstddef>
#include <cstdint>

#include "host/Windows.h"

// --- objects and palettes ---------------------------------------------------

inline constexpr UINT GDI_ERROR = 0xFFFFFFFFu;

enum : UINT { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_BITMAP = 7, OBJ_MEMDC = 10 };
enum : int { WHITE_BRUSH = 0, BLACK_BRUSH = 4, DEFAULT_PALETTE = 15 };

// Copies palNumEntries (1..256) entries; a record with none yields a null handle.
HPALETTE CreatePalette(const LOGPALETTE* Palette);
// Copies up to Count entries from Start and returns how many; with Entries null,
// returns the palette's number of entries. 0 for a handle that names no palette.
UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries);
// Frees a palette, brush or bitmap. Stock objects and objects selected into a DC
// are not freed and report FALSE, as do handles that name nothing.
BOOL DeleteObject(HGDIOBJ Object);
// OBJ_PAL, OBJ_BRUSH, OBJ_BITMAP, or 0 for a handle that names nothing.
UINT GetObjectType(HGDIOBJ Object);
// The stock palette every device context starts with (DEFAULT_PALETTE: the 20 static
// colours) and the stock brushes (WHITE_BRUSH, every context's first, and BLACK_BRUSH).
HGDIOBJ GetStockObject(int Object);
// Fills Object with the record of a bitmap (a BITMAP) or a palette (its WORD
// number of entries) when Count bytes hold it; with Object null, returns the
// size it needs. Returns the bytes written, 0 on failure.
int GetObject(HGDIOBJ Handle, int Count, void* Object);
// The palette entry nearest to a colour (squared RGB distance, lowest index on ties).
UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color);

// --- brushes ------------------------------------------------------------------

HBRUSH CreateSolidBrush(COLORREF Color);

// --- device contexts ------------------------------------------------------------

inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr DWORD SRCCOPY = 0x00CC0020;

// A memory device context compatible with the screen (Dc none) or with Dc. It
// starts with a 1 x 1 monochrome bitmap and the default palette selected.
HDC CreateCompatibleDC(HDC Dc);
BOOL DeleteDC(HDC Dc);
// Selects a bitmap or brush and returns the one it replaces (null on failure).
HGDIOBJ SelectObject(HDC Dc, HGDIOBJ Object);
HGDIOBJ GetCurrentObject(HDC Dc, UINT ObjectType);
HPALETTE SelectPalette(HDC Dc, HPALETTE Palette, BOOL ForceBackground);
// Maps the selected palette onto the device; returns the number of entries mapped or GDI_ERROR.
UINT RealizePalette(HDC Dc);
// Returns the previous mode, or 0 on failure.
int SetStretchBltMode(HDC Dc, int Mode);
int GetStretchBltMode(HDC Dc);

// Stretches the source rectangle of a packed DIB (header, colour table, Bits)
// onto the destination rectangle by nearest neighbour; negative destination
// extents mirror. Returns the number of source rows drawn, or 0 when nothing
// could be drawn (a header it cannot draw, pixels it cannot decode).
int StretchDIBits(HDC Dc, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void* Bits, const BITMAPINFO* BitsInfo, UINT Usage, DWORD Rop);

// A DIB section: a bitmap whose pixels lie in a view of the file mapping Section
// from Offset (or in fresh memory when Section is none). Bits receives the view.
HBITMAP CreateDIBSection(HDC Dc, const BITMAPINFO* Info, UINT Usage, void** Bits, HANDLE Section, DWORD Offset);

// Copies ScanLines rows of Bitmap, from row StartScan in the order of the DIB
// that Info describes (its width and row count must be the bitmap's), into
// Bits as uncompressed rows of Info's bit count, and fills Info's colour table
// with the bitmap's. An indexed bitmap can be read at its own depth or at 24
// bits, a 24-bit one only at 24. Returns the rows copied, 0 on failure.
int GetDIBits(HDC Dc, HBITMAP Bitmap, UINT StartScan, UINT ScanLines, void* Bits, BITMAPINFO* Info, UINT Usage);

// A device context of the screen (Window none): a true-colour device that
// takes any drawing and shows none, as this host has no display of its own.
// Each call makes a new one, freed by ReleaseDC. Other windows have none.
HDC GetDC(HWND Window);
int ReleaseDC(HWND Window, HDC Dc);

int FillRect(HDC Dc, const TRect* Rect, HBRUSH Brush);
// The colour of a pixel of the surface, or CLR_INVALID outside it.
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
COLORREF GetPixel(HDC Dc, int X, int Y);
