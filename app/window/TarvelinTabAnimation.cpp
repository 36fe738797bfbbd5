#include "app/window/TarvelinTabAnimation.h"

#include <QString>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinSpritePattern.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"

TAnimationPageState AnimationPage;

namespace {

int BankIndex() { return std::clamp(Form1->CmbABankSelect->currentIndex(), 0, 2); }
int Bank() { return AnimationBanks[static_cast<std::size_t>(BankIndex())]; }

// Bytes of the record at AnimationAddress: its offset keeps every read inside PrgData.
int Byte(int Offset) { return PrgData[static_cast<std::size_t>(AnimationPage.AnimationAddress + Offset)]; }
int LastFrame() { return Byte(0) & 0x7F; }
int Delay() { return Byte(1); }

void ShowPicture(std::unique_ptr<TZrDIB> Picture) {
  ApplyBackground(*Picture, ViewOptions.Background);
  AnimationPage.Trace.Background = ViewOptions.Background;
  Form1->ImgAnimation->GetPicture().SetGraphic(Picture.get());
  AnimationPage.AnimationDIB = std::move(Picture);
  Form1->RefreshTrace();
}

void SetScrollPosition(int Position) {
  // The program moving the thumb is no user's scroll.
  const QSignalBlocker quiet(Form1->SBAFrame);
  Form1->SBAFrame->setValue(Position);
}

// A button that holds the focus and disables itself gives the focus to the window,
// as when no control holds it, so the arrow keys go on acting on the page.
void Disable(QPushButton* Button) {
  if (Form1->focusWidget() == Button) Form1->FocusWindow();
  Button->setEnabled(false);
}

}  // namespace

void LocateAnimation() { AnimationPage.AnimationAddress = AnimationDataOffset(PrgData, Bank(), AnimationPage.AnimationNumber); }

void RewindAnimation() {
  AnimationPage.CurrentFrame = 0;
  AnimationPage.FrameTicks = 0;
  AnimationPage.DrawnFrame = -1;
  LocateAnimation();
}

void ResetAnimationPage() {
  AnimationPage.AnimationNumber = 0;
  Form1->EditAAnimationNum->setText("00");
  RewindAnimation();
  StopAnimation();
  ShowAnimationData();
}

void ShowAnimationData() {
  TForm1& form = *Form1;
  const int last = LastFrame();
  form.LblADataAddress->setText(QString::fromStdString(FormatAddress(AnimationPage.AnimationAddress)));
  form.LblAnFrame->setText(QString::number(last + 1));
  form.LblATimer->setText(QString::number(Delay() + 1));
  const auto record = std::span<const std::uint8_t>(PrgData).subspan(static_cast<std::size_t>(AnimationPage.AnimationAddress), 3 + static_cast<std::size_t>(last));
  ShowDump(*form.EditAData, HexDump(record));
  form.LblACurrentFrame->setText("0");
  form.LblAFrameMax->setText(QString::number(last));
  SetScrollPosition(0);
  form.SBAFrame->setMaximum(last);
}

void AnimationPageKeyDown(int Key) {
  int m = ReadHexBox(*Form1->EditAAnimationNum) + ArrowKeyStep(Key);
  if (m > 255) m -= 256;
  if (m < 0) m += 256;
  Form1->EditAAnimationNum->setText(QString::fromStdString(FormatByte(m)));
  AnimationPage.AnimationNumber = m;
  RewindAnimation();
  ShowAnimationData();
}

void StepAnimation() {
  auto& page = AnimationPage;
  if (page.Playing) {
    if (Delay() > page.FrameTicks) {
      ++page.FrameTicks;
    } else {
      page.FrameTicks = 0;
      page.CurrentFrame = LastFrame() > page.CurrentFrame ? page.CurrentFrame + 1 : 0;
    }
  }
  if (page.DrawnFrame != page.CurrentFrame) {
    DrawAnimationFrame(page.CurrentFrame);
    // A frame that ended playback has put CurrentFrame back to 0.
    page.DrawnFrame = page.CurrentFrame;
    SetScrollPosition(page.CurrentFrame);
    Form1->LblACurrentFrame->setText(QString::number(page.CurrentFrame));
  }
}

void DrawAnimationFrame(int Frame) {
  // The scroll bar and playback stay within 0..L; the mask keeps any other caller inside the record.
  const int n = AnimationFramePattern(PrgData, AnimationPage.AnimationAddress, Frame);
  Form1->ShowFrameStatus(Frame, n);
  auto picture = CreatePageDIB(256, 256);
  if (n < 0) {
    AnimationPage.Trace = TSpriteTrace{};
    ShowPicture(std::move(picture));
    StopAnimation();
    return;
  }
  const TSpritePattern pattern = LocateSpritePattern(PrgData, Bank(), n);
  AnimationPage.Trace = TraceOf(pattern, BankIndex(), n);
  if (SpriteDrawer) DrawSpritePattern(*SpriteDrawer, pattern, *picture, &AnimationPage.Trace.Map);
  ShowPicture(std::move(picture));
}

void StopAnimation() {
  AnimationPage.Playing = false;
  Form1->btnAnimationPlay->setEnabled(true);
  Disable(Form1->btnAnimationStop);
  AnimationPage.CurrentFrame = 0;
}

void btnAnimationPlayClick() {
  AnimationPage.Playing = true;
  Disable(Form1->btnAnimationPlay);
  Form1->btnAnimationStop->setEnabled(true);
}

void btnAnimationStopClick() {
  StopAnimation();
  SetScrollPosition(0);
  Form1->LblACurrentFrame->setText("0");
}

void SBAFrameScroll(int& ScrollPos) {
  if (ScrollPos == Form1->SBAFrame->value()) return;
  if (AnimationPage.Playing) {
    ScrollPos = Form1->SBAFrame->value();
    return;
  }
  Form1->LblACurrentFrame->setText(QString::number(ScrollPos));
  DrawAnimationFrame(ScrollPos);
}
