// The window's language: the 言語 / Language menu, and the texts put again in the language
// installed after a change; in English the labels widen to their longer texts.

#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QUndoStack>
#include <algorithm>
#include <cstdio>

#include "app/window/TarvelinLanguage.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/tarvelinSpriteGlobals.h"

void TForm1::CreateLanguageItems() {
  View1->addSeparator();
  Language1 = View1->addMenu(QString());
  auto* group = new QActionGroup(this);
  // Each language by its own name, the same in either language.
  Japanese1 = Language1->addAction("日本語");
  English1 = Language1->addAction("English");
  for (auto [item, language] : {std::pair{Japanese1, TLanguage::Japanese}, std::pair{English1, TLanguage::English}}) {
    item->setCheckable(true);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, language = language] {
      Handle([language] {
        SaveLanguage(language);
        InstallLanguage(language);
      });
    });
  }
}

void TForm1::changeEvent(QEvent* Event) {
  // The window's own change comes once it is made.
  if (Event->type() == QEvent::LanguageChange && Language1) RetranslateWindow();
  QMainWindow::changeEvent(Event);
}

void TForm1::RetranslateWindow() {
  retranslateUi(this);
  View1->setTitle(tr("表示(&V)"));
  ZoomIn1->setText(tr("拡大(&I)"));
  ZoomOut1->setText(tr("縮小(&O)"));
  Edit1->setTitle(tr("編集(&E)"));
  Copy1->setText(tr("コピー(&C)"));
  Recent1->setTitle(tr("最近使ったファイル(&R)"));
  OpenPatched1->setText(tr("パッチを当てて開く(&P)..."));
  SaveRom1->setText(tr("ROMを上書き保存(&R)"));
  SaveRomAs1->setText(tr("ROMに名前を付けて保存(&M)..."));
  ExportPatch1->setText(tr("パッチを書き出す(&E)..."));
  SaveImage1->setText(tr("画像を保存(&S)..."));
  SaveAnimation1->setText(tr("アニメーションを保存(&A)..."));
  RunEmulator1->setText(tr("エミュレータで実行(&U)"));
  EmulatorSettings1->setText(tr("エミュレータの設定(&T)..."));
  Compare1->setText(tr("比較(&C)..."));
  GoTo1->setText(tr("移動(&G)..."));
  Sheet1->setText(tr("一覧(&L)..."));
  Background1->setTitle(tr("背景色(&B)"));
  for (std::size_t n = 0; n < BackgroundItems.size(); ++n) {
    if (n + 1 == BackgroundItems.size()) {
      BackgroundItems[n]->setText(tr("チェッカーボード(&C)"));
      continue;
    }
    const QString number = QString::asprintf("$%02X", static_cast<unsigned>(n));
    BackgroundItems[n]->setText(static_cast<int>(n) == DefaultBackground ? tr("%1 (標準)").arg(number) : number);
  }
  Transparent1->setText(tr("背景を透明にして保存・コピー(&T)"));
  WholeTileWindow1->setText(tr("タイルウィンドウ全体(&W)"));
  ScanlineCheck1->setText(tr("スキャンライン検査(&S)"));
  OnionSkin1->setText(tr("オニオンスキン(&N)"));
  Language1->setTitle(tr("言語 / Language(&A)"));
  (CurrentLanguage() == TLanguage::English ? English1 : Japanese1)->setChecked(true);
  ShowUndoTexts();

  // What the status bar said is said again where it can be; other reports go.
  const bool shortRom = !FShortRomShown.isEmpty() && statusBar()->currentMessage() == FShortRomShown;
  if (!FShortRomShown.isEmpty()) FShortRomShown = ShortRomText();
  statusBar()->clearMessage();
  if (shortRom)
    statusBar()->showMessage(FShortRomShown);
  else if (FTraced && FTraced->isVisible())
    RefreshTrace();
  else
    ShowPageStatus();
  FitLabels();
}

void TForm1::ShowUndoTexts() {
  // As the undo stack writes its own items' texts.
  const auto show = [](QAction* Item, const QString& Word, const QString& Step, bool Enabled) {
    Item->setText(Step.isEmpty() ? Word : Word + ' ' + Step);
    Item->setEnabled(Enabled);
  };
  show(Undo1, tr("元に戻す"), RomUndoStack->undoText(), RomUndoStack->canUndo());
  show(Redo1, tr("やり直し"), RomUndoStack->redoText(), RomUndoStack->canRedo());
}

QString TForm1::ShortRomText() const {
  return tr("ファイルが %1 バイトしかありません (完全なイメージは %2 バイト)。それ以降は以前の内容のままです")
      .arg(RomDocument.Size())
      .arg(RomImageSize);
}

void TForm1::FitLabels() {
  if (FDesignAsMade.empty()) FDesignAsMade = FDesign;
  auto design = FDesignAsMade;
  if (CurrentLanguage() == TLanguage::English) {
    // Left to right: a label grows to its text, and what its text (and a space), or another
    // control, would then cover on its row moves right, past it.
    const auto made = design;
    std::vector<std::size_t> order(design.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::ranges::stable_sort(order, {}, [&made](std::size_t I) { return made[I].second.left(); });
    for (std::size_t n = 0; n < order.size(); ++n) {
      auto& [control, place] = design[order[n]];
      int end = place.left() + place.width();
      if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const int text = label->fontMetrics().horizontalAdvance(label->text());
        place.setWidth(std::max(place.width(), text));
        end = place.left() + text + label->fontMetrics().horizontalAdvance(' ');
      }
      for (std::size_t m = n + 1; m < order.size(); ++m) {
        auto& [other, at] = design[order[m]];
        if (other->parentWidget() == control->parentWidget() && at.top() <= place.bottom() &&
            place.top() <= at.bottom() && made[order[m]].second.left() > made[order[n]].second.left() &&
            at.left() < end)
          at.moveLeft(end);
      }
    }
  }
  if (design == FDesign) return;
  FDesign = std::move(design);
  PlaceControls();
}
