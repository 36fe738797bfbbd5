#include "sprite/TarvelinPictureFiles.h"

#include <gif_lib.h>

#include <QBuffer>
#include <QImageWriter>
#include <cstdio>
#include <cstring>

#include "sprite/TarvelinAnimationTiming.h"
#include "sprite/TarvelinApng.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinSpritePattern.h"
#include "dib/ZrDIB.h"
#include "host/Exception.h"

namespace {

constexpr int PageColors = 16;

// giflib's writer appends to the vector given as its user data.
int AppendBytes(GifFileType* File, const GifByteType* Bytes, int Count) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(File->UserData);
  out->insert(out->end(), Bytes, Bytes + Count);
  return Count;
}

void Check(int Result, GifFileType* File, const char* What) {
  if (Result != GIF_OK) throw EWriteError(std::string("GIF ") + What + ": " + GifErrorString(File->Error));
}

}  // namespace

std::unique_ptr<TZrDIB> ScaledPicture(TZrDIB& Picture, int Scale) {
  const int width = Picture.GetWidth(), height = Picture.GetHeight();
  auto scaled = CreatePageDIB(width * Scale, height * Scale);
  // The picture's own colours, a background it was given among them.
  const RGBQUAD* colors = Picture.GetInternalDIB()->BitmapInfo.bmiColors;
  for (int i = 0; i < PageColors; ++i)
    scaled->SetColors(i, static_cast<TColor>(colors[i].rgbRed | colors[i].rgbGreen << 8 | colors[i].rgbBlue << 16));
  for (int y = 0; y < height; ++y) {
    const auto source = Picture.GetScanLine(y);
    for (int k = 0; k < Scale; ++k) {
      const auto row = scaled->GetScanLine(y * Scale + k);
      for (int x = 0; x < width; ++x) std::memset(row.data() + x * Scale, source[static_cast<std::size_t>(x)], static_cast<std::size_t>(Scale));
    }
  }
  return scaled;
}

QImage PictureImage(TZrDIB& Picture, bool Transparent) {
  const int width = Picture.GetWidth(), height = Picture.GetHeight();
  QImage image(width, height, QImage::Format_Indexed8);
  const RGBQUAD* colors = Picture.GetInternalDIB()->BitmapInfo.bmiColors;
  QList<QRgb> table;
  for (int i = 0; i < PageColors; ++i) table.push_back(qRgb(colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue));
  if (Transparent) table[0] = qRgba(colors[0].rgbRed, colors[0].rgbGreen, colors[0].rgbBlue, 0);
  image.setColorTable(table);
  for (int y = 0; y < height; ++y) {
    std::memcpy(image.scanLine(y), Picture.GetScanLine(y).data(), static_cast<std::size_t>(width));
    if (!Transparent) continue;
    // One transparent entry for every background pixel, a checkerboard's too.
    std::uint8_t* row = image.scanLine(y);
    for (int x = 0; x < width; ++x)
      if (IsBackgroundIndex(row[x])) row[x] = 0;
  }
  return image;
}

std::vector<std::uint8_t> EncodePng(const QImage& Image) {
  // One resolution whoever writes: a QImage takes the screen's, or 100 dpi where there is none.
  QImage image = Image;
  image.setDotsPerMeterX(PngDotsPerMeter);
  image.setDotsPerMeterY(PngDotsPerMeter);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) throw EWriteError("PNG: " + writer.errorString().toStdString());
  return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> EncodeBmp(TZrDIB& Picture) {
  TMemoryStream stream;
  Picture.SaveToStream(stream);
  const auto memory = stream.Memory();
  return {memory.begin(), memory.end()};
}

void TGifCloser::operator()(GifFileType* File) const {
  int error = 0;
  EGifCloseFile(File, &error);
}

TGifEncoder::TGifEncoder(const QImage& First, bool Loop, int TransparentIndex) : FTransparentIndex(TransparentIndex) {
  int error = 0;
  FFile.reset(EGifOpen(&FBytes, AppendBytes, &error));
  if (!FFile) throw EWriteError(std::string("GIF: ") + GifErrorString(error));
  EGifSetGifVersion(FFile.get(), true);
  std::vector<GifColorType> colors;
  for (int i = 0; i < PageColors; ++i) {
    const QRgb c = First.color(i);
    colors.push_back({static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)), static_cast<GifByteType>(qBlue(c))});
  }
  ColorMapObject* map = GifMakeMapObject(PageColors, colors.data());
  const int screen = EGifPutScreenDesc(FFile.get(), First.width(), First.height(), 4, 0, map);
  GifFreeMapObject(map);
  Check(screen, FFile.get(), "screen");
  if (Loop) {
    // The application extension browsers read as "repeat for ever" (count 0).
    static const GifByteType Netscape[] = "NETSCAPE2.0";
    static const GifByteType Repeat[] = {1, 0, 0};
    Check(EGifPutExtensionLeader(FFile.get(), APPLICATION_EXT_FUNC_CODE), FFile.get(), "loop");
    Check(EGifPutExtensionBlock(FFile.get(), 11, Netscape), FFile.get(), "loop");
    Check(EGifPutExtensionBlock(FFile.get(), 3, Repeat), FFile.get(), "loop");
    Check(EGifPutExtensionTrailer(FFile.get()), FFile.get(), "loop");
  }
}

