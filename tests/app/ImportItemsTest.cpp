// 編集(E) > 取り込み(I) on the real window over the demo ROM: a picture the
// window saved, edited and brought back through the preview's buttons, one
// undo step, the clipboard, and the refusals.

#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <fstream>
#include <iterator>

#include "app/edit/TarvelinImportItems.h"
#include "app/edit/TarvelinImportPreview.h"
#include "host/Clipboard.h"
#include "host/qt/Clipboard.h"
#include "sprite/TarvelinPixelTrace.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ImportItemsTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    FPrevious = InstallQtClipboard();
    QGuiApplication::clipboard()->clear();
    OpenDemoInActiveWindow();
    Items = Form1->findChild<TImportItems*>("ImportItems");
    ASSERT_NE(Items, nullptr);
  }

  void TearDown() override {
    Clipboard().SetBackend(FPrevious);
    ViewerTest::TearDown();
  }

  // Saves the sprite page's pictures as the user would: NAME.png and NAME-patterntable.png.
  void SavePictures(const std::string& Name) {
    const std::string path = (Dir.Path() / (Name + ".png")).string();
    Form1->SaveDialog = [path](const std::string&, const std::string&) -> std::optional<std::string> { return path; };
    Form1->SaveImage1Click();
  }
  QString PathOf(const std::string& Name) const { return QString::fromStdString((Dir.Path() / Name).string()); }

  // Answers the preview that the next import shows with a click on Which, noting its texts.
  void AnswerPreview(QDialogButtonBox::StandardButton Which) {
    auto* timer = new QTimer(Form1);
    QObject::connect(timer, &QTimer::timeout, [this, timer, Which] {
      auto* dialog = dynamic_cast<TImportPreviewDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      timer->stop();
      timer->deleteLater();
      Summary = dialog->findChild<QLabel*>("ImportSummary")->text().toStdString();
      const auto* shared = dialog->findChild<QLabel*>("ImportShared");
      Shared = shared ? shared->text().toStdString() : "";
      QTest::mouseClick(dialog->Buttons->button(Which), Qt::LeftButton);
    });
    timer->start(10);
  }

  std::vector<int> Differing() const {
    const auto now = RomDocument.Image();
    std::vector<int> offsets;
    for (std::size_t i = 0; i < now.size(); ++i)
      if (now[i] != Image[i]) offsets.push_back(static_cast<int>(i));
    return offsets;
  }

  TImportItems* Items = nullptr;
  std::string Summary, Shared;
  std::shared_ptr<TClipboardBackend> FPrevious;
};

TEST_F(ImportItemsTest, AnEditedPatternTableComesBackAsOneUndoStep) {
  // Pattern $008 loads CHR bank $0A at offset 2. Pixel (10, 65): band 2, tile $01, tile pixel (2, 1):
  // file offsets $40010 + $0A x $400 + $10 + 1 = $42821 and + 8, bit $20.
  GoToPattern(0, 0x008);
  SavePictures("p");
  QImage table(PathOf("p-patterntable.png"));
  ASSERT_EQ(table.format(), QImage::Format_Indexed8);
  table.setPixel(10, 65, table.pixelIndex(10, 65) ^ 3);
  ASSERT_TRUE(table.save(PathOf("edited.png")));
  Items->OpenDialog = [this](const std::string&) -> std::optional<std::string> { return PathOf("edited.png").toStdString(); };

  // Cancelled: nothing changes.
  AnswerPreview(QDialogButtonBox::Cancel);
  Items->ImportPatternTable1->trigger();
  EXPECT_EQ(Summary, "変わるタイル: 1 個 (2 バイト)");
  EXPECT_TRUE(Differing().empty());
  EXPECT_EQ(Form1->RomUndoStack->count(), 0);

  AnswerPreview(QDialogButtonBox::Ok);
  Items->ImportPatternTable1->trigger();
  EXPECT_EQ(Differing(), (std::vector<int>{0x42821, 0x42829}));
  EXPECT_EQ(RomDocument.Byte(0x42821) ^ Image[0x42821], 0x20);
  EXPECT_EQ(Form1->RomUndoStack->count(), 1);
  // The page follows: its pattern table shows the edited pixel.
  EXPECT_EQ(PicturePixelIndex(*SpritePage.PatternTableDIB, 10, 65), table.pixelIndex(10, 65));
  EXPECT_TRUE(Shown().empty());

  // The window active again once the preview has gone, Ctrl+Z takes the whole import back.
  Form1->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
  QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(Differing().empty());
}

