// Browsing and the view options through real events: Ctrl+G with good and bad
// numbers, the overview sheet's thumbnails clicked, the background and
// transparency in the picture, a saved PNG and the clipboard, the whole tile
// window, and the frame in the status bar.

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QInputDialog>
#include <set>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinPixelTrace.h"
#include "app/views/TarvelinSheet.h"
#include "sprite/TarvelinSpritePattern.h"
#include "host/Clipboard.h"
#include "rom/TarvelinRomEdits.h"
#include "host/qt/Clipboard.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerBrowseTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoInActiveWindow();
  }
  // Types Text into the go-to dialog that Ctrl+G opens and presses Enter (Escape when none);
  // the dialog that a refused number opens again is closed with Escape. How often it asked.
  int GoToByKeys(const std::optional<std::string>& Text) {
    int asked = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return;
      const bool answered = asked++ > 0;
      auto* edit = dialog->findChild<QLineEdit*>();
      if (answered) {
        QTest::keyClick(edit, Qt::Key_Escape);
        return;
      }
      edit->selectAll();
      QTest::keyClick(edit, Qt::Key_Backspace);
      if (Text) QTest::keyClicks(edit, QString::fromStdString(*Text));
      QTest::keyClick(edit, Text ? Qt::Key_Return : Qt::Key_Escape);
    });
    poll.start(5);
    QTest::keyClick(Form1->windowHandle(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_GE(asked, 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(Form1));
    return asked;
  }
  std::uint32_t NesColor(int Number) const {
    const auto& m = NesMasterPalette();
    const auto n = static_cast<std::size_t>(Number);
    return std::uint32_t{m[3 * n]} << 16 | std::uint32_t{m[3 * n + 1]} << 8 | m[3 * n + 2];
  }
  std::string Status() const { return Form1->statusBar()->currentMessage().toStdString(); }
};

// Pixel (X, Y) of a 256 x 256 reference picture.
int At(const TShown& Picture, int X, int Y) {
  // The DIB's rows run bottom-up.
  return Picture.Pixels[static_cast<std::size_t>((255 - Y) * 256 + X)];
}

// Every pixel of Image is what the reference sprite picture Expected shows:
// Colors[index] for sprite pixels, Background(x, y) (0xAARRGGBB, 0 for transparent) where none covered.
template <class TBackground>
void ExpectImage(const QImage& Image, const TShown& Expected, const std::vector<std::uint32_t>& Colors,
                 TBackground Background) {
  ASSERT_EQ(Image.size(), QSize(256, 256));
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const int index = At(Expected, x, y);
      const std::uint32_t want = index == 0 ? Background(x, y) : 0xFF000000 | Colors[static_cast<std::size_t>(index)];
      // A transparent pixel's colour is anyone's.
      const std::uint32_t got = qAlpha(Image.pixel(x, y)) == 0 ? 0u : Image.pixel(x, y);
      if (got != want) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") " << std::hex << Image.pixel(x, y) << " not " << want;
        return;
      }
    }
}

