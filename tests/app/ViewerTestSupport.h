#pragma once
// Drives the real main window on the offscreen platform: a fresh window and
// fresh process-wide state per test, a temp directory as current directory,
// and readers for what the window shows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTest>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditRelocate.h"
#include "app/views/ImageEx.h"
#include "sprite/TarvelinDrawSprite.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/TarvelinViewer.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "tests/app/AppTestApplication.h"
#include "tests/support/FileTestSupport.h"
#include "tools/DemoRom.h"
#include "sprite/NesPalette.h"

namespace viewer_test {

inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_A = 0x41;

// Upper-case hex digits after Prefix; built in one piece, since GCC 12 at -O3 warns
// falsely (-Wrestrict) on a short literal joined to a string with operator+.
inline std::string Hex(int Value, int Digits, const char* Prefix = "") {
  char text[24];
  std::snprintf(text, sizeof text, "%s%0*X", Prefix, Digits, static_cast<unsigned>(Value));
  return text;
}
inline std::string Address(int Offset) { return Hex(Offset, 5, "$"); }
inline std::string Dump(std::span<const std::uint8_t> Bytes) {
  std::string text;
  for (auto b : Bytes) text += Hex(b, 2) + " ";
  return text;
}

// The address rules, worked out on a file image independently of the viewer.
inline int Pointer(const std::vector<std::uint8_t>& Image, int Base, int Low, int High) {
  return Base + Image[static_cast<std::size_t>(Base + Low)] + 256 * Image[static_cast<std::size_t>(Base + High)] - 0x8000;
}
inline int FrameOffsetIn(const std::vector<std::uint8_t>& Image, int Base, int Number) {
  const int n = Number & 0xFF;
  return Number < 0x100 ? Pointer(Image, Base, n, 0x200 + n) : Pointer(Image, Base, 0x100 + n, 0x300 + n);
}
inline int AlignOffsetIn(const std::vector<std::uint8_t>& Image, int Base, int Number) {
  return Pointer(Image, Base, 0x400 + Number, 0x500 + Number);
}
inline int AnimationOffsetIn(const std::vector<std::uint8_t>& Image, int Base, int Number) {
  return Pointer(Image, Base, 0x600 + Number, 0x700 + Number);
}

// What a picture control shows, read without unsharing its storage.
struct TShown {
  const TGraphic* Graphic = nullptr;
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
  std::vector<std::uint32_t> Colors;  // entries 0..15 as 0x00RRGGBB

  bool SamePicture(const TShown& Other) const {
    return Width == Other.Width && Height == Other.Height && Pixels == Other.Pixels;
  }
  bool Uniform(std::uint8_t Index) const {
    for (auto p : Pixels)
      if (p != Index) return false;
    return !Pixels.empty();
  }
};

inline TShown ShownBy(const TZrDIB& Dib) {
  TShown shown;
  shown.Graphic = &Dib;
  shown.Width = Dib.GetWidth();
  shown.Height = Dib.GetHeight();
  const TZrInternalDIB* storage = Dib.GetInternalDIB();
  const auto pixels = storage->Pixels();
  shown.Pixels.assign(pixels.begin(), pixels.end());
  for (int i = 0; i < 16; ++i) {
    const RGBQUAD& c = storage->BitmapInfo.bmiColors[i];
    shown.Colors.push_back(std::uint32_t{c.rgbRed} << 16 | std::uint32_t{c.rgbGreen} << 8 | c.rgbBlue);
  }
  return shown;
}

inline TShown ShownBy(TImageEx* Control) {
  const auto* dib = dynamic_cast<const TZrDIB*>(Control->GetPicture().GetGraphic());
  if (!dib) return {};
  return ShownBy(*dib);
}

// Entries 0..15 of a page picture coloured with the given master palette.
inline std::vector<std::uint32_t> SpriteColors(const std::array<std::uint8_t, 192>& Master) {
  std::vector<std::uint32_t> colors;
  for (auto n : SpritePaletteSet)
    colors.push_back(std::uint32_t{Master[3u * n]} << 16 | std::uint32_t{Master[3u * n + 1]} << 8 | Master[3u * n + 2]);
  return colors;
}

inline void ResetProcessState() {
  RomDocument.Close();
  ClearPrgData(PrgData);
  ClearChrData(ChrData);
  SpritePage = TSpritePageState{};
  AnimationPage = TAnimationPageState{};
  SpriteDrawer.reset();
  FcPalette.reset();
}

class ViewerTest : public testing::Test {
protected:
  // The palette file the test directory holds; none leaves it out.
  virtual std::optional<std::vector<std::uint8_t>> PaletteFile() const {
    const auto& master = NesMasterPalette();
    return std::vector<std::uint8_t>(master.begin(), master.end());
  }

