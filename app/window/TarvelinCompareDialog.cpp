#include "app/window/TarvelinCompareDialog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <cstring>
#include <fstream>
#include <iterator>

#include "host/Classes.h"
#include "rom/TarvelinPatch.h"
#include "sprite/tarvelinSpriteGlobals.h"

TCompareDialog::TCompareDialog(QWidget* Parent, std::function<void(const TRomDifference&)> Open)
    : QDialog(Parent), FOpen(std::move(Open)) {
  auto* layout = new QVBoxLayout(this);
  Summary = new QLabel(this);
  List = new QListWidget(this);
  List->setFont(QFont("monospace"));
  layout->addWidget(Summary);
  layout->addWidget(List);
  resize(420, 360);
  Retranslate();
  connect(List, &QListWidget::itemActivated, this, [this](QListWidgetItem* Item) {
    const int row = List->row(Item);
    if (row >= 0 && row < static_cast<int>(FDifferences.size())) FOpen(FDifferences[static_cast<std::size_t>(row)]);
  });
}

QString TCompareDialog::RowText(const TRomDifference& D) {
  static const char* const Kinds[] = {QT_TRANSLATE_NOOP("TCompareDialog", "パターン"),
                                      QT_TRANSLATE_NOOP("TCompareDialog", "アライメント"),
                                      QT_TRANSLATE_NOOP("TCompareDialog", "アニメーション"),
                                      QT_TRANSLATE_NOOP("TCompareDialog", "CHRタイル")};
  const int kind = static_cast<int>(D.Kind);
  const QString bank = D.Kind == TDifferenceKind::Tile ? QString::asprintf("%02X", D.Bank) : QString(BankNames[D.Bank]);
  const QString number = QString::asprintf(D.Kind == TDifferenceKind::Pattern ? "%03X" : "%02X", D.Number);
  QString text = QString("%1 %2 %3  %4")
                     .arg(QCoreApplication::translate("TCompareDialog", Kinds[kind]), bank, number,
                          QString::fromStdString(FormatAddress(D.OldAddress)));
  if (D.NewAddress != D.OldAddress) text += " → " + QString::fromStdString(FormatAddress(D.NewAddress));
  return text;
}

void TCompareDialog::Show(const std::string& OtherName, const std::vector<TRomDifference>& Differences) {
  FDifferences = Differences;
  FOtherName = OtherName;
  Retranslate();
  show();
  raise();
}

void TCompareDialog::Retranslate() {
  setWindowTitle(QCoreApplication::translate("TCompareDialog", "比較"));
  const int row = List->currentRow();
  List->clear();
  for (const auto& d : FDifferences) List->addItem(RowText(d));
  List->setCurrentRow(row);
  if (!FOtherName.empty())
    Summary->setText(QCoreApplication::translate("TCompareDialog", "%1 との違い: %2 件")
                         .arg(QString::fromStdString(FOtherName), QString::number(FDifferences.size())));
}

void TCompareDialog::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) Retranslate();
  QDialog::changeEvent(Event);
}

bool LoadComparedImage(const std::string& Path, TPrgData& Prg, TChrData& Chr) {
  TFileStream file(Path, fmOpenRead);
  // Past this no file is a ROM or a patch for one.
  constexpr std::int64_t Limit = 64 << 20;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min(file.GetSize(), Limit)));
  bytes.resize(static_cast<std::size_t>(file.Read(bytes.data(), static_cast<std::int64_t>(bytes.size()))));
  if (bytes.size() < 4 || std::memcmp(bytes.data(), "NES\x1A", 4) != 0)
    bytes = ApplyPatch(RomDocument.Image(), bytes, RomImageSize);
  return LoadRomBytes(bytes, Prg, Chr);
}