TEST_F(ViewerBrowseTest, CtrlGGoesToATypedNumberAndRefusesABadOne) {
  struct TCase {
    bool SpritePage;
    std::optional<std::string> Typed;
    int Expected;  // the number shown afterwards
    bool Refused;
  };
  const TCase cases[] = {
      {true, "1a5", 0x1A5, false},        {true, " $00D ", 0x00D, false}, {true, "0x1FF", 0x1FF, false},
      {true, "200", 0x1FF, true},         {true, "g1", 0x1FF, true},      {true, "", 0x1FF, true},
      {true, std::nullopt, 0x1FF, false},  // Escape
      {false, "7f", 0x7F, false},         {false, "100", 0x7F, true},     {false, "-1", 0x7F, true},
      {false, "3", 0x03, false},          {false, "-0", 0x03, true},      {false, "$-0", 0x03, true},
      {true, "-0", 0x1FF, true},          {true, "+5", 0x1FF, true},
  };
  std::size_t messages = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Typed.value_or("(cancelled)"));
    if (c.SpritePage)
      ShowSpritePage();
    else
      ShowAnimationPage();
    EXPECT_EQ(GoToByKeys(c.Typed), c.Refused ? 2 : 1);
    messages += c.Refused;
    ASSERT_EQ(Shown().size(), messages);
    if (c.Refused) {
      EXPECT_NE(Shown().back().Text.find("16進数"), std::string::npos) << Shown().back().Text;
    }
    if (c.SpritePage) {
      EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), c.Expected >> 8);
      EXPECT_EQ(Text(Form1->EditSSpriteNum), Hex(c.Expected & 0xFF, 2));
      EXPECT_TRUE(ShownBy(Form1->ImgSprite).SamePicture(Reference(0, c.Expected)));
      EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(FrameOffsetIn(Image, DemoRom::BankBases[0], c.Expected)));
    } else {
      EXPECT_EQ(Text(Form1->EditAAnimationNum), Hex(c.Expected, 2));
      EXPECT_EQ(AnimationPage.AnimationNumber, c.Expected);
      EXPECT_EQ(Text(Form1->LblADataAddress), Address(AnimationOffsetIn(Image, DemoRom::BankBases[0], c.Expected)));
    }
    // The arrow keys go on from there at once.
    EXPECT_EQ(QApplication::focusWidget(), Form1);
  }
}

TEST_F(ViewerBrowseTest, TheSheetDrawsOnlyWhatIsSeenAndAClickOpensTheNumber) {
  ShowSpritePage();
  QTest::keyClick(Form1->windowHandle(), Qt::Key_L, Qt::ControlModifier);
  TSheetDialog* sheet = Form1->Sheet;
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
  QTest::qWait(50);
  EXPECT_GT(sheet->DrawnCount(), 0);
  EXPECT_LT(sheet->DrawnCount(), 100);
  EXPECT_EQ(sheet->Tabs->currentWidget(), sheet->PatternList);

  const auto click = [](QListView* List, int Row) {
    const QModelIndex index = List->model()->index(Row, 0);
    List->scrollTo(index);
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualRect(index).center());
  };
  // Pattern $13A of bank "14-15": the bank box and the number boxes as the user would set them.
  sheet->BankBox->setCurrentIndex(1);
  sheet->BankBox->activated(1);
  click(sheet->PatternList, 0x13A);
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
  EXPECT_EQ(Form1->CmbSBankSelect->currentIndex(), 1);
  EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), 1);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "3A");
  EXPECT_TRUE(ShownBy(Form1->ImgSprite).SamePicture(Reference(1, 0x13A)));
  EXPECT_EQ(sheet->PatternList->model()->index(0x13A, 0).data().toString().toStdString(), "$13A");

  // Animation $05 from the other tab: its label counts its frames.
  sheet->Tabs->setCurrentWidget(sheet->AnimationList);
  const int frames = (Image[static_cast<std::size_t>(AnimationOffsetIn(Image, DemoRom::BankBases[1], 5))] & 0x7F) + 1;
  EXPECT_EQ(sheet->AnimationList->model()->index(5, 0).data().toString().toStdString(),
            "$05 " + std::to_string(frames) + "フレーム");
  click(sheet->AnimationList, 5);
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabAnimation);
  EXPECT_EQ(Form1->CmbABankSelect->currentIndex(), 1);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "05");
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(AnimationOffsetIn(Image, DemoRom::BankBases[1], 5)));
  EXPECT_TRUE(Shown().empty());
}

