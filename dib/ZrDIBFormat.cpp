// TZrDIB's PixelFormat property: the conversion itself is the storage's.

#include <algorithm>
#include <iterator>

#include "dib/ZrDIB.h"
#include "host/Graphics.h"

namespace {

// The conversions long enough to report progress: those that reduce colours.
struct TProgressRow {
  TZrPixelFormat Current;
  TZrPixelFormat Target;
  const char* Message;
  std::int32_t Total;
};

constexpr TProgressRow ProgressRows[] = {
    {zrpf8Bit, zrpf4Bit, "PixelFormat 8Bit -> 4Bit", 16},
    {zrpf8Bit, zrpf4BitRLE, "PixelFormat 8Bit -> 4BitRLE", 16},
    {zrpf8BitRLE, zrpf4Bit, "PixelFormat 8BitRLE -> 4Bit", 16},
    {zrpf8BitRLE, zrpf4BitRLE, "PixelFormat 8BitRLE -> 4BitRLE", 16},
    {zrpf24Bit, zrpf4Bit, "PixelFormat 24Bit -> 4Bit", 16},
    {zrpf24Bit, zrpf4BitRLE, "PixelFormat 24Bit -> 4BitRLE", 16},
    {zrpf24Bit, zrpf8Bit, "PixelFormat 24Bit -> 8Bit", 256},
    {zrpf24Bit, zrpf8BitRLE, "PixelFormat 24Bit -> 8BitRLE", 256},
};

}  // namespace

void TZrDIB::SetPixelFormat(TZrPixelFormat Format) {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetPixelFormat: InternalDIB Should not be Nil");
  const TZrPixelFormat current = FInternalDIB->GetPixelFormat();
  if (Format == current) return;
  UniqueDIB();

  const TRect area{0, 0, FInternalDIB->Width, FInternalDIB->Height};
  const auto row = std::find_if(std::begin(ProgressRows), std::end(ProgressRows), [&](const TProgressRow& r) {
    return r.Current == current && r.Target == Format;
  });
  const bool reporting = row != std::end(ProgressRows);
  if (reporting) {
    FProgressMessage = row->Message;
    FProgressTotal = row->Total;
    FProgressCount = 0;
    Progress(this, TProgressStage::psStarting, 0, false, area, FProgressMessage);
  }
  const auto finish = [&] {
    UpdatePaletteModified();
    if (reporting) Progress(this, TProgressStage::psEnding, 100, true, area, FProgressMessage);
  };
  try {
    FInternalDIB->SetPixelsFormat(Format, FConvertMode, [this] { ConvertProgress(); }, ColorToRGB(FMaskColor));
  } catch (...) {
    finish();
    throw;
  }
  finish();
  UpdatePaletteModified();
  SetModified(true);
}

void TZrDIB::ConvertProgress() {
  if (++FProgressCount == FProgressTotal) return;
  const TRect area{0, 0, FInternalDIB->Width, FInternalDIB->Height};
  const auto percent = FProgressTotal > 0 ? static_cast<std::int64_t>(FProgressCount) * 100 / FProgressTotal : 0;
  Progress(this, TProgressStage::psRunning, static_cast<BYTE>(percent), false, area, FProgressMessage);
}
