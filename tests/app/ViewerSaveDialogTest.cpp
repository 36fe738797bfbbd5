// The save dialogs as the user meets them: the real file dialog, driven offscreen
// (a filter chosen, a name typed, Enter, the replace question answered), and the
// files found afterwards.

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <fstream>
#include <iterator>

#include "rom/TarvelinPatch.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool StartsWith(const std::vector<std::uint8_t>& Bytes, std::string_view Magic) {
  return Bytes.size() >= Magic.size() &&
         std::equal(Magic.begin(), Magic.end(), Bytes.begin(), [](char M, std::uint8_t B) { return static_cast<std::uint8_t>(M) == B; });
}

// What one run of the real dialog met.
struct TDialogRun {
  std::string Proposed;  // the name in the name box as the dialog opened
  bool Asked = false;    // the dialog asked whether to replace a file
};

// Triggers Item and answers the file dialog it opens: entry Filter of its type
// box (-1 keeps the first), Typed in the name box (empty keeps the proposal),
// Enter, and Replace to a question whether to replace a file.
TDialogRun RunDialog(QAction* Item, int Filter, const QString& Typed, bool Replace) {
  TDialogRun run;
  bool typed = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* question = qobject_cast<QMessageBox*>(modal)) {
      run.Asked = true;
      question->button(Replace ? QMessageBox::Yes : QMessageBox::No)->click();
      return;
    }
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (!dialog) return;
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    if (!name || !types) return;
    if (typed) {
      // Still up after Enter: the name was refused or not replaced.
      dialog->reject();
      return;
    }
    typed = true;
    run.Proposed = name->text().toStdString();
    for (int i = 0; i < Filter; ++i) QTest::keyClick(types, Qt::Key_Down);
    if (!Typed.isEmpty()) {
      // Set whole: typed key by key, the box's completion would offer the existing file.
      name->setText(Typed);
    }
    // From outside this slot: the replace question's own loop must let the poll run again.
    QTimer::singleShot(0, name, [name] { QTest::keyClick(name, Qt::Key_Return); });
  });
  poll.start(20);
  Item->trigger();
  poll.stop();
  return run;
}

class ViewerSaveDialogTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    Form1->OverwriteRomDialog = [](const std::string&) { return true; };
  }
  std::filesystem::path Out(const std::string& Name) const { return Dir.Path() / Name; }
};

