#include "app/tarvelinSpriteGlobals.h"

TPrgData PrgData{};
TChrData ChrData{};
std::unique_ptr<TFcPaletteData> FcPalette;
