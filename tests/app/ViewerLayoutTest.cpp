// The window's stored layout: every caption and initial text the user reads,
// the read-only number boxes, and closing the window.

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QTranslator>
#include <utility>

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

using ViewerLayoutTest = ViewerTest;

std::string LabelText(const char* Name) {
  const auto* label = Form1->findChild<QLabel*>(Name);
  return label ? label->text().toStdString() : std::string("<no label ") + Name + ">";
}

TEST_F(ViewerLayoutTest, MenuAndPagesCarryTheirCaptions) {
  const auto menus = Form1->menuBar()->actions();
  // ファイル(F), 編集(E) with undo, redo, copy, the editor panel and the imports, then the zoom's 表示(V).
  ASSERT_EQ(menus.size(), 3);
  EXPECT_EQ(menus[0]->text().toStdString(), "ファイル(&F)");
  EXPECT_EQ(menus[1]->text().toStdString(), "編集(&E)");
  EXPECT_EQ(menus[2]->text().toStdString(), "表示(&V)");
  const auto edit = menus[1]->menu()->actions();
  ASSERT_EQ(edit.size(), 8);
  EXPECT_EQ(edit[0], Form1->Undo1);
  EXPECT_EQ(edit[1], Form1->Redo1);
  EXPECT_TRUE(edit[2]->isSeparator());
  EXPECT_EQ(edit[3], Form1->Copy1);
  EXPECT_TRUE(edit[4]->isSeparator());
  EXPECT_EQ(edit[5], Form1->ShowEditPanel1);
  EXPECT_TRUE(edit[6]->isSeparator());
  EXPECT_EQ(edit[7]->text().toStdString(), "取り込み(&I)");
  EXPECT_EQ(Form1->Copy1->text().toStdString(), "コピー(&C)");
  // The open-with-a-patch, recent files, save, compare and emulator items stand between 開く and 終了.
  const auto items = menus[0]->menu()->actions();
  ASSERT_EQ(items.size(), 14);
  EXPECT_EQ(items[0], Form1->Open1);
  EXPECT_EQ(items[1], Form1->OpenPatched1);
  EXPECT_EQ(items[2], Form1->Recent1->menuAction());
  EXPECT_EQ(items[3], Form1->SaveImage1);
  EXPECT_EQ(items[4], Form1->SaveAnimation1);
  EXPECT_EQ(items[5], Form1->SaveRom1);
  EXPECT_EQ(items[6], Form1->SaveRomAs1);
  EXPECT_EQ(items[7], Form1->ExportPatch1);
  EXPECT_EQ(items[8], Form1->Compare1);
  EXPECT_EQ(items[9], Form1->RunEmulator1);
  EXPECT_EQ(items[10], Form1->EmulatorSettings1);
  EXPECT_EQ(Form1->Compare1->text().toStdString(), "比較(&C)...");
  EXPECT_EQ(Form1->RunEmulator1->text().toStdString(), "エミュレータで実行(&U)");
  EXPECT_EQ(Form1->RunEmulator1->shortcut(), QKeySequence(Qt::Key_F5));
  // The records as text, put in by the editor's part of the window.
  EXPECT_EQ(items[11]->text().toStdString(), "記録をテキストで書き出す(&T)...");
  EXPECT_EQ(items[12]->text().toStdString(), "記録をテキストから読み込む(&I)...");
  EXPECT_EQ(items[13], Form1->Exit1);
  EXPECT_EQ(Form1->Recent1->title().toStdString(), "最近使ったファイル(&R)");
  EXPECT_EQ(Form1->Open1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(Form1->Open1->text().toStdString(), "開く(&O)");
  EXPECT_EQ(Form1->Exit1->text().toStdString(), "終了(&X)");

  ASSERT_EQ(Form1->PageControl1->count(), 2);
  EXPECT_EQ(Form1->PageControl1->widget(0), Form1->TabAnimation);
  EXPECT_EQ(Form1->PageControl1->widget(1), Form1->TabSprite);
  EXPECT_EQ(Form1->PageControl1->tabText(0).toStdString(), "アニメーション");
  EXPECT_EQ(Form1->PageControl1->tabText(1).toStdString(), "スプライトパターン");
  EXPECT_EQ(std::string(TForm1::ROMOpenDialogFilter), "TARVELINROMイメージ(*.nes)|*.nes");
}

// The real file dialogs, read while they are up and then cancelled: each filter
// shows its description as it stands, and the toolkit's own texts are Japanese
// wherever the toolkit's Japanese translations are installed.
TEST_F(ViewerLayoutTest, FileDialogsShowFilterDescriptionsAndJapaneseTexts) {
  QTranslator japanese;
  const bool translated = japanese.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  const QString lookIn = translated ? japanese.translate("QFileDialog", "Look in:") : "Look in:";
  const QString cancel = translated ? japanese.translate("QPlatformTheme", "Cancel") : "Cancel";
  ASSERT_FALSE(lookIn.isEmpty());
  const struct {
    QAction* Item;
    QStringList Filters;
  } dialogs[] = {
      {Form1->Open1, {"TARVELINROMイメージ(*.nes)"}},
      {Form1->SaveImage1, {"PNG画像(*.png)", "ビットマップ(*.bmp)"}},
      {Form1->SaveAnimation1, {"GIFアニメーション(*.gif)", "APNGアニメーション(*.png)"}},
  };
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.Item->text().toStdString());
    if (d.Item != Form1->Open1 && !SpriteDrawer) {
      OpenDemo();
      Tick();
    }
    QStringList filters;
    QString shownLookIn, shownCancel;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
      for (int i = 0; types && i < types->count(); ++i) filters << types->itemText(i);
      if (const auto* label = dialog->findChild<QLabel*>("lookInLabel")) shownLookIn = label->text();
      if (const auto* box = dialog->findChild<QDialogButtonBox*>("buttonBox"))
        if (const auto* button = box->button(QDialogButtonBox::Cancel)) shownCancel = button->text();
      dialog->reject();
    });
    poll.start(10);
    d.Item->trigger();
    poll.stop();
    EXPECT_EQ(filters, d.Filters);
    EXPECT_EQ(shownLookIn, lookIn);
    EXPECT_EQ(shownCancel, cancel);
  }
  // Cancelled: nothing opened, nothing written, nothing to report.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 2);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ViewerLayoutTest, AnimationPageStartsWithItsTexts) {
  const std::pair<const char*, const char*> labels[] = {
      {"Label8", "バンク:"},
      {"Label9", "アニメーション番号:"},
      {"Label11", "→←: +/- $01"},
      {"Label12", "↑↓: +/- $10"},
      {"LblACurrentFrame", "0"},
      {"Label23", "/"},
      {"LblAFrameMax", "0"},
      {"Label18", "アニメーション定義アドレス:"},
      {"LblADataAddress", "$00000"},
      {"Label19", "フレーム数:"},
      {"LblAnFrame", "00"},
      {"Label20", "次のパターンに切り替わるまでのフレーム数:"},
      {"LblATimer", "00"},
      {"Label22", "アニメーション定義:"},
  };
  for (const auto& [name, text] : labels) EXPECT_EQ(LabelText(name), text) << name;
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  EXPECT_EQ(Text(Form1->EditAData), "");
  EXPECT_EQ(Form1->btnAnimationPlay->text().toStdString(), "再生");
  EXPECT_EQ(Form1->btnAnimationStop->text().toStdString(), "停止");
  EXPECT_TRUE(Form1->btnAnimationPlay->isEnabled());
  EXPECT_FALSE(Form1->btnAnimationStop->isEnabled());
  EXPECT_EQ(Form1->SBAFrame->orientation(), Qt::Horizontal);
  EXPECT_EQ(Form1->SBAFrame->maximum(), 0);
  EXPECT_FALSE(Form1->ImgAnimation->GetStretch());
}

