// The window in English (表示 > 言語 / Language > English) and back: no text, tool tip, menu item,
// status text, message or dialog keeps a Japanese character, and back in Japanese every text and
// every control's place is as it was.

#include <QApplication>
#include <QDialog>
#include <QStatusBar>
#include <QTimer>

#include "app/views/TarvelinSheet.h"
#include "app/window/TarvelinCompareDialog.h"
#include "app/window/TarvelinEmulator.h"
#include "app/window/TarvelinLanguage.h"
#include "tests/app/ViewerTestSupport.h"
#include "tests/support/WindowTexts.h"

namespace viewer_test {
namespace {

using window_texts::HasJapanese;
using window_texts::TTexts;
using window_texts::TTextWalk;

std::string Listed(const TTexts& Texts) {
  std::string list;
  for (const auto& [where, text] : Texts) list += where + ": " + text.toStdString() + "\n";
  return list;
}

class ViewerLanguageTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    Form1->AnimationTimer.stop();
  }
  void TearDown() override {
    if (Form1) Form1->Japanese1->trigger();
    ViewerTest::TearDown();
  }
  // The window, its status bar, and the sheet and the comparison where open.
  TTextWalk Walk() const {
    TTextWalk walk({Form1->Japanese1});
    walk.Widget(Form1);
    if (Form1->Sheet) walk.Widget(Form1->Sheet);
    if (Form1->CompareWindow) walk.Widget(Form1->CompareWindow);
    walk.Add("status", Form1->statusBar()->currentMessage());
    return walk;
  }
  std::vector<std::pair<QWidget*, QRect>> Places() const {
    std::vector<std::pair<QWidget*, QRect>> places;
    for (QWidget* page : {Form1->TabSprite, Form1->TabAnimation})
      for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        places.emplace_back(control, control->geometry());
    return places;
  }
};

TEST_F(ViewerLanguageTest, EveryTextTurnsEnglishAndBackToJapaneseAsItWas) {
  OpenDemo();
  Form1->Sheet1->trigger();
  Form1->CompareOpenDialog = [this]() -> std::optional<std::string> { return RomPath; };
  Form1->Compare1->trigger();
  GoToAnimation(1);
  Tick(40);
  ASSERT_TRUE(Form1->Sheet && Form1->CompareWindow);
  const TTexts japanese = Walk().Texts();
  const auto places = Places();
  ASSERT_GT(Walk().Japanese().size(), 40u) << "the walk finds the Japanese window's texts";
  ASSERT_TRUE(HasJapanese(Form1->statusBar()->currentMessage()));

  Form1->English1->trigger();
  EXPECT_TRUE(Form1->English1->isChecked());
  const TTextWalk english = Walk();
  EXPECT_EQ(Listed(english.Japanese()), "");
  // The same controls, items and menus carry a text in either language.
  EXPECT_EQ(english.Texts().size(), japanese.size());
  // A few words as the glossary gives them.
  EXPECT_EQ(Form1->PageControl1->tabText(Form1->PageControl1->indexOf(Form1->TabSprite)), "Sprite Patterns");
  EXPECT_EQ(Form1->Label7->text(), "Load offset:");
  EXPECT_EQ(Form1->Label6->text(), "CHR bank number:");
  EXPECT_EQ(Form1->btnAnimationPlay->text(), "Play");
  EXPECT_EQ(Form1->View1->title(), "&View");
  EXPECT_TRUE(Form1->statusBar()->currentMessage().startsWith("Frame "));
  // Remembered for the next start.
  EXPECT_EQ(SavedLanguage(), TLanguage::English);

  Form1->Japanese1->trigger();
  EXPECT_EQ(Walk().Texts(), japanese);
  EXPECT_EQ(Places(), places);
  EXPECT_EQ(SavedLanguage(), TLanguage::Japanese);
}

// The texts of the modal dialog that Open shows, which is then closed.
TTexts ModalTexts(const std::function<void()>& Open) {
  TTexts texts;
  QTimer::singleShot(0, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      texts = TTextWalk().Widget(dialog).Texts();
      dialog->reject();
    }
  });
  Open();
  return texts;
}

