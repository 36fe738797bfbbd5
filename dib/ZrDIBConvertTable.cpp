// Which converters turn one pixel format into another, and SetPixelsFormat,
// which runs them.

#include <new>
#include <utility>

#include "dib/ZrDIBConvert.h"

namespace {

constexpr const char* FormatError = "TZrIntenalDIB.SetPixelsFormat: PixelFormat Error";

template <TZrDIBData (*F)(const TZrDIBSource&, bool)>
TZrDIBData Plain(const TZrDIBSource& Source, const TZrConvertArgs& Args) {
  return F(Source, Args.UseFMO);
}

template <TZrDIBData (*F)(const TZrDIBSource&, bool, COLORREF)>
TZrDIBData Masked(const TZrDIBSource& Source, const TZrConvertArgs& Args) {
  return F(Source, Args.UseFMO, Args.Color);
}

template <TZrDIBData (*F)(const TZrDIBSource&, bool, const TZrConvertProgress&)>
TZrDIBData Reducing(const TZrDIBSource& Source, const TZrConvertArgs& Args) {
  return F(Source, Args.UseFMO, Args.Progress);
}

// Mode 0 picks the Low method, 1 the High one.
template <TZrDIBData (*Low)(const TZrDIBSource&, bool, const TZrConvertProgress&),
          TZrDIBData (*High)(const TZrDIBSource&, bool, const TZrConvertProgress&)>
TZrDIBData ByMode(const TZrDIBSource& Source, const TZrConvertArgs& Args) {
  Assert(Args.Mode == 0 || Args.Mode == 1, FormatError);
  return (Args.Mode == 0 ? Low : High)(Source, Args.UseFMO, Args.Progress);
}

constexpr TZrConverterStep From1To4{"Convert1BitRGBTo4BitRGB", &Plain<Convert1BitRGBTo4BitRGB>};
constexpr TZrConverterStep From1To8{"Convert1BitRGBTo8BitRGB", &Plain<Convert1BitRGBTo8BitRGB>};
constexpr TZrConverterStep From4To8{"Convert4BitRGBTo8BitRGB", &Plain<Convert4BitRGBTo8BitRGB>};
constexpr TZrConverterStep From1To24{"Convert1BitRGBToTrueColor", &Plain<Convert1BitRGBToTrueColor>};
constexpr TZrConverterStep From4To24{"Convert4BitRGBToTrueColor", &Plain<Convert4BitRGBToTrueColor>};
constexpr TZrConverterStep From8To24{"Convert8BitRGBToTrueColor", &Plain<Convert8BitRGBToTrueColor>};
constexpr TZrConverterStep From24To1{"ConvertTrueColorTo1BitRGB", &Masked<ConvertTrueColorTo1BitRGB>};
constexpr TZrConverterStep From8To1{"Convert8BitTo1BitRGB", &Masked<Convert8BitTo1BitRGB>};
constexpr TZrConverterStep From4To1{"Convert4BitRGBTo1BitRGB", &Masked<Convert4BitRGBTo1BitRGB>};
constexpr TZrConverterStep From8To4{"Convert8BitRGBTo4BitRGB", &Reducing<Convert8BitRGBTo4BitRGB>};
constexpr TZrConverterStep ReduceTo4{"Reduce to 4",
                                     &ByMode<ConvertTrueColorTo4BitRGBLow, ConvertTrueColorTo4BitRGBHigh>};
constexpr TZrConverterStep ReduceTo8{"Reduce to 8",
                                     &ByMode<ConvertTrueColorTo8BitRGBLow, ConvertTrueColorTo8BitRGBHigh>};
constexpr TZrConverterStep Decode4{"Convert4BitRLETo4BitRGB", &Plain<Convert4BitRLETo4BitRGB>};
constexpr TZrConverterStep Decode8{"Convert8BitRLETo8BitRGB", &Plain<Convert8BitRLETo8BitRGB>};
constexpr TZrConverterStep Encode4{"Convert4BitRGBTo4BitRLE", &Plain<Convert4BitRGBTo4BitRLE>};
constexpr TZrConverterStep Encode8{"Convert8BitRGBTo8BitRLE", &Plain<Convert8BitRGBTo8BitRLE>};
constexpr TZrConverterStep HalfTone{"ConvertToHalfTone", &Plain<ConvertToHalfTone>};
constexpr TZrConverterStep HalfToneBW{"ConvertToHalfToneBW", &Plain<ConvertToHalfToneBW>};

constexpr TZrConversion Chain() { return {}; }
constexpr TZrConversion Chain(TZrConverterStep a) { return {{a}, 1}; }
constexpr TZrConversion Chain(TZrConverterStep a, TZrConverterStep b) { return {{a, b}, 2}; }
constexpr TZrConversion Chain(TZrConverterStep a, TZrConverterStep b, TZrConverterStep c) { return {{a, b, c}, 3}; }

// Rows: the current format; columns: the target, zrpf1Bit .. zrpfHalfToneBW.
// An empty chain is a conversion that does not exist.
constexpr TZrConversion Table[ZrStoredFormatCount][ZrTargetFormatCount] = {
    // zrpf1Bit
    {Chain(), Chain(From1To4), Chain(From1To4, Encode4), Chain(From1To8), Chain(From1To8, Encode8),
     Chain(From1To24), Chain(HalfTone), Chain(HalfToneBW)},
    // zrpf4Bit
    {Chain(From4To1), Chain(), Chain(Encode4), Chain(From4To8), Chain(From4To8, Encode8), Chain(From4To24),
     Chain(HalfTone), Chain(HalfToneBW)},
    // zrpf4BitRLE
    {Chain(Decode4, From4To1), Chain(Decode4), Chain(), Chain(Decode4, From4To8), Chain(Decode4, From4To8, Encode8),
     Chain(Decode4, From4To24), Chain(Decode4, HalfTone), Chain(Decode4, HalfToneBW)},
    // zrpf8Bit
    {Chain(From8To1), Chain(From8To4), Chain(From8To4, Encode4), Chain(), Chain(Encode8), Chain(From8To24),
     Chain(HalfTone), Chain(HalfToneBW)},
    // zrpf8BitRLE
    {Chain(Decode8, From8To1), Chain(Decode8, From8To4), Chain(Decode8, From8To4, Encode4), Chain(Decode8), Chain(),
     Chain(Decode8, From8To24), Chain(Decode8, HalfTone), Chain(Decode8, HalfToneBW)},
    // zrpf24Bit
    {Chain(From24To1), Chain(ReduceTo4), Chain(ReduceTo4, Encode4), Chain(ReduceTo8), Chain(ReduceTo8, Encode8),
     Chain(), Chain(HalfTone), Chain(HalfToneBW)},
};

}  // namespace