// A thumbnail of a sheet's list as an image; asking draws it if it was not held.
QImage Thumbnail(QListView* List, int Row) {
  return List->model()->index(Row, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
}
qint64 ThumbnailKey(QListView* List, int Row) {
  return List->model()->index(Row, 0).data(Qt::DecorationRole).value<QPixmap>().cacheKey();
}

TEST_F(ViewerBrowseTest, TheSheetRedrawsTheThumbnailsAnEditChangesAndKeepsTheOthers) {
  ShowSpritePage();
  QTest::keyClick(Form1->windowHandle(), Qt::Key_L, Qt::ControlModifier);
  TSheetDialog* sheet = Form1->Sheet;
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
  const int base = DemoRom::BankBases[0];
  const int frame0 = FrameOffsetIn(Image, base, 0);
  // Pattern $000's one sprite: a pixel of its tile changed to the next colour.
  const int window = Image[static_cast<std::size_t>(frame0)] - Image[static_cast<std::size_t>(frame0 + 3)] / 64;
  const int tile = Image[static_cast<std::size_t>(frame0 + 3)];
  const int row = DemoRom::ChrFileOffset + window * 1024 + tile * 16;
  const int colour = ((Image[static_cast<std::size_t>(row)] >> 7) & 1) + 2 * ((Image[static_cast<std::size_t>(row + 8)] >> 7) & 1);
  struct TCase {
    const char* What;
    bool Animations;
    std::function<TRomChange()> Edit;
  };
  const TCase cases[] = {
      // Of two: a lone sprite moved looks the same in a thumbnail framed on what is drawn.
      {"a sprite moved", false, [] { return SetSpritePosition(RomDocument, {0, 1}, 0, 0x10, 0x20); }},
      {"a tile painted", false,
       [&] { return SetChrPixel(RomDocument, window + tile / 64, tile % 64, 0, 0, (colour + 1) % 4); }},
      {"a sprite count", false, [] { return SetPatternSpriteCount(RomDocument, {0, 3}, 1); }},
      {"an animation's first frame", true, [] { return SetAnimationFrame(RomDocument, {0, 0}, 0, 0x0C); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    QListView* list = c.Animations ? sheet->AnimationList : sheet->PatternList;
    sheet->Tabs->setCurrentWidget(list);
    QTest::qWait(50);
    std::vector<QImage> before;
    std::vector<qint64> keys;
    for (int n = 0; n < 16; ++n) {
      before.push_back(Thumbnail(list, n));
      keys.push_back(ThumbnailKey(list, n));
    }
    const TRomChange change = c.Edit();
    RomDocument.Apply(change);
    QTest::qWait(50);
    // Thumbnails drawn afresh from the ROM as it is now: the sheet's must match them.
    const TSheetDialog fresh(nullptr, {});
    int changed = 0;
    for (int n = 0; n < 16; ++n) {
      SCOPED_TRACE(n);
      const QImage now = Thumbnail(list, n);
      const QImage expected = Thumbnail(c.Animations ? fresh.AnimationList : fresh.PatternList, n);
      ASSERT_EQ(now, expected);
      // What did not change was not drawn again.
      if (now == before[static_cast<std::size_t>(n)]) {
        EXPECT_EQ(ThumbnailKey(list, n), keys[static_cast<std::size_t>(n)]);
      } else {
        ++changed;
      }
    }
    EXPECT_GE(changed, 1);
    // Undone, every thumbnail is as before.
    RomDocument.Revert(change);
    QTest::qWait(50);
    for (int n = 0; n < 16; ++n) EXPECT_EQ(Thumbnail(list, n), before[static_cast<std::size_t>(n)]) << n;
  }
}

TEST_F(ViewerBrowseTest, TheSheetFollowsEveryLoadAFailedOneIncluded) {
  ShowSpritePage();
  QTest::keyClick(Form1->windowHandle(), Qt::Key_L, Qt::ControlModifier);
  TSheetDialog* sheet = Form1->Sheet;
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
  QTest::qWait(50);
  const QImage shown = Thumbnail(sheet->PatternList, DemoRom::OneSprite.Number);
  // A file with a bad header: the buffers are cleared, so every pattern is empty.
  std::vector<std::uint8_t> bad = Image;
  bad[3] = 0;
  Open(Dir.Write("bad.nes", bad));
  ASSERT_EQ(Shown().size(), 1u);
  ASSERT_TRUE(BuffersZero());
  QTest::qWait(50);
  const QImage empty = Thumbnail(sheet->PatternList, DemoRom::OneSprite.Number);
  EXPECT_NE(empty, shown);
  // All the background colour, NES $0F.
  const auto& m = NesMasterPalette();
  const QRgb background = qRgb(m[3 * 0x0F], m[3 * 0x0F + 1], m[3 * 0x0F + 2]);
  for (int y = 0; y < empty.height(); ++y)
    for (int x = 0; x < empty.width(); ++x) ASSERT_EQ(empty.pixel(x, y), background) << x << "," << y;
  // The demo again: its thumbnails again.
  OpenDemo();
  QTest::qWait(50);
  EXPECT_EQ(Thumbnail(sheet->PatternList, DemoRom::OneSprite.Number), shown);
}

TEST_F(ViewerBrowseTest, TheSheetKeepsABoundedNumberOfThumbnailsAndNoneWhenClosed) {
  ShowSpritePage();
  QTest::keyClick(Form1->windowHandle(), Qt::Key_L, Qt::ControlModifier);
  TSheetDialog* sheet = Form1->Sheet;
  ASSERT_TRUE(sheet && QTest::qWaitForWindowExposed(sheet));
  // Scrolled through the whole bank, every pattern drawn in passing.
  for (int n = 0; n < 512; n += 2) {
    sheet->PatternList->scrollTo(sheet->PatternList->model()->index(n, 0));
    QApplication::processEvents();
  }
  QTest::qWait(20);
  EXPECT_GE(sheet->DrawnCount(), 512);
  EXPECT_LE(sheet->KeptCount(), TSheetDialog::KeptThumbnails);
  EXPECT_GT(sheet->KeptCount(), 0);
  // The last drawn are held: asking again draws nothing.
  const int drawn = sheet->DrawnCount();
  for (int n = 500; n < 512; ++n) Thumbnail(sheet->PatternList, n);
  EXPECT_EQ(sheet->DrawnCount(), drawn);
  QTest::keyClick(sheet, Qt::Key_Escape);
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(sheet->KeptCount(), 0);
}

TEST_F(ViewerBrowseTest, BackgroundAndTransparencyReachThePictureTheFileAndTheClipboard) {
  const auto previous = InstallQtClipboard();
  Tick();  // the animation page shows its first frame
  GoToPattern(0, 0x00D);
  const TShown reference = Reference(0, 0x00D);
  const std::vector<std::uint32_t> colors = SpriteColors(NesMasterPalette());
  const auto opaque = [](std::uint32_t Rgb) { return 0xFF000000 | Rgb; };

  // An NES colour: entry 0 only, the pixels as before.
  Form1->BackgroundItems[0x30]->trigger();
  EXPECT_EQ(ShownBy(Form1->ImgSprite).Colors[0], NesColor(0x30));
  EXPECT_TRUE(ShownBy(Form1->ImgSprite).SamePicture(reference));
  ExpectImage(Form1->ImgSprite->grab().toImage().convertToFormat(QImage::Format_ARGB32), reference, colors,
              [&](int, int) { return opaque(NesColor(0x30)); });
  // The animation page's frame follows at once.
  ASSERT_NE(AnimationPage.AnimationDIB, nullptr);
  EXPECT_EQ(ShownBy(Form1->ImgAnimation).Colors[0], NesColor(0x30));

  // The checkerboard, on screen and in a saved PNG.
  Form1->BackgroundItems[64]->trigger();
  const auto checker = [&](int X, int Y) { return opaque(((X / 8 + Y / 8) & 1) ? CheckerDark : CheckerLight); };
  ExpectImage(Form1->ImgSprite->grab().toImage().convertToFormat(QImage::Format_ARGB32), reference, colors, checker);
  const std::string saved = (Dir.Path() / "checker.png").string(), clear = (Dir.Path() / "clear.png").string();
  Form1->SaveDialog = [&](const std::string&, const std::string&) { return std::optional<std::string>(saved); };
  Form1->SaveImage1->trigger();
  ExpectImage(QImage(QString::fromStdString(saved)).convertToFormat(QImage::Format_ARGB32), reference, colors, checker);

  // Transparent: the saved PNG, and the copy, hold no background at all; the pattern table stays opaque.
  Form1->Transparent1->trigger();
  const auto none = [](int, int) { return 0u; };
  Form1->SaveDialog = [&](const std::string&, const std::string&) { return std::optional<std::string>(clear); };
  Form1->SaveImage1->trigger();
  ExpectImage(QImage(QString::fromStdString(clear)).convertToFormat(QImage::Format_ARGB32), reference, colors, none);
  EXPECT_FALSE(QImage((Dir.Path() / "clear-patterntable.png").string().c_str()).hasAlphaChannel());
  {
    // Still an indexed PNG: the transparency is a tRNS chunk for the palette entry.
    QFile file(QString::fromStdString(clear));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("PLTE") && bytes.contains("tRNS"));
  }
  QTest::mouseMove(Form1->windowHandle(), QPoint(2, 2));
  QTest::keyClick(Form1->windowHandle(), Qt::Key_C, Qt::ControlModifier);
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  ASSERT_TRUE(copied->hasFormat("image/png")) << copied->formats().join(",").toStdString();
  ExpectImage(QImage::fromData(copied->data("image/png")).convertToFormat(QImage::Format_ARGB32), reference, colors,
              none);
  ExpectImage(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32), reference, colors, none);
  // The DIB beside it keeps what is shown, the checkerboard.
  EXPECT_TRUE(copied->hasFormat("image/bmp"));
  Clipboard().SetBackend(previous);
  EXPECT_TRUE(Shown().empty());
}

// The whole tile window on hand-made CHR data: window bank b in band b, each
// band's tiles one colour, the pattern's tiles outlined; banks outside the CHR
// data and tiles outside the window left alone.
TEST(TileWindowTest, DrawsTheFourWindowBanksAndOutlinesTheTilesUsed) {
  auto chr = std::make_unique<TChrData>();
  // Bank k's tiles all colour (k mod 3) + 1: plane 0 for bit 0, plane 1 for bit 1.
  for (int k = 0; k < 256; ++k) {
    const int colour = k % 3 + 1;
    for (int i = 0; i < 1024; ++i)
      (*chr)[static_cast<std::size_t>(k * 1024 + i)] =
          static_cast<std::uint8_t>((i % 16 < 8 ? colour & 1 : colour & 2) ? 0xFF : 0);
  }
  const TDrawSprite drawer(*chr, nullptr);
  struct TCase {
    std::vector<std::uint8_t> Frame;  // CHR bank, count - 1, align number, then (tile, attribute) pairs
    int Window;
    std::vector<int> Outlined;  // tiles
  };
  const TCase cases[] = {
      {{11, 2, 0, 0x80, 0, 0x05, 0x43, 0xFF, 0x80}, 9, {0x80, 0x05, 0xFF}},
      // Bank 0 at load offset 3: window -3, only band 3 exists; tile $10 lies outside the CHR data.
      {{0, 1, 0, 0xC0, 0, 0x10, 0}, -3, {0xC0}},
      // Bank $FF at load offset 0: bands 1..3 would lie past the end.
      {{0xFF, 0, 0, 0x21, 0}, 255, {0x21}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Window);
    std::vector<std::uint8_t> frame = c.Frame, align(64, 0);
    frame.resize(64, 0);
    TSpritePattern pattern;
    pattern.Frame = frame;
    pattern.Align = align;
    pattern.CHRLoadOffset = frame[3] >> 6;
    auto table = CreatePageDIB(128, 128);
    DrawTileWindow(drawer, pattern, *table);
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) {
        const int band = y / 32, bank = c.Window + band;
        const int tile = 64 * band + 16 * ((y % 32) / 8) + x / 8;
        const bool edge = x % 8 == 0 || x % 8 == 7 || y % 8 == 0 || y % 8 == 7;
        const bool outlined = std::find(c.Outlined.begin(), c.Outlined.end(), tile) != c.Outlined.end();
        const int want = outlined && edge ? OutlineIndex : bank < 0 || bank > 255 ? 0 : bank % 3 + 1;
        ASSERT_EQ(PicturePixelIndex(*table, x, y), want) << x << ", " << y;
      }
  }
  EXPECT_EQ(TileWindowPixelText(0, 3, 5, 100), "タイル$C0 CHR$40010");
  EXPECT_EQ(TileWindowPixelText(0, 3, 5, 10), "タイル$10 読み込みなし");
  EXPECT_EQ(TileWindowPixelText(0x11, 2, 127, 127), "タイル$FF CHR$44C00");
}

