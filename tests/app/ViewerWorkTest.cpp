// Working beside other tools, driven as a user would: the recovery journal of
// unsaved edits, the ROM rewritten or replaced on disk while open, the emulator
// (a stand-in script), and the comparison window.

#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QComboBox>
#include <QSettings>
#include <QStatusBar>
#include <QUndoStack>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditSprite.h"
#include "app/views/TarvelinSheet.h"
#include "app/window/TarvelinCompareDialog.h"
#include "app/window/TarvelinEmulator.h"
#include "app/window/TarvelinRecovery.h"
#include "rom/TarvelinPatch.h"
#include "rom/TarvelinRecoveryJournal.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<std::uint8_t>;

TBytes ReadFile(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteInPlace(const fs::path& Path, const TBytes& Bytes) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

void ReplaceByRename(const fs::path& Path, const TBytes& Bytes) {
  const fs::path temporary = fs::path(Path).concat(".new");
  WriteInPlace(temporary, Bytes);
  fs::rename(temporary, Path);
}

class ViewerWorkTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoInActiveWindow();
  }

  // CHR bank of FourFlips typed into the editor panel, as the user types it.
  void EditChrBank(const char* Text) {
    if (!Form1->EditPanel->isVisible()) {
      QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
      QApplication::processEvents();
    }
    GoToPattern(DemoRom::FourFlips.BankIndex, DemoRom::FourFlips.Number);
    QLineEdit* edit = Form1->EditPanel->SpritePanel->EditChrBank;
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, Text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  TBytes Edited(int Value) const {
    TBytes image = Image;
    image[static_cast<std::size_t>(DemoRom::FourFlips.FrameOffset)] = static_cast<std::uint8_t>(Value);
    return image;
  }
  fs::path Journal() const { return RecoveryJournalPath(RecoveryFolder(), RomPath, ""); }
  static bool WaitFor(const std::function<bool()>& Condition) { return QTest::qWaitFor(Condition, 5000); }
};

TEST_F(ViewerWorkTest, EditsAreJournaledAtMostOnceASecondAndGoneWhenUndoneOrSaved) {
  ASSERT_NE(std::getenv("XDG_STATE_HOME"), nullptr);
  ASSERT_EQ(RecoveryFolder().string().rfind(std::getenv("XDG_STATE_HOME"), 0), 0u);
  EditChrBank("12");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Journal()); }));
  EXPECT_EQ(ApplyRecoveryJournal(Image, ReadFile(Journal())), Edited(0x12));
  const int writes = Form1->Recovery->WriteCount();
  // Three more steps inside a second: one write for them all, after the second is up.
  EditChrBank("13");
  EditChrBank("14");
  EditChrBank("15");
  QApplication::processEvents();
  EXPECT_EQ(Form1->Recovery->WriteCount(), writes);
  ASSERT_TRUE(WaitFor([&] { return Form1->Recovery->WriteCount() == writes + 1; }));
  EXPECT_EQ(ApplyRecoveryJournal(Image, ReadFile(Journal())), Edited(0x15));
  QTest::qWait(1200);
  EXPECT_EQ(Form1->Recovery->WriteCount(), writes + 1);

  // Undone to the file as opened: nothing to recover.
  Form1->FocusWindow();
  for (int i = 0; i < 4 && Form1->RomUndoStack->canUndo(); ++i)
    QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  ASSERT_FALSE(RomDocument.IsModified());
  EXPECT_TRUE(WaitFor([&] { return !fs::exists(Journal()); }));

  EditChrBank("21");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Journal()); }));
  Form1->OverwriteRomDialog = [](const std::string&) { return true; };
  Form1->FocusWindow();
  QTest::keyClick(Form1->windowHandle(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadFile(RomPath), Edited(0x21));
  EXPECT_FALSE(fs::exists(Journal()));
}

TEST_F(ViewerWorkTest, AJournalLeftByACrashIsOfferedOnItsBaseOnly) {
  EditChrBank("12");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Journal()); }));
  const TBytes journal = ReadFile(Journal());
  // The window goes as in a crash: nothing asked, the journal stays.
  const auto reopen = [&](TRecovery::TAnswer Answer, std::vector<bool>& Asked) {
    Window.reset();
    ResetProcessState();
    Window = CreateViewerWindow();
    Form1 = Window.get();
    Form1->Recovery->Ask = [&Asked, Answer](const std::string& Rom, bool BaseChanged) {
      EXPECT_EQ(Rom, fs::path(Rom).string());
      Asked.push_back(BaseChanged);
      return Answer;
    };
    Form1->show();
    OpenDemo();
  };
  std::vector<bool> asked;
  reopen(TRecovery::TAnswer::Keep, asked);
  EXPECT_EQ(asked, std::vector<bool>{false});
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(ReadFile(Journal()), journal);

  asked.clear();
  reopen(TRecovery::TAnswer::Restore, asked);
  EXPECT_EQ(asked, std::vector<bool>{false});
  EXPECT_EQ(RomDocument.Image(), Edited(0x12));
  EXPECT_TRUE(RomDocument.IsModified());
  EXPECT_TRUE(Caption().ends_with(" *")) << Caption();

  // The file changed since: shown as such, never applied, even when asked to.
  TBytes changed = Image;
  changed[0x30000] ^= 0xFF;
  Dir.Write("demo.nes", changed);
  Image = changed;
  asked.clear();
  reopen(TRecovery::TAnswer::Restore, asked);
  EXPECT_EQ(asked, std::vector<bool>{true});
  EXPECT_EQ(RomDocument.Image(), changed);
  EXPECT_FALSE(RomDocument.IsModified());
  EXPECT_EQ(ReadFile(Journal()), journal);

  asked.clear();
  reopen(TRecovery::TAnswer::Discard, asked);
  EXPECT_FALSE(fs::exists(Journal()));
}

