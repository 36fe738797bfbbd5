#include "host/GdiRle.h"

#include <algorithm>
#include <vector>

namespace {

class TRleReader {
 public:
  explicit TRleReader(const TDibSource& Source) : FData(Source.Bits), FSize(Source.ImageSize) {}
  bool Has(std::size_t Count) const { return FSize - FPos >= Count; }
  BYTE Next() { return FData[FPos++]; }
  void Skip(std::size_t Count) { FPos += Count; }

 private:
  const BYTE* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};

// Where the stream is and what it has set of the row it is on. Stream rows
// count upwards from the bottom of the picture; x only grows within a row, so
// one cursor walks the asked columns.
class TRleRows {
 public:
  TRleRows(const TDibSource& Source, std::span<const int> Columns, std::span<const int> Rows, const TRleRowSink& Sink)
      : FHeight(Source.Height),
        FColumns(Columns),
        FRows(Rows),
        FSink(Sink),
        FValues(Columns.size()),
        FCovered(Columns.size()),
        FNext(static_cast<long long>(Rows.size()) - 1) {
    EnterRow();
  }
  // No asked row is left at or above the current one.
  bool Done() const { return FNext < 0; }
  bool Wanted() const { return FWanted; }

  // Count pixels alternating First and Second, from the current position.
  void Run(long long Count, BYTE First, BYTE Second) {
    if (FWanted) {
      const long long end = FX + Count;
      while (FColumn < FColumns.size() && FColumns[FColumn] < FX) ++FColumn;
      for (; FColumn < FColumns.size() && FColumns[FColumn] < end; ++FColumn) {
        FValues[FColumn] = ((FColumns[FColumn] - FX) & 1) ? Second : First;
        FCovered[FColumn] = 1;
        FDirty = true;
      }
    }
    FX += Count;
  }
  void Skip(long long Count) { FX += Count; }
  void EndOfLine() { Move(-FX, 1); }
  void Move(long long Dx, long long Dy) {
    FX += Dx;
    if (Dy == 0) return;
    Flush();
    FRow += Dy;
    FColumn = 0;
    EnterRow();
  }
  void Flush() {
    if (!FDirty) return;
    FSink(TRleRow{static_cast<int>(FHeight - 1 - FRow), FValues, FCovered});
    std::fill(FCovered.begin(), FCovered.end(), BYTE{0});
    FDirty = false;
  }

 private:
  void EnterRow() {
    const long long y = FHeight - 1 - FRow;
    while (FNext >= 0 && FRows[static_cast<std::size_t>(FNext)] > y) --FNext;
    FWanted = FNext >= 0 && FRows[static_cast<std::size_t>(FNext)] == y;
  }

  long long FHeight;
  std::span<const int> FColumns;
  std::span<const int> FRows;
  const TRleRowSink& FSink;
  std::vector<BYTE> FValues;
  std::vector<BYTE> FCovered;
  long long FNext;  // the asked row nearest above the stream, -1 when none is left
  long long FRow = 0;
  long long FX = 0;
  std::size_t FColumn = 0;
  bool FWanted = false;
  bool FDirty = false;
};

}  // namespace

bool DecodeRle(const TDibSource& Source, std::span<const int> Columns, std::span<const int> Rows,
               const TRleRowSink& Sink) {
  if (!Source.Rle()) return false;
  const bool four = Source.Compression == BI_RLE4;
  TRleReader in(Source);
  TRleRows put(Source, Columns, Rows, Sink);
  while (!put.Done() && in.Has(2)) {
    const BYTE count = in.Next();
    const BYTE value = in.Next();
    if (count > 0) {
      put.Run(count, four ? value >> 4 : value, four ? value & 0x0F : value);
    } else if (value == 0) {
      put.EndOfLine();
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (!in.Has(2)) break;
      const int dx = in.Next();
      const int dy = in.Next();
      put.Move(dx, dy);
    } else {
      // Absolute mode: value literal pixels, padded to a 16-bit boundary.
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      const std::size_t padded = (bytes + 1) & ~std::size_t{1};
      if (!in.Has(bytes)) break;
      if (!put.Wanted()) {
        in.Skip(bytes);
        put.Skip(value);
      } else {
        for (std::size_t i = 0; i < bytes; ++i) {
          const BYTE b = in.Next();
          if (!four) {
            put.Run(1, b, b);
          } else {
            put.Run(2 * i + 1 < value ? 2 : 1, b >> 4, b & 0x0F);
          }
        }
      }
      if (!in.Has(padded - bytes)) break;
      in.Skip(padded - bytes);
    }
  }
  put.Flush();
  return true;
}