const TZrConversion& ConversionOf(TZrPixelFormat Current, TZrPixelFormat Target) {
  Assert(Current < ZrStoredFormatCount && Target < ZrTargetFormatCount, FormatError);
  return Table[Current][Target];
}

void TZrInternalDIB::SetPixelsFormat(TZrPixelFormat Target, BYTE Mode, const std::function<void()>& ConvertProgress,
                                     COLORREF Color) {
  const TZrPixelFormat current = GetPixelFormat();
  Assert(RefCount == 1, "TZrIntenalDIB.SetPixelsFormat: RefCount Must be 1");
  const TZrConversion& chain = ConversionOf(current, Target);
  Assert(chain.Count > 0, FormatError);

  const TZrConvertArgs args{UseFMO, Mode, ConvertProgress, Color};
  TZrDIBData result = [&] {
    try {
      TZrDIBData data = chain.Steps[0].Run(SourceOf(*this), args);
      // Each intermediate result goes as soon as the next one exists.
      for (std::size_t i = 1; i < chain.Count; ++i) data = chain.Steps[i].Run(data.Source(), args);
      return data;
    } catch (const std::bad_alloc&) {
      // Scratch the heap cannot give, on this thread or a helper.
      throw EOutOfMemory("TZrIntenalDIB.SetPixelsFormat: Out Of Memory");
    }
  }();

  ReleaseMemory(FileMapping, Bits, UseFMO);
  ImageSize = result.ImageSize;
  FileMapping = result.FileMapping;
  Bits = result.Bits;
  BitmapInfo = result.BitmapInfo;
  result.Detach();
  UpdatePalette();
}
