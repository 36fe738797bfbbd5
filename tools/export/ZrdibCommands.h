#pragma once
// zrdib's commands: describe BMP files, and convert one to another pixel format
// with the DIB library.

#include <cstdint>
#include <string>
#include <vector>

#include "dib/ZrDIBInternal.h"
#include "host/Windows.h"

// Prints each file's headers, pixel format, colours used and size on stdout, or
// the library's error; 1 when any file failed, else 0.
int RunInfo(const std::vector<std::string>& Files);

struct TConvertOptions {
  std::string Input;
  std::string Output;
  TZrPixelFormat Target = zrpf8Bit;
  BYTE ConvertMode = 0;
  TColor MaskColor = 0xFFFFFF;
  bool Time = false;
  bool Progress = false;
};
// Loads, converts and saves; the output appears only when all three succeeded.
int RunConvert(const TConvertOptions& Options);

const char* PixelFormatName(TZrPixelFormat Format);
