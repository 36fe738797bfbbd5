// tarvelin-export run as a user runs it, on the demo ROM and on broken ones.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QThread>
#include <csignal>
#include <fstream>
#include <sstream>

#include "tests/support/FileTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"
#include "tools/DemoRom.h"
#include "sprite/NesPalette.h"

namespace {

namespace fs = std::filesystem;
using program_test::FilesIn;
using program_test::RunProgram;

std::string ReadText(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ExportProgramTest : public testing::Test {
protected:
  void SetUp() override {
    Rom = MakeDemoRom();
    Dir.Write("demo.nes", Rom);
    const auto& master = NesMasterPalette();
    Dir.Write("fcpalette.pal", std::vector<std::uint8_t>(master.begin(), master.end()));
  }
  program_test::TRun Export(std::vector<std::string> Arguments) {
    Arguments.insert(Arguments.begin(), {"demo.nes", "out"});
    return RunProgram(TARVELIN_EXPORT_EXE, Arguments, Dir.Path());
  }
  fs::path Out() const { return Dir.Path() / "out"; }

  TTestDirectory Dir;
  std::vector<std::uint8_t> Rom;
};

TEST_F(ExportProgramTest, RefusesWhatTheViewerRefusesAndLeavesNothingBehind) {
  std::vector<std::uint8_t> badHeader = Rom;
  badHeader[3] = 0;
  Dir.Write("short.nes", std::vector<std::uint8_t>(15, 0x4E));
  Dir.Write("header.nes", badHeader);
  Dir.Write("long.nes", std::vector<std::uint8_t>(0x80011, 0));
  struct TCase {
    std::vector<std::string> Arguments;
    int ExitCode;
    std::string Message;
  };
  const TCase cases[] = {
      {{"short.nes", "out"}, 1, "tarvelin-export: ファイルサイズが異常です\n"},
      {{"long.nes", "out"}, 1, "tarvelin-export: ファイルサイズが異常です\n"},
      {{"header.nes", "out"}, 1, "tarvelin-export: ヘッダが異常です\n"},
      {{"missing.nes", "out"}, 1, "tarvelin-export: ファイル missing.nes は開けません\n"},
      {{"demo.nes", "out", "--scale", "9"}, 2, "scale must be 1 to 8"},
      {{"demo.nes", "out", "--scale", "0"}, 2, "scale must be 1 to 8"},
      {{"demo.nes", "out", "--bank", "13"}, 2, "unknown bank '13'"},
      {{"demo.nes", "out", "--sprite", "200"}, 2, "bad pattern number '200'"},
      {{"demo.nes", "out", "--animation", "zz"}, 2, "bad animation number 'zz'"},
      {{"demo.nes", "out", "--format", "jpg"}, 2, "unknown format 'jpg'"},
      {{"demo.nes"}, 2, "expected ROM and OUTDIR"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Arguments[0] + " " + (c.Arguments.size() > 2 ? c.Arguments[3] : ""));
    const auto run = RunProgram(TARVELIN_EXPORT_EXE, c.Arguments, Dir.Path());
    EXPECT_EQ(run.ExitCode, c.ExitCode);
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(Out()));
  }

  // A file where a folder must go fails the run before anything is moved in.
  fs::create_directory(Out());
  Dir.Write("out/sprite", std::vector<std::uint8_t>{1});
  const auto run = Export({"--bank", "16"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("out/sprite"), std::string::npos) << run.Err;
  EXPECT_EQ(std::distance(fs::directory_iterator(Out()), fs::directory_iterator()), 1);
  EXPECT_EQ(FilesIn(Out()), 1u);
}

TEST_F(ExportProgramTest, ExportsEveryPatternAndAnimationOfABank) {
  fs::remove(Dir.Path() / "fcpalette.pal");
  const auto run = Export({"--bank", "16"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  // The viewer's warning, and no progress bar: stderr is no terminal.
  EXPECT_EQ(run.Err, "tarvelin-export: ファイル fcpalette.pal は開けません\ntarvelin-export: using the built-in palette\n");
  EXPECT_EQ(FilesIn(Out() / "sprite" / "16"), 512u);
  EXPECT_EQ(FilesIn(Out() / "patterntable" / "16"), 512u);
  EXPECT_EQ(FilesIn(Out() / "animation" / "16"), 512u);
  EXPECT_TRUE(fs::exists(Out() / "animation" / "16" / "FF.gif"));
  EXPECT_EQ(FilesIn(Out()), 512u + 512 + 2 * 256 + 1);

  const std::string csv = ReadText(Out() / "index.csv");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 512 + 256);
  // Pattern $1FF of bank "16": CHR bank $80, alignment $01, one sprite; offsets from the demo ROM's layout.
  const auto& p = DemoRom::Bank16LastPattern;
  char row[160];
  std::snprintf(row, sizeof row, "\nsprite,16,1FF,sprite/16/1FF.png,%X,1,1,%X,80,%X,0,80 00 01 ", p.FrameOffset,
                p.AlignOffset, 0x40010 + 0x80 * 0x400);
  EXPECT_NE(csv.find(row), std::string::npos) << row;
  EXPECT_NE(csv.find("\nanimation,16,FF,animation/16/FF.gif,,,,,,,,,,"), std::string::npos);
  EXPECT_EQ(csv.substr(0, csv.find('\n')),
            "kind,bank,number,file,frame_address,sprite_count,align_number,align_address,chr_bank,chr_bank_address,"
            "load_offset,frame_data,align_data,animation_address");
}

TEST_F(ExportProgramTest, IndexHoldsARowForEveryItemTheFolderHolds) {
  const auto keys = [&] {
    std::string keys;
    std::istringstream csv(ReadText(Out() / "index.csv"));
    std::string line;
    std::getline(csv, line);
    while (std::getline(csv, line)) keys += line.substr(0, line.find(',', line.find(',', line.find(',') + 1) + 1)) + ";";
    return keys;
  };
  ASSERT_EQ(Export({"--bank", "16", "--sprite", "1", "--sprite", "2"}).ExitCode, 0);
  ASSERT_EQ(Export({"--bank", "16", "--sprite", "2", "--animation", "3"}).ExitCode, 0);
  EXPECT_EQ(keys(), "animation,16,3;sprite,16,1;sprite,16,2;");
  // A picture the user took away loses its row at the next run.
  fs::remove(Out() / "sprite" / "16" / "001.png");
  ASSERT_EQ(Export({"--bank", "14-15", "--animation", "10"}).ExitCode, 0);
  EXPECT_EQ(keys(), "animation,14-15,10;animation,16,3;sprite,16,2;");
}

TEST_F(ExportProgramTest, IndexRowsNameTheFilesWrittenWhateverTheirFormat) {
  // kind,bank,number,file of every row, each file checked to be in the folder.
  const auto files = [&] {
    std::string files;
    std::istringstream csv(ReadText(Out() / "index.csv"));
    std::string line;
    std::getline(csv, line);
    while (std::getline(csv, line)) {
      std::string file = line.substr(0, line.find(',', line.find(',', line.find(',', line.find(',') + 1) + 1) + 1));
      const std::string path = file.substr(file.rfind(',') + 1);
      if (!fs::exists(Out() / path)) ADD_FAILURE() << path << " is named but missing";
      files += file + ";";
    }
    return files;
  };
  struct TStep {
    std::vector<std::string> Arguments;
    std::string Rows;  // every row's kind, bank, number and file afterwards
  };
  const TStep steps[] = {
      {{"--bank", "16", "--animation", "1", "--animation", "2", "--animation-format", "apng"},
       "animation,16,1,animation/16/01.png;animation,16,2,animation/16/02.png;"},
      // A partial run of pictures only, in another still format.
      {{"--bank", "16", "--sprite", "3", "--format", "bmp"},
       "animation,16,1,animation/16/01.png;animation,16,2,animation/16/02.png;sprite,16,3,sprite/16/003.bmp;"},
      // A GIF for one animation; the other keeps its APNG.
      {{"--bank", "16", "--animation", "2"},
       "animation,16,1,animation/16/01.png;animation,16,2,animation/16/02.gif;sprite,16,3,sprite/16/003.bmp;"},
      {{"--bank", "16", "--sprite", "3"},
       "animation,16,1,animation/16/01.png;animation,16,2,animation/16/02.gif;sprite,16,3,sprite/16/003.png;"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Arguments.back());
    const auto run = Export(step.Arguments);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(files(), step.Rows);
  }
  // An index whose row names a GIF for the APNG beside it (as earlier runs wrote) is put right.
  std::string csv = ReadText(Out() / "index.csv");
  const std::string apng = "animation/16/01.png";
  csv.replace(csv.find(apng), apng.size(), "animation/16/01.gif");
  Dir.Write("out/index.csv", std::vector<std::uint8_t>(csv.begin(), csv.end()));
  ASSERT_EQ(Export({"--bank", "16", "--sprite", "4"}).ExitCode, 0);
  EXPECT_EQ(files(),
            "animation,16,1,animation/16/01.png;animation,16,2,animation/16/02.gif;sprite,16,3,sprite/16/003.png;"
            "sprite,16,4,sprite/16/004.png;");
}

TEST_F(ExportProgramTest, MakeDemoRomTakesNoOptionForAFileName) {
  struct TCase {
    std::vector<std::string> Arguments;
    int ExitCode;
    std::string Out, Err;        // what each stream begins with
    std::string Written;         // the file the ROM went to, or none
  };
  const TCase cases[] = {
      {{"--help"}, 0, "usage: make_demo_rom [path]\n", "", ""},
      {{"-h"}, 0, "usage: make_demo_rom [path]\n", "", ""},
      {{"--version"}, 2, "", "usage: make_demo_rom [path]\n", ""},
      {{"a.nes", "b.nes"}, 2, "", "usage: make_demo_rom [path]\n", ""},
      {{"made.nes"}, 0, "", "", "made.nes"},
      {{"./-odd.nes"}, 0, "", "", "-odd.nes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Arguments[0]);
    const auto before = FilesIn(Dir.Path());
    const auto run = RunProgram(TARVELIN_MAKE_DEMO_ROM_EXE, c.Arguments, Dir.Path());
    EXPECT_EQ(run.ExitCode, c.ExitCode);
    EXPECT_EQ(run.Out.substr(0, c.Out.size()), c.Out);
    EXPECT_EQ(run.Err.substr(0, c.Err.size()), c.Err);
    if (c.Err.empty()) {
      EXPECT_EQ(run.Err, "");
    }
    EXPECT_FALSE(fs::exists(Dir.Path() / c.Arguments[0]) && c.Written.empty()) << "a file named like the option";
    EXPECT_EQ(FilesIn(Dir.Path()), before + !c.Written.empty());
    if (!c.Written.empty()) {
      EXPECT_EQ(ReadText(Dir.Path() / c.Written), std::string(Rom.begin(), Rom.end()));
    }
  }
}

TEST_F(ExportProgramTest, AStoppedExportLeavesNothing) {
  // Scale 8 makes the whole ROM long enough to be stopped halfway.
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(Dir.Path().string()));
  process.start(TARVELIN_EXPORT_EXE, {"demo.nes", "out", "--scale", "8"});
  ASSERT_TRUE(process.waitForStarted());
  for (int i = 0; i < 200 && !fs::exists(Out()); ++i) QThread::msleep(5);
  QThread::msleep(200);
  process.terminate();
  ASSERT_TRUE(process.waitForFinished(60'000));
  EXPECT_EQ(process.exitCode(), 128 + SIGTERM);
  EXPECT_FALSE(fs::exists(Out()));
}

struct TGifRead {
  int Frames = 0;
  std::vector<int> Delays;
  bool Loops = false;
  int Width = 0;
};

TGifRead ReadGif(const fs::path& Path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(Path.c_str(), &error);
  TGifRead read;
  if (!gif) return read;
  if (DGifSlurp(gif) == GIF_OK) {
    read.Frames = gif->ImageCount;
    read.Width = gif->SWidth;
    for (int i = 0; i < gif->ImageCount; ++i) {
      GraphicsControlBlock control{};
      DGifSavedExtensionToGCB(gif, i, &control);
      read.Delays.push_back(control.DelayTime);
      const SavedImage& image = gif->SavedImages[i];
      for (int e = 0; e < image.ExtensionBlockCount; ++e) {
        const ExtensionBlock& block = image.ExtensionBlocks[e];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::string(reinterpret_cast<const char*>(block.Bytes), 11) == "NETSCAPE2.0")
          read.Loops = true;
      }
    }
  }
  DGifCloseFile(gif, &error);
  return read;
}

TEST_F(ExportProgramTest, AnimationsKeepNtscTimeAndStopWhereTheGameStops) {
  const auto run = Export({"--bank", "12-13", "--animation", "0", "--animation", "2", "--animation", "4",
                           "--animation", "5", "--scale", "2"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_FALSE(fs::exists(Out() / "sprite"));
  const std::string csv = ReadText(Out() / "index.csv");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 4);
  // Delays: rounded end less rounded start, at 100 / 60.0988 hundredths per NES frame (by hand).
  struct TCase {
    const char* Name;
    std::vector<int> Delays;
    bool Loops;
  };
  const TCase cases[] = {
      {"00", {7, 6, 7}, true},               // 4 NES frames each: 6.66, 13.31, 19.97
      {"02", {2, 1, 2}, true},               // 1 NES frame each: 1.66, 3.33, 4.99
      {"04", {7, 6, 7, 0}, false},           // the $00 frame ends it
      {"05", {27, 26, 27, 26, 27, 27, 26, 27, 27, 26, 27, 26}, true},  // 16 each
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto gif = ReadGif(Out() / "animation" / "12-13" / (std::string(c.Name) + ".gif"));
    EXPECT_EQ(gif.Frames, static_cast<int>(c.Delays.size()));
    EXPECT_EQ(gif.Delays, c.Delays);
    EXPECT_EQ(gif.Loops, c.Loops);
    EXPECT_EQ(gif.Width, 512);
  }
  EXPECT_EQ(ReadText(Out() / "animation" / "12-13" / "04.txt"),
            "# frame pattern nes_frames start_ms\n0 $010 4 0.0\n1 $011 4 66.6\n2 $012 4 133.1\n3 end 0 199.7\n");
}

TEST_F(ExportProgramTest, ZrdibReportsAndConverts) {
  const fs::path suite(TARVELIN_BMPSUITE);
  if (!fs::exists(suite / "g" / "pal8.bmp")) GTEST_SKIP() << "bmpsuite not found at " << suite;
  fs::copy_file(suite / "g" / "pal8.bmp", Dir.Path() / "pal8.bmp");
  fs::copy_file(suite / "b" / "badbitcount.bmp", Dir.Path() / "bad.bmp");
  Dir.Write("keep.bmp", std::vector<std::uint8_t>{'k'});
  struct TCase {
    std::vector<std::string> Arguments;
    int ExitCode;
    std::string Out;  // expected within stdout
    std::string Err;  // expected within stderr
  };
  const TCase cases[] = {
      {{"info", "pal8.bmp"}, 0, "  pixel format:  zrpf8Bit\n", ""},
      {{"info", "pal8.bmp", "bad.bmp"}, 1, "  biBitCount:    30000\n",
       "zrdib: bad.bmp: TZrInternalDIB.LoadFromStream: Invalid BitCout\n"},
      {{"info"}, 2, "", "info needs at least one FILE"},
      {{"convert", "pal8.bmp", "o24.bmp", "--to", "24", "--time"}, 0, "", "convert: "},
      {{"convert", "bad.bmp", "keep.bmp", "--to", "24"}, 1, "", "zrdib: bad.bmp: TZrInternalDIB.LoadFromStream: Invalid BitCout\n"},
      {{"convert", "pal8.bmp", "keep.bmp", "--to", "9"}, 2, "", "unknown --to '9'"},
      {{"convert", "pal8.bmp", "keep.bmp", "--to", "1", "--mask", "FFF"}, 2, "", "--mask must be six hex digits"},
      {{"frobnicate"}, 2, "", "Usage: zrdib info FILE..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Arguments[0] + " " + c.Arguments.back());
    const auto run = RunProgram(TARVELIN_ZRDIB_EXE, c.Arguments, Dir.Path());
    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Err;
    EXPECT_NE(run.Out.find(c.Out), std::string::npos) << run.Out;
    EXPECT_NE(run.Err.find(c.Err), std::string::npos) << run.Err;
  }
  // A failed conversion leaves the old output as it was.
  EXPECT_EQ(ReadText(Dir.Path() / "keep.bmp"), "k");
  const auto info = RunProgram(TARVELIN_ZRDIB_EXE, {"info", "o24.bmp"}, Dir.Path());
  EXPECT_NE(info.Out.find("  biBitCount:    24\n"), std::string::npos) << info.Out;
  EXPECT_NE(info.Out.find("  image size:    127 x 64"), std::string::npos) << info.Out;
  EXPECT_EQ(FilesIn(Dir.Path()), 6u);  // no temporary file left
}

}  // namespace
