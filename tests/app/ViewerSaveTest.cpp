// Saving pictures and animations through the menu and Ctrl+S, with a replaced
// save dialog: the proposed names and folder, the files read back, and errors.

#include <gif_lib.h>

#include <QImage>
#include <QTest>
#include <fstream>
#include <sstream>

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerSaveTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoInActiveWindow();
  }
  // The dialog answers Chosen (none: cancelled) and notes what it was offered.
  void Answer(std::optional<std::string> Chosen) {
    Form1->SaveDialog = [this, Chosen](const std::string& Filter, const std::string& Proposed) {
      Offered.push_back({Filter, Proposed});
      return Chosen;
    };
  }
  std::string Out(const std::string& Name) const { return (std::filesystem::path(Dir.Path()) / Name).string(); }

  std::vector<std::pair<std::string, std::string>> Offered;
};

// Every pixel of the file is the shown picture's colour at (x, y) / Scale.
void ExpectPicture(const std::string& Path, TZrDIB& Shown, int Scale) {
  SCOPED_TRACE(Path);
  const QImage file(QString::fromStdString(Path));
  ASSERT_FALSE(file.isNull());
  ASSERT_EQ(file.size(), QSize(Shown.GetWidth(), Shown.GetHeight()) * Scale);
  const TShown colours = ShownBy(Shown);
  for (int y = 0; y < file.height(); ++y) {
    const auto row = Shown.GetScanLine(y / Scale);
    for (int x = 0; x < file.width(); ++x)
      if ((file.pixel(x, y) & 0xFFFFFF) != colours.Colors[row[static_cast<std::size_t>(x / Scale)]]) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
        return;
      }
  }
}

TEST_F(ViewerSaveTest, PicturesAreSavedAsPngOrBmpWithNamesFromBankAndNumber) {
  const std::string png = Out("a"), bmp = Out("b.BMP");
  // Ctrl+E on the sprite page: the sprite and its pattern table as PNG, the extension added.
  GoToPattern(0, 0x00D);
  Answer(png);
  QTest::keyClick(Form1->windowHandle(), Qt::Key_E, Qt::ControlModifier);
  ExpectPicture(png + ".png", *SpritePage.SpriteDIB, 1);
  ExpectPicture(png + "-patterntable.png", *SpritePage.PatternTableDIB, 1);
  // From the menu on the animation page at zoom 2, as BMP; the folder is remembered.
  GoToAnimation(3);
  Tick();
  Form1->SetZoom(2);
  Answer(bmp);
  Form1->SaveImage1->trigger();
  ExpectPicture(bmp, *AnimationPage.AnimationDIB, 2);
  {
    std::ifstream file(bmp, std::ios::binary);
    char magic[2] = {};
    file.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "BM");
  }
  const std::vector<std::pair<std::string, std::string>> offered = {
      {Form1->SaveImageFilter, "sprite-12-13-00D.png"},
      {Form1->SaveImageFilter, Out("animation-12-13-03-0.png")},
  };
  EXPECT_EQ(Offered, offered);
  EXPECT_EQ(std::string(TForm1::SaveImageFilter), "PNG画像(*.png)|*.png|ビットマップ(*.bmp)|*.bmp");
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ViewerSaveTest, AnimationIsSavedAsAGifWithNesTimingAndItsFrameList) {
  // Animation $00 of "12-13": 02 03 10 11 12, three frames of 4 NES frames each, looping.
  Answer(Out("walk.gif"));
  Form1->SaveAnimation1->trigger();
  ASSERT_EQ(Offered.size(), 1u);
  EXPECT_EQ(Offered[0].second, "animation-12-13-00.gif");
  int error = 0;
  GifFileType* gif = DGifOpenFileName(Out("walk.gif").c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(gif->SWidth, 256);
  ASSERT_EQ(gif->ImageCount, 3);
  // 4 / 60.0988 s each: the ends 6.66, 13.31, 19.97 cs round to 7, 13, 20.
  const int delays[] = {7, 6, 7};
  for (int i = 0; i < 3; ++i) {
    GraphicsControlBlock control{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, delays[i]) << i;
  }
  DGifCloseFile(gif, &error);
  std::ifstream list(Out("walk.txt"));
  std::stringstream text;
  text << list.rdbuf();
  EXPECT_EQ(text.str(), "# frame pattern nes_frames start_ms\n0 $010 4 0.0\n1 $011 4 66.6\n2 $012 4 133.1\n");
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ViewerSaveTest, CancelWritesNothingAndAFailedWriteIsShownInAMessageBox) {
  Tick();  // the animation page shows its first frame
  Answer(std::nullopt);
  Form1->SaveImage1->trigger();
  Form1->SaveAnimation1->trigger();
  EXPECT_EQ(Offered.size(), 2u);
  EXPECT_TRUE(Shown().empty());
  const std::string missing = Out("no-such-folder/x.png");
  Answer(missing);
  Form1->SaveImage1->trigger();
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].Text.rfind("ファイル " + missing + " を作成できません", 0), 0u) << Shown()[0].Text;
  EXPECT_FALSE(std::filesystem::exists(missing));
}

// A save that failed leaves the proposed folder as it was: the next dialog opens
// where the last save succeeded (or with a bare name), never in the failed folder.
TEST_F(ViewerSaveTest, OnlyAFolderThatTookTheFilesIsProposedAgain) {
  Tick();
  const std::string folder = Dir.Path().string();
  const struct {
    QAction* Item;
    std::string Chosen;
    std::string ProposedFolder;
    bool Fails;
  } saves[] = {
      {Form1->SaveImage1, Out("missing-a/x.png"), "", true},
      {Form1->SaveAnimation1, Out("missing-b/x.gif"), "", true},
      {Form1->SaveImage1, Out("x.png"), "", false},
      {Form1->SaveAnimation1, Out("missing-c/x.gif"), folder, true},
      {Form1->SaveImage1, Out("missing-d/x.png"), folder, true},
      {Form1->SaveAnimation1, Out("x.gif"), folder, false},
  };
  std::size_t failures = 0;
  for (const auto& save : saves) {
    SCOPED_TRACE(save.Chosen);
    Offered.clear();
    Answer(save.Chosen);
    save.Item->trigger();
    ASSERT_EQ(Offered.size(), 1u);
    EXPECT_EQ(std::filesystem::path(Offered[0].second).parent_path().string(), save.ProposedFolder);
    failures += save.Fails;
    EXPECT_EQ(Shown().size(), failures);
    EXPECT_EQ(std::filesystem::exists(save.Chosen), !save.Fails);
  }
}

TEST(ViewerSaveBeforeLoad, SaveItemsWaitForARom) {
  AppTestApplication();
  TForm1 window;
  EXPECT_FALSE(window.SaveImage1->isEnabled());
  EXPECT_FALSE(window.SaveAnimation1->isEnabled());
  EXPECT_EQ(window.SaveImage1->text().toStdString(), "画像を保存(&S)...");
  EXPECT_EQ(window.SaveAnimation1->text().toStdString(), "アニメーションを保存(&A)...");
}

}  // namespace
}  // namespace viewer_test
