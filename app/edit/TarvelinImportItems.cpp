#include "app/edit/TarvelinImportItems.h"

#include <QClipboard>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <fstream>
#include <iterator>

#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinImportPreview.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "sprite/TarvelinFiles.h"
#include "sprite/TarvelinSpritePattern.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

constexpr int ChrBanks = 256;

QString Hex(int Value, int Digits) { return QString("$%1").arg(Value, Digits, 16, QChar('0')).toUpper(); }

QString Pixel(int X, int Y) { return QString("(%1,%2)").arg(X).arg(Y); }

QString PlaceText(const TImportPlace& Place) {
  QStringList text{TImportItems::tr("点%1").arg(Pixel(Place.X, Place.Y))};
  if (Place.Sprite >= 0) text << TImportItems::tr("スプライト%1").arg(Place.Sprite);
  if (Place.Tile >= 0) text << TImportItems::tr("タイル%1").arg(Hex(Place.Tile, 2));
  if (Place.ChrAddress >= 0) text << "(CHR " + Hex(Place.ChrAddress, 5) + ")";
  if (Place.TileX >= 0) text << TImportItems::tr("のタイル内の点%1").arg(Pixel(Place.TileX, Place.TileY));
  return text.join(' ');
}

QString Rgb(std::uint32_t Value) { return QString("#%1").arg(Value, 6, 16, QChar('0')).toUpper(); }

// The refusal as the window says it: the tile and the pixel, and what to do.
QString ProblemText(const TImportProblem& Problem) {
  const TImportPlace& place = Problem.Place;
  switch (Problem.Kind) {
    case TImportProblemKind::WrongSize:
      return TImportItems::tr("画像の大きさが %1 × %2 です。%3 × %4 (またはその 2-8 倍) の画像を取り込めます")
          .arg(Problem.Width).arg(Problem.Height).arg(Problem.ExpectedWidth).arg(Problem.ExpectedHeight);
    case TImportProblemKind::UnevenScale:
      return TImportItems::tr("%1 倍に拡大された画像の点%2 のブロックが一色ではありません")
          .arg(Problem.Width)
          .arg(Pixel(place.X, place.Y));
    case TImportProblemKind::NoColour:
      return TImportItems::tr(
                 "%1: 色 %2 は表示している4色のどれでもありません (近い色で取り込む(N) を選ぶと最も近い色になります)")
          .arg(PlaceText(place), Rgb(Problem.Rgb));
    case TImportProblemKind::Ambiguous:
      return TImportItems::tr("%1: 色 %2 は複数の色番号に当たるので決められません。インデックスカラーの画像を使ってください")
          .arg(PlaceText(place), Rgb(Problem.Rgb));
    case TImportProblemKind::EmptyBand:
      return TImportItems::tr("%1: この帯にはCHRバンクが読み込まれていないので色0のままにしてください").arg(PlaceText(place));
    case TImportProblemKind::Uncovered:
      return TImportItems::tr("%1: ここにはスプライトがないので背景のままにしてください").arg(PlaceText(place));
    case TImportProblemKind::Conflict:
      return TImportItems::tr("同じタイルの点が2か所で違う色になっています: %1 と %2").arg(PlaceText(place), PlaceText(Problem.Other));
    case TImportProblemKind::ChrSize:
      return TImportItems::tr("CHRファイルが %1 バイトです。1024 バイトの倍数でなければなりません").arg(Problem.Width);
    case TImportProblemKind::ChrPastEnd:
      return TImportItems::tr("CHRファイルの %1 バンクはバンク %2 からではバンク $FF を越えます")
          .arg(Problem.Width / 1024)
          .arg(Hex(place.Tile, 2));
  }
  return TImportItems::tr("取り込めません");
}

TSpritePattern CurrentSpritePattern() {
  const TPatternRef ref = CurrentPattern();
  return LocateSpritePattern(PrgData, SpriteBanks[static_cast<std::size_t>(ref.BankIndex)], ref.Number);
}

