#include "dib/ZrDIB.h"

// Writes a BMP file: header, colour table and pixels exactly as stored, so
// compressed or top-down content stays so.
void TZrDIB::SaveToStream(TStream& Stream) {
  Assert(FInternalDIB != nullptr, "TZrDIB.SaveToStream: InternalDIB Should not be Nil");
  const TZrInternalDIB& dib = *FInternalDIB;
  const auto colorBytes = static_cast<std::int64_t>(dib.BitmapInfo.bmiHeader.biClrUsed) * sizeof(RGBQUAD);
  const auto infoBytes = static_cast<std::int64_t>(sizeof(BITMAPINFOHEADER)) + colorBytes;
  BITMAPFILEHEADER file;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + infoBytes);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(dib.ImageSize);
  Stream.WriteBuffer(&file, sizeof file);
  Stream.WriteBuffer(&dib.BitmapInfo, infoBytes);
  Stream.WriteBuffer(dib.Bits, dib.ImageSize);
}