TEST_F(ViewerBrowseTest, TheWholeTileWindowIsAnOptionBesideThePagesOwnTable) {
  GoToPattern(0, 0x00D);
  const TShown own = ShownBy(Form1->ImgPatternTable);
  Form1->WholeTileWindow1->trigger();
  auto expected = CreatePageDIB(128, 128);
  DrawTileWindow(*SpriteDrawer, LocateSpritePattern(PrgData, SpriteBanks[0], 0x00D), *expected);
  EXPECT_TRUE(ShownBy(Form1->ImgPatternTable).SamePicture(ShownBy(*expected)));
  EXPECT_FALSE(ShownBy(Form1->ImgPatternTable).SamePicture(own));
  // The trace names the window bank of the band under the pointer.
  QTest::mouseMove(Form1->ImgPatternTable, QPoint(10, 200));
  EXPECT_EQ(Status(), TileWindowPixelText(SpritePage.CHRBank, SpritePage.CHRLoadOffset, 5, 100));
  Form1->WholeTileWindow1->trigger();
  EXPECT_TRUE(ShownBy(Form1->ImgPatternTable).SamePicture(own));
}

TEST_F(ViewerBrowseTest, TheTraceNamesTheBackgroundColourShown) {
  Tick();  // the animation page shows its first frame
  GoToPattern(0, DemoRom::OneSprite.Number);  // one sprite at the centre: the corners are uncovered
  struct TCase {
    int Item;  // 背景色 item: an NES colour, or 64 for the checkerboard
    bool AnimationPage;
    int X, Y;
    std::string Expected;
  };
  const TCase cases[] = {
      {0x0F, false, 1, 2, "(1,2) 色$00 NES$0F 透明"},
      {0x21, false, 1, 2, "(1,2) 色$00 NES$21 透明"},
      {0x21, false, 255, 3, "(255,3) 色$00 NES$21 透明"},
      {0x00, false, 1, 2, "(1,2) 色$00 NES$00 透明"},
      {64, false, 1, 2, "(1,2) 色$00 チェッカーボード 透明"},
      {64, false, 8, 1, "(8,1) 色$04 チェッカーボード 透明"},
      {64, false, 9, 17, "(9,17) 色$04 チェッカーボード 透明"},
      {64, false, 17, 17, "(17,17) 色$00 チェッカーボード 透明"},
      {0x21, true, 1, 2, "(1,2) 色$00 NES$21 透明"},
      {64, true, 8, 1, "(8,1) 色$04 チェッカーボード 透明"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    Form1->BackgroundItems[static_cast<std::size_t>(c.Item)]->trigger();
    if (c.AnimationPage)
      ShowAnimationPage();
    else
      ShowSpritePage();
    TImageEx* image = c.AnimationPage ? Form1->ImgAnimation : Form1->ImgSprite;
    const int zoom = Form1->GetZoom();
    QTest::mouseMove(image, QPoint(c.X * zoom + zoom / 2, c.Y * zoom + zoom / 2));
    EXPECT_EQ(Status(), c.Expected);
  }
}

TEST_F(ViewerBrowseTest, TheStatusBarShowsThePlayingFrameUnlessThePointerTracesAPicture) {
  // Animation $04 of "12-13": patterns $010, $011, $012 for 4 ticks each, then $00.
  GoToAnimation(4);
  QTest::mouseMove(Form1->windowHandle(), QPoint(2, 2));
  Tick();
  EXPECT_EQ(Status(), "フレーム 0/3 パターン $010");
  QTest::mouseClick(Form1->btnAnimationPlay, Qt::LeftButton);
  Tick(5);
  EXPECT_EQ(Status(), "フレーム 1/3 パターン $011");
  Tick(10);
  EXPECT_EQ(Status(), "フレーム 3/3 停止 ($00)");
  // A new background redraws the empty picture the $00 frame left, not frame 0.
  Form1->BackgroundItems[0x21]->trigger();
  EXPECT_TRUE(ShownBy(Form1->ImgAnimation).Uniform(0));
  EXPECT_EQ(ShownBy(Form1->ImgAnimation).Colors[0], NesColor(0x21));
  // Stepped with the scroll bar.
  Form1->SBAFrame->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  Form1->SBAFrame->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Status(), "フレーム 2/3 パターン $012");
  // Over the picture the trace keeps the bar through the next frames.
  QTest::mouseMove(Form1->ImgAnimation, QPoint(1, 1));
  const std::string trace = Status();
  EXPECT_EQ(trace.rfind("(1,1)", 0), 0u) << trace;
  QTest::mouseClick(Form1->btnAnimationPlay, Qt::LeftButton);
  Tick(5);
  EXPECT_EQ(Status(), trace);
}

