#pragma once
// TZrDIB: a device-independent bitmap graphic over shared, reference-counted,
// copy-on-write storage (TZrInternalDIB).

#include <memory>
#include <span>
#include <string>

#include "dib/ZrDIBErrors.h"
#include "dib/ZrDIBInternal.h"
#include "dib/ZrGraph.h"

class TBitmap;

class TZrDIB : public TZrGraphic {
public:
  // A 1 x 1, 8-bit DIB with 256 black colours; its storage takes DefaultUseFMO.
  TZrDIB();
  ~TZrDIB() override;
  TZrDIB(const TZrDIB&) = delete;
  TZrDIB& operator=(const TZrDIB&) = delete;
  const char* ClassName() const override { return "TZrDIB"; }

  // The virtual constructor, as registered with TPicture.
  static std::unique_ptr<TGraphic> Create();
  TGraphicClass ClassType() const override { return &Create; }
  WORD GetClipboardFormat() override { return 8; }  // CF_DIB

  // Stretches the whole DIB into Rect of the canvas.
  void Draw(TCanvas& ACanvas, const TRect& Rect) override;

  bool GetEmpty() const override;  // a DIB is never empty
  int GetWidth() const override;
  int GetHeight() const override;  // the positive row count
  // Both make a blank DIB of the new size; a negative height asks for top-down rows.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  int GetBitCount() const;
  // Discards the content: a blank DIB of the new depth.
  void SetBitCount(int Value);

  // The palette to realise; the DIB keeps ownership.
  HPALETTE GetPalette() override;
  // Takes over a Value handed over, copies one that the library or another DIB
  // owns (none clears the palette).
  void SetPalette(HPALETTE Value) override;
  void SetColors(int Index, TColor Color);

  // Row y, 0 the top row, as wide as the stride. Unshares first; raises no change.
  std::span<BYTE> GetScanLine(int y);
  TZrPixelFormat GetPixelFormat() const;
  // Converts the pixels, keeping them where the new format can; reports
  // progress for the conversions that reduce colours.
  void SetPixelFormat(TZrPixelFormat Format);
  // One step of the running conversion.
  void ConvertProgress();
  bool GetUseFMO() const;

  BYTE GetDrawMode() const { return FDrawMode; }
  void SetDrawMode(BYTE Value) { FDrawMode = Value; }
  BYTE GetConvertMode() const { return FConvertMode; }
  void SetConvertMode(BYTE Value) { FConvertMode = Value; }
  TColor GetMaskColor() const { return FMaskColor; }
  void SetMaskColor(TColor Value) { FMaskColor = Value; }
  std::int32_t GetProgressCount() const { return FProgressCount; }
  std::int32_t GetProgressTotal() const { return FProgressTotal; }
  const std::string& GetProgressMessage() const { return FProgressMessage; }

  // Takes a private copy of a shared storage.
  void UniqueDIB();
  // None: a new blank DIB. Another TZrDIB: shares its storage, copying no
  // pixel. A host bitmap: its pixels read back into a DIB of its depth.
  // Anything else (the clipboard object included) goes to the graphic base.
  void Assign(TPersistent* Source) override;
  void ReleaseInternalDIB();
  void UpdatePaletteModified();
  // The storage, for the canvas and for callers that read the DIB's raw form.
  TZrInternalDIB* GetInternalDIB() const { return FInternalDIB; }

  // Replaces the content with the BMP file at the stream's position.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // A packed DIB in CF_DIB; the palette handle is not used.
  void LoadFromClipboardFormat(WORD AFormat, HGLOBAL AData, HPALETTE APalette) override;
  // A new packed DIB that the caller owns, in CF_DIB, with no palette handle.
  void SaveToClipboardFormat(WORD& AFormat, HGLOBAL& AData, HPALETTE& APalette) override;

protected:
  // To another TZrDIB (which then shares the storage) or a host bitmap.
  void AssignTo(TPersistent* Dest) override;

private:
  // Installs a complete new storage in place of the current one.
  void ReplaceInternalDIB(std::unique_ptr<TZrInternalDIB> Fresh);
  std::unique_ptr<TZrInternalDIB> MakeBlankStorage(int AWidth, int AHeight, int ColorCount, int BitCount) const;
  void DrawDirect(TCanvas& ACanvas, const TRect& Rect);
  void AssignFromBitmap(TBitmap& Source);
  void AssignToBitmap(TBitmap& Dest);

  // Owned jointly with the other sharers through its RefCount.
  TZrInternalDIB* FInternalDIB = nullptr;
  BYTE FConvertMode = 0;
  TColor FMaskColor = 0xFFFFFF;
  BYTE FDrawMode = 0;
  std::int32_t FProgressCount = 0;
  std::int32_t FProgressTotal = 0;
  std::string FProgressMessage;
};
