#include "app/window/TarvelinTabSprite.h"

#include <QString>
#include <charconv>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinSpritePattern.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"

TSpritePageState SpritePage;

namespace {

QString Text(const std::string& Text) { return QString::fromStdString(Text); }

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
  const int bankIndex = std::clamp(form.CmbSBankSelect->currentIndex(), 0, 2);
  const int bank = SpriteBanks[static_cast<std::size_t>(bankIndex)];
  const int high = std::clamp(form.CmbSSpriteNumHigh->currentIndex(), 0, 1);
  const int number = 256 * high + page.SpriteNumLow;
  const TSpritePattern pattern = LocateSpritePattern(PrgData, bank, number);
  page.FrameAddress = pattern.FrameAddress;
  page.AlignAddress = pattern.AlignAddress;
  page.CHRLoadOffset = pattern.CHRLoadOffset;

  auto patternTable = CreatePageDIB(128, 128);
  auto sprite = CreatePageDIB(256, 256);
  page.Trace = TraceOf(pattern, bankIndex, number);
  page.CHRBank = pattern.CHRBank();
  if (SpriteDrawer) {
    DrawSpritePattern(*SpriteDrawer, pattern, *sprite, &page.Trace.Map);
    if (ViewOptions.WholeTileWindow)
      DrawTileWindow(*SpriteDrawer, pattern, *patternTable);
    else
      DrawSpritePatternTable(*SpriteDrawer, pattern, *patternTable);
  }
  ApplyBackground(*sprite, ViewOptions.Background);
  page.Trace.Background = ViewOptions.Background;
  form.ImgPatternTable->GetPicture().SetGraphic(patternTable.get());
  form.ImgSprite->GetPicture().SetGraphic(sprite.get());
  page.PatternTableDIB = std::move(patternTable);
  page.SpriteDIB = std::move(sprite);

  const TSpritePatternTexts texts = SpritePatternTexts(pattern);
  form.LblSCHRBank->setText(Text(texts.CHRBank));
  form.LblSCHRLoadOffset->setText(Text(texts.CHRLoadOffset));
  form.LblSCHRBankAddress->setText(Text(texts.CHRBankAddress));
  form.LblSFrameAddress->setText(Text(texts.FrameAddress));
  form.LblSnSprite->setText(Text(texts.SpriteCount));
  form.LblSAlign->setText(Text(texts.Align));
  form.LblSAlignAddress->setText(Text(texts.AlignAddress));
  ShowDump(*form.EditSAlignData, texts.AlignDump);
  ShowDump(*form.EditSFrameData, texts.FrameDump);
  form.RefreshTrace();
}
