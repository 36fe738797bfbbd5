#pragma once
// zrdib's commands: describe BMP files, and convert one to another pixel format
// with the DIB library.

#include <cstdint>
#include <string>
#include <vector>

#include "dib/ZrDIBInternal.h"
#include "host/Windows.h"

// Pictures above this many pixels are refused unless the user raises the limit:
// Pillow's default (a quarter GiB of 24-bit pixels), since a few bytes of RLE or a
// bare header can announce far more than the file holds, and a conversion keeps
// two copies of the picture besides its tables.
inline constexpr std::int64_t DefaultMaxPixels = 89'478'485;

// Prints each file's headers, pixel format, colours used and size on stdout, or
// why it cannot be read, and goes on with the next file; 1 when any file failed,
// else 0. Pictures over MaxPixels (0: no limit) are described from their headers
// alone.
int RunInfo(const std::vector<std::string>& Files, std::int64_t MaxPixels = DefaultMaxPixels);

struct TConvertOptions {
  std::string Input;
  std::string Output;
  TZrPixelFormat Target = zrpf8Bit;
  BYTE ConvertMode = 0;
  TColor MaskColor = 0xFFFFFF;
  bool Time = false;
  bool Progress = false;
  bool Force = false;  // replace a write-protected output
  std::int64_t MaxPixels = DefaultMaxPixels;  // 0: no limit
};
// Loads, converts and saves; the output appears only when all three succeeded.
int RunConvert(const TConvertOptions& Options);

const char* PixelFormatName(TZrPixelFormat Format);
