#include "app/views/TarvelinSheet.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPixmap>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureFiles.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinSpritePattern.h"
#include "sprite/TarvelinThumbnail.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "rom/TarvelinRomUsage.h"

// One bank's patterns or animations; a thumbnail is drawn when the view first asks for it.
class TSheetModel : public QAbstractListModel {
 public:
  TSheetModel(TSheetDialog::TKind Kind, QObject* Parent)
      : QAbstractListModel(Parent),
        FKind(Kind),
        FPixmaps(static_cast<std::size_t>(Count())),
        FShown(static_cast<std::size_t>(Count())) {}

  int Count() const { return FKind == TSheetDialog::Patterns ? 512 : 256; }
  int rowCount(const QModelIndex& Parent) const override { return Parent.isValid() ? 0 : Count(); }

  QVariant data(const QModelIndex& Index, int Role) const override {
    if (!Index.isValid() || Index.row() >= Count()) return {};
    const int number = Index.row();
    if (Role == Qt::DisplayRole) {
      if (FKind == TSheetDialog::Patterns) return QString::asprintf("$%03X", number);
      return TSheetDialog::tr("%1 %2フレーム")
          .arg(QString::asprintf("$%02X", number))
          .arg((PrgData[static_cast<std::size_t>(Address(number))] & 0x7F) + 1);
    }
    if (Role == Qt::BackgroundRole && Marked && Marked(FKind, FBankIndex, number)) return QColor(255, 192, 96);
    if (Role != Qt::DecorationRole) return {};
    const auto at = static_cast<std::size_t>(number);
    QPixmap& pixmap = FPixmaps[at];
    if (pixmap.isNull()) {
      if (FKept >= TSheetDialog::KeptThumbnails) ForgetOldest();
      pixmap = Draw(number);
      ++FKept;
      ++FDrawn;
    }
    FShown[at] = ++FClock;
    return pixmap;
  }

  void SetBank(int BankIndex) {
    beginResetModel();
    FBankIndex = std::clamp(BankIndex, 0, 2);
    Forget();
    endResetModel();
  }
  void Reload() {
    Forget();
    emit dataChanged(index(0), index(Count() - 1));
  }
  // Forgets the thumbnails whose bytes Change wrote; their labels are read again too.
  void Changed(const TRomChange& Change) {
    for (int number = 0; number < Count(); ++number) {
      const bool touched =
          FKind == TSheetDialog::Patterns
              ? ChangeTouchesPattern(PrgData, {FBankIndex, number}, Change)
              : ChangeTouchesAnimationStart(PrgData, {FBankIndex, number}, Change);
      if (!touched) continue;
      QPixmap& pixmap = FPixmaps[static_cast<std::size_t>(number)];
      if (!pixmap.isNull()) {
        pixmap = QPixmap();
        --FKept;
      }
      emit dataChanged(index(number), index(number));
    }
  }
  // Lets every thumbnail go, to be drawn again when next shown.
  void Release() {
    std::fill(FPixmaps.begin(), FPixmaps.end(), QPixmap());
    FKept = 0;
  }
  int BankIndex() const { return FBankIndex; }
  TSheetDialog::TMarked Marked;
  void Remark() { emit dataChanged(index(0), index(Count() - 1), {Qt::BackgroundRole}); }
  void Relabel() { emit dataChanged(index(0), index(Count() - 1), {Qt::DisplayRole}); }
  int Drawn() const { return FDrawn; }
  int Kept() const { return FKept; }

 private:
  void Forget() {
    Release();
    FDrawn = 0;
  }
  void ForgetOldest() const {
    std::size_t oldest = FPixmaps.size();
    for (std::size_t i = 0; i < FPixmaps.size(); ++i)
      if (!FPixmaps[i].isNull() && (oldest == FPixmaps.size() || FShown[i] < FShown[oldest])) oldest = i;
    if (oldest == FPixmaps.size()) return;
    FPixmaps[oldest] = QPixmap();
    --FKept;
  }
  int Address(int Number) const {
    return AnimationDataOffset(PrgData, AnimationBanks[static_cast<std::size_t>(FBankIndex)], Number);
  }

  // The picture the page would show (an animation's first frame), at half size.
  QPixmap Draw(int Number) const {
    auto picture = CreatePageDIB(256, 256);
    int pattern = Number;
    if (FKind == TSheetDialog::Animations) pattern = AnimationFramePattern(PrgData, Address(Number), 0);
    const auto& banks = FKind == TSheetDialog::Patterns ? SpriteBanks : AnimationBanks;
    if (SpriteDrawer && pattern >= 0)
      DrawSpritePattern(*SpriteDrawer,
                        LocateSpritePattern(PrgData, banks[static_cast<std::size_t>(FBankIndex)], pattern), *picture);
    ApplyBackground(*picture, ViewOptions.Background);
    const QImage indexed = PictureImage(*picture);
    const QImage image = indexed.convertToFormat(QImage::Format_RGB32);
    // The drawn area, whole and sharp; a pattern too large for that is shown whole at half size.
    const TThumbnailFrame frame = ThumbnailFrame(
        std::span(indexed.constBits(), static_cast<std::size_t>(indexed.sizeInBytes())), indexed.width(),
        indexed.height(), static_cast<int>(indexed.bytesPerLine()), TSheetDialog::Thumbnail);
    if (frame.Factor == 0)
      return QPixmap::fromImage(image.scaled(TSheetDialog::Thumbnail, TSheetDialog::Thumbnail, Qt::IgnoreAspectRatio,
                                             Qt::SmoothTransformation));
    const QImage square = image.copy(frame.Left, frame.Top, frame.Side, frame.Side)
                              .scaled(frame.Side * frame.Factor, frame.Side * frame.Factor);
    return QPixmap::fromImage(square.copy(0, 0, TSheetDialog::Thumbnail, TSheetDialog::Thumbnail));
  }

