// Records that grow through the editor panel's buttons, with free space declared
// in the 空き領域 dialog: each a single undo step that takes the free map back too.

#include <QAction>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QUndoStack>
#include <fstream>
#include <iterator>
#include <map>

#include "app/edit/TarvelinEditAnimation.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditRelocate.h"
#include "app/edit/TarvelinEditSprite.h"
#include "app/edit/TarvelinFreeSpaceDialog.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class RelocatePanelTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoInActiveWindow();
    Base = Caption();
  }
  QAction* FreeSpaceItem() { return Form1->findChild<QAction*>("FreeSpace1"); }
  TFreeSpaceDialog& Dialog() {
    FreeSpaceItem()->trigger();
    auto* dialog = static_cast<TFreeSpaceDialog*>(Form1->findChild<QDialog*>("FreeSpaceDialog"));
    EXPECT_TRUE(dialog && dialog->isVisible());
    return *dialog;
  }
  void Type(QLineEdit* Edit, const char* Text) {
    Edit->setFocus();
    Edit->selectAll();
    QTest::keyClicks(Edit, Text);
  }
  // $27000-$270FF of bank "12-13" ($AFF0-$B0EF), all zero and read by no pointer of the demo ROM.
  void DeclareFree() {
    for (int i = 0x27000; i < 0x27100; ++i) ASSERT_EQ(Image[static_cast<std::size_t>(i)], 0);
    TFreeSpaceDialog& dialog = Dialog();
    Type(dialog.EditFirst, "$27000");
    Type(dialog.EditLast, "270ff");
    QTest::mouseClick(dialog.AddRange, Qt::LeftButton);
    ASSERT_EQ(dialog.Ranges->count(), 1);
    EXPECT_EQ(dialog.Ranges->item(0)->text().toStdString(), "$27000-$270FF (256 バイト)");
  }
  std::vector<std::string> Listed() {
    std::vector<std::string> items;
    for (int i = 0; i < Dialog().Ranges->count(); ++i) items.push_back(Dialog().Ranges->item(i)->text().toStdString());
    return items;
  }
  std::vector<std::uint8_t> With(const std::map<int, int>& Changes) const {
    auto image = Image;
    for (const auto& [offset, value] : Changes)
      image[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
    return image;
  }
  void OpenPanel() {
    QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_TRUE(Form1->EditPanel->isVisible());
  }
  std::string Base;
};

TEST_F(RelocatePanelTest, TheMenuItemShowsOnlyWithThePanel) {
  ASSERT_NE(FreeSpaceItem(), nullptr);
  const auto before = Form1->Edit1->actions();
  EXPECT_FALSE(before.contains(FreeSpaceItem()));
  OpenPanel();
  EXPECT_EQ(Form1->Edit1->actions().back(), FreeSpaceItem());
  QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(Form1->Edit1->actions(), before);
}