void TGifEncoder::Add(const QImage& Image, int DelayCs) {
  Assert(FFile != nullptr, "TGifEncoder.Add: finished");
  GraphicsControlBlock control{};
  // A frame with transparent pixels must not show the last one through them:
  // its area goes back to the background before the next frame.
  control.DisposalMode = FTransparentIndex < 0 ? DISPOSE_DO_NOT : DISPOSE_BACKGROUND;
  control.DelayTime = DelayCs;
  control.TransparentColor = FTransparentIndex < 0 ? NO_TRANSPARENT_COLOR : FTransparentIndex;
  GifByteType extension[4];
  EGifGCBToExtension(&control, extension);
  Check(EGifPutExtension(FFile.get(), GRAPHICS_EXT_FUNC_CODE, 4, extension), FFile.get(), "delay");
  Check(EGifPutImageDesc(FFile.get(), 0, 0, Image.width(), Image.height(), false, nullptr), FFile.get(), "frame");
  for (int y = 0; y < Image.height(); ++y) {
    // giflib takes a writable row but does not write it.
    auto* row = const_cast<GifPixelType*>(Image.constScanLine(y));
    Check(EGifPutLine(FFile.get(), row, Image.width()), FFile.get(), "frame");
  }
}

std::vector<std::uint8_t> TGifEncoder::Finish() {
  Assert(FFile != nullptr, "TGifEncoder.Finish: finished");
  int error = 0;
  if (EGifCloseFile(FFile.release(), &error) != GIF_OK) throw EWriteError(std::string("GIF: ") + GifErrorString(error));
  return std::move(FBytes);
}

TAnimationFiles EncodeAnimation(const TDrawSprite& Drawer, const TPrgData& PrgData, int BankBase, int Address,
                                int Scale, const TAnimationLook& Look) {
  const TTimedAnimation animation = TimeAnimation(PrgData, Address);
  const bool apng = Look.Format == TAnimationFormat::Apng;
  std::unique_ptr<TGifEncoder> gif;
  std::unique_ptr<TApngEncoder> png;
  TAnimationFiles files;
  files.FrameList = "# frame pattern nes_frames start_ms\n";
  for (const auto& timed : animation.Frames) {
    auto picture = CreatePageDIB(256, 256);
    if (timed.Pattern >= 0) DrawSpritePattern(Drawer, LocateSpritePattern(PrgData, BankBase, timed.Pattern), *picture);
    ApplyBackground(*picture, Look.Background);
    const QImage image = PictureImage(Scale == 1 ? *picture : *ScaledPicture(*picture, Scale), Look.Transparent);
    if (apng) {
      if (!png) {
        std::vector<std::uint32_t> colors;
        for (const QRgb c : image.colorTable()) colors.push_back(c & 0xFFFFFF);
        png = std::make_unique<TApngEncoder>(image.width(), image.height(), colors, Look.Transparent ? 0 : -1,
                                             animation.Loops ? 0 : 1);
      }
      const auto width = static_cast<std::size_t>(image.width()), size = width * static_cast<std::size_t>(image.height());
      // Rows without padding (a page picture's width is a multiple of four) are the frame as they stand.
      std::vector<std::uint8_t> pixels;
      if (static_cast<std::size_t>(image.bytesPerLine()) != width) {
        pixels.reserve(size);
        for (int y = 0; y < image.height(); ++y)
          pixels.insert(pixels.end(), image.constScanLine(y), image.constScanLine(y) + image.width());
      }
      png->Add(pixels.empty() ? std::span<const std::uint8_t>(image.constBits(), size) : std::span<const std::uint8_t>(pixels),
               NesFramesToApngDelay(timed.NesFrames));
    } else {
      if (!gif) gif = std::make_unique<TGifEncoder>(image, animation.Loops, Look.Transparent ? 0 : -1);
      gif->Add(image, timed.DelayCs);
    }
    char pattern[16] = "end", line[96];
    if (timed.Pattern >= 0) std::snprintf(pattern, sizeof pattern, "$%03X", static_cast<unsigned>(timed.Pattern));
    std::snprintf(line, sizeof line, "%d %s %d %.1f\n", timed.Frame, pattern, timed.NesFrames,
                  NesFramesToMilliseconds(timed.StartNesFrames));
    files.FrameList += line;
  }
  if (apng)
    files.Apng = png->Finish();
  else
    files.Gif = gif->Finish();
  return files;
}
