#pragma once
// The main window: its menu, open dialog, animation timer and page control,
// and the routing of keys, focus and combo-box changes to the two pages.

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui_tarvelinSprite.h"

class TZrDIB;

class TForm1 : public QMainWindow, public Ui::TForm1 {
  Q_OBJECT

public:
  explicit TForm1(QWidget* Parent = nullptr);
  ~TForm1() override;

  // The ROM open dialog's one filter entry: description, then the pattern.
  static constexpr const char* ROMOpenDialogFilter = QT_TRANSLATE_NOOP("TForm1", "TARVELINROMイメージ(*.nes)|*.nes");
  // Where the open command gets its file name; a real file dialog unless replaced
  // (tests put a name here). No value means the user cancelled.
  std::function<std::optional<std::string>()> ROMOpenDialog;
  QTimer AnimationTimer;
  // Where the save commands get their file name: Filter in the open dialog's
  // form, the proposed path; a real file dialog unless replaced (tests put a name here).
  std::function<std::optional<std::string>(const std::string& Filter, const std::string& Proposed)> SaveDialog;
  static constexpr const char* SaveImageFilter = QT_TRANSLATE_NOOP("TForm1", "PNG画像(*.png)|*.png|ビットマップ(*.bmp)|*.bmp");
  // What the animation save offers: GIF, or APNG for the NES timing.
  static constexpr const char* SaveAnimationFilter = 
      QT_TRANSLATE_NOOP("TForm1", "GIFアニメーション(*.gif)|*.gif|APNGアニメーション(*.png)|*.png");
  // ファイル(F) > 画像を保存(S)... (Ctrl+E) and アニメーションを保存(A)... (Ctrl+Shift+E); usable once a ROM is loaded.
  QAction* SaveImage1 = nullptr;
  QAction* SaveAnimation1 = nullptr;
  // The page's pictures at the current zoom as PNG or BMP; the sprite page's
  // pattern table goes beside its sprite, "-patterntable" added to the name.
  void SaveImage1Click();
  // The animation page's animation as a GIF with the NES timing, its frame list beside it (.txt).
  void SaveAnimation1Click();

  void FormCreate();
  void FormClose();
  void Open1Click();
  void Exit1Click();
  void FormKeyDown(int Key);
  void TabPageMouseDown();
  void CmbSBankSelectChange();
  void CmbSSpriteNumHighChange();
  void AnimationTimerTimer();
  // The status bar's pixel trace over the three pictures.
  void ImgMouseMove(TObject* Sender, int X, int Y);
  void ImgMouseLeave(TObject* Sender);
  // Rewrites the trace for a picture redrawn under a still pointer.
  void RefreshTrace();
  // Takes the focus off every control and gives it to the window itself.
  void FocusWindow();
  // A click on a sprite of the animation frame opens its pattern on the sprite page.
  void ImgAnimationMouseDown(TObject* Sender, int X, int Y);

  // 編集(E) > コピー(C) (Ctrl+C): the picture under the pointer, else the page's
  // main picture, at the current zoom, to the clipboard.
  QMenu* Edit1 = nullptr;
  QAction* Copy1 = nullptr;
  void Copy1Click();

  // The pictures' integer scale, 1..4; the pages' controls move to make room.
  static constexpr int MaxZoom = 4;
  int GetZoom() const { return FZoom; }
  void SetZoom(int Value);
  // The 表示(V) menu: one item per scale, and a step up or down (Ctrl++ / Ctrl+-).
  QMenu* View1 = nullptr;
  std::vector<QAction*> ZoomItems;
  QAction* ZoomIn1 = nullptr;
  QAction* ZoomOut1 = nullptr;