TEST_F(RelocatePanelTest, AddedSpriteMovesTheRecordsIntoDeclaredSpaceAndUndoTakesAllBack) {
  OpenPanel();
  GoToPattern(0, DemoRom::FourGroups.Number);
  TEditSpritePanel& panel = *Form1->EditPanel->SpritePanel;
  ASSERT_EQ(panel.Sprites->rowCount(), 4);
  // No space declared: refused, naming the bytes and the reach.
  QTest::mouseClick(panel.AddSprite, Qt::LeftButton);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].Text, "空き領域が足りません: 13 バイトが $24010-$2800F の中に要ります");
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_FALSE(Form1->Undo1->isEnabled());

  DeclareFree();
  EXPECT_EQ(Caption(), Base + " *");
  EXPECT_EQ(RomDocument.Image(), Image);
  QTest::mouseClick(panel.AddSprite, Qt::LeftButton);
  // FrameData $24970 (11 bytes) and AlignData $24C90 (8 bytes) do not fit where they are:
  // the FrameData with a copy of sprite 3 goes to $27000 (CPU $AFF0), its pairs to $2700D ($AFFD).
  const int frame = DemoRom::FourGroups.FrameOffset, align = DemoRom::FourGroups.AlignOffset;
  std::map<int, int> changes{{0x24013, 0xF0}, {0x24213, 0xAF}, {0x24414, 0xFD}, {0x24514, 0xAF}};
  for (int i = 0; i < 11; ++i) changes[0x27000 + i] = Image[static_cast<std::size_t>(frame + i)];
  changes[0x27001] = 4;
  changes[0x2700B] = Image[static_cast<std::size_t>(frame + 9)];
  changes[0x2700C] = Image[static_cast<std::size_t>(frame + 10)];
  for (int i = 0; i < 8; ++i) changes[0x2700D + i] = Image[static_cast<std::size_t>(align + i)];
  changes[0x27015] = Image[static_cast<std::size_t>(align + 6)];
  changes[0x27016] = Image[static_cast<std::size_t>(align + 7)];
  EXPECT_EQ(RomDocument.Image(), With(changes));
  EXPECT_EQ(panel.Sprites->rowCount(), 5);
  EXPECT_EQ(panel.SelectedSprite(), 4);
  EXPECT_EQ(Text(Form1->LblSFrameAddress), "$27000");
  EXPECT_EQ(Listed(), (std::vector<std::string>{"$24970-$2497A (11 バイト)", "$24C90-$24C97 (8 バイト)",
                                                "$27017-$270FF (233 バイト)"}));
  EXPECT_EQ(Form1->Undo1->text().toStdString(), "元に戻す 12-13:$003 スプライト$04 の追加");

  QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(Listed(), std::vector<std::string>{"$27000-$270FF (256 バイト)"});
  EXPECT_EQ(panel.Sprites->rowCount(), 4);
  QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(Caption(), Base);
}