TImportOptions Options(const TImportItems& Items) {
  TImportOptions options;
  options.Nearest = Items.Nearest1->isChecked();
  options.WholeTileWindow = ViewOptions.WholeTileWindow;
  options.Background = ViewOptions.Background;
  return options;
}

// The other patterns that show the tiles, as the panel names sharers.
QString SharedNotice(const TImportResult& Result) {
  const auto users = PatternsSharingTiles(PrgData, Result.Tiles, CurrentPattern());
  if (users.empty()) return {};
  constexpr std::size_t Listed = 8;
  QStringList names;
  for (std::size_t i = 0; i < std::min(Listed, users.size()); ++i) names << PatternName(users[i]);
  const auto count = static_cast<int>(users.size());
  QString line =
      TImportItems::tr("これらのタイルは他の %n パターンでも使われています: %1", nullptr, count).arg(names.join(", "));
  if (users.size() > Listed) line += TImportItems::tr(" ほか %1").arg(users.size() - Listed);
  return line;
}

// Shows the preview and, when the user takes it, writes the change as one undo step.
void Offer(TForm1& Form, const QString& Title, const TImportResult& Result) {
  if (Result.Refused()) {
    ShowMessage(ProblemText(*Result.Problem).toStdString());
    return;
  }
  if (Result.Change.Empty()) {
    ShowMessage(TImportItems::tr("取り込んでも変わるタイルはありません").toStdString());
    return;
  }
  TImportPreviewDialog preview(&Form, Title, Result, SharedNotice(Result));
  if (preview.exec() != QDialog::Accepted) return;
  PushRomEdit(
      [&] {
        // A short ROM holds no bytes past its end: refused before anything is written.
        for (const TByteWrite& write : Result.Change.Writes) RomDocument.CheckWritable(write.Offset);
        return Result.Change;
      },
      RomCommandPaintTile, Title);
}

bool Ready() { return RomDocument.IsLoaded() && SpriteDrawer != nullptr; }

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& Path, std::size_t Limit) {
  std::ifstream in(Path, std::ios::binary | std::ios::ate);
  if (!in || in.tellg() > static_cast<std::streamoff>(Limit)) return std::nullopt;
  in.seekg(0);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::optional<TImportImage> PictureFile(const std::string& Path) {
  std::string error;
  TImportImage picture = ReadImportImage(Path, error);
  if (!error.empty()) {
    ShowMessage(
        TImportItems::tr("ファイル %1 はPNGまたはBMPの画像として読み込めません").arg(QString::fromStdString(Path)).toStdString());
    return std::nullopt;
  }
  return picture;
}

// The picture on the clipboard: a PNG or BMP file keeps its palette indexes; else the image Qt offers.
std::optional<TImportImage> ClipboardPicture() {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (mime) {
    for (const char* type : {"image/png", "image/bmp"}) {
      if (!mime->hasFormat(type)) continue;
      const QByteArray bytes = mime->data(type);
      std::string error;
      TImportImage picture =
          DecodeImportImage({reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())}, error);
      if (error.empty()) return picture;
    }
    if (mime->hasImage()) {
      const QImage image = qvariant_cast<QImage>(mime->imageData());
      if (!image.isNull() && image.width() <= MaxImportSide && image.height() <= MaxImportSide) return ImportImageOf(image);
    }
  }
  ShowMessage(TImportItems::tr("クリップボードに取り込める画像がありません").toStdString());
  return std::nullopt;
}

// "0A" or "0A-0B" as the first bank and the count; none when it is neither.
std::optional<std::pair<int, int>> ParseBanks(const QString& Text) {
  static const QRegularExpression form("^\\s*\\$?([0-9A-Fa-f]{1,2})\\s*(?:-\\s*\\$?([0-9A-Fa-f]{1,2}))?\\s*$");
  const auto match = form.match(Text);
  if (!match.hasMatch()) return std::nullopt;
  const int first = match.captured(1).toInt(nullptr, 16);
  const int last = match.captured(2).isEmpty() ? first : match.captured(2).toInt(nullptr, 16);
  if (last < first) return std::nullopt;
  return std::pair{first, last - first + 1};
}

