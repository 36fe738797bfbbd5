#include "host/Graphics.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "host/Exception.h"

namespace {

// A graphic whose stored form is its size and one colour byte.
class TTestGraphic : public TGraphic {
public:
  static inline int Made = 0;
  TTestGraphic() { ++Made; }
  const char* ClassName() const override { return "TTestGraphic"; }
  static std::unique_ptr<TGraphic> Make() { return std::make_unique<TTestGraphic>(); }
  TGraphicClass ClassType() const override { return &Make; }

  void Draw(TCanvas&, const TRect&) override {}
  bool GetEmpty() const override { return FWidth == 0; }
  int GetWidth() const override { return FWidth; }
  int GetHeight() const override { return FHeight; }
  void SetWidth(int Value) override {
    FWidth = Value;
    Changed(this);
  }
  void SetHeight(int Value) override {
    FHeight = Value;
    Changed(this);
  }
  void Assign(TPersistent* Source) override {
    if (auto* other = dynamic_cast<TTestGraphic*>(Source)) {
      FWidth = other->FWidth;
      FHeight = other->FHeight;
      Colour = other->Colour;
      Changed(this);
      return;
    }
    TGraphic::Assign(Source);
  }
  void SaveToStream(TStream& Stream) override {
    const int data[3] = {FWidth, FHeight, Colour};
    Stream.WriteBuffer(data, sizeof data);
  }
  void LoadFromStream(TStream& Stream) override {
    int data[3];
    Stream.ReadBuffer(data, sizeof data);
    FWidth = data[0];
    FHeight = data[1];
    Colour = data[2];
    Changed(this);
  }
  void Report(TProgressStage Stage, BYTE Percent) { Progress(this, Stage, Percent, false, Rect(0, 0, 1, 1), "step"); }

  int Colour = 0;

private:
  int FWidth = 0;
  int FHeight = 0;
};

// Same stored form, another class: Equals must tell them apart.
class TOtherGraphic : public TTestGraphic {
public:
  static std::unique_ptr<TGraphic> Make() { return std::make_unique<TOtherGraphic>(); }
  TGraphicClass ClassType() const override { return &Make; }
};

// A graphic with no stored form of its own.
class TPlainGraphic : public TTestGraphic {
public:
  const char* ClassName() const override { return "TPlainGraphic"; }
  void SaveToStream(TStream& Stream) override { TGraphic::SaveToStream(Stream); }
  void LoadFromStream(TStream& Stream) override { TGraphic::LoadFromStream(Stream); }
};

std::string TempPath(const std::string& Name) {
  return (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "_" + Name)).string();
}

}  // namespace

TEST(GraphicTest, ChangedAndModified) {
  TTestGraphic graphic;
  int changes = 0;
  TObject* sender = nullptr;
  graphic.SetOnChange([&](TObject* s) {
    ++changes;
    sender = s;
  });
  EXPECT_FALSE(graphic.GetModified());
  graphic.SetModified(true);
  EXPECT_TRUE(graphic.GetModified());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(sender, &graphic);
  graphic.SetModified(false);
  EXPECT_FALSE(graphic.GetModified());
  EXPECT_EQ(changes, 1);  // clearing is silent

  graphic.SetTransparent(true);
  EXPECT_TRUE(graphic.GetTransparent());
  EXPECT_EQ(changes, 2);
  graphic.SetTransparent(true);
  EXPECT_EQ(changes, 2);  // no change, no event
}

TEST(GraphicTest, ProgressReachesHandler) {
  TTestGraphic graphic;
  std::vector<std::pair<TProgressStage, int>> seen;
  graphic.Report(TProgressStage::psStarting, 0);  // no handler: nothing happens
  graphic.SetOnProgress([&](TObject* sender, TProgressStage stage, BYTE percent, bool, const TRect& r,
                            const std::string& msg) {
    EXPECT_EQ(sender, &graphic);
    EXPECT_EQ(r, Rect(0, 0, 1, 1));
    EXPECT_EQ(msg, "step");
    seen.emplace_back(stage, percent);
  });
  graphic.Report(TProgressStage::psRunning, 40);
  graphic.Report(TProgressStage::psEnding, 100);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(TProgressStage::psRunning, 40));
  EXPECT_EQ(seen[1], std::make_pair(TProgressStage::psEnding, 100));
}

