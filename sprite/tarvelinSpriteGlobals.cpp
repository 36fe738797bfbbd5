#include "sprite/tarvelinSpriteGlobals.h"

TPrgData PrgData{};
TChrData ChrData{};
TRomDocument RomDocument(PrgData, ChrData);
std::unique_ptr<TFcPaletteData> FcPalette;

#include "sprite/TarvelinDrawSprite.h"

std::unique_ptr<TDrawSprite> SpriteDrawer;
