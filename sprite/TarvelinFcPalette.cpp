#include "sprite/TarvelinFcPalette.h"

#include "host/Application.h"
#include "host/Classes.h"
#include "host/Translate.h"

TFcPaletteData::TFcPaletteData(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  if (file.GetSize() != static_cast<std::int64_t>(FData.size()))
    ShowMessage(Translate("TarvelinFcPalette", "パレットが見つかりません"));
  // A short file leaves the rest black; bytes past 192 are never read.
  file.Read(FData.data(), static_cast<std::int64_t>(FData.size()));
  MakeColors();
}

TFcPaletteData::TFcPaletteData(const std::array<std::uint8_t, 192>& Data) : FData(Data) { MakeColors(); }

void TFcPaletteData::MakeColors() {
  for (std::size_t n = 0; n < FColors.size(); ++n) {
    FColors[n] = FData[3 * n] + 256u * FData[3 * n + 1] + 65536u * FData[3 * n + 2];
  }
}
