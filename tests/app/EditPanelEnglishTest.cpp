// The editor panel, its menu items and the free-space dialog in English: the
// translation compiled from its .ts as the build would, installed while the
// panel is open; every text the user can see is walked, then the translator
// is taken away and every text must read as it did in Japanese.

#include <QAbstractButton>
#include <QClipboard>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <QTimer>
#include <QUndoStack>
#include <functional>

#include "app/edit/TarvelinEditAnimation.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditRecords.h"
#include "app/edit/TarvelinEditSprite.h"
#include "app/edit/TarvelinFreeSpaceDialog.h"
#include "app/edit/TarvelinImportItems.h"
#include "app/edit/TarvelinImportPreview.h"
#include "app/window/TarvelinLanguage.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

using TTexts = std::vector<std::pair<std::string, std::string>>;

bool Japanese(const QString& Text) {
  static const QRegularExpression kana("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]");
  return Text.contains(kana);
}

// Every text a user can read on Root and the widgets in it, by where it is.
TTexts Texts(QWidget* Root) {
  TTexts texts;
  QList<QWidget*> widgets = Root->findChildren<QWidget*>();
  widgets.prepend(Root);
  for (int i = 0; i < widgets.size(); ++i) {
    QWidget* w = widgets[i];
    const std::string at = std::to_string(i) + " " + w->metaObject()->className() + " ";
    const auto add = [&](const std::string& What, const QString& Text) {
      if (!Text.isEmpty()) texts.emplace_back(at + What, Text.toStdString());
    };
    add("tooltip", w->toolTip());
    if (w->isWindow() || qobject_cast<QDockWidget*>(w)) add("title", w->windowTitle());
    if (auto* label = qobject_cast<QLabel*>(w)) add("text", label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) add("text", button->text());
    if (auto* table = qobject_cast<QTableWidget*>(w)) {
      for (int c = 0; c < table->columnCount(); ++c)
        if (auto* header = table->horizontalHeaderItem(c)) add("header " + std::to_string(c), header->text());
      for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c)
          if (auto* item = table->item(r, c)) add("cell " + std::to_string(r) + "," + std::to_string(c), item->text());
    }
    if (auto* list = qobject_cast<QListWidget*>(w))
      for (int r = 0; r < list->count(); ++r) add("item " + std::to_string(r), list->item(r)->text());
  }
  return texts;
}

// The panel's items in the window's menus.
TTexts MenuTexts() {
  TTexts texts;
  const auto add = [&](const std::string& Name, const QString& Text) { texts.emplace_back(Name, Text.toStdString()); };
  add("panel item", Form1->ShowEditPanel1->text());
  add("free space item", Form1->findChild<QAction*>("FreeSpace1")->text());
  const auto* records = Form1->findChild<TRecordItems*>();
  add("export records", records->ExportRecords1->text());
  add("import records", records->ImportRecords1->text());
  const auto* imports = Form1->findChild<TImportItems*>("ImportItems");
  add("import menu", imports->Import1->title());
  for (QAction* item : imports->Import1->actions())
    if (!item->isSeparator()) add("import item", item->text());
  return texts;
}

// The window's English, as the language menu installs it, while alive.
class TEnglish {
public:
  TEnglish() {
    InstallLanguage(TLanguage::English);
    Settle();
  }
  ~TEnglish() {
    InstallLanguage(TLanguage::Japanese);
    Settle();
  }
  // What follows the change (the window's texts, then the layouts) is posted as it goes.
  static void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }
};

void ExpectEnglish(const TTexts& Texts) {
  for (const auto& [where, text] : Texts) EXPECT_FALSE(Japanese(QString::fromStdString(text))) << where << ": " << text;
}

void ExpectEnglish(const QString& Text) { EXPECT_FALSE(Japanese(Text)) << Text.toStdString(); }

