#include "sprite/TarvelinApng.h"

#include <zlib.h>

#include <string>

#include "host/Exception.h"

namespace {

constexpr std::uint8_t Signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// fcTL's dispose and blend operations: leave the canvas, replace every pixel
// of the region (so a transparent pixel clears what the last frame drew there).
constexpr std::uint8_t DisposeNone = 0;
constexpr std::uint8_t BlendSource = 0;

void Put32(std::vector<std::uint8_t>& Out, std::uint32_t Value) {
  for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(static_cast<std::uint8_t>(Value >> shift));
}
void Put16(std::vector<std::uint8_t>& Out, std::uint16_t Value) {
  Out.push_back(static_cast<std::uint8_t>(Value >> 8));
  Out.push_back(static_cast<std::uint8_t>(Value));
}

// Length, type, data and the CRC-32 of type and data.
void PutChunk(std::vector<std::uint8_t>& Out, const char (&Type)[5], std::span<const std::uint8_t> Data) {
  Put32(Out, static_cast<std::uint32_t>(Data.size()));
  const std::size_t start = Out.size();
  Out.insert(Out.end(), Type, Type + 4);
  Out.insert(Out.end(), Data.begin(), Data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, Out.data() + start, static_cast<uInt>(Out.size() - start));
  Put32(Out, static_cast<std::uint32_t>(crc));
}

}  // namespace

TApngEncoder::TApngEncoder(int Width, int Height, std::span<const std::uint32_t> Colors, int TransparentIndex,
                           int Plays)
    : FWidth(Width), FHeight(Height), FPlays(Plays) {
  Assert(Width > 0 && Height > 0 && !Colors.empty() && Colors.size() <= 256 && Plays >= 0,
         "TApngEncoder: bad size, palette or play count");
  for (const std::uint32_t c : Colors)
    for (int shift = 16; shift >= 0; shift -= 8) FPalette.push_back(static_cast<std::uint8_t>(c >> shift));
  if (TransparentIndex >= 0 && static_cast<std::size_t>(TransparentIndex) < Colors.size()) {
    // Entries after the last one listed stay opaque.
    FTransparency.assign(static_cast<std::size_t>(TransparentIndex) + 1, 0xFF);
    FTransparency.back() = 0;
  }
}

void TApngEncoder::Add(std::span<const std::uint8_t> Pixels, TApngDelay Delay) {
  const auto width = static_cast<std::size_t>(FWidth), height = static_cast<std::size_t>(FHeight);
  Assert(Pixels.size() == width * height, "TApngEncoder.Add: wrong pixel count");
  // Deflated row by row into a small buffer, so a frame holds only the bytes it
  // deflated to: no copy of its rows, no room for zlib's worst case.
  z_stream zip{};
  if (deflateInit(&zip, Z_BEST_COMPRESSION) != Z_OK) throw EWriteError("APNG: the image data could not be compressed");
  struct TEnd {
    z_stream& Zip;
    ~TEnd() { deflateEnd(&Zip); }
  } end{zip};
  std::vector<std::uint8_t> deflated;
  std::uint8_t out[16384];
  // Each row behind filter type 0 (none): palette indexes gain nothing from prediction.
  const std::uint8_t filter = 0;
  int result = Z_OK;
  const auto feed = [&](const std::uint8_t* Bytes, std::size_t Count, int Flush) {
    zip.next_in = const_cast<Bytef*>(Bytes);
    zip.avail_in = static_cast<uInt>(Count);
    // As zlib's own example: until a call leaves room in the buffer, all input taken.
    do {
      zip.next_out = out;
      zip.avail_out = sizeof out;
      result = deflate(&zip, Flush);
      deflated.insert(deflated.end(), out, out + (sizeof out - zip.avail_out));
    } while (result != Z_STREAM_ERROR && zip.avail_out == 0);
  };
  for (std::size_t y = 0; y < height && result != Z_STREAM_ERROR; ++y) {
    feed(&filter, 1, Z_NO_FLUSH);
    feed(Pixels.data() + y * width, width, y + 1 == height ? Z_FINISH : Z_NO_FLUSH);
  }
  if (result != Z_STREAM_END) throw EWriteError("APNG: the image data could not be compressed");
  deflated.shrink_to_fit();
  FFrames.push_back({std::move(deflated), Delay});
}

std::vector<std::uint8_t> TApngEncoder::Finish() {
  Assert(!FFrames.empty(), "TApngEncoder.Finish: no frame");
  // The whole file at once, so the vector never grows past it: every chunk is 12
  // bytes around its data; fcTL 26, fdAT 4 more than its image.
  std::size_t total = sizeof Signature + 12 + 13 + 12 + 8 + 12 + FPalette.size() +
                      (FTransparency.empty() ? 0 : 12 + FTransparency.size()) + 12;
  for (const TFrame& frame : FFrames) total += 12 + 26 + 12 + 4 + frame.Image.size();
  std::vector<std::uint8_t> out;
  out.reserve(total);
  out.assign(std::begin(Signature), std::end(Signature));
  std::vector<std::uint8_t> data;
  Put32(data, static_cast<std::uint32_t>(FWidth));
  Put32(data, static_cast<std::uint32_t>(FHeight));
  // 8 bits, colour type 3 (palette), deflate, adaptive filtering, no interlace.
  data.insert(data.end(), {8, 3, 0, 0, 0});
  PutChunk(out, "IHDR", data);
  data.clear();
  Put32(data, static_cast<std::uint32_t>(FFrames.size()));
  Put32(data, static_cast<std::uint32_t>(FPlays));
  PutChunk(out, "acTL", data);
  PutChunk(out, "PLTE", FPalette);
  if (!FTransparency.empty()) PutChunk(out, "tRNS", FTransparency);
  // fcTL and fdAT share one sequence; the first frame is the default image (IDAT).
  std::uint32_t sequence = 0;
  for (std::size_t i = 0; i < FFrames.size(); ++i) {
    TFrame& frame = FFrames[i];
    data.clear();
    Put32(data, sequence++);
    Put32(data, static_cast<std::uint32_t>(FWidth));
    Put32(data, static_cast<std::uint32_t>(FHeight));
    Put32(data, 0);  // x offset
    Put32(data, 0);  // y offset
    Put16(data, frame.Delay.Numerator);
    Put16(data, frame.Delay.Denominator);
    data.push_back(DisposeNone);
    data.push_back(BlendSource);
    PutChunk(out, "fcTL", data);
    std::vector<std::uint8_t>& image = frame.Image;
    if (i == 0) {
      PutChunk(out, "IDAT", image);
    } else {
      // The sequence number goes in front of the image data in place.
      image.insert(image.begin(), 4, 0);
      for (int k = 0; k < 4; ++k) image[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(sequence >> (24 - 8 * k));
      ++sequence;
      PutChunk(out, "fdAT", image);
    }
    image = {};  // written: its memory goes back
  }
  PutChunk(out, "IEND", {});
  FFrames.clear();
  return out;
}