TEST_F(RelocatePanelTest, ASharedRecordAsksAndThisPatternOnlyCopiesBeforeTheEdit) {
  OpenPanel();
  DeclareFree();
  // $010 and $110 of "12-13" read the pairs of alignment $0A with FrameData of their own.
  GoToPattern(0, DemoRom::WalkFrame0.Number);
  TEditSpritePanel& panel = *Form1->EditPanel->SpritePanel;
  const int rows = panel.Sprites->rowCount();
  const auto old = AskSharedEdit;
  std::vector<int> asked;
  TSharedEdit answer = TSharedEdit::All;
  AskSharedEdit = [&](int Users, const QString&, const QString& Only) {
    EXPECT_EQ(Only.toStdString(), "このパターンだけ");
    asked.push_back(Users);
    return answer;
  };
  const auto before = RomDocument.Image();
  // For both: the other pattern reads the pairs with a FrameData of its own, so it is refused.
  QTest::mouseClick(panel.AddSprite, Qt::LeftButton);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].Text.rfind("パターン 12-13 の $110 が 配置データ ", 0), 0u) << Shown()[0].Text;
  EXPECT_EQ(RomDocument.Image(), before);
  answer = TSharedEdit::Cancel;
  QTest::mouseClick(panel.AddSprite, Qt::LeftButton);
  EXPECT_EQ(Form1->RomUndoStack->count(), 1);  // the declared range only
  answer = TSharedEdit::ThisOnly;
  QTest::mouseClick(panel.AddSprite, Qt::LeftButton);
  EXPECT_EQ(asked, (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(Form1->RomUndoStack->count(), 2);
  EXPECT_EQ(panel.Sprites->rowCount(), rows + 1);
  const auto after = RomDocument.Image();
  const int base = DemoRom::BankBases[0];
  // The bytes a pattern reads: its FrameData, then its AlignData.
  const auto records = [&](const std::vector<std::uint8_t>& Rom, int Number) {
    const int frame = FrameOffsetIn(Rom, base, Number);
    const int count = Rom[static_cast<std::size_t>(frame + 1)] + 1;
    const int align = AlignOffsetIn(Rom, base, Rom[static_cast<std::size_t>(frame + 2)]);
    std::vector<std::uint8_t> bytes(Rom.begin() + frame, Rom.begin() + frame + 3 + 2 * count);
    bytes.insert(bytes.end(), Rom.begin() + align, Rom.begin() + align + 2 * count);
    return bytes;
  };
  // The other pattern reads what it read; this one has its own records, one sprite longer.
  EXPECT_EQ(records(after, DemoRom::HighWalkFrame0.Number), records(before, DemoRom::HighWalkFrame0.Number));
  EXPECT_NE(FrameOffsetIn(after, base, DemoRom::WalkFrame0.Number), DemoRom::WalkFrame0.FrameOffset);
  EXPECT_NE(AlignOffsetIn(after, base, after[static_cast<std::size_t>(FrameOffsetIn(after, base, 0x010) + 2)]),
            DemoRom::WalkFrame0.AlignOffset);
  QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(RomDocument.Image(), before);
  EXPECT_EQ(Listed(), std::vector<std::string>{"$27000-$270FF (256 バイト)"});
  AskSharedEdit = old;
}

// What a pattern of bank "12-13" reads, worked out on an image: its FrameData but
// the alignment number, then its AlignData.
std::vector<std::uint8_t> Reads(const std::vector<std::uint8_t>& Rom, int Number) {
  const int base = DemoRom::BankBases[0];
  const int frame = FrameOffsetIn(Rom, base, Number);
  const int count = Rom[static_cast<std::size_t>(frame + 1)] + 1;
  const int align = AlignOffsetIn(Rom, base, Rom[static_cast<std::size_t>(frame + 2)]);
  std::vector<std::uint8_t> bytes(Rom.begin() + frame, Rom.begin() + frame + 3 + 2 * count);
  bytes.erase(bytes.begin() + 2);
  bytes.insert(bytes.end(), Rom.begin() + align, Rom.begin() + align + 2 * count);
  return bytes;
}

// Runs Edit and answers the window's question with the button whose text is
// Button (empty: Cancel) by a click, or by Space on it where a drag holds the
// mouse button; the texts of the buttons each time it asked.
std::vector<QStringList> Answering(const std::function<void()>& Edit, const QString& Button, bool ByKey = false) {
  std::vector<QStringList> asked;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    QStringList texts;
    QAbstractButton* answer = Button.isEmpty() ? box->button(QMessageBox::Cancel) : nullptr;
    for (QAbstractButton* button : box->buttons()) {
      texts << button->text();
      if (button->text() == Button) answer = button;
    }
    texts.sort();
    asked.push_back(texts);
    if (answer && ByKey) QTest::keyClick(answer, Qt::Key_Space);
    if (answer && !ByKey) QTest::mouseClick(answer, Qt::LeftButton);
  });
  poll.start(10);
  Edit();
  poll.stop();
  // The window is active again once the box is gone, as a window system would make it.
  Form1->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(Form1));
  return asked;
}