  // ROM editing: the undo history of the edits, saving the ROM and patches.
  class QUndoStack* RomUndoStack = nullptr;
  // ファイル(F) > パッチを当てて開く(P)...: a ROM with an IPS or BPS patch applied.
  QAction* OpenPatched1 = nullptr;
  // ROMを上書き保存(R), ROMに名前を付けて保存(M)..., パッチを書き出す(E)...; usable while a ROM is loaded.
  QAction* SaveRom1 = nullptr;
  QAction* SaveRomAs1 = nullptr;
  QAction* ExportPatch1 = nullptr;
  static constexpr const char* PatchOpenFilter = QT_TRANSLATE_NOOP("TForm1", "IPS/BPSパッチ(*.ips *.bps)|*.ips *.bps");
  static constexpr const char* PatchSaveFilter = QT_TRANSLATE_NOOP("TForm1", "IPSパッチ(*.ips)|*.ips|BPSパッチ(*.bps)|*.bps");
  enum class TUnsavedEdits { Save, Discard, Cancel };
  enum class TChangedOnDisk { Overwrite, SaveAs, Cancel };
  // The question before unsaved edits would be lost, whether to overwrite the
  // opened ROM (asked once a session), what to do with a ROM file another program
  // changed, whether to write a patch that changes nothing, and the patch file to
  // open; real dialogs unless replaced (tests do).
  std::function<TUnsavedEdits()> UnsavedEditsDialog;
  std::function<bool(const std::string& Path)> OverwriteRomDialog;
  std::function<TChangedOnDisk(const std::string& Path)> ChangedOnDiskDialog;
  std::function<bool(const std::string& Path)> EmptyPatchDialog;
  std::function<std::optional<std::string>()> PatchOpenDialog;
  void OpenPatched1Click();
  // ファイル(F) > 最近使ったファイル(R): the last 8 ROMs opened, with their patches.
  QMenu* Recent1 = nullptr;
  // Opens Rom (with Patch, unless empty) as 開く or パッチを当てて開く would, their dialogs answered.
  void OpenFiles(const std::string& Rom, const std::string& Patch);
  // Each answers false when the user cancelled; a failed write raises. Each save
  // and export says in the status bar what it wrote.
  bool SaveRom1Click();
  bool SaveRomAs1Click();
  void ExportPatch1Click();
  // True when nothing unsaved would be lost: no edits, saved, or discarded.
  bool AskUnsavedEdits();
  // Browsing and view options, further down the 表示(V) menu (tarvelinSpriteBrowse.cpp).
  // 移動(G)... (Ctrl+G): a number typed in hex, shown on the active page as the arrow keys would.
  QAction* GoTo1 = nullptr;
  void GoTo1Click();
  // Text as a pattern (sprite page) or animation number; a bad one is reported
  // in a message box and changes nothing (false).
  bool GoToNumber(const std::string& Text);
  // 一覧(L)... (Ctrl+L): the overview sheet of a bank's patterns and animations.
  QAction* Sheet1 = nullptr;
  class TSheetDialog* Sheet = nullptr;
  void Sheet1Click();
  // Number of bank BankIndex on its page, the bank chosen as its box would choose it.
  void OpenPattern(int BankIndex, int Number);
  void OpenAnimation(int BankIndex, int Number);
  // 背景色(B): NES colours $00..$3F, then the checkerboard; 透明 and タイルウィンドウ全体.
  QMenu* Background1 = nullptr;
  std::vector<QAction*> BackgroundItems;
  QAction* Transparent1 = nullptr;
  QAction* WholeTileWindow1 = nullptr;
  // スキャンライン検査(S), off at start: the sprite picture's rows with more than 8 sprites outlined.
  QAction* ScanlineCheck1 = nullptr;
  // オニオンスキン(N), off at start: the animation's previous and next frames faintly under the current one.
  QAction* OnionSkin1 = nullptr;
  void SetBackground(int Background);
  void SetTransparent(bool Value);
  void SetWholeTileWindow(bool Value);
  // After a successful load: the items become usable, an open sheet redraws.
  void BrowseRomLoaded();
  // The animation page's frame being drawn and its pattern (-1: the $00 frame):
  // noted, and shown in the status bar unless the pointer is over a picture,
  // whose trace keeps the bar.
  void ShowFrameStatus(int Frame, int Pattern);

  // Editing in the window: 編集(E) > 元に戻す / やり直し (Ctrl+Z; Ctrl+Y, Ctrl+Shift+Z),
  // and 編集パネル(P) (Ctrl+D), the dock with the current page's record.
  QAction* Undo1 = nullptr;
  QAction* Redo1 = nullptr;
  // Set by the editor panel as it installs itself over the window.
  QAction* ShowEditPanel1 = nullptr;
  class TEditPanel* EditPanel = nullptr;

  // Working beside other tools (tarvelinSpriteWork.cpp): the recovery journal of
  // unsaved edits, reload when the ROM changes on disk, ファイル > エミュレータで実行 (F5)
  // and 比較(C)... .
  class TRecovery* Recovery = nullptr;
  // A ROM named on the command line is opened once the window is up; its load offers its own journal.
  bool RomOnCommandLine = false;
  class TRomWatch* RomWatch = nullptr;
  class TEmulator* Emulator = nullptr;
  QAction* RunEmulator1 = nullptr;
  QAction* EmulatorSettings1 = nullptr;
  QAction* Compare1 = nullptr;
  class TCompareDialog* CompareWindow = nullptr;
  // Asked when the ROM changed on disk under unsaved edits: true drops them and
  // reloads. The file to compare with. Real dialogs unless replaced (tests do).
  std::function<bool()> ReloadDialog;
  std::function<std::optional<std::string>()> CompareOpenDialog;
  void RomChangedOnDisk();
  // Loads the file again, keeping the page, the banks and the numbers.
  void ReloadRom();
  void Compare1Click();