// Every label and button under Root shows its whole text, and every header its title.
void ExpectTextsFit(QWidget* Root) {
  for (QWidget* w : Root->findChildren<QWidget*>()) {
    if (!w->isVisible()) continue;
    const QFontMetrics metrics = w->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap() && !label->text().isEmpty()) {
      for (const QString& line : label->text().split('\n'))
        EXPECT_LE(metrics.horizontalAdvance(line), label->contentsRect().width()) << line.toStdString();
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      EXPECT_LE(metrics.horizontalAdvance(button->text().remove('&')), room.width()) << button->text().toStdString();
    } else if (auto* tool = qobject_cast<QAbstractButton*>(w); tool && !tool->text().isEmpty()) {
      EXPECT_LE(tool->sizeHint().width(), tool->width()) << tool->text().toStdString();
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
      const int margin = 2 * table->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, table->horizontalHeader());
      for (int c = 0; c < table->columnCount(); ++c) {
        const QString title = table->horizontalHeaderItem(c)->text();
        EXPECT_LE(table->horizontalHeader()->fontMetrics().horizontalAdvance(title) + margin,
                  table->horizontalHeader()->sectionSize(c))
            << title.toStdString();
      }
    }
  }
}

// The texts of the message box Trigger shows, which is then answered with Escape.
QStringList AskedBy(const std::function<void()>& Trigger) {
  QStringList texts;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    texts << box->text();
    // Qt's own buttons speak the language of Qt's translation, which is not the panel's.
    for (QAbstractButton* button : box->buttons())
      if (box->standardButton(button) == QMessageBox::NoButton) texts << button->text();
    box->reject();
  });
  poll.start(10);
  Trigger();
  return texts;
}

class EditPanelEnglishTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoWithEditPanel();
  }
  TEditSpritePanel& Sprite() { return *Form1->EditPanel->SpritePanel; }
  TTexts PanelTexts() {
    TTexts texts = Texts(Form1->EditPanel);
    const TTexts menus = MenuTexts();
    texts.insert(texts.end(), menus.begin(), menus.end());
    texts.emplace_back("legend 1", Form1->Label4->text().toStdString());
    texts.emplace_back("legend 2", Form1->Label5->text().toStdString());
    return texts;
  }
  // Selects Sprite with a click on the picture, which then nudges it with the arrows.
  void ClickSprite(int Sprite) {
    const int zoom = Form1->GetZoom();
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        if (SpritePage.Trace.Map.At(x, y) == Sprite) {
          QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, QPoint(x * zoom + zoom / 2, y * zoom + zoom / 2));
          return;
        }
    FAIL() << "sprite " << Sprite << " is not drawn";
  }
};

TEST_F(EditPanelEnglishTest, ThePanelAndItsItemsSpeakEnglishAndJapaneseAgainAfter) {
  // The end frame's item; then a pattern whose alignment data another pattern reads, a sprite picked on the picture.
  GoToAnimation(DemoRom::EndsWithZero.Number);
  Form1->EditPanel->Refresh();
  GoToPattern(0, DemoRom::WalkFrame0.Number);
  ClickSprite(0);
  ASSERT_EQ(Sprite().SelectedSprite(), 0);
  ASSERT_TRUE(Form1->ImgSprite->hasFocus());
  const TTexts japanese = PanelTexts();
  const auto withKana =
      std::ranges::count_if(japanese, [](const auto& T) { return Japanese(QString::fromStdString(T.second)); });
  EXPECT_GE(withKana, 35);
  {
    TEnglish english;
    const TTexts texts = PanelTexts();
    ASSERT_EQ(texts.size(), japanese.size());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i].first, japanese[i].first);
    ExpectEnglish(texts);
    // The docked panel has made room for the longer texts: nothing to scroll sideways.
    const auto* area = qobject_cast<QScrollArea*>(Form1->EditPanel->widget());
    EXPECT_LE(area->widget()->minimumSizeHint().width(), area->viewport()->width());
    ExpectTextsFit(Form1->EditPanel);
    ShowAnimationPage();
    QApplication::processEvents();
    ExpectTextsFit(Form1->EditPanel);
    ShowSpritePage();
    QApplication::processEvents();

    // A nudge: its step's name, and the status bar's word that the other pattern changed too.
    ClickSprite(0);
    QTest::keyClick(Form1->ImgSprite, Qt::Key_Right);
    ASSERT_EQ(Form1->RomUndoStack->count(), 1);
    ExpectEnglish(Form1->RomUndoStack->undoText());
    EXPECT_EQ(Form1->statusBar()->currentMessage().toStdString(),
              "Changed Alignment data $0A: 1 other pattern changes too");
    // A field's refusal.
    QLineEdit* bank = Sprite().EditChrBank;
    QTest::mouseClick(bank, Qt::LeftButton);
    QTest::keyClick(bank, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(bank, Qt::Key_Backspace);
    QTest::keyClick(bank, Qt::Key_Return);
    ExpectEnglish(Form1->statusBar()->currentMessage());
    EXPECT_FALSE(Form1->statusBar()->currentMessage().isEmpty());
    // The question a shared record asks, answered Cancel.
    AskSharedEdit = RealAskSharedEdit();
    const QStringList asked = AskedBy([&] { QTest::mouseClick(Sprite().AddSprite, Qt::LeftButton); });
    ASSERT_EQ(asked.size(), 3);
    for (const QString& text : asked) ExpectEnglish(text);
    EXPECT_EQ(Form1->RomUndoStack->count(), 1);
    // A paste with nothing on the clipboard.
    QGuiApplication::clipboard()->clear();
    Form1->findChild<TImportItems*>("ImportItems")->PastePatternTable1->trigger();
    ASSERT_EQ(Shown().size(), 1u);
    ExpectEnglish(QString::fromStdString(Shown()[0].Text));
    // The import's preview.
    TImportPreviewDialog preview(Form1, "Import", TImportResult{}, {});
    ExpectEnglish(Texts(&preview));
    Form1->RomUndoStack->undo();
    // Nudging again when the language goes back.
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    ClickSprite(0);
    ASSERT_TRUE(Form1->ImgSprite->hasFocus());
  }
  // The nudge's step keeps the name it was given; everything else reads as before.
  EXPECT_EQ(PanelTexts(), japanese);
}

