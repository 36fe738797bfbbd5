// The converters that make a new palette of at most 16 or 256 colours: the
// Low method (a 5-6-5 histogram divided as weighted cells), the High method
// (every pixel divided into a decision tree) and 8 bits to 16 colours.

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "dib/ZrDIBReduce.h"
#include "dib/ZrDIBScratch.h"
#include "dib/ZrDIBThreads.h"

namespace {

// Passes over fewer rows run on one core.
constexpr std::int64_t ParallelPixels = std::int64_t{1} << 16;

void CheckTrueColor(const TZrDIBSource& Source, const char* Name) {
  if (Source.Header().biBitCount != 24) throw EZrDIBBadDIBType(std::string(Name) + ": Invalid Bitcount");
}

// Rows enough to be worth a second core.
std::int64_t MinRows(const TZrRows& Rows) { return Rows.Width >= ParallelPixels ? 2 : ParallelPixels / Rows.Width; }

// Every row of the result of 4 or 8 bits, each index from Index(source row, x).
template <class IndexOf>
void WriteRows(const TZrDIBSource& Source, const TZrRows& Rows, TZrDIBData& Result, IndexOf&& Index) {
  const int bits = Result.Header().biBitCount;
  const std::int64_t outStride = DIBStride(bits, Rows.Width);
  SplitInTwo(Rows.Height, MinRows(Rows), [&](std::int64_t Begin, std::int64_t End, int) {
    for (std::int64_t y = Begin; y < End; ++y) {
      const BYTE* in = Source.Bits + y * Rows.Stride;
      PutIndexes(Result.Bits + y * outStride, Rows.Width, bits, [&](std::int64_t x) { return Index(in, x); });
    }
  });
}

void InstallPalette(TZrDIBData& Result, const TZrDividedPalette& Palette) {
  Result.Header().biClrUsed = static_cast<DWORD>(Palette.Count);
  for (int i = 0; i < Palette.Count; ++i) Result.BitmapInfo.bmiColors[i] = Palette.Colors[i];
}

// A cell's count and the sums of its low bits, 16 bits each in one word, so
// that a pixel costs one addition. A cell whose count reaches 2^13 moves into
// the 64-bit totals before any field can overflow (2^13 * 7 < 2^16).
class TLowHistogram {
public:
  TLowHistogram() : FPacked(65536) {}
  void Add(const BYTE* Row, std::int64_t Width) {
    std::uint64_t* cells = FPacked.data();
    for (std::int64_t x = 0; x < Width; ++x) {
      const BYTE* p = Row + 3 * x;
      const std::uint32_t key = (p[2] >> 3) << 11 | (p[1] >> 2) << 5 | (p[0] >> 3);
      std::uint64_t& cell = cells[key];
      cell += 1 | std::uint64_t{p[2] & 7u} << 16 | std::uint64_t{p[1] & 3u} << 32 | std::uint64_t{p[0] & 7u} << 48;
      if (cell & Full) Move(key);
    }
  }
  TZrLowCell Cell(int Key) const {
    TZrLowCell cell = FTotal.empty() ? TZrLowCell{} : FTotal[Key];
    const std::uint64_t packed = FPacked[Key];
    cell.Count += packed & 0xFFFF;
    cell.Red += (packed >> 16) & 0xFFFF;
    cell.Green += (packed >> 32) & 0xFFFF;
    cell.Blue += packed >> 48;
    return cell;
  }

private:
  static constexpr std::uint64_t Full = std::uint64_t{1} << 13;
  void Move(std::uint32_t Key) {
    if (FTotal.empty()) FTotal.resize(65536);
    FTotal[Key] = Cell(static_cast<int>(Key));
    FPacked[Key] = 0;
  }
  std::vector<std::uint64_t> FPacked;
  std::vector<TZrLowCell> FTotal;
};

// The palette index of every 5-6-5 key.
std::vector<BYTE> MakeLowColorTable(const TZrDIBSource& Source, const TZrRows& Rows, int Depth,
                                    TZrDividedPalette& Palette, const TZrConvertProgress& Progress) {
  TLowHistogram histograms[2];
  SplitInTwo(Rows.Height, MinRows(Rows), [&](std::int64_t Begin, std::int64_t End, int Worker) {
    for (std::int64_t y = Begin; y < End; ++y) histograms[Worker].Add(Source.Bits + y * Rows.Stride, Rows.Width);
  });
  std::vector<TColorCell> cells;
  cells.reserve(65536);
  for (int key = 0; key < 65536; ++key) {
    TZrLowCell cell = histograms[0].Cell(key);
    const TZrLowCell other = histograms[1].Cell(key);
    cell.Red += other.Red;
    cell.Green += other.Green;
    cell.Blue += other.Blue;
    cell.Count += other.Count;
    if (cell.Count > 0) cells.push_back(LowCellOf(key, cell));
  }
  DivideCells(cells, Depth, Palette, Progress);
  std::vector<BYTE> table(65536);
  for (const TColorCell& cell : cells) table[cell.Key] = static_cast<BYTE>(cell.Count);
  return table;
}

TZrDIBData ConvertLow(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress, int Depth,
                      const char* Name) {
  CheckTrueColor(Source, Name);
  const TZrRows rows = CheckedRows(Source, Name);
  TZrDIBData result = MakeUncompressed(Source, Depth, UseFMO, Name);
  TZrDividedPalette palette;
  const std::vector<BYTE> table = MakeLowColorTable(Source, rows, Depth, palette, Progress);
  WriteRows(Source, rows, result, [&](const BYTE* Row, std::int64_t x) {
    const BYTE* p = Row + 3 * x;
    return table[(p[2] >> 3) << 11 | (p[1] >> 2) << 5 | (p[0] >> 3)];
  });
  InstallPalette(result, palette);
  return result;
}

// Every pixel in one array, row after row.
void GatherPixels(const TZrDIBSource& Source, const TZrRows& Rows, std::span<TZrPackedColor> Pixels) {
  SplitInTwo(Rows.Height, MinRows(Rows), [&](std::int64_t Begin, std::int64_t End, int) {
    for (std::int64_t y = Begin; y < End; ++y) {
      const BYTE* in = Source.Bits + y * Rows.Stride;
      TZrPackedColor* out = Pixels.data() + y * Rows.Width;
      const std::int64_t last = Rows.Width - 1;
      // Four bytes at a time where the fourth still belongs to the row.
      for (std::int64_t x = 0; x < last; ++x) {
        TZrPackedColor c;
        std::memcpy(&c, in + 3 * x, 4);
        out[x] = c & 0xFFFFFF;
      }
      out[last] = TrueColorAt(in, last);
    }
  });
}

void MakeHighDivideTree(const TZrDIBSource& Source, const TZrRows& Rows, int Depth, TDivideTree& Tree,
                        TZrDividedPalette& Palette, const TZrConvertProgress& Progress, const char* Name) {
  // One item for every pixel of any picture a 24-bit storage holds: four
  // bytes each, past the bytes pixel memory may have.
  constexpr std::int64_t storablePixels = std::numeric_limits<std::int32_t>::max() / 3;
  TZrScratch<TZrPackedColor> copy(Rows.Width * Rows.Height, Name, storablePixels);
  GatherPixels(Source, Rows, copy.Items());
  Tree.Count = 1;
  DivideColors(copy.Items(), Depth, Tree, Palette, Progress);
}

TZrDIBData ConvertHigh(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress, int Depth,
                       const char* Name) {
  CheckTrueColor(Source, Name);
  const TZrRows rows = CheckedRows(Source, Name);
  TZrDIBData result = MakeUncompressed(Source, Depth, UseFMO, Name);
  TDivideTree tree;
  TZrDividedPalette palette;
  MakeHighDivideTree(Source, rows, Depth, tree, palette, Progress, Name);
  // Both depths report a node of no known kind under the 8-bit converter's name.
  const TZrColorClassifier classifier(tree, Depth, "ConvertTrueColorTo8BitRGBHigh");
  const std::int64_t outStride = DIBStride(Depth, rows.Width);
  SplitInTwo(rows.Height, MinRows(rows), [&](std::int64_t Begin, std::int64_t End, int) {
    // A run of pixels at a time: colours gathered, classified four by four.
    constexpr std::int64_t run = 256;
    TZrPackedColor colors[run];
    BYTE indexes[run];
    for (std::int64_t y = Begin; y < End; ++y) {
      const BYTE* in = Source.Bits + y * rows.Stride;
      BYTE* out = result.Bits + y * outStride;
      for (std::int64_t x0 = 0; x0 < rows.Width; x0 += run) {
        const std::int64_t n = std::min(run, rows.Width - x0);
        for (std::int64_t i = 0; i < n; ++i) colors[i] = TrueColorAt(in, x0 + i);
        std::int64_t i = 0;
        for (; i + 4 <= n; i += 4) classifier.Classify4(colors + i, indexes + i);
        for (; i < n; ++i) indexes[i] = classifier.Classify(colors[i]);
        // Runs are even, so 4-bit pairs never straddle two runs.
        PutIndexes(out + (Depth == 8 ? x0 : x0 / 2), n, Depth, [&](std::int64_t x) { return indexes[x]; });
      }
    }
  });
  InstallPalette(result, palette);
  return result;
}

// The new index of every old one: one weighted cell per colour-table entry in use.
std::array<BYTE, 256> MakePaletteMap(const TZrDIBSource& Source, const TZrRows& Rows, TZrDividedPalette& Palette,
                                     const TZrConvertProgress& Progress) {
  std::uint64_t counts[2][256] = {};
  SplitInTwo(Rows.Height, MinRows(Rows), [&](std::int64_t Begin, std::int64_t End, int Worker) {
    for (std::int64_t y = Begin; y < End; ++y) {
      const BYTE* in = Source.Bits + y * Rows.Stride;
      for (std::int64_t x = 0; x < Rows.Width; ++x) ++counts[Worker][in[x]];
    }
  });
  std::vector<TColorCell> cells;
  for (int i = 0; i < 256; ++i) {
    const std::uint64_t count = counts[0][i] + counts[1][i];
    if (count == 0) continue;
    const RGBQUAD& q = Source.BitmapInfo->bmiColors[i];
    cells.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue, static_cast<std::int32_t>(count), i});
  }
  DivideCells(cells, 4, Palette, Progress);
  std::array<BYTE, 256> map{};
  for (const TColorCell& cell : cells) map[cell.Key] = static_cast<BYTE>(cell.Count);
  return map;
}

}  // namespace