// The banks the pattern table shows: its CHR bank, and the next one at load offset 2.
QString ShownBanks() {
  const TSpritePattern pattern = CurrentSpritePattern();
  const QString first = QString("%1").arg(pattern.CHRBank(), 2, 16, QChar('0')).toUpper();
  if (pattern.CHRLoadOffset != 2 || pattern.CHRBank() == 0xFF) return first;
  return first + "-" + QString("%1").arg(pattern.CHRBank() + 1, 2, 16, QChar('0')).toUpper();
}

}  // namespace

TImportItems::TImportItems(TForm1& Form) : QObject(&Form), FForm(Form) {
  OpenDialog = [this](const std::string& Filter) -> std::optional<std::string> {
    const QStringList parts = QString::fromStdString(Filter).split('|');
    const QString name = QFileDialog::getOpenFileName(&FForm, QString(), QString(), parts[0]);
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
  };
  BankDialog = [this](const QString& Prompt, const QString& Proposed) -> std::optional<QString> {
    bool ok = false;
    const QString text = QInputDialog::getText(&FForm, QString::fromUtf8(ApplicationTitle), Prompt, QLineEdit::Normal,
                                               Proposed, &ok);
    if (!ok) return std::nullopt;
    return text;
  };
  Import1 = new QMenu(&Form);
  ImportPatternTable1 = Import1->addAction(QString());
  ImportSprite1 = Import1->addAction(QString());
  PastePatternTable1 = Import1->addAction(QString());
  PasteSprite1 = Import1->addAction(QString());
  Import1->addSeparator();
  ImportChr1 = Import1->addAction(QString());
  ExportChr1 = Import1->addAction(QString());
  Import1->addSeparator();
  Nearest1 = Import1->addAction(QString());
  Nearest1->setCheckable(true);
  Retranslate();
  // Usable once a ROM is loaded; the items are checked as the menu opens.
  connect(Import1, &QMenu::aboutToShow, this, [this] {
    for (QAction* item : {ImportPatternTable1, ImportSprite1, PastePatternTable1, PasteSprite1, ImportChr1, ExportChr1})
      item->setEnabled(Ready());
  });
  const auto handle = [](void (TImportItems::*Handler)(), TImportItems* Items) {
    return [Handler, Items] {
      try {
        (Items->*Handler)();
      } catch (const Exception& E) {
        Application.ShowException(E);
      }
    };
  };
  connect(ImportPatternTable1, &QAction::triggered, this, handle(&TImportItems::ImportPatternTable1Click, this));
  connect(ImportSprite1, &QAction::triggered, this, handle(&TImportItems::ImportSprite1Click, this));
  connect(PastePatternTable1, &QAction::triggered, this, handle(&TImportItems::PastePatternTable1Click, this));
  connect(PasteSprite1, &QAction::triggered, this, handle(&TImportItems::PasteSprite1Click, this));
  connect(ImportChr1, &QAction::triggered, this, handle(&TImportItems::ImportChr1Click, this));
  connect(ExportChr1, &QAction::triggered, this, handle(&TImportItems::ExportChr1Click, this));
}

bool TImportItems::event(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) Retranslate();
  return QObject::event(Event);
}

void TImportItems::Retranslate() {
  Import1->setTitle(tr("取り込み(&I)"));
  ImportPatternTable1->setText(tr("パターンテーブル画像を取り込む(&T)..."));
  ImportSprite1->setText(tr("スプライト画像を取り込む(&S)..."));
  PastePatternTable1->setText(tr("クリップボードの画像をパターンテーブルに(&P)"));
  PasteSprite1->setText(tr("クリップボードの画像をスプライトに(&R)"));
  ImportChr1->setText(tr("CHRファイルを取り込む(&C)..."));
  ExportChr1->setText(tr("CHRファイルを書き出す(&E)..."));
  Nearest1->setText(tr("近い色で取り込む(&N)"));
}

