// Working beside other tools: the recovery journal of unsaved edits, reload when
// the ROM changes on disk, the emulator, and comparing with another ROM or a patch.

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/views/TarvelinSheet.h"
#include "app/window/TarvelinCompareDialog.h"
#include "app/window/TarvelinEmulator.h"
#include "app/window/TarvelinRecovery.h"
#include "app/window/TarvelinRomWatch.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

QString Title() { return QString::fromStdString(ApplicationTitle); }

bool Offscreen() { return QGuiApplication::platformName() == "offscreen"; }

}  // namespace

void TForm1::CreateWorkItems() {
  Recovery = new TRecovery(this);
  Recovery->OnError = [this](const std::string& Text) {
    statusBar()->showMessage(tr("復元用の記録を書けません: %1").arg(QString::fromStdString(Text)));
  };
  Recovery->Ask = [this](const std::string& Rom, bool BaseChanged) {
    // Offscreen no one could answer: the journal stays for a later start.
    if (Offscreen()) return TRecovery::TAnswer::Keep;
    QMessageBox box(QMessageBox::Question, Title(), QString(), QMessageBox::NoButton, this);
    QPushButton* restore = nullptr;
    if (BaseChanged) {
      box.setText(tr("%1 の保存されていない変更の記録がありますが、ファイルがその後変更されているため復元できません。")
                      .arg(QString::fromStdString(Rom)));
    } else {
      box.setText(tr("%1 の保存されていない変更が残っています。復元しますか?").arg(QString::fromStdString(Rom)));
      restore = box.addButton(tr("復元"), QMessageBox::AcceptRole);
    }
    QPushButton* discard = box.addButton(tr("破棄"), QMessageBox::DestructiveRole);
    QPushButton* keep = box.addButton(tr("後で"), QMessageBox::RejectRole);
    box.setDefaultButton(restore ? restore : keep);
    box.exec();
    return box.clickedButton() == restore   ? TRecovery::TAnswer::Restore
           : box.clickedButton() == discard ? TRecovery::TAnswer::Discard
                                            : TRecovery::TAnswer::Keep;
  };

  RomWatch = new TRomWatch(this);
  RomWatch->OnChanged = [this] { Handle([this] { RomChangedOnDisk(); }); };
  // Our own save is no change from outside; Save As names another file.
  for (QAction* item : {SaveRom1, SaveRomAs1})
    connect(item, &QAction::triggered, this, [this] {
      if (!RomDocument.IsModified()) Handle([this] {
        Recovery->WriteNow();
        WatchRom();
      });
    });
  ReloadDialog = [this] {
    if (Offscreen()) return false;
    return QMessageBox::question(this, Title(),
                                 tr("ROMファイルが外部で変更されました。編集内容を破棄して読み込み直しますか?\n"
                                    "(いいえ: 編集内容を残します)"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  };

  Emulator = new TEmulator(this);
  RunEmulator1 = new QAction(this);
  RunEmulator1->setShortcut(QKeySequence(Qt::Key_F5));
  EmulatorSettings1 = new QAction(this);
  Compare1 = new QAction(this);
  for (QAction* item : {RunEmulator1, Compare1}) item->setEnabled(false);
  File1->insertActions(Exit1, {Compare1, RunEmulator1, EmulatorSettings1});
  connect(RunEmulator1, &QAction::triggered, this, [this] { Handle([this] { Emulator->Run(); }); });
  connect(EmulatorSettings1, &QAction::triggered, this, [this] { Handle([this] { Emulator->Configure(); }); });
  connect(Compare1, &QAction::triggered, this, [this] { Handle([this] { Compare1Click(); }); });
  CompareOpenDialog = [this]() -> std::optional<std::string> {
    const QString name = QFileDialog::getOpenFileName(this, tr("比較"), QString(),
                                                      tr("ROMイメージ・パッチ (*.nes *.ips *.bps);;すべて (*)"));
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
  };

  // After a crash: the journals left behind are offered once the window is up.
  QTimer::singleShot(0, this, [this] { Handle([this] { OfferJournalsAtStart(); }); });
}

void TForm1::WatchRom() {
  std::vector<std::string> paths = {RomDocument.GetFileName()};
  if (!RomDocument.GetPatchName().empty()) paths.push_back(RomDocument.GetPatchName());
  RomWatch->Watch(paths);
}

void TForm1::WorkRomLoaded() {
  for (QAction* item : {RunEmulator1, Compare1}) item->setEnabled(true);
  // Marks of a comparison belong to the image it was made on.
  if (Sheet) Sheet->SetMarks({});
  WatchRom();
  if (!FReloading) Recovery->OfferJournal();
}

void TForm1::WorkFormClose() {
  // Closing was allowed: the edits were saved or dropped.
  Recovery->Forget();
  RomWatch->Stop();
  Emulator->RemoveTemporaries();
}

void TForm1::RomChangedOnDisk() {
  // A reload that found the file half-written left nothing loaded; the finished file is loaded now.
  if (!RomDocument.IsLoaded()) {
    const auto& paths = RomWatch->Paths();
    if (!paths.empty()) OpenRom(paths[0], paths.size() > 1 ? paths[1] : std::string());
    return;
  }
  if (RomDocument.IsModified() && !ReloadDialog()) {
    // Kept: the file on disk is the saving's business now.
    RomWatch->Accept();
    return;
  }
  ReloadRom();
}

void TForm1::ReloadRom() {
  const int page = PageControl1->currentIndex();
  const int pattern = CmbSSpriteNumHigh->currentIndex() * 0x100 + SpritePage.SpriteNumLow;
  const int animation = AnimationPage.AnimationNumber;
  const bool playing = AnimationPage.Playing;
  const std::string file = RomDocument.GetFileName(), patch = RomDocument.GetPatchName();
  FReloading = true;
  const std::unique_ptr<bool, void (*)(bool*)> reloading(&FReloading, [](bool* Flag) { *Flag = false; });
  const bool loaded = patch.empty() ? RomDocument.Load(file) : RomDocument.LoadPatched(file, patch);
  if (!loaded) {
    ClearPrgData(PrgData);
    ClearChrData(ChrData);
    RomWatch->Accept();
    return;
  }
  RomLoaded();
  PageControl1->setCurrentWidget(TabAnimation);
  GoToNumber(QString::asprintf("%02X", animation).toStdString());
  if (playing) btnAnimationPlayClick();
  PageControl1->setCurrentWidget(TabSprite);
  GoToNumber(QString::asprintf("%03X", pattern).toStdString());
  PageControl1->setCurrentIndex(page);
  statusBar()->showMessage(tr("ROMファイルが変更されたため読み込み直しました"));
}

void TForm1::OfferJournalsAtStart() {
  // A ROM opened by then, or about to be, has its own offer: a second box would reload it under the first.
  if (RomDocument.IsLoaded() || RomOnCommandLine || Offscreen()) return;
  const auto left = TRecovery::NewestJournal();
  if (!left) return;
  const auto answer = Recovery->Ask(left->Rom, false);
  if (answer == TRecovery::TAnswer::Discard) {
    std::error_code ignored;
    std::filesystem::remove(left->Path, ignored);
  }
  if (answer != TRecovery::TAnswer::Restore) return;
  // Opened for the answer just given: asked again only if the file changed since.
  const auto ask = Recovery->Ask;
  Recovery->Ask = [ask](const std::string& Rom, bool BaseChanged) {
    return BaseChanged ? ask(Rom, true) : TRecovery::TAnswer::Restore;
  };
  const std::unique_ptr<void, std::function<void(void*)>> restore(this, [this, ask](void*) { Recovery->Ask = ask; });
  OpenRom(left->Rom, left->Patch);
}

void TForm1::OpenRom(const std::string& File, const std::string& Patch) {
  const bool loaded = Patch.empty() ? RomDocument.Load(File) : RomDocument.LoadPatched(File, Patch);
  if (!loaded) {
    ClearPrgData(PrgData);
    ClearChrData(ChrData);
    return;
  }
  RomLoaded();
}

void TForm1::Compare1Click() {
  if (!RomDocument.IsLoaded()) return;
  const auto other = CompareOpenDialog();
  if (!other) return;
  auto image = std::make_unique<std::pair<TPrgData, TChrData>>();
  if (!LoadComparedImage(*other, image->first, image->second)) return;
  if (!CompareWindow)
    CompareWindow = new TCompareDialog(this, [this](const TRomDifference& D) {
      if (D.Kind == TDifferenceKind::Animation) return OpenAnimation(D.Bank, D.Number);
      if (D.Kind == TDifferenceKind::Pattern) return OpenPattern(D.Bank, D.Number);
      // An alignment or a tile: the first pattern of the image that shows it.
      const auto users = D.Kind == TDifferenceKind::Alignment
                             ? PatternsUsingAlign(PrgData, D.OldAddress)
                             : PatternsUsingTile(PrgData, D.Bank * 0x400 + D.Number * 16);
      if (!users.empty()) OpenPattern(users.front().BankIndex, users.front().Number);
    });
  const auto differences = CompareRomImages({PrgData, ChrData}, {image->first, image->second});
  CompareWindow->Show(*other, differences);
  // The sheet beside it marks the pictures that would change.
  const auto changed = PicturesChangedBy(image->first, differences);
  Sheet1Click();
  Sheet->SetMarks([changed](TSheetDialog::TKind Kind, int BankIndex, int Number) {
    return Kind == TSheetDialog::Patterns ? std::ranges::count(changed.Patterns, TPatternRef{BankIndex, Number}) > 0
                                          : std::ranges::count(changed.Animations, TAnimationRef{BankIndex, Number}) > 0;
  });
  CompareWindow->raise();
}