TEST_F(ViewerLayoutTest, SpritePageStartsWithItsTexts) {
  const std::pair<const char*, const char*> labels[] = {
      {"Label1", "バンク:"},
      {"Label3", "番号(上位):"},
      {"Label2", "番号(下位):"},
      {"Label4", "→←: +/- $01"},
      {"Label5", "↑↓: +/- $10"},
      {"Label17", "スプライトパターン定義アドレス:"},
      {"LblSFrameAddress", "$00000"},
      {"Label10", "使用スプライト数:"},
      {"LblSnSprite", "00"},
      {"Label13", "スプライト配置データ番号:"},
      {"LblSAlign", "$00"},
      {"Label14", "スプライト配置データのアドレス:"},
      {"LblSAlignAddress", "$00000"},
      {"Label21", "スプライトパターン定義:"},
      {"Label15", "スプライト配置データ(Y,X):"},
      {"Label6", "キャラクタバンク番号:"},
      {"LblSCHRBank", "$00"},
      {"Label16", "キャラクタバンクのアドレス:"},
      {"LblSCHRBankAddress", "$00000"},
      {"Label7", "読み込み位置:"},
      {"LblSCHRLoadOffset", "00"},
  };
  for (const auto& [name, text] : labels) EXPECT_EQ(LabelText(name), text) << name;
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "00");
  EXPECT_EQ(Text(Form1->EditSFrameData), "");
  EXPECT_EQ(Text(Form1->EditSAlignData), "");
  EXPECT_TRUE(Form1->ImgSprite->GetStretch());
  EXPECT_TRUE(Form1->ImgPatternTable->GetStretch());
}