  void SetUp() override {
    AppTestApplication();
    FOldDirectory = std::filesystem::current_path();
    std::filesystem::current_path(Dir.Path());
    // The window remembers the ROMs it opens: here, never in the user's settings.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(ConfigDir.Path().string()));
    // Qt reads XDG_CONFIG_HOME once per process; later tests of the same run follow it here.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(ConfigDir.Path().string()));
    if (const auto palette = PaletteFile()) Dir.Write("fcpalette.pal", *palette);
    ResetProcessState();
    // An edit of a record other patterns share goes to all of them, as before the
    // window asked; tests of the question put the window's own box back.
    RealAskSharedEdit();
    AskSharedEdit = [](int, const QString&, const QString&) { return TSharedEdit::All; };
    Messages = std::make_unique<TMessageCapture>();
    Window = CreateViewerWindow();
    Form1 = Window.get();
    TimerRanAtStart = Form1->AnimationTimer.isActive();
    TimerIntervalAtStart = Form1->AnimationTimer.interval();
    Form1->AnimationTimer.stop();
    Image = MakeDemoRom();
    RomPath = Dir.Write("demo.nes", Image);
  }

  // The window's question box, as it was before any test replaced it.
  static const std::function<TSharedEdit(int, const QString&, const QString&)>& RealAskSharedEdit() {
    static const auto real = AskSharedEdit;
    return real;
  }

  void TearDown() override {
    AskSharedEdit = RealAskSharedEdit();
    Window.reset();
    Form1 = nullptr;
    ResetProcessState();
    Messages.reset();
    std::filesystem::current_path(FOldDirectory);
  }

  void Open(const std::string& Path) {
    Form1->ROMOpenDialog = [Path]() -> std::optional<std::string> { return Path; };
    Form1->Open1Click();
  }
  void OpenDemo() { Open(RomPath); }
  // Opens the demo ROM and shows the window active, for tests that send real
  // pointer and key events through the window system.
  void OpenDemoInActiveWindow() {
    OpenDemo();
    Form1->show();
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
  }
  // The demo in the active window with the editor panel opened by its key.
  void OpenDemoWithEditPanel() {
    OpenDemoInActiveWindow();
    QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_TRUE(Form1->EditPanel->isVisible());
  }
  // Through the menu, so an error raised by the open reaches the general error handler.
  void OpenFromMenu(const std::string& Path) {
    Form1->ROMOpenDialog = [Path]() -> std::optional<std::string> { return Path; };
    Form1->Open1->trigger();
  }

  const std::vector<TRecordingMessageBoxes::TShown>& Shown() const { return Messages->Shown(); }

  void ShowSpritePage() { Form1->PageControl1->setCurrentWidget(Form1->TabSprite); }
  void ShowAnimationPage() { Form1->PageControl1->setCurrentWidget(Form1->TabAnimation); }
  void Key(int VirtualKey) { Form1->FormKeyDown(VirtualKey); }
  void Tick(int Count = 1) {
    for (int i = 0; i < Count; ++i) Form1->AnimationTimerTimer();
  }

  // Puts the sprite page on pattern Number and redraws it (a key that steps nothing).
  void GoToPattern(int BankIndex, int Number) {
    ShowSpritePage();
    Form1->CmbSBankSelect->setCurrentIndex(BankIndex);
    Form1->CmbSSpriteNumHigh->setCurrentIndex(Number >> 8);
    Form1->EditSSpriteNum->setText(QString::fromStdString(Hex(Number & 0xFF, 2)));
    Key(VK_SPACE);
  }
  // Selects an animation of bank "12-13" with the arrow keys, as the user would.
  void GoToAnimation(int Number) {
    ShowAnimationPage();
    for (int i = 0; i < Number; ++i) Key(VK_RIGHT);
  }

  std::string Text(const QLabel* Label) const { return Label->text().toStdString(); }
  std::string Text(const QLineEdit* Edit) const { return Edit->text().toStdString(); }
  std::string Caption() const { return Form1->windowTitle().toStdString(); }

  // Pattern Number of bank BankIndex drawn by the viewer's renderer into a fresh page picture.
  TShown Reference(int BankIndex, int Number) const {
    const int base = DemoRom::BankBases[static_cast<std::size_t>(BankIndex)];
    const int frame = FrameOffsetIn(Image, base, Number);
    const int align = AlignOffsetIn(Image, base, Image[static_cast<std::size_t>(frame + 2)]);
    auto picture = CreatePageDIB(256, 256);
    const std::span<const std::uint8_t> prg(PrgData);
    SpriteDrawer->DrawFrame(*picture, prg.subspan(static_cast<std::size_t>(frame)), prg.subspan(static_cast<std::size_t>(align)));
    TShown shown = ShownBy(*picture);
    shown.Graphic = nullptr;
    return shown;
  }

  bool BuffersZero() const {
    for (auto b : PrgData)
      if (b) return false;
    for (auto b : ChrData)
      if (b) return false;
    return true;
  }
  bool BuffersHoldDemo() const {
    return std::equal(PrgData.begin(), PrgData.end(), Image.begin()) &&
           std::equal(ChrData.begin(), ChrData.end(), Image.begin() + ChrDataFileOffset);
  }

  TTestDirectory Dir;
  // XDG_CONFIG_HOME, beside Dir.
  TTestDirectory ConfigDir{[] {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return std::string("config-") + (info ? std::string(info->test_suite_name()) + "-" + info->name() : "suite");
  }()};
  std::unique_ptr<TMessageCapture> Messages;
  std::unique_ptr<TForm1> Window;
  std::vector<std::uint8_t> Image;
  std::string RomPath;
  bool TimerRanAtStart = false;
  int TimerIntervalAtStart = 0;

private:
  std::filesystem::path FOldDirectory;
};

}  // namespace viewer_test
