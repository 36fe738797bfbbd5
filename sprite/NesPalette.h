#pragma once
// The NES 2C02 master palette, built in so the viewer and the palette maker
// share one copy.

#include <array>
#include <cstdint>

// 64 entries of red, green, blue in NES colour-number order ($00..$3F).
const std::array<std::uint8_t, 192>& NesMasterPalette();