TEST_F(ViewerLayoutTest, ComboBoxesHoldTheirItemsWithTheFirstSelected) {
  const auto items = [](const QComboBox* Box) {
    std::vector<std::string> texts;
    for (int i = 0; i < Box->count(); ++i) texts.push_back(Box->itemText(i).toStdString());
    return texts;
  };
  const std::vector<std::string> banks = {"12-13", "14-15", "16"};
  EXPECT_EQ(items(Form1->CmbABankSelect), banks);
  EXPECT_EQ(items(Form1->CmbSBankSelect), banks);
  EXPECT_EQ(items(Form1->CmbSSpriteNumHigh), (std::vector<std::string>{"0", "1"}));
  for (const QComboBox* box : {Form1->CmbABankSelect, Form1->CmbSBankSelect, Form1->CmbSSpriteNumHigh}) {
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_FALSE(box->isEditable());
  }
}

TEST_F(ViewerLayoutTest, ComboBoxesAreWideEnoughForTheirItems) {
  Form1->show();
  for (QComboBox* box : {Form1->CmbABankSelect, Form1->CmbSBankSelect, Form1->CmbSSpriteNumHigh}) {
    SCOPED_TRACE(box->objectName().toStdString());
    EXPECT_GE(box->width(), box->sizeHint().width());
    // The field the current item is drawn in holds the widest item in the box's own font.
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = false;
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    const QFontMetrics metrics(box->font());
    for (int i = 0; i < box->count(); ++i)
      EXPECT_GE(field.width(), metrics.horizontalAdvance(box->itemText(i))) << box->itemText(i).toStdString();
  }
}

TEST_F(ViewerLayoutTest, NumberBoxesAndDumpsAreReadOnly) {
  for (const QLineEdit* edit : {Form1->EditAAnimationNum, Form1->EditAData, Form1->EditSSpriteNum,
                                Form1->EditSFrameData, Form1->EditSAlignData})
    EXPECT_TRUE(edit->isReadOnly()) << edit->objectName().toStdString();
  EXPECT_EQ(Form1->EditAAnimationNum->maxLength(), 2);
  EXPECT_EQ(Form1->EditSSpriteNum->maxLength(), 2);
}

TEST_F(ViewerLayoutTest, ExitFreesThePaletteAndTheRenderer) {
  OpenDemo();
  Form1->show();
  ASSERT_NE(FcPalette, nullptr);
  ASSERT_NE(SpriteDrawer, nullptr);
  Form1->Exit1->trigger();
  EXPECT_FALSE(Form1->isVisible());
  EXPECT_EQ(FcPalette, nullptr);
  EXPECT_EQ(SpriteDrawer, nullptr);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ViewerLayoutTest, ClosingBeforeAnyRomIsNoError) {
  Form1->show();
  Form1->close();
  EXPECT_EQ(FcPalette, nullptr);
  EXPECT_EQ(SpriteDrawer, nullptr);
  EXPECT_TRUE(Shown().empty());
}

// パッチを当てて開く asks twice, and each dialog says what it asks for.
TEST_F(ViewerLayoutTest, PatchedOpenNamesItsTwoDialogsAndShowsThePatchFilterAsItStands) {
  QStringList titles, filters;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || (!titles.isEmpty() && titles.back() == dialog->windowTitle())) return;
    titles << dialog->windowTitle();
    const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    filters << (types && types->count() == 1 ? types->itemText(0) : QString("?"));
    if (titles.size() == 1) {
      dialog->selectFile(QString::fromStdString(RomPath));
      static_cast<QDialog*>(dialog)->accept();
    } else {
      dialog->reject();
    }
  });
  poll.start(10);
  Form1->OpenPatched1->trigger();
  poll.stop();
  EXPECT_EQ(titles, QStringList({"パッチを当てるROMを開く", "当てるパッチを開く"}));
  EXPECT_EQ(filters, QStringList({"TARVELINROMイメージ(*.nes)", "IPS/BPSパッチ(*.ips *.bps)"}));
  EXPECT_TRUE(Shown().empty());
  EXPECT_FALSE(Form1->PageControl1->isVisible());
}

}  // namespace
}  // namespace viewer_test