// Saved under another name, then edited and lost: the journal is against the saved file.
TEST_F(ViewerWorkTest, AJournalAfterSaveAsRestoresOnTheSavedFile) {
  EditChrBank("12");
  const std::string copy = (Dir.Path() / "copy.nes").string();
  Form1->SaveDialog = [copy](const std::string&, const std::string&) -> std::optional<std::string> { return copy; };
  Form1->SaveRomAs1->trigger();
  ASSERT_EQ(ReadFile(copy), Edited(0x12));
  EditChrBank("34");
  const fs::path journal = RecoveryJournalPath(RecoveryFolder(), copy, "");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(journal); }));
  Window.reset();
  ResetProcessState();
  Window = CreateViewerWindow();
  Form1 = Window.get();
  std::vector<bool> asked;
  Form1->Recovery->Ask = [&asked](const std::string&, bool BaseChanged) {
    asked.push_back(BaseChanged);
    return TRecovery::TAnswer::Restore;
  };
  Open(copy);
  EXPECT_EQ(asked, std::vector<bool>{false});
  EXPECT_EQ(RomDocument.Image(), Edited(0x34));
}

TEST_F(ViewerWorkTest, TheEmulatorGetsTheSavedFileOrACopyOfTheEditedImage) {
  const fs::path script = Dir.Path() / "emulator.sh";
  std::ofstream(script) << "#!/bin/sh\ncp \"$1\" \"$(dirname \"$0\")/received.nes\"\n";
  fs::permissions(script, fs::perms::owner_all);
  int asked = 0;
  Form1->Emulator->CommandDialog = [&](const QString&) -> std::optional<QString> {
    ++asked;
    return "\"" + QString::fromStdString(script.string()) + "\" %f";
  };
  const fs::path received = Dir.Path() / "received.nes";
  const auto run = [&] {
    fs::remove(received);
    Form1->FocusWindow();
    QTest::keyClick(Form1->windowHandle(), Qt::Key_F5);
    return WaitFor([&] { return fs::exists(received) && ReadFile(received).size() == Image.size(); });
  };
  ASSERT_TRUE(run());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Form1->Emulator->LastFile(), RomPath);
  EXPECT_EQ(ReadFile(received), Image);
  // Remembered in the test's own settings folder.
  EXPECT_TRUE(fs::exists(fs::path(std::getenv("XDG_CONFIG_HOME")) / "tarvelin-sprite-viewer" / "viewer.ini"));

  EditChrBank("12");
  ASSERT_TRUE(run());
  EXPECT_EQ(asked, 1);
  const fs::path copy = Form1->Emulator->LastFile();
  EXPECT_NE(copy, fs::path(RomPath));
  EXPECT_EQ(ReadFile(received), Edited(0x12));
  EXPECT_EQ(ReadFile(RomPath), Image);
  EXPECT_TRUE(fs::exists(copy));

  // A command that cannot start is reported.
  Form1->Emulator->SetCommand("/nonexistent/emulator %f");
  Form1->FocusWindow();
  QTest::keyClick(Form1->windowHandle(), Qt::Key_F5);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_NE(Shown()[0].Text.find("エミュレータを起動できません"), std::string::npos);

  Form1->UnsavedEditsDialog = [] { return TForm1::TUnsavedEdits::Discard; };
  Form1->close();
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_FALSE(fs::exists(copy.parent_path()));
}