TEST_F(ImportItemsTest, TheSpritePictureThroughTheClipboardAndTheSharedNotice) {
  // Unchanged, the window's own copy changes nothing and says so.
  GoToPattern(0, 0x000);
  QTest::mouseMove(Form1->windowHandle(), QPoint(2, 2));
  QTest::keyClick(Form1->windowHandle(), Qt::Key_C, Qt::ControlModifier);
  Items->PasteSprite1->trigger();
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].Text, "取り込んでも変わるタイルはありません");
  EXPECT_TRUE(Differing().empty());

  // Pattern $000's pattern table shows CHR bank $00, whose tile $00 every unlisted pattern draws.
  SavePictures("one");
  QImage table(PathOf("one-patterntable.png"));
  table.setPixel(0, 0, (table.pixelIndex(0, 0) + 1) & 3);
  // An RGB picture from a paint program: colour 3 and 2 are told by their RGB.
  QGuiApplication::clipboard()->setImage(table.convertToFormat(QImage::Format_RGB32));
  AnswerPreview(QDialogButtonBox::Ok);
  Items->PastePatternTable1->trigger();
  // Its pixel (0, 0) is colour 1 (the corner of every demo tile), now 2: both planes of row 0 change.
  ASSERT_EQ(table.pixelIndex(0, 0), 2);
  EXPECT_EQ(Differing(), (std::vector<int>{0x40010, 0x40018})) << Summary;
  EXPECT_NE(Shared.find("パターンでも使われています"), std::string::npos) << Shared;
  EXPECT_NE(Shared.find("12-13:$00D"), std::string::npos) << Shared;
}

TEST_F(ImportItemsTest, RefusalsNameThePlaceAndChangeNothing) {
  GoToPattern(0, 0x008);
  SavePictures("p");
  // The pattern table offered as the sprite picture.
  Items->OpenDialog = [this](const std::string&) -> std::optional<std::string> { return PathOf("p-patterntable.png").toStdString(); };
  Items->ImportSprite1->trigger();
  // Band 0 of pattern $008 shows no bank.
  QImage table(PathOf("p-patterntable.png"));
  table.setPixel(3, 4, 1);
  ASSERT_TRUE(table.save(PathOf("band.png")));
  Items->OpenDialog = [this](const std::string&) -> std::optional<std::string> { return PathOf("band.png").toStdString(); };
  Items->ImportPatternTable1->trigger();
  ASSERT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Shown()[0].Text, "画像の大きさが 128 × 128 です。256 × 256 (またはその 2-8 倍) の画像を取り込めます");
  EXPECT_EQ(Shown()[1].Text, "点(3,4) タイル$00 のタイル内の点(3,4): この帯にはCHRバンクが読み込まれていないので色0のままにしてください");
  EXPECT_TRUE(Differing().empty());
  EXPECT_EQ(Form1->RomUndoStack->count(), 0);
}

TEST_F(ImportItemsTest, RawChrGoesOutAndComesBack) {
  GoToPattern(0, 0x008);
  Items->BankDialog = [](const QString&, const QString& Proposed) -> std::optional<QString> { return Proposed; };
  Form1->SaveDialog = [this](const std::string&, const std::string& Proposed) -> std::optional<std::string> {
    EXPECT_EQ(Proposed, "chr-0A-0B.chr");
    return PathOf("banks.chr").toStdString();
  };
  Items->ExportChr1->trigger();
  std::ifstream in(PathOf("banks.chr").toStdString(), std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 2048u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), Image.begin() + 0x40010 + 0x0A * 0x400));
  // Bank $0A's bytes over bank $0B: 2 KiB from $0B would run into $0C as well.
  bytes.resize(1024);
  std::ofstream(PathOf("one.chr").toStdString(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 1024);
  Items->OpenDialog = [this](const std::string&) -> std::optional<std::string> { return PathOf("one.chr").toStdString(); };
  Items->BankDialog = [](const QString&, const QString&) -> std::optional<QString> { return QString("0B"); };
  AnswerPreview(QDialogButtonBox::Ok);
  Items->ImportChr1->trigger();
  EXPECT_TRUE(std::equal(ChrData.begin() + 0x0B * 0x400, ChrData.begin() + 0x0C * 0x400, bytes.begin()));
  EXPECT_EQ(Form1->RomUndoStack->count(), 1);
}

}  // namespace
}  // namespace viewer_test