TEST_F(ViewerBrowseTest, TheFrameStatusBelongsToTheAnimationPage) {
  GoToAnimation(4);
  QTest::mouseMove(Form1->windowHandle(), QPoint(2, 2));
  Tick();
  ASSERT_EQ(Status(), "フレーム 0/3 パターン $010");
  ShowSpritePage();
  EXPECT_EQ(Status(), "");
  QTest::mouseMove(Form1->ImgSprite, QPoint(3, 3));
  EXPECT_NE(Status(), "");
  QTest::mouseMove(Form1->windowHandle(), QPoint(2, 2));
  QApplication::processEvents();
  EXPECT_EQ(Status(), "");
  // A new background redraws the animation frame too, out of sight.
  Form1->BackgroundItems[0x21]->trigger();
  EXPECT_EQ(Status(), "");
  ShowAnimationPage();
  EXPECT_EQ(Status(), "フレーム 0/3 パターン $010");
}

TEST_F(ViewerBrowseTest, ARefusedGoToAsksAgainWithTheTextSelected) {
  ShowSpritePage();
  std::vector<std::pair<QString, QString>> asked;  // the text shown, and what of it is selected
  const char* typed[] = {"zzz", "2000", "1F"};
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible() || asked.size() >= std::size(typed)) return;
    auto* edit = dialog->findChild<QLineEdit*>();
    if (!edit->hasFocus()) return;
    asked.emplace_back(edit->text(), edit->selectedText());
    // Typing over the selection replaces it.
    QTest::keyClicks(edit, typed[asked.size() - 1]);
    QTest::keyClick(edit, Qt::Key_Return);
  });
  poll.start(5);
  QTest::keyClick(Form1->windowHandle(), Qt::Key_G, Qt::ControlModifier);
  poll.stop();
  const std::vector<std::pair<QString, QString>> expected = {{"000", "000"}, {"zzz", "zzz"}, {"2000", "2000"}};
  EXPECT_EQ(asked, expected);
  EXPECT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "1F");
}

