#pragma once
// RLE4 and RLE8 pixel streams decoded for drawing, row by row and only where
// the drawing samples them: skipped pixels leave the destination as it was,
// so each row comes with a mark for every pixel the stream set.

#include <functional>
#include <span>

#include "host/GdiDib.h"

// One picture row at the columns asked for: Values[i] and Covered[i] (1 where
// the stream set the pixel) belong to the i-th column.
struct TRleRow {
  int Y = 0;  // picture row, counted from the top
  std::span<const BYTE> Values;
  std::span<const BYTE> Covered;
};
using TRleRowSink = std::function<void(const TRleRow&)>;

// Decodes Source's stream at the picture rows Rows and the columns Columns
// (each ascending and inside the picture) and hands each of those rows that
// the stream set a pixel of to Sink, once, bottom row first. The work follows
// the stream's length and the rows and columns asked for, not the picture's
// size. Reads no byte past Source.ImageSize; a stream that runs out or moves
// past the top simply ends, and runs past a row's end are cut. False for a
// source that is not RLE.
bool DecodeRle(const TDibSource& Source, std::span<const int> Columns, std::span<const int> Rows,
               const TRleRowSink& Sink);