TEST_F(ViewerWorkTest, ARomRewrittenOrReplacedOnDiskIsReloadedKeepingTheViewOrAskedAbout) {
  Form1->SetZoom(2);
  GoToAnimation(3);
  GoToPattern(2, 0x1FF);
  const int frame = DemoRom::Bank16LastPattern.FrameOffset;
  int asked = 0;
  bool reload = false;
  Form1->ReloadDialog = [&] {
    ++asked;
    return reload;
  };
  const auto expectView = [&](int ChrBank) {
    EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
    EXPECT_EQ(Form1->CmbSBankSelect->currentIndex(), 2);
    EXPECT_EQ(Text(Form1->EditSSpriteNum), "FF");
    EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), 1);
    EXPECT_EQ(Form1->GetZoom(), 2);
    EXPECT_EQ(Text(Form1->EditAAnimationNum), "03");
    EXPECT_EQ(Text(Form1->LblSCHRBank), Hex(ChrBank, 2, "$"));
  };
  struct TStep {
    const char* Name;
    void (*Write)(const fs::path&, const TBytes&);
  };
  int value = 0x80;
  for (const TStep step : {TStep{"replaced by rename", ReplaceByRename}, TStep{"rewritten in place", WriteInPlace}}) {
    Image[static_cast<std::size_t>(frame)] = static_cast<std::uint8_t>(++value);
    step.Write(RomPath, Image);
    ASSERT_TRUE(WaitFor([&] { return PrgData[static_cast<std::size_t>(frame)] == value; })) << step.Name;
    expectView(value);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(RomDocument.IsModified());
    EXPECT_TRUE(Form1->statusBar()->currentMessage().contains("読み込み直しました")) << step.Name;
  }

  // With unsaved edits: asked; kept, the edits stay and the next change asks again.
  EditChrBank("12");
  GoToPattern(2, 0x1FF);
  const TBytes edited = RomDocument.Image();
  for (const TStep step : {TStep{"replaced by rename", ReplaceByRename}, TStep{"rewritten in place", WriteInPlace}}) {
    const int before = asked;
    Image[static_cast<std::size_t>(frame)] = static_cast<std::uint8_t>(++value);
    step.Write(RomPath, Image);
    ASSERT_TRUE(WaitFor([&] { return asked == before + 1; })) << step.Name;
    QTest::qWait(300);
    EXPECT_EQ(asked, before + 1) << step.Name;
    EXPECT_EQ(RomDocument.Image(), edited) << step.Name;
  }
  reload = true;
  Image[static_cast<std::size_t>(frame)] = static_cast<std::uint8_t>(++value);
  ReplaceByRename(RomPath, Image);
  ASSERT_TRUE(WaitFor([&] { return PrgData[static_cast<std::size_t>(frame)] == value; }));
  EXPECT_EQ(RomDocument.Image(), Image);
  expectView(value);

  // Caught half-written: refused as the open command refuses it, then loaded once whole.
  WriteInPlace(RomPath, TBytes(Image.begin(), Image.begin() + 10));
  ASSERT_TRUE(WaitFor([&] { return !Shown().empty(); }));
  EXPECT_EQ(Shown()[0].Text, "ファイルサイズが異常です");
  EXPECT_FALSE(RomDocument.IsLoaded());
  WriteInPlace(RomPath, Image);
  ASSERT_TRUE(WaitFor([&] { return RomDocument.IsLoaded(); }));
  EXPECT_EQ(RomDocument.Image(), Image);
}

TEST_F(ViewerWorkTest, TheComparisonListsWhatAPatchChangesAndOpensIt) {
  TBytes hack = Image;
  hack[static_cast<std::size_t>(DemoRom::Bank16LastPattern.FrameOffset)] = 0x81;
  hack[static_cast<std::size_t>(ChrDataFileOffset + 0x400 * 0x3F + 16 * 2)] ^= 0xFF;
  const std::string patch = Dir.Write("hack.ips", CreatePatch(TPatchFormat::Ips, Image, hack));
  Form1->CompareOpenDialog = [&]() -> std::optional<std::string> { return patch; };
  Form1->Compare1->trigger();
  ASSERT_NE(Form1->CompareWindow, nullptr);
  QListWidget* list = Form1->CompareWindow->List;
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text().toStdString(), "パターン 16 1FF  " + Address(DemoRom::Bank16LastPattern.FrameOffset));
  EXPECT_EQ(list->item(1)->text().toStdString(), "CHRタイル 3F 02  " + Address(ChrDataFileOffset + 0xFC20));
  EXPECT_EQ(RomDocument.Image(), Image);
  // The sheet marks pattern $1FF of bank 16 and animation $FF showing it, and nothing else.
  ASSERT_NE(Form1->Sheet, nullptr);
  Form1->Sheet->BankBox->setCurrentIndex(2);
  Form1->Sheet->BankBox->activated(2);
  const auto marked = [](QListView* View) {
    std::vector<int> rows;
    for (int row = 0; row < View->model()->rowCount(); ++row)
      if (View->model()->index(row, 0).data(Qt::BackgroundRole).isValid()) rows.push_back(row);
    return rows;
  };
  EXPECT_EQ(marked(Form1->Sheet->PatternList), std::vector<int>{0x1FF});
  EXPECT_EQ(marked(Form1->Sheet->AnimationList), std::vector<int>{0xFF});
  list->setCurrentRow(0);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
  EXPECT_EQ(Form1->CmbSBankSelect->currentIndex(), 2);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "FF");
}

}  // namespace
}  // namespace viewer_test