TColorCell LowCellOf(std::int32_t Key, const TZrLowCell& Cell) {
  TColorCell c;
  c.Red = static_cast<std::int32_t>((Key >> 11) * 8 + Cell.Red / Cell.Count);
  c.Green = static_cast<std::int32_t>(((Key >> 5) & 0x3F) * 4 + Cell.Green / Cell.Count);
  c.Blue = static_cast<std::int32_t>((Key & 0x1F) * 8 + Cell.Blue / Cell.Count);
  c.Count = static_cast<std::int32_t>(Cell.Count);
  c.Key = Key;
  return c;
}

TZrDIBData ConvertTrueColorTo8BitRGBLow(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress) {
  return ConvertLow(Source, UseFMO, Progress, 8, "ConvertTrueColorTo8BitRGBLow");
}

TZrDIBData ConvertTrueColorTo4BitRGBLow(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress) {
  return ConvertLow(Source, UseFMO, Progress, 4, "ConvertTrueColorTo4BitRGBLow");
}

TZrDIBData ConvertTrueColorTo8BitRGBHigh(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress) {
  return ConvertHigh(Source, UseFMO, Progress, 8, "ConvertTrueColorTo8BitRGBHigh");
}

TZrDIBData ConvertTrueColorTo4BitRGBHigh(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress) {
  return ConvertHigh(Source, UseFMO, Progress, 4, "ConvertTrueColorTo4BitRGBHigh");
}

TZrDIBData Convert8BitRGBTo4BitRGB(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress) {
  constexpr const char* name = "Convert8BitRGBTo4BitRGB";
  const auto& header = Source.Header();
  if (header.biBitCount != 8 || header.biCompression != BI_RGB)
    throw EZrDIBBadDIBType("Convert8BitRGBTo4BitRGB: Invalid Bitcount or Compression");
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 4, UseFMO, name);

  TZrDividedPalette palette;
  const std::array<BYTE, 256> map = MakePaletteMap(Source, rows, palette, Progress);
  WriteRows(Source, rows, result, [&](const BYTE* Row, std::int64_t x) { return map[Row[x]]; });
  InstallPalette(result, palette);
  return result;
}