TEST_F(ViewerLanguageTest, MessagesAndDialogsAreEnglish) {
  OpenDemo();
  // The toolkit's own buttons follow the window's language: Japanese first.
  int buttons = 0;
  for (const auto& [where, text] : ModalTexts([&] { Window->UnsavedEditsDialog(); })) {
    if (where.find("QPushButton") == std::string::npos || where.find(".text") == std::string::npos) continue;
    ++buttons;
    EXPECT_TRUE(HasJapanese(text)) << where << ": " << text.toStdString();
  }
  EXPECT_EQ(buttons, 3);
  Form1->English1->trigger();
  const std::string shortFile = Dir.Write("short.nes", std::vector<std::uint8_t>(8));
  const std::string noHeader = Dir.Write("header.nes", std::vector<std::uint8_t>(64));
  const std::string notPatch = Dir.Write("junk.ips", std::vector<std::uint8_t>{'J', 'U', 'N', 'K'});
  const std::string badPalette = Dir.Write("fcpalette.pal", std::vector<std::uint8_t>(10));
  // Each shows one box; the exact words where the glossary gives them.
  const struct {
    const char* Name;
    std::function<void()> Do;
    const char* Expected;
  } messages[] = {
      {"short file", [&] { OpenFromMenu(shortFile); }, "Invalid file size"},
      {"bad header", [&] { OpenFromMenu(noHeader); }, "Invalid header"},
      {"missing file", [&] { OpenFromMenu((Dir.Path() / "none.nes").string()); }, nullptr},
      {"not a patch", [&] { Form1->OpenFiles(RomPath, notPatch); }, nullptr},
      {"bad number", [&] { Form1->GoToNumber("XYZ"); }, nullptr},
      {"bad extension",
       [&] {
         OpenDemo();
         ShowSpritePage();
         Form1->SaveDialog = [&](const std::string&, const std::string&) -> std::optional<std::string> {
           return (Dir.Path() / "picture.txt").string();
         };
         Form1->SaveImage1->trigger();
       },
       nullptr},
      {"bad palette", [&] { TForm1 other; }, "Palette not found"},
  };
  for (const auto& m : messages) {
    Messages.reset();
    Messages = std::make_unique<TMessageCapture>();
    m.Do();
    ASSERT_EQ(Shown().size(), 1u) << m.Name;
    EXPECT_FALSE(HasJapanese(QString::fromStdString(Shown()[0].Text))) << m.Name << ": " << Shown()[0].Text;
    if (m.Expected) {
      EXPECT_EQ(Shown()[0].Text, m.Expected) << m.Name;
    }
  }

  // The dialogs that need no file picker, each walked while open and then closed.
  TForm1& form = *Form1;
  const struct {
    const char* Name;
    std::function<void()> Open;
  } dialogs[] = {
      {"go to", [&] { form.GoTo1->trigger(); }},
      {"emulator", [&] { form.EmulatorSettings1->trigger(); }},
      {"unsaved", [&] { Window->UnsavedEditsDialog(); }},
      {"changed on disk", [&] { Window->ChangedOnDiskDialog(RomPath); }},
      {"empty patch", [&] { Window->EmptyPatchDialog("demo.nes"); }},
      {"overwrite", [&] { Window->OverwriteRomDialog(RomPath); }},
  };
  for (const auto& d : dialogs) {
    TTexts found;
    const TTexts texts = ModalTexts(d.Open);
    EXPECT_FALSE(texts.empty()) << d.Name;
    for (const auto& [where, text] : texts)
      if (HasJapanese(text)) found[where] = text;
    EXPECT_EQ(Listed(found), "") << d.Name;
  }
}

TEST_F(ViewerLanguageTest, ThePixelTraceIsEnglish) {
  OpenDemoInActiveWindow();
  Form1->English1->trigger();
  ShowSpritePage();
  const struct {
    QWidget* Picture;
    QPoint At;
    const char* Start;
  } points[] = {{Form1->ImgPatternTable, {4, 4}, "Tile$"}, {Form1->ImgPatternTable, {4, 100}, "Tile$"},
                {Form1->ImgSprite, {128, 128}, "(128,128) Color$"}, {Form1->ImgSprite, {2, 2}, "(2,2) Color$"}};
  for (const auto& p : points) {
    QTest::mouseMove(p.Picture, p.At);
    const QString status = Form1->statusBar()->currentMessage();
    EXPECT_TRUE(status.startsWith(p.Start)) << status.toStdString();
    EXPECT_FALSE(HasJapanese(status)) << status.toStdString();
  }
}

TEST_F(ViewerLanguageTest, TheLanguageChosenLastOrOnTheCommandLineIsTheStartLanguage) {
  EXPECT_EQ(StartLanguage(), TLanguage::Japanese);
  SaveLanguage(TLanguage::English);
  EXPECT_EQ(StartLanguage(), TLanguage::English);
  const struct {
    const char* Name;
    std::optional<TLanguage> Parsed;
  } names[] = {{"ja", TLanguage::Japanese}, {"en", TLanguage::English}, {"EN", std::nullopt}, {"", std::nullopt},
               {"jp", std::nullopt}};
  for (const auto& n : names) EXPECT_EQ(ParseLanguage(n.Name), n.Parsed) << n.Name;
  SetLanguageOverride(TLanguage::Japanese);
  EXPECT_EQ(StartLanguage(), TLanguage::Japanese);
  {
    // A window made now speaks the start language.
    SetLanguageOverride(TLanguage::English);
    TForm1 english;
    EXPECT_EQ(english.Label7->text(), "Load offset:");
    EXPECT_TRUE(english.English1->isChecked());
  }
  SetLanguageOverride(std::nullopt);
  SaveLanguage(TLanguage::Japanese);
}

}  // namespace
}  // namespace viewer_test
