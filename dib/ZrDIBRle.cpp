// The RLE8 and RLE4 codecs. Positions are 64-bit throughout: a header's width
// and height are any 32-bit values, and runs must never wrap past a check.

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "dib/ZrDIBConvert.h"

namespace {

void CheckSource(const TZrDIBSource& Source, int BitCount, DWORD Compression, const char* Name) {
  const auto& header = Source.Header();
  if (header.biBitCount != BitCount || header.biCompression != Compression)
    throw EZrDIBBadDIBType(std::string(Name) + ": Invalid Bitcount & Compression Combination");
}

// --- encoding ---------------------------------------------------------------

std::uint64_t Load64(const BYTE* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Index of the lowest zero byte of x (little-endian order), or 8 when none is.
int FirstZeroByte(std::uint64_t x) {
  constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
  // Flags above a true zero byte may be false, the lowest flag never is.
  const std::uint64_t flags = (x - ones) & ~x & highs;
  return flags ? std::countr_zero(flags) / 8 : 8;
}

// How many of the Max items from p equal v.
std::int64_t RunLength(const BYTE* p, std::int64_t Max, BYTE v) {
  std::int64_t k = 0;
  const std::uint64_t pattern = 0x0101010101010101ull * v;
  for (; k + 8 <= Max; k += 8) {
    const std::uint64_t diff = Load64(p + k) ^ pattern;
    if (diff) return k + std::countr_zero(diff) / 8;
  }
  while (k < Max && p[k] == v) ++k;
  return k;
}

// The first j in [From, To) whose item equals the one before it, or To.
std::int64_t NextRepeat(const BYTE* Row, std::int64_t From, std::int64_t To) {
  std::int64_t j = From;
  for (; j + 8 <= To; j += 8) {
    const int zero = FirstZeroByte(Load64(Row + j) ^ Load64(Row + j - 1));
    if (zero < 8) return j + zero;
  }
  while (j < To && Row[j] != Row[j - 1]) ++j;
  return j;
}

// Feeds one row of N >= 1 items through the pending-state machine (Empty,
// Single, Run, Literal), handling each run or literal stretch at once. A
// literal is always a stretch of the row itself: [Start, i).
template <class Writer>
void EncodeRow(const BYTE* Row, std::int64_t N, std::int64_t Limit, Writer& W) {
  enum { Single, Run, Literal } state = Single;
  BYTE v = Row[0];
  std::int64_t count = 0, start = 0, i = 1;
  for (;;) {
    switch (state) {
      case Single:
        if (i == N) {
          W.WriteRun(v, 1);
          return;
        }
        if (Row[i] == v) {
          count = 2;
          state = Run;
        } else {
          start = i - 1;
          state = Literal;
        }
        ++i;
        break;
      case Run: {
        const std::int64_t more = RunLength(Row + i, std::min(N - i, Limit - count), v);
        count += more;
        i += more;
        W.WriteRun(v, count);
        if (i == N) return;
        // A different item, or the run is full.
        v = Row[i++];
        state = Single;
        break;
      }
      case Literal: {
        const std::int64_t j = NextRepeat(Row, i, std::min(N, start + Limit));
        if (j == N) {
          W.WriteAbsolute(Row + start, N - start);
          return;
        }
        v = Row[j];
        i = j + 1;
        if (Row[j] == Row[j - 1]) {
          // The literal's last item starts a run.
          W.WriteAbsolute(Row + start, j - 1 - start);
          count = 2;
          state = Run;
        } else {
          W.WriteAbsolute(Row + start, j - start);  // full
          state = Single;
        }
        break;
      }
    }
  }
}

// Appends to the work buffer; every step checks its room first so that the
// data can never outgrow the buffer.
class TWorkWriter {
public:
  TWorkWriter(std::span<BYTE> Work, const char* Failed) : FWork(Work), FFailed(Failed) {}
  std::size_t Length() const { return FPos; }

  void Need(std::int64_t Room) const {
    if (static_cast<std::int64_t>(FWork.size() - FPos) < Room) throw EZrDIBCompressionFailed(FFailed);
  }
  void Put(BYTE a, BYTE b) {
    FWork[FPos++] = a;
    FWork[FPos++] = b;
  }
  void PutBytes(const BYTE* p, std::int64_t Len) {
    std::memcpy(FWork.data() + FPos, p, static_cast<std::size_t>(Len));
    FPos += static_cast<std::size_t>(Len);
    if (Len & 1) FWork[FPos++] = 0;
  }
  void WriteEndOfLine() {
    Need(4);
    Put(0, 0);
  }
  void WriteEndOfBitmap() {
    Need(2);
    Put(0, 1);
  }

private:
  std::span<BYTE> FWork;
  std::size_t FPos = 0;
  const char* FFailed;
};

constexpr std::int64_t AbsoluteRoom(std::int64_t Len) { return 2 * ((Len + 1) / 2) + 6; }

class TRle8Writer : public TWorkWriter {
public:
  explicit TRle8Writer(std::span<BYTE> Work) : TWorkWriter(Work, "Convert8BitRGBTo8BitRLE: Compression Failed") {}
  void StartRow() {}
  void WriteRun(BYTE v, std::int64_t n) {
    Need(6);
    Put(static_cast<BYTE>(n), v);
  }
  void WriteAbsolute(const BYTE* L, std::int64_t Len) {
    Assert(Len > 0, "Convert8BitRGBTo8BitRLE: WriteAbsolute Error");
    Need(AbsoluteRoom(Len));
    if (Len <= 2) {
      for (std::int64_t k = 0; k < Len; ++k) WriteRun(L[k], 1);
      return;
    }
    Put(0, static_cast<BYTE>(Len));
    PutBytes(L, Len);
  }
};

// Counts are pixels, clipped so that no row gets more than its width.
class TRle4Writer : public TWorkWriter {
public:
  TRle4Writer(std::span<BYTE> Work, std::int64_t Width)
      : TWorkWriter(Work, "Convert4BitRGBTo4BitRLE: Compression Failed"), FWidth(Width) {}
  void StartRow() { FWritten = 0; }
  void WriteRun(BYTE v, std::int64_t n) {
    Need(6);
    const std::int64_t pixels = std::min(2 * n, FWidth - FWritten);
    Put(static_cast<BYTE>(pixels), v);
    FWritten += pixels;
  }
  void WriteAbsolute(const BYTE* L, std::int64_t Len) {
    Assert(Len > 0, "Convert4BitRGBTo4BitRLE: WriteAbsolute Error");
    Need(AbsoluteRoom(Len));
    if (Len == 1) {
      WriteRun(L[0], 1);
      return;
    }
    const std::int64_t pixels = std::min(2 * Len, FWidth - FWritten);
    Put(0, static_cast<BYTE>(pixels));
    PutBytes(L, Len);
    FWritten += pixels;
  }

private:
  std::int64_t FWidth;
  std::int64_t FWritten = 0;
};

template <class Writer>
std::size_t Encode(const TZrDIBSource& Source, const TZrRows& Rows, std::int64_t Items, std::int64_t Limit,
                   Writer& W) {
  const bool bottomUp = Source.Header().biHeight > 0;
  // The encoded data always start with the bottom row.
  for (std::int64_t r = 0; r < Rows.Height; ++r) {
    const std::int64_t row = bottomUp ? r : Rows.Height - 1 - r;
    W.StartRow();
    EncodeRow(Source.Bits + row * Rows.Stride, Items, Limit, W);
    W.WriteEndOfLine();
  }
  W.WriteEndOfBitmap();
  return W.Length();
}

TZrDIBData EncodeInto(const TZrDIBSource& Source, bool UseFMO, DWORD Compression, const char* Name,
                      std::size_t (*Encoder)(const TZrDIBSource&, std::span<BYTE>)) {
  const TZrRows rows = CheckedRows(Source, Name);
  // Exactly the uncompressed size: data that would not fit are not worth keeping.
  const auto size = static_cast<std::size_t>(rows.Stride * rows.Height);
  const auto work = std::make_unique_for_overwrite<BYTE[]>(size);
  const std::size_t length = Encoder(Source, {work.get(), size});
  TZrDIBData result(*Source.BitmapInfo, static_cast<std::int64_t>(length), UseFMO, Name);
  std::memcpy(result.Bits, work.get(), length);
  auto& header = result.Header();
  header.biCompression = Compression;
  header.biHeight = static_cast<LONG>(rows.Height);
  header.biSizeImage = static_cast<DWORD>(length);
  return result;
}

// --- decoding ---------------------------------------------------------------

// Reads pairs from the compressed data, never past its end.
class TRleReader {
public:
  TRleReader(const TZrDIBSource& Source, std::string Truncated)
      : FPos(Source.Bits), FEnd(Source.Bits + Source.ImageSize), FTruncated(std::move(Truncated)) {}
  const BYTE* Take(std::int64_t n) {
    if (FEnd - FPos < n) throw EZrDIBInvalidDIB(FTruncated);
    const BYTE* p = FPos;
    FPos += n;
    return p;
  }

private:
  const BYTE* FPos;
  const BYTE* FEnd;
  std::string FTruncated;
};

struct TDecodeTarget {
  TZrDIBData Data;
  std::int64_t Width;
  std::int64_t Height;
  std::int64_t Stride;
  BYTE* Row(std::int64_t y) const { return Data.Bits + y * Stride; }
};

TDecodeTarget MakeDecodeTarget(const TZrDIBSource& Source, int BitCount, bool UseFMO, const char* Name) {
  const auto& header = Source.Header();
  const std::int64_t width = header.biWidth;
  const std::int64_t height = std::llabs(static_cast<std::int64_t>(header.biHeight));
  if (width <= 0 || height <= 0 || (!Source.Bits && Source.ImageSize != 0))
    throw EZrDIBInvalidDIB(std::string(Name) + ": Invalid Image Size");
  TZrDIBData data = MakeUncompressed(Source, BitCount, UseFMO, Name);
  return {std::move(data), width, height, DIBStride(BitCount, width)};
}

void PutNibble(BYTE* Row, std::int64_t X, BYTE Nibble) {
  if (X & 1)
    Row[X >> 1] |= Nibble;
  else
    Row[X >> 1] = static_cast<BYTE>(Nibble << 4);
}

// Pixels X .. X + Count - 1 alternate between b's high and low nibble.
void PutRun4(BYTE* Row, std::int64_t X, std::int64_t Count, BYTE b) {
  if (X & 1) {
    PutNibble(Row, X++, b >> 4);
    --Count;
    b = static_cast<BYTE>(b << 4 | b >> 4);  // the low nibble comes first now
  }
  std::memset(Row + (X >> 1), b, static_cast<std::size_t>(Count >> 1));
  if (Count & 1) PutNibble(Row, X + Count - 1, b >> 4);
}

}  // namespace

std::size_t EncodeRLE8(const TZrDIBSource& Source, std::span<BYTE> Work) {
  const TZrRows rows = CheckedRows(Source, "Convert8BitRGBTo8BitRLE");
  TRle8Writer writer(Work);
  return Encode(Source, rows, rows.Width, 255, writer);
}

std::size_t EncodeRLE4(const TZrDIBSource& Source, std::span<BYTE> Work) {
  const TZrRows rows = CheckedRows(Source, "Convert4BitRGBTo4BitRLE");
  TRle4Writer writer(Work, rows.Width);
  return Encode(Source, rows, (rows.Width + 1) / 2, 127, writer);
}

TZrDIBData Convert8BitRGBTo8BitRLE(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert8BitRGBTo8BitRLE";
  CheckSource(Source, 8, BI_RGB, name);
  return EncodeInto(Source, UseFMO, BI_RLE8, name, &EncodeRLE8);
}

TZrDIBData Convert4BitRGBTo4BitRLE(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert4BitRGBTo4BitRLE";
  CheckSource(Source, 4, BI_RGB, name);
  return EncodeInto(Source, UseFMO, BI_RLE4, name, &EncodeRLE4);
}

TZrDIBData Convert8BitRLETo8BitRGB(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert8BitRLETo8BitRGB";
  CheckSource(Source, 8, BI_RLE8, name);
  TDecodeTarget out = MakeDecodeTarget(Source, 8, UseFMO, name);
  const auto bad = [](int n) { return EZrDIBInvalidDIB("Convert8BitRLETo8BitRGB: Bad RLE Data " + std::to_string(n)); };
  TRleReader in(Source, "Convert8BitRLETo8BitRGB: Bad RLE Data 0");
  std::int64_t x = 0, y = 0;
  for (;;) {
    const BYTE* pair = in.Take(2);
    const std::int64_t a = pair[0], b = pair[1];
    if (a != 0) {
      if (x + a > out.Width || y >= out.Height) throw bad(4);
      std::memset(out.Row(y) + x, static_cast<int>(b), static_cast<std::size_t>(a));
      x += a;
    } else if (b == 0) {
      ++y;
      x = 0;
      if (y > out.Height) throw bad(1);
    } else if (b == 1) {
      break;
    } else if (b == 2) {
      const BYTE* delta = in.Take(2);
      x += delta[0];
      y += delta[1];
      if (x > out.Width || y > out.Height) throw bad(2);
    } else {
      if (x + b > out.Width || y >= out.Height) throw bad(3);
      const BYTE* bytes = in.Take(b + (b & 1));
      std::memcpy(out.Row(y) + x, bytes, static_cast<std::size_t>(b));
      x += b;
    }
  }
  return std::move(out.Data);
}

TZrDIBData Convert4BitRLETo4BitRGB(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert4BitRLETo4BitRGB";
  CheckSource(Source, 4, BI_RLE4, name);
  TDecodeTarget out = MakeDecodeTarget(Source, 4, UseFMO, name);
  const auto bad = [](int n) { return EZrDIBInvalidDIB("Convert4BitRLETo4BitRGB: Bad RLE Data " + std::to_string(n)); };
  TRleReader in(Source, "Convert4BitRLETo4BitRGB: Bad RLE Data 9");
  // A run may fill the spare nibble of an odd-width row.
  const std::int64_t limit = (out.Width + 1) & ~std::int64_t{1};
  std::int64_t x = 0, y = 0;
  for (;;) {
    const BYTE* pair = in.Take(2);
    const std::int64_t a = pair[0], b = pair[1];
    if (a != 0) {
      if (x + a > limit || y >= out.Height) throw bad(8);
      PutRun4(out.Row(y), x, a, static_cast<BYTE>(b));
      x += a;
    } else if (b == 0) {
      ++y;
      x = 0;
      if (y > out.Height) throw bad(5);
    } else if (b == 1) {
      break;
    } else if (b == 2) {
      const BYTE* delta = in.Take(2);
      x += delta[0];
      y += delta[1];
      if (x > limit || y > out.Height) throw bad(6);
    } else {
      if (x + b > limit || y >= out.Height) throw bad(7);
      const BYTE* nibbles = in.Take((b + 3) / 4 * 2);
      BYTE* row = out.Row(y);
      for (std::int64_t k = 0; k < b; ++k)
        PutNibble(row, x + k, (k & 1) ? nibbles[k >> 1] & 0x0F : nibbles[k >> 1] >> 4);
      x += b;
    }
  }
  return std::move(out.Data);
}