TEST_F(RelocatePanelTest, AnEditOfASharedRecordAsksAndEachAnswerKeepsItsWord) {
  AskSharedEdit = RealAskSharedEdit();
  OpenPanel();
  TEditSpritePanel& panel = *Form1->EditPanel->SpritePanel;
  QTableWidget* table = panel.Sprites;
  const auto typeInCell = [&](int Column, const char* Text) {
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(0, 0)).center());
    for (int c = 0; c < Column; ++c) QTest::keyClick(table, Qt::Key_Right);
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClicks(QApplication::focusWidget(), Text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
  };
  // Patterns of all three banks that read the record at Offset, counted on the image as loaded.
  const auto users = [&](bool Align, int Offset) {
    int count = 0;
    for (int bank = 0; bank < 3; ++bank)
      for (int n = 0; n < 512; ++n) {
        const int base = DemoRom::BankBases[static_cast<std::size_t>(bank)];
        const int frame = FrameOffsetIn(Image, base, n);
        count += (Align ? AlignOffsetIn(Image, base, Image[static_cast<std::size_t>(frame + 2)]) : frame) == Offset;
      }
    return count;
  };
  const QString only = "このパターンだけ";

  // Without free space this pattern cannot have its own copy: the usual message, nothing changed.
  GoToPattern(0, DemoRom::OneSprite.Number);
  Answering([&] { typeInCell(TEditSpritePanel::ColY, "10"); }, only);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].Text.rfind("空き領域が足りません: ", 0), 0u) << Shown()[0].Text;
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(Form1->RomUndoStack->count(), 0);

  DeclareFree();
  const std::vector<std::string> free = Listed();
  struct TEdit {
    const char* Name;
    int Number;
    int Other;  // a pattern that reads the same record
    int Column;
    const char* Typed;
    int Offset;  // the byte the edit writes
    int Value;
    bool Align;
    int Read;  // its index in what the pattern reads
  };
  const int defaultFrame = DemoRom::DefaultFrameOffsets[0];
  const TEdit edits[] = {
      {"Y in pairs three patterns read", DemoRom::OneSprite.Number, DemoRom::LastPattern.Number, TEditSpritePanel::ColY,
       "10", DemoRom::OneSprite.AlignOffset, 0x10, true, 4},
      {"a tile of the FrameData unused numbers share", 0x00D, 0x0FE, TEditSpritePanel::ColTile, "7E", defaultFrame + 3,
       0x7E, false, 2},
  };
  for (const TEdit& edit : edits)
    for (const QString& answer : {QString(), QString("%1 パターンに反映"), only}) {
      SCOPED_TRACE(std::string(edit.Name) + " / " + (answer.isEmpty() ? "cancel" : answer.toStdString()));
      GoToPattern(0, edit.Number);
      const int steps = Form1->RomUndoStack->index();
      const QString all = QString("%1 パターンに反映").arg(users(edit.Align, edit.Align ? edit.Offset : defaultFrame));
      const auto asked =
          Answering([&] { typeInCell(edit.Column, edit.Typed); }, answer.contains("%1") ? all : answer);
      QStringList buttons = {all, only, "キャンセル"};
      buttons.sort();
      EXPECT_EQ(asked, std::vector<QStringList>{buttons});
      const auto after = RomDocument.Image();
      auto edited = Reads(Image, edit.Number);
      edited[static_cast<std::size_t>(edit.Read)] = static_cast<std::uint8_t>(edit.Value);
      if (answer.isEmpty()) {
        EXPECT_EQ(after, Image);
        EXPECT_EQ(Form1->RomUndoStack->index(), steps);
        continue;
      }
      EXPECT_EQ(Reads(after, edit.Number), edited);
      EXPECT_EQ(Form1->RomUndoStack->index(), steps + 1);
      if (answer == only) {
        EXPECT_EQ(Reads(after, edit.Other), Reads(Image, edit.Other));
        // Only the copies in the declared space and the bank's pointers changed.
        for (std::size_t i = 0; i < after.size(); ++i) {
          if (after[i] == Image[i]) continue;
          EXPECT_TRUE((i >= 0x27000 && i < 0x27100) || (i >= 0x24010 && i < 0x24610)) << Address(static_cast<int>(i));
        }
      } else {
        EXPECT_EQ(after, With({{edit.Offset, edit.Value}}));
      }
      QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
      EXPECT_EQ(RomDocument.Image(), Image);
      EXPECT_EQ(Listed(), free);
    }

  // A drag asks at its first move only, and its own copy and every move are one step.
  Form1->SetZoom(1);
  GoToPattern(0, DemoRom::OneSprite.Number);
  const QPoint from(127, 127);  // (Y, X) = ($FC, $FC): picture pixels 124-131
  const int steps = Form1->RomUndoStack->index();
  const auto drag = [&] {
    QTest::mousePress(Form1->ImgSprite, Qt::LeftButton, {}, from);
    for (int x = 1; x <= 3; ++x) QTest::mouseMove(Form1->ImgSprite, from + QPoint(x, 2));
    QTest::mouseRelease(Form1->ImgSprite, Qt::LeftButton, {}, from + QPoint(3, 2));
  };
  EXPECT_EQ(Answering(drag, QString(), true).size(), 1u);
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(Form1->RomUndoStack->index(), steps);
  const auto asked = Answering(drag, only, true);
  EXPECT_EQ(asked.size(), 1u);
  auto moved = Reads(Image, DemoRom::OneSprite.Number);
  moved[4] = 0xFE;
  moved[5] = 0xFF;
  EXPECT_EQ(Reads(RomDocument.Image(), DemoRom::OneSprite.Number), moved);
  EXPECT_EQ(Reads(RomDocument.Image(), DemoRom::FirstHighPattern.Number), Reads(Image, DemoRom::FirstHighPattern.Number));
  EXPECT_EQ(Form1->RomUndoStack->index(), steps + 1);
  QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(Listed(), free);
}