TEST_F(ViewerBrowseTest, SheetThumbnailsFrameTheDrawnAreaAndEnterOrADoubleClickOpens) {
  ShowSpritePage();
  QTest::keyClick(Form1->windowHandle(), Qt::Key_L, Qt::ControlModifier);
  TSheetDialog* sheet = Form1->Sheet;
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
  // Pattern $000 is one 8 x 8 sprite: each of its pixels a 16 x 16 square of the thumbnail.
  const QImage one = Thumbnail(sheet->PatternList, 0);
  ASSERT_EQ(one.size(), QSize(128, 128));
  std::set<QRgb> colours;
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) {
      colours.insert(one.pixel(x, y));
      ASSERT_EQ(one.pixel(x, y), one.pixel(x / 16 * 16, y / 16 * 16)) << x << "," << y;
    }
  EXPECT_GE(colours.size(), 2u);
  // Pattern $005 has 256 sprites over 128 pixels: shown whole, shrunk.
  EXPECT_EQ(Thumbnail(sheet->PatternList, DemoRom::AllSprites.Number).size(), QSize(128, 128));

  QListView* list = sheet->PatternList;
  list->setFocus();
  list->setCurrentIndex(list->model()->index(0x0A, 0));
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "0A");
  const QRect item = list->visualRect(list->model()->index(0x03, 0));
  ASSERT_TRUE(list->viewport()->rect().contains(item.center())) << item.x() << "," << item.y();
  // A double click as the desktop delivers it: a click, then the second press as a double click.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "03");
}

