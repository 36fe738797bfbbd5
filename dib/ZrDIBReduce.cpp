// The converters that make new colours: reduction to 16 or 256 colours and the
// half-tone ones. They are not written yet and refuse after their source check.

#include <string>

#include "dib/ZrDIBConvert.h"

namespace {

[[noreturn]] void NotAvailable(const char* Name) {
  throw EZrDIBError(std::string(Name) + ": Conversion Not Available");
}

void CheckTrueColor(const TZrDIBSource& Source, const char* Name) {
  if (Source.Header().biBitCount != 24) throw EZrDIBBadDIBType(std::string(Name) + ": Invalid Bitcount");
}

void CheckHalfToneSource(const TZrDIBSource& Source, const char* Name) {
  const auto& header = Source.Header();
  Assert(header.biCompression == BI_RGB, (std::string(Name) + ": Invalid DIB Format").c_str());
  const int bits = header.biBitCount;
  Assert(bits == 1 || bits == 4 || bits == 8 || bits == 24, (std::string(Name) + ": Invalid Bit Count").c_str());
}

}  // namespace

TZrDIBData ConvertTrueColorTo8BitRGBLow(const TZrDIBSource& Source, bool, const TZrConvertProgress&) {
  CheckTrueColor(Source, "ConvertTrueColorTo8BitRGBLow");
  NotAvailable("ConvertTrueColorTo8BitRGBLow");
}

TZrDIBData ConvertTrueColorTo4BitRGBLow(const TZrDIBSource& Source, bool, const TZrConvertProgress&) {
  CheckTrueColor(Source, "ConvertTrueColorTo4BitRGBLow");
  NotAvailable("ConvertTrueColorTo4BitRGBLow");
}

TZrDIBData ConvertTrueColorTo8BitRGBHigh(const TZrDIBSource& Source, bool, const TZrConvertProgress&) {
  CheckTrueColor(Source, "ConvertTrueColorTo8BitRGBHigh");
  NotAvailable("ConvertTrueColorTo8BitRGBHigh");
}

TZrDIBData ConvertTrueColorTo4BitRGBHigh(const TZrDIBSource& Source, bool, const TZrConvertProgress&) {
  CheckTrueColor(Source, "ConvertTrueColorTo4BitRGBHigh");
  NotAvailable("ConvertTrueColorTo4BitRGBHigh");
}

TZrDIBData Convert8BitRGBTo4BitRGB(const TZrDIBSource& Source, bool, const TZrConvertProgress&) {
  const auto& header = Source.Header();
  if (header.biBitCount != 8 || header.biCompression != BI_RGB)
    throw EZrDIBBadDIBType("Convert8BitRGBTo4BitRGB: Invalid Bitcount or Compression");
  NotAvailable("Convert8BitRGBTo4BitRGB");
}

TZrDIBData ConvertToHalfTone(const TZrDIBSource& Source, bool) {
  CheckHalfToneSource(Source, "ConvertToHalfTone");
  NotAvailable("ConvertToHalfTone");
}

TZrDIBData ConvertToHalfToneBW(const TZrDIBSource& Source, bool) {
  CheckHalfToneSource(Source, "ConvertToHalfToneBW");
  NotAvailable("ConvertToHalfToneBW");
}