TEST_F(RelocatePanelTest, PairsReadThroughAnotherNumberAreDetachedAloneWhereTheNoticeNamesThem) {
  OpenPanel();
  DeclareFree();
  TEditSpritePanel& panel = *Form1->EditPanel->SpritePanel;
  GoToPattern(0, DemoRom::OneSprite.Number);
  EXPECT_FALSE(panel.DetachAlign->isVisible());  // its other users name the same number
  // Alignment number $0D leads to the pairs of $00, which the unused patterns read.
  const int base = DemoRom::BankBases[0];
  ASSERT_EQ(AlignOffsetIn(Image, base, 0x0D), AlignOffsetIn(Image, base, 0x00));
  Type(panel.EditAlign, "0D");
  QTest::keyClick(panel.EditAlign, Qt::Key_Return);
  const auto named = RomDocument.Image();
  ASSERT_NE(named, Image);
  EXPECT_TRUE(panel.DetachAlign->isVisible());
  QTest::mouseClick(panel.DetachAlign, Qt::LeftButton);
  const auto after = RomDocument.Image();
  // Number $0D of the bank reads a copy at $27000 (CPU $AFF0); the FrameData stays where it was.
  EXPECT_EQ(AlignOffsetIn(after, base, 0x0D), 0x27000);
  EXPECT_EQ(AlignOffsetIn(after, base, 0x00), AlignOffsetIn(Image, base, 0x00));
  EXPECT_EQ(FrameOffsetIn(after, base, DemoRom::OneSprite.Number), DemoRom::OneSprite.FrameOffset);
  EXPECT_EQ(Reads(after, DemoRom::OneSprite.Number), Reads(named, DemoRom::OneSprite.Number));
  EXPECT_EQ(Reads(after, 0x00D), Reads(Image, 0x00D));
  EXPECT_FALSE(panel.DetachAlign->isVisible());
  QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(RomDocument.Image(), named);
  EXPECT_EQ(Listed(), std::vector<std::string>{"$27000-$270FF (256 バイト)"});
}

TEST_F(RelocatePanelTest, TicksOfAnAnimationOthersShareGoToThisOneOnlyWhenSoAnswered) {
  AskSharedEdit = RealAskSharedEdit();
  OpenPanel();
  DeclareFree();
  TEditAnimationPanel& panel = *Form1->EditPanel->AnimationPanel;
  GoToAnimation(0x07);  // no animation of its own: the record every unused number of the bank reads
  const int shared = DemoRom::DefaultAnimationOffsets[0];
  ASSERT_EQ(Text(Form1->LblADataAddress), Address(shared));
  const auto asked = Answering(
      [&] {
        Type(panel.EditTicks, "5");
        QTest::keyClick(panel.EditTicks, Qt::Key_Return);
      },
      "このアニメーションだけ");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_TRUE(asked[0].contains("このアニメーションだけ"));
  EXPECT_TRUE(asked[0].filter("アニメーションに反映").size() == 1);
  // Its own copy at $27000 (CPU $AFF0), four ticks a frame less one; the others read the old record.
  const int base = DemoRom::BankBases[0];
  const auto after = RomDocument.Image();
  const auto pointer = [&](const std::vector<std::uint8_t>& Rom, int Number) {
    return Pointer(Rom, base, 0x600 + Number, 0x700 + Number);
  };
  EXPECT_EQ(pointer(after, 0x07), 0x27000);
  EXPECT_EQ(pointer(after, 0x08), shared);
  EXPECT_EQ(after[0x27001], 4);
  EXPECT_EQ(Text(Form1->LblADataAddress), "$27000");
  EXPECT_EQ(Form1->RomUndoStack->index(), 2);  // the declared range, then the copy with its ticks
  Form1->Undo1->trigger();  // the ticks box keeps Ctrl+Z for its text
  EXPECT_EQ(RomDocument.Image(), Image);
}

