#pragma once
// Independent reckonings of the colour reductions and the half-tone diffusion,
// written straight from their rules, slow and plain, for tests to compare with.

#include <array>
#include <cmath>
#include <map>
#include <vector>

struct TRefColor {
  int R = 0, G = 0, B = 0;
  friend bool operator==(const TRefColor&, const TRefColor&) = default;
  friend auto operator<=>(const TRefColor&, const TRefColor&) = default;
};

// An item of the division: a colour standing for W pixels, known by Id.
struct TRefItem {
  TRefColor C;
  long long W;
  int Id;
};

// Divides Items down to Depth levels, upper parts first; appends each leaf's
// rounded mean to Palette and records every item's leaf in IndexOf[Id].
inline void RefDivide(const std::vector<TRefItem>& Items, int Depth, int Level, std::vector<TRefColor>& Palette,
                      std::vector<int>& IndexOf) {
  if (Items.empty()) return;
  long double n = 0, s[3] = {0, 0, 0}, q[3] = {0, 0, 0};
  for (const auto& it : Items) {
    const int c[3] = {it.C.R, it.C.G, it.C.B};
    n += it.W;
    for (int k = 0; k < 3; ++k) {
      s[k] += static_cast<long double>(it.W) * c[k];
      q[k] += static_cast<long double>(it.W) * c[k] * c[k];
    }
  }
  if (Level == Depth) {
    // nearbyint rounds halves to even in the default rounding mode.
    Palette.push_back({static_cast<int>(std::nearbyint(s[0] / n)), static_cast<int>(std::nearbyint(s[1] / n)),
                       static_cast<int>(std::nearbyint(s[2] / n))});
    for (const auto& it : Items) IndexOf[it.Id] = static_cast<int>(Palette.size()) - 1;
    return;
  }
  long double m[3], v[3];
  for (int k = 0; k < 3; ++k) {
    m[k] = s[k] / n;
    v[k] = q[k] / n - m[k] * m[k];
  }
  const long double R = 3 * v[0], G = 4 * v[1], B = 2 * v[2];
  const int ch = (R >= G && R >= B) ? 0 : (G >= B ? 1 : 2);
  std::vector<TRefItem> lower, upper;
  for (const auto& it : Items) {
    const int c[3] = {it.C.R, it.C.G, it.C.B};
    (c[ch] <= m[ch] ? lower : upper).push_back(it);
  }
  RefDivide(upper, Depth, Level + 1, Palette, IndexOf);
  RefDivide(lower, Depth, Level + 1, Palette, IndexOf);
}

struct TRefReduced {
  std::vector<TRefColor> Palette;
  std::vector<int> Index;  // per pixel, in the order given
};

// The High method: every pixel its own item.
inline TRefReduced RefHigh(const std::vector<TRefColor>& Pixels, int Depth) {
  std::vector<TRefItem> items;
  for (std::size_t i = 0; i < Pixels.size(); ++i) items.push_back({Pixels[i], 1, static_cast<int>(i)});
  TRefReduced out;
  std::vector<int> index(Pixels.size(), -1);
  RefDivide(items, Depth, 0, out.Palette, index);
  out.Index = index;
  return out;
}

// The Low method: one item per 5-6-5 cell, its colour the truncated mean.
inline TRefReduced RefLow(const std::vector<TRefColor>& Pixels, int Depth) {
  auto key = [](const TRefColor& c) { return (c.R / 8) * 2048 + (c.G / 4) * 32 + c.B / 8; };
  std::map<int, std::vector<TRefColor>> cells;
  for (const auto& p : Pixels) cells[key(p)].push_back(p);
  std::vector<TRefItem> items;
  for (const auto& [k, members] : cells) {
    long long r = 0, g = 0, b = 0;
    const auto n = static_cast<long long>(members.size());
    for (const auto& p : members) {
      r += p.R % 8;
      g += p.G % 4;
      b += p.B % 8;
    }
    items.push_back({{(k / 2048) * 8 + static_cast<int>(r / n), ((k / 32) % 64) * 4 + static_cast<int>(g / n),
                      (k % 32) * 8 + static_cast<int>(b / n)},
                     n, k});
  }
  TRefReduced out;
  std::vector<int> index(65536, -1);
  RefDivide(items, Depth, 0, out.Palette, index);
  for (const auto& p : Pixels) out.Index.push_back(index[key(p)]);
  return out;
}

// Serpentine diffusion over Rows (memory order, row 0 first). Returns per
// pixel the colour-cube index (Colour true) or 1 for white, 0 for black.
inline std::vector<std::vector<int>> RefHalfTone(const std::vector<std::vector<TRefColor>>& Rows, bool Colour) {
  const int levels[3][7] = {{0, 51, 102, 153, 204, 255}, {0, 43, 85, 128, 171, 214, 255}, {0, 64, 128, 192, 255}};
  const int highest[3][6] = {{25, 76, 127, 178, 230, 1000}, {21, 63, 106, 149, 192, 233}, {31, 95, 159, 223, 1000}};
  const int count[3] = {6, 7, 5};
  const int width = static_cast<int>(Rows[0].size());
  std::vector<std::vector<int>> out;
  std::vector<std::array<int, 3>> previous(width + 2), current(width + 2);
  for (std::size_t y = 0; y < Rows.size(); ++y) {
    previous = current;
    std::array<int, 3> last{0, 0, 0};
    std::vector<int> row(width);
    for (int i = 0; i < width; ++i) {
      const bool even = y % 2 == 0;
      const int x = even ? i : width - 1 - i;
      const int p[3] = {Rows[y][x].R, Rows[y][x].G, Rows[y][x].B};
      int v[3], e[3], level[3];
      for (int c = 0; c < 3; ++c) {
        const int s = 12 * previous[x + 1][c] + 12 * last[c] + 5 * (even ? previous[x][c] : previous[x + 2][c]);
        v[c] = p[c] - s / 32;  // C++ division truncates toward zero
        level[c] = 0;
        while (level[c] < count[c] - 1 && v[c] > highest[c][level[c]]) ++level[c];
        e[c] = levels[c][level[c]] - v[c];
      }
      if (Colour) {
        row[x] = level[0] * 35 + level[1] * 5 + level[2];
      } else {
        const bool white = v[0] + v[1] + v[2] >= 384;
        for (int c = 0; c < 3; ++c) e[c] = (white ? 255 : 0) - v[c];
        row[x] = white;
      }
      for (int c = 0; c < 3; ++c) current[x + 1][c] = last[c] = e[c];
    }
    out.push_back(row);
  }
  return out;
}

// Colour of half-tone palette entry i below 210.
inline TRefColor RefHalfToneColor(int i) {
  const int r[] = {0, 51, 102, 153, 204, 255}, g[] = {0, 43, 85, 128, 171, 214, 255}, b[] = {0, 64, 128, 192, 255};
  return {r[i / 35], g[i / 5 % 7], b[i % 5]};
}