void TImportItems::ImportPatternTable1Click() {
  if (!Ready()) return;
  const auto path = OpenDialog(tr(PictureFilter).toStdString());
  if (!path) return;
  const auto picture = PictureFile(*path);
  if (!picture) return;
  Offer(FForm, tr("パターンテーブル画像の取り込み"),
        ImportPatternTable(ChrData, CurrentSpritePattern(), *picture, Options(*this)));
}

void TImportItems::ImportSprite1Click() {
  if (!Ready()) return;
  const auto path = OpenDialog(tr(PictureFilter).toStdString());
  if (!path) return;
  const auto picture = PictureFile(*path);
  if (!picture) return;
  Offer(FForm, tr("スプライト画像の取り込み"),
        ImportSpritePicture(ChrData, CurrentSpritePattern(), *picture, Options(*this)));
}

void TImportItems::PastePatternTable1Click() {
  if (!Ready()) return;
  const auto picture = ClipboardPicture();
  if (!picture) return;
  Offer(FForm, tr("パターンテーブル画像の取り込み"),
        ImportPatternTable(ChrData, CurrentSpritePattern(), *picture, Options(*this)));
}

void TImportItems::PasteSprite1Click() {
  if (!Ready()) return;
  const auto picture = ClipboardPicture();
  if (!picture) return;
  Offer(FForm, tr("スプライト画像の取り込み"),
        ImportSpritePicture(ChrData, CurrentSpritePattern(), *picture, Options(*this)));
}

void TImportItems::ImportChr1Click() {
  if (!Ready()) return;
  const auto path = OpenDialog(ChrFilter);
  if (!path) return;
  const auto bytes = ReadFile(*path, sizeof(TChrData));
  if (!bytes) {
    ShowMessage(tr("ファイル %1 は開けないか、CHR-ROM全体より大きいファイルです").arg(QString::fromStdString(*path)).toStdString());
    return;
  }
  const auto text = BankDialog(tr("取り込む先頭のCHRバンク (16進)"), ShownBanks().left(2));
  if (!text) return;
  const auto banks = ParseBanks(*text);
  if (!banks) {
    ShowMessage(tr("CHRバンクは 00-FF の16進で入力してください").toStdString());
    return;
  }
  Offer(FForm, tr("CHRバンク %1 からの取り込み").arg(Hex(banks->first, 2)), ImportChr(ChrData, banks->first, *bytes));
}

void TImportItems::ExportChr1Click() {
  if (!Ready()) return;
  const auto text = BankDialog(tr("書き出すCHRバンク (16進、範囲は 0A-0B のように)"), ShownBanks());
  if (!text) return;
  const auto banks = ParseBanks(*text);
  if (!banks || banks->first + banks->second > ChrBanks) {
    ShowMessage(tr("CHRバンクは 00-FF の16進で入力してください").toStdString());
    return;
  }
  const auto digits = [](int Bank) { return QString("%1").arg(Bank, 2, 16, QChar('0')).toUpper(); };
  QString name = "chr-" + digits(banks->first);
  if (banks->second > 1) name += "-" + digits(banks->first + banks->second - 1);
  const auto path = FForm.SaveDialog(ChrFilter, name.toStdString() + ".chr");
  if (!path) return;
  WriteFileAtomically(*path, ExportChr(ChrData, banks->first, banks->second));
}

void InstallImportItems(TForm1& Form) {
  auto* items = new TImportItems(Form);
  items->setObjectName("ImportItems");
  Form.Edit1->addSeparator();
  Form.Edit1->addMenu(items->Import1);
}
