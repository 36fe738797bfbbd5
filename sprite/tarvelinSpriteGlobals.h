#pragma once
// The process-wide objects shared by the window, both pages and the renderer.

#include <memory>

#include "sprite/TarvelinFcPalette.h"
#include "rom/TarvelinFileIO.h"
#include "rom/TarvelinRomDocument.h"

// The ROM image; zero until a load, written only by loading and clearing.
extern TPrgData PrgData;
extern TChrData ChrData;
// What was loaded into them, and every edit of them since.
extern TRomDocument RomDocument;

// Made by the window's creation handler; null before that or when it failed.
extern std::unique_ptr<TFcPaletteData> FcPalette;

class TDrawSprite;
// The renderer over ChrData; made at each successful load, null before the first.
extern std::unique_ptr<TDrawSprite> SpriteDrawer;