  // 表示(V) > 言語 / Language(A) > 日本語 | English: the window's texts, at once and for later starts.
  QMenu* Language1 = nullptr;
  QAction* Japanese1 = nullptr;
  QAction* English1 = nullptr;
  // Puts every text of the window in the language installed now; run on each language change.
  void RetranslateWindow();

signals:
  // At the start of the window's destruction: what was installed over it lets go.
  void Destroying();

protected:
  void keyPressEvent(QKeyEvent* Event) override;
  void changeEvent(QEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  // Runs a handler as the framework's message loop would: an exception that
  // leaves it is shown by the general error handler.
  void Handle(const std::function<void()>& Handler);
  std::optional<std::string> ExecuteROMOpenDialog();
  // The ROM open dialog's title: the toolkit's own for 開く, what it asks for when a patch follows.
  QString FRomDialogTitle;
  void CreateViewMenu();
  void CreateEditMenu();
  void CreateSaveItems();
  void CreateRomItems();
  void CreateRecentItems();
  void CreateScanlineItem();
  void CreateOnionItem();
  void ShowRecentItems();
  // Puts the ROM just loaded, and its patch, first among the recent files.
  void RememberRecentRom();
  // After a successful load: the pages, the caption and the renderer, as the open command sets them.
  void RomLoaded();
  // "TARVELIN Sprite Viewer - " and the ROM's path, then " + " and the patch's name if it was opened with one.
  void ShowRomCaption();
  // Writes the image to Path and makes it the document's file.
  bool WriteRom(const std::string& Path);
  // The file Ctrl+S may overwrite without asking again, once the user said yes.
  std::string FOverwriteConfirmed;
  int FRomListener = 0;
  void CreateBrowseItems();
  // Redraws both pages' pictures after a view option changed.
  void RedrawPictures();
  // Puts a transparent PNG of Picture (a composed sprite picture) beside the DIB just copied.
  void OfferTransparentCopy(TZrDIB& Picture);
  void CreateEditItems();
  // Before the window's own part goes: the document and the children stop calling it.
  void DestroyEditItems();
  // " *" at the caption's end while there are unsaved edits.
  void ShowUnsavedMark();
  int FEditListener = 0;
  void CreateWorkItems();
  void WorkRomLoaded();
  void WorkFormClose();
  void WatchRom();
  void OfferJournalsAtStart();
  // The open command's load of File (with Patch, if any), without its dialogs.
  void OpenRom(const std::string& File, const std::string& Patch);
  bool FReloading = false;
  std::optional<std::string> ExecuteSaveDialog(const std::string& Filter, const std::string& Proposed);
  // The proposed path of a save: the folder last saved into, and Name.
  std::string ProposedPath(const std::string& Name) const;
  std::string FSaveFolder;
  // The picture under the pointer and where, for RefreshTrace.
  class TImageEx* FTraced = nullptr;
  int FTracedX = 0;
  int FTracedY = 0;
  // The window at scale 1, before any zoom: each page control's place and the window's size.
  std::vector<std::pair<QWidget*, QRect>> FDesign;
  QSize FDesignSize;
  QSize FDesignPages;
  int FZoom = 1;
  // Holds the page control while the scale is above 1, or the window is smaller than designed.
  class QScrollArea* FZoomArea = nullptr;
  bool PagesScroll() const;
  // Each control of the pages at its design place, moved for the current scale.
  void PlaceControls();
  // Puts the page control in the scroll area, or straight in the window, as PagesScroll says.
  void PlacePages();
  // The animation frame drawn last, which a view option redraws.
  int FShownFrame = 0;
  // Its pattern (-1: the $00 frame), for the animation page's status text; -2 before any frame.
  int FShownPattern = -2;
  // The animation page's status text shows on that page only.
  void ShowPageStatus();
  void CreateLanguageItems();
  // The undo and redo items' texts: the word, then the step's name.
  void ShowUndoTexts();
  // A ROM shorter than the full image: what the status bar says, and what it said last (empty: nothing).
  QString ShortRomText() const;
  QString FShortRomShown;
  // The pages' design as made, and the design with each label widened to its text (English is longer).
  std::vector<std::pair<QWidget*, QRect>> FDesignAsMade;
  void FitLabels();
};

// The one main window; made at start-up.
extern TForm1* Form1;

// Makes the toolkit draw the window's fonts with installed equivalents where they are missing.
void InstallFontSubstitutions();


// The window's virtual key code for a key of the toolkit.
int VirtualKeyOf(int QtKey);