TEST_F(RelocatePanelTest, FramesAreDuplicatedMovedAndDeletedOneStepEach) {
  OpenPanel();
  DeclareFree();
  ShowAnimationPage();
  TEditAnimationPanel& panel = *Form1->EditPanel->AnimationPanel;
  QListWidget* frames = panel.Frames;
  QTest::mouseClick(frames->viewport(), Qt::LeftButton, {}, frames->visualItemRect(frames->item(1)).center());
  QTest::mouseClick(panel.DuplicateFrame, Qt::LeftButton);
  // 02 03 10 11 12 gains a frame: moved to $27000 (CPU $AFF0), the page following it.
  EXPECT_EQ(Text(Form1->LblADataAddress), "$27000");
  EXPECT_EQ(Text(Form1->EditAData), "03 03 10 11 11 12 ");
  EXPECT_EQ(frames->count(), 4);
  EXPECT_EQ(frames->currentRow(), 2);
  QTest::mouseClick(panel.FrameDown, Qt::LeftButton);
  EXPECT_EQ(Text(Form1->EditAData), "03 03 10 11 12 11 ");
  EXPECT_EQ(frames->currentRow(), 3);
  QTest::mouseClick(panel.DeleteFrame, Qt::LeftButton);
  EXPECT_EQ(Text(Form1->EditAData), "02 03 10 11 12 ");
  EXPECT_EQ(Text(Form1->LblADataAddress), "$27000");
  // The old record is nobody's any more; the moved one's last byte is free again.
  const int old = DemoRom::ThreeFrames.Offset;
  char first[16];
  std::snprintf(first, sizeof first, "$%05X-$%05X", old, old + 4);
  EXPECT_EQ(Listed(), (std::vector<std::string>{std::string(first) + " (5 バイト)", "$27005-$270FF (251 バイト)"}));
  for (int i = 0; i < 3; ++i) QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(old));
  EXPECT_EQ(Text(Form1->EditAData), "02 03 10 11 12 ");
  EXPECT_EQ(Listed(), std::vector<std::string>{"$27000-$270FF (256 バイト)"});

  // Saved, the map goes beside the ROM, and comes back with it.
  EXPECT_EQ(Caption(), Base + " *");
  Form1->OverwriteRomDialog = [](const std::string&) { return true; };
  Form1->SaveRom1->trigger();
  EXPECT_EQ(Caption(), Base);
  std::ifstream file(RomPath + ".tarvelin-free", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}),
            "TARVELIN free space 1\n# first and last file offset of each free range\n$27000 $270FF\n");
  OpenDemo();
  EXPECT_EQ(Listed(), std::vector<std::string>{"$27000-$270FF (256 バイト)"});
  EXPECT_EQ(Caption(), Base);
}

TEST_F(RelocatePanelTest, DetectionProposesAndEachAcceptedRangeIsOneStep) {
  OpenPanel();
  TFreeSpaceDialog& dialog = Dialog();
  QTest::mouseClick(dialog.Detect, Qt::LeftButton);
  ASSERT_GT(dialog.Proposals->count(), 1);
  const std::string proposed = dialog.Proposals->item(0)->text().toStdString();
  const int before = dialog.Proposals->count();
  QTest::mouseClick(dialog.Accept, Qt::LeftButton);
  EXPECT_EQ(Listed(), std::vector<std::string>{proposed});
  EXPECT_EQ(dialog.Proposals->count(), before - 1);
  EXPECT_EQ(RomDocument.Image(), Image);
  QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(Listed().empty());
}

}  // namespace
}  // namespace viewer_test