TEST_F(ViewerSaveDialogTest, NamesAndFormatsFollowWhatWasTypedAndChosen) {
  // The unedited demo's patches change nothing; here they are wanted all the same.
  Form1->EmptyPatchDialog = [](const std::string&) { return true; };
  const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
  const struct {
    const char* Name;
    const char* Patch;  // opened with this patch (named so), or plainly
    QAction* TForm1::*Item;
    std::vector<std::string> Existing;  // files there before, holding "old"
    int Filter;
    const char* Typed;
    bool Replace;
    const char* Proposed;
    bool Asked;
    std::string Written;  // the file written and its first bytes; empty: none
    const char* Magic;
    std::vector<std::string> Absent;  // names nothing may be written to
    const char* Refusal;              // part of the message of a refused name
  } cases[] = {
      {"no extension over a ROM, kept", nullptr, &TForm1::SaveRomAs1, {"copy.nes"}, -1, "copy", false, "demo-edited.nes",
       true, "", "", {}, ""},
      {"no extension over a ROM, replaced", nullptr, &TForm1::SaveRomAs1, {"copy.nes"}, -1, "copy", true,
       "demo-edited.nes", true, "copy.nes", "NES\x1A", {"copy"}, ""},
      {"no extension over a patch, kept", nullptr, &TForm1::ExportPatch1, {"edits.ips"}, -1, "edits", false, "demo.ips",
       true, "", "", {}, ""},
      {"the BPS entry", nullptr, &TForm1::ExportPatch1, {"edits.ips"}, 1, "edits", false, "demo.ips", false, "edits.bps",
       "BPS1", {"edits"}, ""},
      {"Ctrl+S after a patch", "hack.ips", &TForm1::SaveRom1, {}, -1, "", false, "demo-hack.nes", false,
       "demo-hack.nes", "NES\x1A", {}, ""},
      {"a patch named after the ROM", "demo.ips", &TForm1::ExportPatch1, {}, -1, "", false, "demo-demo.ips", false,
       "demo-demo.ips", "PATCH", {}, ""},
      {"the APNG entry", nullptr, &TForm1::SaveAnimation1, {}, 1, "walk", false, "animation-12-13-00.gif", false,
       "walk.png", "\x89PNG", {"walk.gif", "walk"}, ""},
      {"the bitmap entry", nullptr, &TForm1::SaveImage1, {}, 1, "pic", false, "animation-12-13-00-0.png", false,
       "pic.bmp", "BM", {"pic.png", "pic"}, ""},
      {"an animation named as its frame list", nullptr, &TForm1::SaveAnimation1, {}, -1, "anim.txt", false,
       "animation-12-13-00.gif", false, "", "", {"anim.txt", "anim.gif"}, "拡張子 .txt の形式では保存できません"},
      {"a picture named as a GIF", nullptr, &TForm1::SaveImage1, {}, -1, "pic.gif", false, "animation-12-13-00-0.png",
       false, "", "", {"pic.gif", "pic.png"}, "拡張子 .gif の形式では保存できません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    for (const auto& name : c.Existing) Dir.Write(name, old);
    if (c.Patch) {
      std::vector<std::uint8_t> hack = Image;
      hack[0x30000] ^= 0x5A;
      const std::string patch = Dir.Write(c.Patch, CreatePatch(TPatchFormat::Ips, Image, hack));
      Form1->ROMOpenDialog = [this]() -> std::optional<std::string> { return RomPath; };
      Form1->PatchOpenDialog = [patch]() -> std::optional<std::string> { return patch; };
      Form1->OpenPatched1->trigger();
    } else {
      OpenDemo();
    }
    Tick();
    const std::size_t messages = Shown().size();
    const TDialogRun run = RunDialog(Form1->*c.Item, c.Filter, QString::fromUtf8(c.Typed), c.Replace);
    EXPECT_EQ(run.Proposed, c.Proposed);
    EXPECT_EQ(run.Asked, c.Asked);
    for (const auto& name : c.Existing) {
      if (name != c.Written) {
        EXPECT_EQ(ReadFile(Out(name)), old) << name;
      }
    }
    if (!c.Written.empty()) {
      EXPECT_TRUE(StartsWith(ReadFile(Out(c.Written)), c.Magic)) << c.Written;
    }
    for (const auto& name : c.Absent) EXPECT_FALSE(std::filesystem::exists(Out(name))) << name;
    EXPECT_EQ(ReadFile(RomPath), Image) << "the opened ROM";
    if (*c.Refusal) {
      ASSERT_EQ(Shown().size(), messages + 1);
      EXPECT_NE(Shown().back().Text.find(c.Refusal), std::string::npos) << Shown().back().Text;
    } else {
      EXPECT_EQ(Shown().size(), messages);
    }
    // Every save says what it wrote.
    if (!c.Written.empty()) {
      EXPECT_NE(Form1->statusBar()->currentMessage().toStdString().find(Out(c.Written).string()), std::string::npos)
          << Form1->statusBar()->currentMessage().toStdString();
    }
    for (const auto& entry : std::filesystem::directory_iterator(Dir.Path()))
      if (entry.path() != RomPath && entry.path().filename() != "fcpalette.pal") std::filesystem::remove(entry.path());
  }
}

// The window's own questions, answered by their buttons: a ROM another program
// rewrote offers to save under another name (here cancelled in the file dialog),
// and a patch of nothing is refused.
TEST_F(ViewerSaveDialogTest, TheQuestionsBeforeAReplacedFileOrAnEmptyPatch) {
  Form1->OverwriteRomDialog = [](const std::string&) {
    ADD_FAILURE() << "asked the plain question about a file that changed";
    return false;
  };
  OpenDemo();
  std::vector<std::uint8_t> other = Image;
  other[0x30000] ^= 0xFF;
  Dir.Write("demo.nes", other);
  RomDocument.Apply(TRomChange{{{0x30001, Image[0x30001], static_cast<std::uint8_t>(Image[0x30001] ^ 1)}}});
  std::vector<std::string> questions;
  bool sawFileDialog = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      questions.push_back(box->text().toStdString());
      for (QAbstractButton* button : box->buttons())
        if (button->text() == "名前を付けて保存..." || box->standardButton(button) == QMessageBox::No) button->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      // The ROM's is cancelled, the patch's name taken as proposed.
      if (!sawFileDialog) {
        sawFileDialog = true;
        dialog->reject();
      } else if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
        QTimer::singleShot(0, name, [name] { QTest::keyClick(name, Qt::Key_Return); });
      }
    }
  });
  poll.start(20);
  Form1->SaveRom1->trigger();
  RomDocument.Revert(TRomChange{{{0x30001, Image[0x30001], static_cast<std::uint8_t>(Image[0x30001] ^ 1)}}});
  Form1->ExportPatch1->trigger();
  poll.stop();
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[0].rfind(RomPath + " は", 0), 0u) << questions[0];
  EXPECT_NE(questions[1].find("demo.nes"), std::string::npos) << questions[1];
  EXPECT_TRUE(sawFileDialog);
  EXPECT_EQ(ReadFile(RomPath), other);
  EXPECT_FALSE(std::filesystem::exists(Out("demo.ips")));
}

}  // namespace
}  // namespace viewer_test