TEST(GraphicTest, EqualsComparesClassAndStoredForm) {
  TTestGraphic a, b;
  TOtherGraphic c;
  a.SetWidth(3);
  b.SetWidth(3);
  c.SetWidth(3);
  EXPECT_TRUE(a.Equals(b));
  EXPECT_FALSE(a.Equals(c));
  b.Colour = 7;
  EXPECT_FALSE(a.Equals(b));
}

TEST(GraphicTest, FilesRoundTripThroughStreams) {
  const auto path = TempPath("graphic.tst");
  TTestGraphic saved;
  saved.SetWidth(5);
  saved.SetHeight(6);
  saved.Colour = 9;
  saved.SaveToFile(path);
  TTestGraphic loaded;
  loaded.LoadFromFile(path);
  EXPECT_TRUE(loaded.Equals(saved));
  std::filesystem::remove(path);
  EXPECT_THROW(loaded.LoadFromFile(path), EFOpenError);
}

TEST(GraphicTest, GraphicWithoutStoredFormRefusesStreams) {
  TPlainGraphic graphic;
  TMemoryStream stream;
  try {
    graphic.SaveToStream(stream);
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "TPlainGraphic cannot be streamed");
  }
  EXPECT_THROW(graphic.LoadFromStream(stream), EInvalidGraphic);
  WORD format = 0;
  HGLOBAL data;
  HPALETTE palette;
  EXPECT_THROW(graphic.SaveToClipboardFormat(format, data, palette), EInvalidGraphic);
  EXPECT_THROW(graphic.LoadFromClipboardFormat(8, data, palette), EInvalidGraphic);
}

TEST(ColorToRGBTest, SystemColoursResolvePlainOnesPass) {
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(240, 240, 240));
  EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
  EXPECT_EQ(ColorToRGB(clWindowText), RGB(0, 0, 0));
  EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
  EXPECT_EQ(ColorToRGB(clWhite), 0xFFFFFFu);
  // An index past the table names no colour: black, as the platform answers.
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x800000F0)), 0u);
}

// --- TPicture -------------------------------------------------------------------

TEST(PictureTest, SetGraphicKeepsACopyOfTheSameClass) {
  TPicture picture;
  int changes = 0;
  picture.SetOnChange([&](TObject*) { ++changes; });
  TOtherGraphic given;
  given.SetWidth(4);
  given.SetHeight(2);
  given.Colour = 5;
  picture.SetGraphic(&given);
  EXPECT_EQ(changes, 1);
  ASSERT_NE(picture.GetGraphic(), nullptr);
  EXPECT_NE(picture.GetGraphic(), &given);
  EXPECT_NE(dynamic_cast<TOtherGraphic*>(picture.GetGraphic()), nullptr);
  EXPECT_TRUE(picture.GetGraphic()->Equals(given));
  EXPECT_EQ(picture.GetWidth(), 4);
  EXPECT_EQ(picture.GetHeight(), 2);

  // The copy's changes reach the picture; the giver's do not.
  picture.GetGraphic()->SetWidth(8);
  EXPECT_EQ(changes, 2);
  given.SetWidth(1);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(picture.GetWidth(), 8);

  picture.SetGraphic(nullptr);
  EXPECT_EQ(picture.GetGraphic(), nullptr);
  EXPECT_EQ(picture.GetWidth(), 0);
  EXPECT_EQ(changes, 3);
}