TEST_F(EditPanelEnglishTest, TheFreeSpaceDialogSpeaksEnglishAndJapaneseAgainAfter) {
  QAction* item = Form1->findChild<QAction*>("FreeSpace1");
  item->trigger();
  auto* dialog = Form1->findChild<TFreeSpaceDialog*>("FreeSpaceDialog");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  const auto declare = [&](const char* First, const char* Last) {
    dialog->EditFirst->setText(First);
    dialog->EditLast->setText(Last);
    QTest::mouseClick(dialog->AddRange, Qt::LeftButton);
  };
  declare("27000", "270FF");
  ASSERT_EQ(dialog->Ranges->count(), 1);
  const TTexts japanese = Texts(dialog);
  {
    TEnglish english;
    const TTexts texts = Texts(dialog);
    ASSERT_EQ(texts.size(), japanese.size());
    ExpectEnglish(texts);
    EXPECT_EQ(dialog->Ranges->item(0)->text().toStdString(), "$27000-$270FF (256 bytes)");
    ExpectTextsFit(dialog);
    declare("27200", "27200");
    ASSERT_EQ(dialog->Ranges->count(), 2) << (Shown().empty() ? "" : Shown()[0].Text);
    EXPECT_EQ(dialog->Ranges->item(1)->text().toStdString(), "$27200-$27200 (1 byte)");
    ExpectEnglish(Form1->RomUndoStack->undoText());
    // Outside PRG-ROM: refused in words.
    declare("5", "6");
    ASSERT_EQ(Shown().size(), 1u);
    ExpectEnglish(QString::fromStdString(Shown()[0].Text));
    Form1->RomUndoStack->undo();
  }
  EXPECT_EQ(Texts(dialog), japanese);
}

// Opened in English, each part the panel shows has room for its texts.
TEST_F(EditPanelEnglishTest, APanelOpenedInEnglishMakesRoomForBothParts) {
  QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
  ASSERT_FALSE(Form1->EditPanel->isVisible());
  TEnglish english;
  QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
  const auto* area = qobject_cast<QScrollArea*>(Form1->EditPanel->widget());
  for (const bool sprite : {false, true}) {
    sprite ? ShowSpritePage() : ShowAnimationPage();
    TEnglish::Settle();
    EXPECT_LE(area->widget()->minimumSizeHint().width(), area->viewport()->width()) << sprite;
    ExpectTextsFit(Form1->EditPanel);
  }
}

}  // namespace
}  // namespace viewer_test