TEST_F(ViewerBrowseTest, TheScanlineCheckOutlinesRowsWithMoreThanEightSprites) {
  ShowSpritePage();
  const auto red = [](const QImage& Image, int X, int Y) { return Image.pixelColor(X, Y) == QColor(255, 0, 0); };
  // AllSprites: 16 rows of 16 sprites from Y $C0, so picture rows 64..191 carry 16 each.
  GoToPattern(0, DemoRom::AllSprites.Number);
  const QImage plain = Form1->ImgSprite->grab().toImage();
  EXPECT_FALSE(Form1->ScanlineCheck1->isChecked());
  Form1->ScanlineCheck1->trigger();
  for (int zoom : {1, 2}) {
    SCOPED_TRACE(zoom);
    Form1->SetZoom(zoom);
    QApplication::processEvents();
    const QImage shown = Form1->ImgSprite->grab().toImage();
    const int z = zoom;
    EXPECT_TRUE(red(shown, 0, 64 * z));
    EXPECT_TRUE(red(shown, 255 * z + z - 1, 100 * z));
    EXPECT_TRUE(red(shown, 0, 191 * z + z - 1));
    EXPECT_TRUE(red(shown, 50 * z, 64 * z));
    EXPECT_FALSE(red(shown, 0, 64 * z - 1));
    EXPECT_FALSE(red(shown, 0, 192 * z));
    EXPECT_FALSE(red(shown, 50 * z, 100 * z));
  }
  Form1->SetZoom(1);
  // One sprite: nothing to outline.
  GoToPattern(0, DemoRom::OneSprite.Number);
  const QImage one = Form1->ImgSprite->grab().toImage();
  for (int y = 0; y < 256; ++y) EXPECT_FALSE(red(one, 0, y)) << y;
  // Off again, the picture is as it was without it.
  GoToPattern(0, DemoRom::AllSprites.Number);
  Form1->ScanlineCheck1->trigger();
  EXPECT_EQ(Form1->ImgSprite->grab().toImage(), plain);
}

