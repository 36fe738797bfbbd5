// A picture to import, as a paint program or the clipboard may hand it over:
// PNG or BMP bytes of any content, bounded in size as the decoder bounds them,
// mapped onto a pattern table and a composed picture. A result is either a
// refusal or writes of bytes as they are; importing the pattern table again
// after its writes changes nothing.

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

#include "import/TarvelinImport.h"
#include "sprite/TarvelinSpritePattern.h"

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

// CHR bytes that vary, and a pattern of four sprites, flips and groups over CHR bank $7E at load offset 2.
TChrData& Chr() {
  static TChrData chr = [] {
    TChrData bytes{};
    std::uint32_t state = 28;
    for (auto& b : bytes) b = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    return bytes;
  }();
  return chr;
}

const std::uint8_t Frame[] = {0x7E, 0x03, 0x00, 0x81, 0x00, 0x81, 0x41, 0x90, 0x82, 0xC0, 0xC3};
const std::uint8_t Align[] = {0xF8, 0xF8, 0xF8, 0x00, 0x00, 0xF8, 0x04, 0x04};

TSpritePattern Pattern() {
  TSpritePattern pattern;
  pattern.Frame = Frame;
  pattern.Align = Align;
  pattern.CHRLoadOffset = Frame[3] >> 6;
  return pattern;
}

void CheckResult(const TImportResult& Result) {
  if (Result.Refused()) {
    Check(Result.Change.Empty());
    Check(!ImportProblemText(*Result.Problem).empty());
    return;
  }
  for (const TByteWrite& write : Result.Change.Writes) {
    Check(write.Offset >= ChrDataFileOffset && write.Offset < ChrDataFileOffset + static_cast<int>(sizeof(TChrData)));
    Check(Chr()[static_cast<std::size_t>(write.Offset - ChrDataFileOffset)] == write.Old && write.Old != write.New);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The decoders' complaints about damaged files say nothing the checks do not.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static int argc = 1;
  static char name[] = "import_fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  TImportOptions options;
  options.Nearest = data[0] & 1;
  options.WholeTileWindow = data[0] & 2;
  options.Background = (data[0] & 4) ? CheckerboardBackground : DefaultBackground;
  std::string error;
  const TImportImage picture = DecodeImportImage({data + 1, size - 1}, error);
  if (!error.empty()) return 0;
  Check(picture.Width <= MaxImportSide && picture.Height <= MaxImportSide);
  const TSpritePattern pattern = Pattern();
  const TImportResult table = ImportPatternTable(Chr(), pattern, picture, options);
  CheckResult(table);
  CheckResult(ImportSpritePicture(Chr(), pattern, picture, options));
  if (table.Refused() || table.Change.Empty()) return 0;
  // Written, the same picture finds nothing left to change.
  TChrData after = Chr();
  for (const TByteWrite& write : table.Change.Writes) after[static_cast<std::size_t>(write.Offset - ChrDataFileOffset)] = write.New;
  const TImportResult again = ImportPatternTable(after, pattern, picture, options);
  Check(!again.Refused() && again.Change.Empty());
  return 0;
}
