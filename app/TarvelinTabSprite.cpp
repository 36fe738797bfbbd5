#include "app/TarvelinTabSprite.h"

#include <QString>
#include <charconv>

#include "app/TarvelinDrawSprite.h"
#include "app/tarvelinSprite.h"
#include "app/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"

TSpritePageState SpritePage;

namespace {

QString Text(const std::string& Text) { return QString::fromStdString(Text); }
// Joined as QStrings: GCC 12 at -O3 warns falsely (-Wrestrict) inside std::string's operator+ here.
QString Text(const char* Prefix, const std::string& Digits) {
  return QString::fromLatin1(Prefix) + QString::fromStdString(Digits);
}

// The bytes of PrgData from Offset on; the records never reach its end, and a
// span keeps the renderer from reading past it whatever the ROM holds.
std::span<const std::uint8_t> PrgFrom(int Offset) { return std::span<const std::uint8_t>(PrgData).subspan(Offset); }

}  // namespace

int ArrowKeyStep(int Key) {
  switch (Key) {
    case VK_RIGHT: return 1;
    case VK_LEFT: return -1;
    case VK_UP: return 16;
    case VK_DOWN: return -16;
    default: return 0;
  }
}

void ShowDump(QLineEdit& Edit, const std::string& Dump) {
  Edit.setText(QString::fromStdString(Dump));
  Edit.setCursorPosition(0);
}

int ReadHexBox(const QLineEdit& Edit) {
  const std::string text = Edit.text().toStdString();
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return error == std::errc() && end == text.data() + text.size() && !text.empty() && value >= 0 ? value : 0;
}

void SpritePageKeyDown(int Key) {
  TForm1& form = *Form1;
  int n = ReadHexBox(*form.EditSSpriteNum) + 256 * form.CmbSSpriteNumHigh->currentIndex() + ArrowKeyStep(Key);
  if (n > 511) n -= 512;
  if (n < 0) n += 512;
  {
    // A selection made by the program is no user's choice: it must not run the change handler.
    const QSignalBlocker quiet(form.CmbSSpriteNumHigh);
    form.CmbSSpriteNumHigh->setCurrentIndex(n / 256);
  }
  SpritePage.SpriteNumLow = n % 256;
  form.EditSSpriteNum->setText(Text(FormatByte(SpritePage.SpriteNumLow)));
  RefreshSpritePage();
}

void RefreshSpritePage() {
  TForm1& form = *Form1;
  auto& page = SpritePage;
  const int bank = SpriteBanks[static_cast<std::size_t>(std::clamp(form.CmbSBankSelect->currentIndex(), 0, 2))];
  const int high = std::clamp(form.CmbSSpriteNumHigh->currentIndex(), 0, 1);
  page.FrameAddress = FrameDataOffset(PrgData, bank, 256 * high + page.SpriteNumLow);
  const auto frame = PrgFrom(page.FrameAddress);
  page.AlignAddress = AlignDataOffset(PrgData, bank, frame[2]);
  page.CHRLoadOffset = frame[3] >> 6;

  auto patternTable = CreatePageDIB(128, 128);
  auto sprite = CreatePageDIB(256, 256);
  if (SpriteDrawer) {
    SpriteDrawer->DrawFrame(*sprite, frame, PrgFrom(page.AlignAddress));
    SpriteDrawer->DrawPatternTable(*patternTable, frame[0], static_cast<std::uint8_t>(page.CHRLoadOffset), 0);
  }
  form.ImgPatternTable->GetPicture().SetGraphic(patternTable.get());
  form.ImgSprite->GetPicture().SetGraphic(sprite.get());
  page.PatternTableDIB = std::move(patternTable);
  page.SpriteDIB = std::move(sprite);

  const int count = frame[1] + 1;
  form.LblSCHRBank->setText(Text("$", FormatByte(frame[0])));
  form.LblSCHRLoadOffset->setText(Text(" ", FormatByte(page.CHRLoadOffset)));
  form.LblSCHRBankAddress->setText(Text(FormatAddress(ChrBankAddress(frame[0]))));
  form.LblSFrameAddress->setText(Text(FormatAddress(page.FrameAddress)));
  form.LblSnSprite->setText(QString::number(count));
  form.LblSAlign->setText(Text("$", FormatByte(frame[2])));
  form.LblSAlignAddress->setText(Text(FormatAddress(page.AlignAddress)));
  ShowDump(*form.EditSAlignData, HexDump(PrgFrom(page.AlignAddress).first(2 * count)));
  ShowDump(*form.EditSFrameData, HexDump(frame.first(3 + 2 * count)));
}