TEST_F(ViewerBrowseTest, TheOnionSkinShowsTheNeighbouringFramesWhereTheCurrentOneLeavesTheBackground) {
  // ThreeFrames: patterns $010, $011, $012, the block moving right 4 pixels a frame.
  GoToAnimation(0);
  Tick();
  // Each frame's pixels as the page itself shows it, stepped to with the scroll bar.
  std::vector<TShown> frames{ShownBy(Form1->ImgAnimation)};
  for (int k = 1; k < 3; ++k) {
    Form1->SBAFrame->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_EQ(Text(Form1->LblACurrentFrame), std::to_string(k));
    frames.push_back(ShownBy(Form1->ImgAnimation));
  }
  Form1->SBAFrame->triggerAction(QAbstractSlider::SliderToMinimum);
  ASSERT_EQ(Text(Form1->LblACurrentFrame), "0");
  const QImage plain = Form1->ImgAnimation->grab().toImage();
  Form1->OnionSkin1->trigger();
  const QImage skin = Form1->ImgAnimation->grab().toImage();
  // Next (frame 1) over previous (frame 2), both under frame 0: a fixed faint blue and red.
  int blue = 0, red = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      QRgb expected = plain.pixel(x, y);
      if (!At(frames[0], x, y)) {
        if (At(frames[1], x, y)) {
          expected = qRgb(0x30, 0x30, 0x80);
          ++blue;
        } else if (At(frames[2], x, y)) {
          expected = qRgb(0x80, 0x30, 0x30);
          ++red;
        }
      }
      ASSERT_EQ(skin.pixel(x, y) & 0xFFFFFF, expected & 0xFFFFFF) << x << "," << y;
    }
  EXPECT_GT(blue, 0);
  EXPECT_GT(red, 0);
  Form1->OnionSkin1->trigger();
  EXPECT_EQ(Form1->ImgAnimation->grab().toImage(), plain);
}

}  // namespace
}  // namespace viewer_test