TEST(PictureTest, AssignTakesPicturesGraphicsAndNone) {
  TTestGraphic graphic;
  graphic.SetWidth(3);
  TPicture a, b;
  a.Assign(&graphic);
  EXPECT_EQ(a.GetWidth(), 3);
  b.Assign(&a);
  EXPECT_EQ(b.GetWidth(), 3);
  EXPECT_NE(b.GetGraphic(), a.GetGraphic());
  b.Assign(nullptr);
  EXPECT_EQ(b.GetGraphic(), nullptr);
  TPicture c;
  c.Assign(&c);  // itself: unchanged
  EXPECT_EQ(c.GetGraphic(), nullptr);
}

class PictureRegistryTest : public ::testing::Test {
protected:
  void TearDown() override {
    TPicture::UnregisterGraphicClass(&TTestGraphic::Make);
    TPicture::UnregisterGraphicClass(&TOtherGraphic::Make);
  }
};

TEST_F(PictureRegistryTest, ExtensionsAreCaseInsensitiveAndWithdrawnWhole) {
  TPicture::RegisterFileFormat("TsT", "Test graphic", &TTestGraphic::Make);
  TPicture::RegisterFileFormat("tst2", "Test graphic 2", &TTestGraphic::Make);
  TPicture::RegisterClipboardFormat(0x7001, &TTestGraphic::Make);
  TPicture::RegisterFileFormat("oth", "Other graphic", &TOtherGraphic::Make);

  EXPECT_EQ(TPicture::GraphicClassForExtension("tst"), &TTestGraphic::Make);
  EXPECT_EQ(TPicture::GraphicClassForExtension("TST"), &TTestGraphic::Make);
  EXPECT_EQ(TPicture::DescriptionForExtension("Tst2"), "Test graphic 2");
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(0x7001));
  EXPECT_EQ(TPicture::GraphicClassForClipboardFormat(0x7001), &TTestGraphic::Make);

  TPicture::UnregisterGraphicClass(&TTestGraphic::Make);
  EXPECT_EQ(TPicture::GraphicClassForExtension("tst"), nullptr);
  EXPECT_EQ(TPicture::GraphicClassForExtension("tst2"), nullptr);
  EXPECT_EQ(TPicture::DescriptionForExtension("tst"), "");
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(0x7001));
  EXPECT_EQ(TPicture::GraphicClassForExtension("oth"), &TOtherGraphic::Make);  // other classes stay
}

TEST_F(PictureRegistryTest, LoadFromFileMakesTheRegisteredClass) {
  TPicture::RegisterFileFormat("tst", "Test graphic", &TTestGraphic::Make);
  const auto path = TempPath("picture.TST");
  {
    TTestGraphic saved;
    saved.SetWidth(11);
    saved.SetHeight(12);
    saved.SaveToFile(path);
  }
  TPicture picture;
  int changes = 0;
  picture.SetOnChange([&](TObject*) { ++changes; });
  picture.LoadFromFile(path);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picture.GetWidth(), 11);
  EXPECT_EQ(picture.GetHeight(), 12);
  picture.GetGraphic()->SetHeight(3);  // the loaded graphic is hooked to the picture
  EXPECT_EQ(changes, 2);

  const auto copy = TempPath("picture_copy.tst");
  picture.SaveToFile(copy);
  TTestGraphic reread;
  reread.LoadFromFile(copy);
  EXPECT_EQ(reread.GetHeight(), 3);
  std::filesystem::remove(path);
  std::filesystem::remove(copy);
}

TEST_F(PictureRegistryTest, UnknownExtensionIsRefusedAndKeepsTheGraphic) {
  TTestGraphic graphic;
  graphic.SetWidth(2);
  TPicture picture;
  picture.SetGraphic(&graphic);
  EXPECT_THROW(picture.LoadFromFile(TempPath("picture.unknownext")), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(TempPath("dir.tst/noextension")), EInvalidGraphic);
  EXPECT_EQ(picture.GetWidth(), 2);
}
