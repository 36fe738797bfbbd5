#include "dib/ZrDIB.h"

#include <cstring>

#include "dib/ZrDIBHalfTone.h"
#include "dib/ZrDIBMemory.h"
#include "host/Gdi.h"

namespace {

// Tells the picture container about TZrDIB for as long as the library is loaded.
// Living in the same object file as TZrDIB's constructor, it is linked whenever
// a DIB can be made.
struct TZrDIBRegistrar {
  TZrDIBRegistrar() {
    // Touch the GDI object table so it is built before, and so destroyed after,
    // this object, whose destructor still deletes the shared palettes (the
    // memory pool does the same for the kernel's table).
    GetObjectType(HGDIOBJ{});
    OpenSpareMemory();
    TPicture::RegisterFileFormat("dib", "Device Independent Bitmap", &TZrDIB::Create);
    TPicture::RegisterClipboardFormat(8, &TZrDIB::Create);
  }
  ~TZrDIBRegistrar() {
    FreeHalfTonePalettes();
    CloseSpareMemory();
    TPicture::UnregisterGraphicClass(&TZrDIB::Create);
  }
  TZrDIBRegistrar(const TZrDIBRegistrar&) = delete;
  TZrDIBRegistrar& operator=(const TZrDIBRegistrar&) = delete;
};

const TZrDIBRegistrar Registrar;

}  // namespace

std::unique_ptr<TGraphic> TZrDIB::Create() { return std::make_unique<TZrDIB>(); }

TZrDIB::TZrDIB() {
  FInternalDIB = std::make_unique<TZrInternalDIB>(DefaultUseFMO).release();
  UpdatePaletteModified();
}

TZrDIB::~TZrDIB() {
  // Only a caller that released the storage by hand leaves none here.
  if (FInternalDIB) ReleaseInternalDIB();
}

void TZrDIB::ReleaseInternalDIB() {
  Assert(FInternalDIB != nullptr, "TZRDIB.ReleaseInternalDIB: InternalDIB should not be Nil");
  if (--FInternalDIB->RefCount == 0) delete FInternalDIB;
  FInternalDIB = nullptr;
}

void TZrDIB::ReplaceInternalDIB(std::unique_ptr<TZrInternalDIB> Fresh) {
  ReleaseInternalDIB();
  FInternalDIB = Fresh.release();
  UpdatePaletteModified();
  SetModified(true);
}

std::unique_ptr<TZrInternalDIB> TZrDIB::MakeBlankStorage(int AWidth, int AHeight, int ColorCount,
                                                         int BitCount) const {
  auto fresh = std::make_unique<TZrInternalDIB>(FInternalDIB->UseFMO, TZrInternalDIB::NoPixels);
  fresh->CreateDIB(AWidth, AHeight, ColorCount, BitCount);
  return fresh;
}

void TZrDIB::UniqueDIB() {
  Assert(FInternalDIB != nullptr, "TZrDIB.UniqueDIB: InternalDIB Should not be Nil");
  if (FInternalDIB->RefCount == 1) return;
  const TZrInternalDIB& shared = *FInternalDIB;
  auto fresh = std::make_unique<TZrInternalDIB>(shared.UseFMO, TZrInternalDIB::NoPixels);
  fresh->Width = shared.Width;
  fresh->Height = shared.Height;
  fresh->BitmapInfo = shared.BitmapInfo;
  GetMemory(shared.ImageSize, fresh->UseFMO, fresh->FileMapping, fresh->Bits);
  fresh->ImageSize = shared.ImageSize;
  std::memcpy(fresh->Bits, shared.Bits, static_cast<std::size_t>(shared.ImageSize));
  fresh->PaletteChanged = true;
  ReleaseInternalDIB();
  FInternalDIB = fresh.release();
  UpdatePaletteModified();
}

// --- size and depth ---------------------------------------------------------------

