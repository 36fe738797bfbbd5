#include "app/window/tarvelinSprite.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTabBar>
#include <QTranslator>
#include <algorithm>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinPixelTrace.h"
#include "app/window/TarvelinLanguage.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "host/Application.h"
#include "host/Exception.h"

TForm1* Form1 = nullptr;

void InstallFontSubstitutions() {
  // The window's Japanese fonts, where they are not installed, fall back to the IPA fonts.
  QFont::insertSubstitutions("ＭＳ Ｐゴシック", {"IPAPGothic", "IPA Pゴシック"});
  QFont::insertSubstitutions("ＭＳ ゴシック", {"IPAGothic", "IPAゴシック"});
}

TForm1::TForm1(QWidget* Parent) : QMainWindow(Parent) {
  InstallFontSubstitutions();
  InstallLanguage(StartLanguage());
  setupUi(this);
  // Keys reach the window itself only while no control holds the focus.
  setFocusPolicy(Qt::StrongFocus);
  // A clicked page tab keeps the focus, so the arrow keys switch pages until the
  // page background is clicked.
  PageControl1->tabBar()->setFocusPolicy(Qt::StrongFocus);
  // The stored widths suit other fonts; each box grows to what its items need.
  for (auto* box : {CmbABankSelect, CmbSBankSelect, CmbSSpriteNumHigh})
    box->resize(std::max(box->width(), box->sizeHint().width()), box->height());

  connect(Open1, &QAction::triggered, this, [this] { Handle([this] { Open1Click(); }); });
  connect(Exit1, &QAction::triggered, this, [this] { Handle([this] { Exit1Click(); }); });
  for (auto* box : {CmbSBankSelect, CmbABankSelect})
    connect(box, &QComboBox::activated, this, [this] { Handle([this] { CmbSBankSelectChange(); }); });
  connect(CmbSSpriteNumHigh, &QComboBox::activated, this, [this] { Handle([this] { CmbSSpriteNumHighChange(); }); });
  connect(btnAnimationPlay, &QPushButton::clicked, this, [this] { Handle(btnAnimationPlayClick); });
  connect(btnAnimationStop, &QPushButton::clicked, this, [this] { Handle(btnAnimationStopClick); });
  // actionTriggered comes before the thumb moves, so a refused move can be put back.
  connect(SBAFrame, &QScrollBar::actionTriggered, this, [this](int) {
    Handle([this] {
      int position = SBAFrame->sliderPosition();
      SBAFrameScroll(position);
      SBAFrame->setSliderPosition(position);
    });
  });
  for (TImageEx* image : {ImgAnimation, ImgSprite, ImgPatternTable}) {
    image->OnMouseEnter = image->OnMouseLeave = [this](TObject* Sender) { Handle([this, Sender] { ImgMouseLeave(Sender); }); };
    image->OnMouseMove = [this](TObject* Sender, int X, int Y) { Handle([=, this] { ImgMouseMove(Sender, X, Y); }); };
  }
  ImgAnimation->OnMouseDown = [this](TObject* Sender, int X, int Y) {
    Handle([=, this] { ImgAnimationMouseDown(Sender, X, Y); });
  };
  // The status bar is added below the pages, which keep their designed size.
  statusBar()->setSizeGripEnabled(false);
  // A point smaller than the window's font, so the longest trace fits the designed width.
  QFont small = statusBar()->font();
  small.setPointSize(8);
  statusBar()->setFont(small);
  resize(width(), height() + statusBar()->sizeHint().height());
  CreateViewMenu();
  CreateEditMenu();
  CreateSaveItems();
  CreateRomItems();
  CreateRecentItems();
  CreateBrowseItems();
  CreateScanlineItem();
  CreateOnionItem();
  CreateEditItems();
  CreateWorkItems();
  CreateLanguageItems();
  RetranslateWindow();
  TabAnimation->installEventFilter(this);
  TabSprite->installEventFilter(this);
  SBAFrame->installEventFilter(this);

  ROMOpenDialog = [this] { return ExecuteROMOpenDialog(); };
  AnimationTimer.setInterval(16);
  connect(&AnimationTimer, &QTimer::timeout, this, [this] { Handle([this] { AnimationTimerTimer(); }); });
  AnimationTimer.start();

  // Window creation reports what its creation handler raised and goes on.
  Handle([this] { FormCreate(); });
}

