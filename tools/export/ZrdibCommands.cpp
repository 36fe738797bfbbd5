#include "tools/export/ZrdibCommands.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "dib/ZrDIB.h"
#include "host/Exception.h"
#include "tools/export/CommandLine.h"

namespace {

constexpr const char* Program = "zrdib";

std::uint32_t Le(const std::vector<std::uint8_t>& Bytes, std::size_t At, int Size) {
  std::uint32_t value = 0;
  for (int i = Size - 1; i >= 0; --i)
    value = value << 8 | (At + static_cast<std::size_t>(i) < Bytes.size() ? Bytes[At + static_cast<std::size_t>(i)] : 0u);
  return value;
}

const char* CompressionName(std::uint32_t Compression) {
  switch (Compression) {
    case 0: return "BI_RGB";
    case 1: return "BI_RLE8";
    case 2: return "BI_RLE4";
    case 3: return "BI_BITFIELDS";
    case 4: return "BI_JPEG";
    case 5: return "BI_PNG";
    default: return "unknown";
  }
}

// The headers as the file holds them, whatever the library makes of them.
void PrintHeaders(const std::vector<std::uint8_t>& File) {
  std::printf("  file size:     %zu bytes\n", File.size());
  if (File.size() < 18 || File[0] != 'B' || File[1] != 'M') {
    std::printf("  file header:   no \"BM\" file header\n");
    return;
  }
  std::printf("  bfSize:        %u\n  bfOffBits:     %u\n", Le(File, 2, 4), Le(File, 10, 4));
  const std::uint32_t size = Le(File, 14, 4);
  if (size == 12) {
    std::printf("  header:        BITMAPCOREHEADER (12 bytes)\n");
    std::printf("  bcWidth:       %u\n  bcHeight:      %u\n  bcPlanes:      %u\n  bcBitCount:    %u\n", Le(File, 18, 2),
                Le(File, 20, 2), Le(File, 22, 2), Le(File, 24, 2));
    return;
  }
  std::printf("  header:        %s (%u bytes)\n", size == 40 ? "BITMAPINFOHEADER" : size >= 40 ? "BITMAPINFOHEADER and more" : "unknown", size);
  if (size < 40) return;
  const auto height = static_cast<std::int32_t>(Le(File, 22, 4));
  std::printf("  biWidth:       %d\n  biHeight:      %d (%s)\n", static_cast<std::int32_t>(Le(File, 18, 4)), height,
              height < 0 ? "top-down" : "bottom-up");
  std::printf("  biPlanes:      %u\n  biBitCount:    %u\n", Le(File, 26, 2), Le(File, 28, 2));
  std::printf("  biCompression: %u (%s)\n", Le(File, 30, 4), CompressionName(Le(File, 30, 4)));
  std::printf("  biSizeImage:   %u\n  biXPelsPerMeter: %d\n  biYPelsPerMeter: %d\n", Le(File, 34, 4),
              static_cast<std::int32_t>(Le(File, 38, 4)), static_cast<std::int32_t>(Le(File, 42, 4)));
  std::printf("  biClrUsed:     %u\n  biClrImportant: %u\n", Le(File, 46, 4), Le(File, 50, 4));
}

// Distinct colours the pixels show, read from an uncompressed copy.
std::size_t ColorsUsed(TZrDIB& Dib) {
  TZrDIB plain;
  plain.Assign(&Dib);
  const TZrPixelFormat format = plain.GetPixelFormat();
  if (format == zrpf4BitRLE) plain.SetPixelFormat(zrpf4Bit);
  if (format == zrpf8BitRLE) plain.SetPixelFormat(zrpf8Bit);
  const int bits = plain.GetBitCount();
  const RGBQUAD* table = plain.GetInternalDIB()->BitmapInfo.bmiColors;
  std::vector<bool> seen(std::size_t{1} << 24);
  std::size_t count = 0;
  const auto mark = [&](std::uint32_t rgb) {
    if (!seen[rgb]) seen[rgb] = true, ++count;
  };
  const auto index = [&](int i) {
    const RGBQUAD& c = table[i];
    mark(std::uint32_t{c.rgbRed} << 16 | std::uint32_t{c.rgbGreen} << 8 | c.rgbBlue);
  };
  for (int y = 0; y < plain.GetHeight(); ++y) {
    const auto row = plain.GetScanLine(y);
    for (int x = 0; x < plain.GetWidth(); ++x) {
      const auto ux = static_cast<std::size_t>(x);
      if (bits == 24)
        mark(std::uint32_t{row[3 * ux + 2]} << 16 | std::uint32_t{row[3 * ux + 1]} << 8 | row[3 * ux]);
      else if (bits == 8)
        index(row[ux]);
      else if (bits == 4)
        index(x % 2 ? row[ux / 2] & 0x0F : row[ux / 2] >> 4);
      else
        index(row[ux / 8] >> (7 - x % 8) & 1);
    }
  }
  return count;
}

std::vector<std::uint8_t> ReadWhole(const std::string& Path) {
  TFileStream file(Path, fmOpenRead);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.GetSize()));
  file.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  return bytes;
}