bool TZrDIB::GetEmpty() const {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetEmpty: InternalDIB Should not be Nil");
  return false;
}

int TZrDIB::GetWidth() const {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetWidth: InternalDIB Should not be Nil");
  return FInternalDIB->Width;
}

int TZrDIB::GetHeight() const {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetHeight: InternalDIB Should not be Nil");
  return FInternalDIB->Height;
}

int TZrDIB::GetBitCount() const {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetBitCount: InternalDIB Should not be Nil");
  return FInternalDIB->BitmapInfo.bmiHeader.biBitCount;
}

void TZrDIB::SetWidth(int Value) {
  Assert(FInternalDIB != nullptr, "TZrDIB.SetWidth: InternalDIB Should not be Nil");
  if (Value <= 0) throw EZrDIBInvalidDIBPara("TZrDIB.SetWidth: Invalid Width");
  if (Value == FInternalDIB->Width) return;
  const auto& header = FInternalDIB->BitmapInfo.bmiHeader;
  ReplaceInternalDIB(MakeBlankStorage(Value, FInternalDIB->Height, static_cast<int>(header.biClrUsed),
                                      header.biBitCount));
}

void TZrDIB::SetHeight(int Value) {
  Assert(FInternalDIB != nullptr, "TZrDIB.SetWidth: InternalDIB Should not be Nil");
  if (Value == 0) throw EZrDIBInvalidDIBPara("TZrDIB.SetWidth: Invalid Height");
  if (Value == FInternalDIB->Height) return;
  const auto& header = FInternalDIB->BitmapInfo.bmiHeader;
  ReplaceInternalDIB(MakeBlankStorage(FInternalDIB->Width, Value, static_cast<int>(header.biClrUsed),
                                      header.biBitCount));
}

void TZrDIB::SetBitCount(int Value) {
  Assert(FInternalDIB != nullptr, "TZrDIB.SetBitCount: InternalDIB Should not be Nil");
  if (Value != 1 && Value != 4 && Value != 8 && Value != 24)
    throw EZrDIBInvalidDIBPara("TZrDIB.SetBitCount: Invalid BitCount");
  if (Value == FInternalDIB->BitmapInfo.bmiHeader.biBitCount) return;
  ReplaceInternalDIB(MakeBlankStorage(FInternalDIB->Width, FInternalDIB->Height, NumColorsOf(Value), Value));
}

// --- pixels -----------------------------------------------------------------------

std::span<BYTE> TZrDIB::GetScanLine(int y) {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetScanLine: InternalDIB Should not be Nil");
  if (FInternalDIB->RefCount != 1) {
    UniqueDIB();
    UpdatePaletteModified();
  }
  const TZrInternalDIB& dib = *FInternalDIB;
  if (y < 0 || y >= dib.Height) throw EZrDIBPixelPositionRange("TZrDIB.GetScanLine: y is Out of Range");
  const auto& header = dib.BitmapInfo.bmiHeader;
  if (header.biCompression != BI_RGB) throw EZrDIBBadDIBType("TZrDIB.GetScanLine: Bad DIB Type");
  const std::int64_t stride = DIBStride(header.biBitCount, header.biWidth);
  const std::int64_t row = header.biHeight > 0 ? dib.Height - 1 - y : y;
  // A loaded header may promise more rows than its pixel data hold.
  if (stride <= 0 || (row + 1) * stride > dib.ImageSize)
    throw EZrDIBPixelPositionRange("TZrDIB.GetScanLine: y is Out of Range");
  return dib.Pixels().subspan(static_cast<std::size_t>(row * stride), static_cast<std::size_t>(stride));
}

TZrPixelFormat TZrDIB::GetPixelFormat() const {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetPixelFormat: InternalDIB Should not be Nil");
  return FInternalDIB->GetPixelFormat();
}

bool TZrDIB::GetUseFMO() const {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetUseFMO: InternalDIB Should not be Nil");
  return FInternalDIB->UseFMO;
}