TForm1::~TForm1() {
  RomDocument.Unsubscribe(FRomListener);
  DestroyEditItems();
}

void TForm1::Handle(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const Exception& E) {
    Application.ShowException(E);
  }
}

void TForm1::FormCreate() { FcPalette = std::make_unique<TFcPaletteData>("fcpalette.pal"); }

void TForm1::FormClose() {
  WorkFormClose();
  FcPalette.reset();
  SpriteDrawer.reset();
}

std::optional<std::string> TForm1::ExecuteROMOpenDialog() {
  const QString filter = tr(ROMOpenDialogFilter);
  const auto bar = filter.indexOf('|');
  // The toolkit writes a filter entry as "description (patterns)"; the description
  // already names its pattern, so only the description is shown.
  const QString entry = filter.left(bar) + " (" + filter.mid(bar + 1) + ")";
  const QString name = QFileDialog::getOpenFileName(this, FRomDialogTitle, QString(), entry, nullptr,
                                                    QFileDialog::HideNameFilterDetails);
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

void TForm1::Open1Click() {
  if (!AskUnsavedEdits()) return;
  const auto fileName = ROMOpenDialog();
  if (!fileName) return;
  if (!RomDocument.Load(*fileName)) {
    ClearPrgData(PrgData);
    ClearChrData(ChrData);
    return;
  }
  RomLoaded();
}

void TForm1::RomLoaded() {
  PageControl1->setVisible(true);
  SaveImage1->setEnabled(true);
  SaveAnimation1->setEnabled(true);
  Copy1->setEnabled(true);
  ShowRomCaption();
  RememberRecentRom();
  BrowseRomLoaded();
  SpriteDrawer.reset();
  SpriteDrawer = std::make_unique<TDrawSprite>(ChrData, FcPalette.get());
  SpritePage.SpriteNumLow = 0;
  EditSSpriteNum->setText("00");
  RefreshSpritePage();
  ResetAnimationPage();
  // A short file leaves the buffers' later bytes as they were, which the pictures may show.
  const std::size_t size = RomDocument.Size();
  if (size < static_cast<std::size_t>(RomImageSize))
    statusBar()->showMessage(ShortRomText());
  else if (!FShortRomShown.isEmpty() && statusBar()->currentMessage() == FShortRomShown)
    statusBar()->clearMessage();
  FShortRomShown = size < static_cast<std::size_t>(RomImageSize) ? ShortRomText() : QString();
  WorkRomLoaded();
}

void TForm1::Exit1Click() { close(); }

void TForm1::FormKeyDown(int Key) {
  if (PageControl1->currentWidget() == TabSprite)
    SpritePageKeyDown(Key);
  else if (PageControl1->currentWidget() == TabAnimation)
    AnimationPageKeyDown(Key);
}

void TForm1::FocusWindow() {
  if (auto* focused = QApplication::focusWidget()) focused->clearFocus();
  setFocus(Qt::OtherFocusReason);
}

void TForm1::TabPageMouseDown() { FocusWindow(); }

void TForm1::CmbSBankSelectChange() {
  RefreshSpritePage();
  ResetAnimationPage();
}

void TForm1::CmbSSpriteNumHighChange() {
  RefreshSpritePage();
  FocusWindow();
}

void TForm1::AnimationTimerTimer() {
  if (PageControl1->currentWidget() == TabAnimation) StepAnimation();
}

void TForm1::ImgMouseMove(TObject* Sender, int X, int Y) {
  auto* image = dynamic_cast<TImageEx*>(Sender);
  FTraced = image;
  FTracedX = X;
  FTracedY = Y;
  int x = 0, y = 0;
  if (!image || !image->PicturePixel(X, Y, x, y)) {
    statusBar()->clearMessage();
    return;
  }
  std::string text;
  if (image == ImgPatternTable) {
    text = ViewOptions.WholeTileWindow ? TileWindowPixelText(SpritePage.CHRBank, SpritePage.CHRLoadOffset, x, y)
                                       : PatternTablePixelText(SpritePage.CHRBank, SpritePage.CHRLoadOffset, x, y);
  } else {
    const auto* picture = dynamic_cast<const TZrDIB*>(image->GetPicture().GetGraphic());
    const TSpriteTrace& trace = image == ImgSprite ? SpritePage.Trace : AnimationPage.Trace;
    text = SpritePixelText(trace, x, y, picture ? PicturePixelIndex(*picture, x, y) : -1);
  }
  statusBar()->showMessage(QString::fromStdString(text));
}

void TForm1::ImgMouseLeave(TObject*) {
  FTraced = nullptr;
  statusBar()->clearMessage();
}

void TForm1::RefreshTrace() {
  if (FTraced && FTraced->isVisible()) ImgMouseMove(FTraced, FTracedX, FTracedY);
}

void TForm1::ImgAnimationMouseDown(TObject*, int X, int Y) {
  int x = 0, y = 0;
  const TSpriteTrace& trace = AnimationPage.Trace;
  if (!ImgAnimation->PicturePixel(X, Y, x, y) || !trace.Drawn || trace.Map.At(x, y) < 0) return;
  {
    // Selections made by the program run no change handler.
    const QSignalBlocker bank(CmbSBankSelect), high(CmbSSpriteNumHigh);
    CmbSBankSelect->setCurrentIndex(trace.BankIndex);
    CmbSSpriteNumHigh->setCurrentIndex(trace.PatternNumber >> 8);
  }
  SpritePage.SpriteNumLow = trace.PatternNumber & 0xFF;
  EditSSpriteNum->setText(QString::fromStdString(FormatByte(SpritePage.SpriteNumLow)));
  RefreshSpritePage();
  PageControl1->setCurrentWidget(TabSprite);
}

void TForm1::keyPressEvent(QKeyEvent* Event) {
  // Keys a control left unused bubble up to here; only the window's own focus counts.
  if (QApplication::focusWidget() == this) {
    Handle([this, key = VirtualKeyOf(Event->key())] { FormKeyDown(key); });
  }
  QMainWindow::keyPressEvent(Event);
}

void TForm1::closeEvent(QCloseEvent* Event) {
  bool close = false;
  Handle([&] { close = AskUnsavedEdits(); });
  if (!close) {
    Event->ignore();
    return;
  }
  Handle([this] { FormClose(); });
  QMainWindow::closeEvent(Event);
}

bool TForm1::eventFilter(QObject* Watched, QEvent* Event) {
  if ((Watched == TabAnimation || Watched == TabSprite) && Event->type() == QEvent::MouseButtonPress)
    Handle([this] { TabPageMouseDown(); });
  // The focused frame scroll bar steps back with Left and Up and on with Right and Down;
  // the toolkit's horizontal scroll bar turns Left and Right round.
  if (Watched == SBAFrame && Event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(Event)->key()) {
      case Qt::Key_Left:
      case Qt::Key_Up: SBAFrame->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
      case Qt::Key_Right:
      case Qt::Key_Down: SBAFrame->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
      default: break;
    }
  }
  return QMainWindow::eventFilter(Watched, Event);
}

int VirtualKeyOf(int QtKey) {
  switch (QtKey) {
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Escape: return 0x1B;
    default: break;
  }
  // Letters and digits share their codes with ASCII upper case.
  if ((QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) || (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z)) return QtKey;
  return 0;
}
