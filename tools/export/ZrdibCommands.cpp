#include "tools/export/ZrdibCommands.h"

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>

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

// The first bytes of a file: its headers, as far as they go.
constexpr std::int64_t HeaderBytes = 54;

std::vector<std::uint8_t> ReadHeaders(TStream& File) {
  std::vector<std::uint8_t> bytes(HeaderBytes);
  bytes.resize(static_cast<std::size_t>(File.Read(bytes.data(), HeaderBytes)));
  File.SetPosition(0);
  return bytes;
}

// Width times height as the headers announce them; 0 when they announce none
// (the library then says what is wrong).
std::int64_t AnnouncedPixels(const std::vector<std::uint8_t>& Headers, std::int64_t& Width, std::int64_t& Height) {
  Width = Height = 0;
  if (Headers.size() < 26 || Headers[0] != 'B' || Headers[1] != 'M') return 0;
  const std::uint32_t size = Le(Headers, 14, 4);
  if (size == 12) {
    Width = Le(Headers, 18, 2);
    Height = Le(Headers, 20, 2);
  } else {
    Width = static_cast<std::int32_t>(Le(Headers, 18, 4));
    Height = std::llabs(static_cast<std::int64_t>(static_cast<std::int32_t>(Le(Headers, 22, 4))));
  }
  return Width > 0 ? Width * Height : 0;
}

std::string OverLimit(std::int64_t Width, std::int64_t Height, std::int64_t MaxPixels) {
  return std::to_string(Width) + " x " + std::to_string(Height) + " is " + std::to_string(Width * Height) +
         " pixels, over the limit of " + std::to_string(MaxPixels) + " (--max-pixels raises it)";
}

// Opens Path for reading, or says why not in the user's terms (the caller names the path).
std::unique_ptr<TFileStream> OpenInput(const std::string& Path) {
  if (const std::string why = WhyNotReadable(Path); !why.empty()) throw EFOpenError("cannot open: " + why);
  try {
    return std::make_unique<TFileStream>(Path, fmOpenRead);
  } catch (const Exception&) {
    throw EFOpenError("cannot open: " + ErrorText(errno));
  }
}

// Any failure as one line: the library's message, or what the system ran out of.
std::string FailureText(const std::exception& E) {
  if (dynamic_cast<const std::bad_alloc*>(&E)) return "out of memory";
  if (dynamic_cast<const std::length_error*>(&E)) return "out of memory (size beyond reach)";
  return E.what();
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
void PrintHeaders(const std::vector<std::uint8_t>& File, std::int64_t FileSize) {
  if (FileSize >= 0)
    std::printf("  file size:     %lld bytes\n", static_cast<long long>(FileSize));
  else
    std::printf("  file size:     unknown (the file cannot be measured)\n");
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

double MsSince(std::chrono::steady_clock::time_point Start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
}

}  // namespace

const char* PixelFormatName(TZrPixelFormat Format) {
  static constexpr const char* Names[] = {"zrpf1Bit",   "zrpf4Bit",  "zrpf4BitRLE",  "zrpf8Bit",
                                          "zrpf8BitRLE", "zrpf24Bit", "zrpfHalfTone", "zrpfHalfToneBW"};
  return Format <= zrpfHalfToneBW ? Names[Format] : "unknown";
}

int RunInfo(const std::vector<std::string>& Files, std::int64_t MaxPixels) {
  int result = 0;
  for (const auto& path : Files) {
    std::printf("%s\n", path.c_str());
    try {
      const auto file = OpenInput(path);
      const auto headers = ReadHeaders(*file);
      PrintHeaders(headers, file->GetSize());
      std::int64_t width = 0, height = 0;
      if (AnnouncedPixels(headers, width, height) > MaxPixels && MaxPixels > 0) {
        // The headers say all a user needs; the pixels could cost what the file never held.
        std::printf("  pixels:        not read: %s\n", OverLimit(width, height, MaxPixels).c_str());
        continue;
      }
      TZrDIB dib;
      dib.LoadFromStream(*file);
      const TZrInternalDIB& storage = *dib.GetInternalDIB();
      std::printf("  pixel format:  %s\n", PixelFormatName(dib.GetPixelFormat()));
      std::printf("  colour table:  %u entries\n", storage.BitmapInfo.bmiHeader.biClrUsed);
      std::printf("  colours used:  %zu\n", ColorsUsed(dib));
      std::printf("  image size:    %d x %d, %d bytes of pixels\n", dib.GetWidth(), dib.GetHeight(), storage.ImageSize);
    } catch (const std::exception& E) {
      std::fflush(stdout);
      PrintError(Program, path + ": " + FailureText(E));
      result = 1;
    }
  }
  return result;
}

namespace {

// A stream that hands what the library writes straight to the output file.
class TAtomicFileStream : public TStream {
public:
  explicit TAtomicFileStream(TAtomicFile& File) : FFile(File) {}
  std::int64_t Read(void*, std::int64_t) override { return 0; }
  std::int64_t Write(const void* Buffer, std::int64_t Count) override {
    FFile.Write({static_cast<const std::uint8_t*>(Buffer), static_cast<std::size_t>(Count)});
    FPosition += Count;
    return Count;
  }
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override {
    Assert(Offset == 0 && Origin != TSeekOrigin::soBeginning, "TAtomicFileStream.Seek: Only Forward Writing");
    return FPosition;
  }
  void SetSize(std::int64_t) override { throw EWriteError(SWriteError); }

private:
  TAtomicFile& FFile;
  std::int64_t FPosition = 0;
};

}  // namespace

int RunConvert(const TConvertOptions& Options) {
  try {
    TZrDIB dib;
    auto start = std::chrono::steady_clock::now();
    try {
      const auto file = OpenInput(Options.Input);
      std::int64_t width = 0, height = 0;
      if (AnnouncedPixels(ReadHeaders(*file), width, height) > Options.MaxPixels && Options.MaxPixels > 0)
        throw EZrDIBInvalidDIB(OverLimit(width, height, Options.MaxPixels));
      dib.LoadFromStream(*file);
    } catch (const std::exception& E) {
      throw Exception(Options.Input + ": " + FailureText(E));
    }
    const double loadMs = MsSince(start);
    // Refused now rather than after a long conversion.
    TAtomicFile output(Options.Output, Options.Force);

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
    TAtomicFileStream stream(output);
    dib.SaveToStream(stream);
    output.Commit();
    const double saveMs = MsSince(start);
    if (Options.Time) std::fprintf(stderr, "load: %.1f ms\nconvert: %.1f ms\nsave: %.1f ms\n", loadMs, convertMs, saveMs);
    return 0;
  } catch (const std::exception& E) {
    PrintError(Program, FailureText(E));
    return 1;
  }
}