  TSheetDialog::TKind FKind;
  int FBankIndex = 0;
  mutable std::vector<QPixmap> FPixmaps;
  mutable std::vector<std::uint64_t> FShown;  // when each thumbnail was last asked for
  mutable std::uint64_t FClock = 0;
  mutable int FKept = 0;
  mutable int FDrawn = 0;
};

namespace {

QListView* MakeList(TSheetModel* Model, QWidget* Parent) {
  auto* list = new QListView(Parent);
  list->setViewMode(QListView::IconMode);
  list->setMovement(QListView::Static);
  list->setResizeMode(QListView::Adjust);
  // One size for every cell: the view then asks only the visible ones for their thumbnails.
  list->setUniformItemSizes(true);
  list->setIconSize(QSize(TSheetDialog::Thumbnail, TSheetDialog::Thumbnail));
  list->setGridSize(QSize(TSheetDialog::Thumbnail + 16, TSheetDialog::Thumbnail + 28));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setModel(Model);
  return list;
}

}  // namespace

TSheetDialog::TSheetDialog(QWidget* Parent, TOpenItem OpenItem) : QDialog(Parent), FOpenItem(std::move(OpenItem)) {
  FPatterns = new TSheetModel(Patterns, this);
  FAnimations = new TSheetModel(Animations, this);
  BankBox = new QComboBox(this);
  BankBox->addItems({"12-13", "14-15", "16"});
  Tabs = new QTabWidget(this);
  PatternList = MakeList(FPatterns, Tabs);
  AnimationList = MakeList(FAnimations, Tabs);
  Tabs->addTab(PatternList, QString());
  Tabs->addTab(AnimationList, QString());
  auto* top = new QHBoxLayout;
  BankLabel = new QLabel(this);
  top->addWidget(BankLabel);
  top->addWidget(BankBox);
  top->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(Tabs);
  resize(5 * (Thumbnail + 16) + 48, 560);
  Retranslate();

  // Another image, a failed load's cleared one included, replaces every thumbnail;
  // an edit only those drawn from a byte it wrote.
  FListener = RomDocument.Subscribe([this](const TRomChange& Change) {
    if (Change.Empty()) {
      Reload();
    } else if (KeptCount() > 0) {
      FPatterns->Changed(Change);
      FAnimations->Changed(Change);
    }
  });

  connect(BankBox, &QComboBox::activated, this, [this](int Index) { SetBank(Index); });
  // A click opens the item, and so do Enter and a double click (the view's activation).
  for (const auto& [list, listKind, listModel] :
       {std::tuple{PatternList, Patterns, FPatterns}, std::tuple{AnimationList, Animations, FAnimations}})
    for (auto signal : {&QListView::clicked, &QListView::activated})
      connect(list, signal, this, [this, kind = listKind, model = listModel](const QModelIndex& Index) {
        FOpenItem(kind, model->BankIndex(), Index.row());
        parentWidget()->activateWindow();
      });
}

TSheetDialog::~TSheetDialog() { RomDocument.Unsubscribe(FListener); }

void TSheetDialog::Retranslate() {
  setWindowTitle(tr("一覧"));
  Tabs->setTabText(Tabs->indexOf(PatternList), tr("スプライトパターン"));
  Tabs->setTabText(Tabs->indexOf(AnimationList), tr("アニメーション"));
  BankLabel->setText(tr("バンク:"));
  FAnimations->Relabel();
}

void TSheetDialog::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) Retranslate();
  QDialog::changeEvent(Event);
}

void TSheetDialog::hideEvent(QHideEvent* Event) {
  // A closed sheet holds no thumbnails; the ones in view are drawn again when it opens.
  FPatterns->Release();
  FAnimations->Release();
  QDialog::hideEvent(Event);
}

void TSheetDialog::Open(int BankIndex, TKind Kind) {
  BankBox->setCurrentIndex(std::clamp(BankIndex, 0, 2));
  SetBank(BankBox->currentIndex());
  Tabs->setCurrentIndex(Kind == Patterns ? 0 : 1);
  show();
  raise();
  activateWindow();
}

void TSheetDialog::SetBank(int BankIndex) {
  if (FPatterns->BankIndex() == BankIndex && FPatterns->Drawn() > 0) return;
  FPatterns->SetBank(BankIndex);
  FAnimations->SetBank(BankIndex);
}

void TSheetDialog::Reload() {
  FPatterns->Reload();
  FAnimations->Reload();
}

int TSheetDialog::DrawnCount() const {
  return FPatterns->Drawn() + FAnimations->Drawn();
}

int TSheetDialog::KeptCount() const {
  return FPatterns->Kept() + FAnimations->Kept();
}

void TSheetDialog::SetMarks(TMarked Marked) {
  for (TSheetModel* model : {FPatterns, FAnimations}) {
    model->Marked = Marked;
    model->Remark();
  }
}