double MsSince(std::chrono::steady_clock::time_point Start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
}

}  // namespace

const char* PixelFormatName(TZrPixelFormat Format) {
  static constexpr const char* Names[] = {"zrpf1Bit",   "zrpf4Bit",  "zrpf4BitRLE",  "zrpf8Bit",
                                          "zrpf8BitRLE", "zrpf24Bit", "zrpfHalfTone", "zrpfHalfToneBW"};
  return Format <= zrpfHalfToneBW ? Names[Format] : "unknown";
}

int RunInfo(const std::vector<std::string>& Files) {
  int result = 0;
  for (const auto& path : Files) {
    std::printf("%s\n", path.c_str());
    try {
      const auto bytes = ReadWhole(path);
      PrintHeaders(bytes);
      TMemoryStream stream;
      stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
      stream.SetPosition(0);
      TZrDIB dib;
      dib.LoadFromStream(stream);
      const TZrInternalDIB& storage = *dib.GetInternalDIB();
      std::printf("  pixel format:  %s\n", PixelFormatName(dib.GetPixelFormat()));
      std::printf("  colour table:  %u entries\n", storage.BitmapInfo.bmiHeader.biClrUsed);
      std::printf("  colours used:  %zu\n", ColorsUsed(dib));
      std::printf("  image size:    %d x %d, %d bytes of pixels\n", dib.GetWidth(), dib.GetHeight(), storage.ImageSize);
    } catch (const Exception& E) {
      std::fflush(stdout);
      PrintError(Program, path + ": " + E.Message());
      result = 1;
    }
  }
  return result;
}

int RunConvert(const TConvertOptions& Options) {
  try {
    TZrDIB dib;
    auto start = std::chrono::steady_clock::now();
    {
      TFileStream file(Options.Input, fmOpenRead);
      try {
        dib.LoadFromStream(file);
      } catch (const Exception& E) {
        throw Exception(Options.Input + ": " + E.Message());
      }
    }
    const double loadMs = MsSince(start);

    dib.SetConvertMode(Options.ConvertMode);
    dib.SetMaskColor(Options.MaskColor);
    std::unique_ptr<TProgressBar> bar;
    dib.SetOnProgress([&](TObject*, TProgressStage Stage, BYTE Percent, bool, const TRect&, const std::string& Msg) {
      if (Stage == TProgressStage::psStarting) bar = std::make_unique<TProgressBar>(Msg.empty() ? "converting" : Msg, 100, Options.Progress);
      // The end comes also after a failure: only a finished conversion fills the bar.
      if (Stage == TProgressStage::psRunning && bar) bar->Update(Percent);
    });
    start = std::chrono::steady_clock::now();
    dib.SetPixelFormat(Options.Target);
    if (bar) bar->Update(100);
    bar.reset();
    const double convertMs = MsSince(start);

    start = std::chrono::steady_clock::now();
    TMemoryStream stream;
    dib.SaveToStream(stream);
    WriteFileAtomically(Options.Output, stream.Memory());
    const double saveMs = MsSince(start);
    if (Options.Time) std::fprintf(stderr, "load: %.1f ms\nconvert: %.1f ms\nsave: %.1f ms\n", loadMs, convertMs, saveMs);
    return 0;
  } catch (const Exception& E) {
    PrintError(Program, E.Message());
    return 1;
  }
}
