// zrdib against what a hostile user hands it: files that are no files, headers that
// announce more than they hold, odd options and names, protected and linked outputs,
// and signals in the middle of a conversion.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "tests/support/FileTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"

namespace {

namespace fs = std::filesystem;
using program_test::RunRaw;

void Put(std::vector<std::uint8_t>& Bytes, std::size_t At, std::uint32_t Value, int Size) {
  for (int i = 0; i < Size; ++i) Bytes[At + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(Value >> (8 * i));
}

// A BMP file with a 40-byte header, Colors colour entries and Pixels as given.
std::vector<std::uint8_t> Bmp(int Width, int Height, int Bits, int Compression, int Colors,
                              const std::vector<std::uint8_t>& Pixels) {
  const std::size_t offset = 54 + 4 * static_cast<std::size_t>(Colors);
  std::vector<std::uint8_t> file(offset, 0);
  file[0] = 'B', file[1] = 'M';
  Put(file, 2, static_cast<std::uint32_t>(offset + Pixels.size()), 4);
  Put(file, 10, static_cast<std::uint32_t>(offset), 4);
  Put(file, 14, 40, 4);
  Put(file, 18, static_cast<std::uint32_t>(Width), 4);
  Put(file, 22, static_cast<std::uint32_t>(Height), 4);
  Put(file, 26, 1, 2);
  Put(file, 28, static_cast<std::uint32_t>(Bits), 2);
  Put(file, 30, static_cast<std::uint32_t>(Compression), 4);
  Put(file, 46, static_cast<std::uint32_t>(Colors), 4);
  for (int i = 0; i < Colors; ++i) Put(file, 54 + 4 * static_cast<std::size_t>(i), 0x010101u * static_cast<unsigned>(i), 4);
  file.insert(file.end(), Pixels.begin(), Pixels.end());
  return file;
}

// 24-bit noise, so that reducing it takes a while.
std::vector<std::uint8_t> Noise(int Width, int Height) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>((Width * 3 + 3) / 4 * 4 * Height));
  std::uint32_t state = 12345;
  for (auto& b : pixels) b = static_cast<std::uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  return Bmp(Width, Height, 24, 0, 0, pixels);
}

std::string ReadText(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Names(const fs::path& Directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Directory)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ZrdibHostileTest : public testing::Test {
protected:
  void SetUp() override {
    // 4 x 2, 8 bits: rows of 4 bytes, pixel values 0-7.
    Dir.Write("small.bmp", Bmp(4, 2, 8, 0, 256, {0, 1, 2, 3, 4, 5, 6, 7}));
    // 120 bytes announcing 65535 x 65535 RLE4 pixels: an end-of-picture code and nothing else.
    Dir.Write("bomb.bmp", Bmp(65535, 65535, 4, 2, 16, {0, 1}));
  }
  program_test::TRun Zrdib(const std::vector<std::string>& Arguments, int Signal = 0, int AfterMs = 0) {
    return RunRaw(TARVELIN_ZRDIB_EXE, Arguments, Dir.Path(), Signal, AfterMs);
  }
  TTestDirectory Dir;
};

TEST_F(ZrdibHostileTest, RefusesWhatItCannotReadClearlyAndGoesOn) {
  ASSERT_EQ(fs::file_size(Dir.Path() / "bomb.bmp"), 120u);
  ASSERT_EQ(mkfifo((Dir.Path() / "fifo").c_str(), 0600), 0);
  fs::create_directory(Dir.Path() / "dir");
  struct TCase {
    std::vector<std::string> Arguments;
    int ExitCode;
    std::vector<std::string> Out, Err;  // each expected within stdout, stderr
  };
  const std::string described = "  image size:    4 x 2, 8 bytes of pixels\n";
  const TCase cases[] = {
      // A file that cannot be measured by seeking, then a good one.
      {{"info", "/proc/self/status", "small.bmp"}, 1, {described}, {"zrdib: /proc/self/status: "}},
      {{"info", "fifo", "dir", "missing.bmp", "small.bmp"},
       1,
       {described},
       {"zrdib: fifo: cannot open: is a FIFO, not a file\n", "zrdib: dir: cannot open: is a directory, not a file\n",
        "zrdib: missing.bmp: cannot open: No such file or directory\n"}},
      {{"info", "bomb.bmp"},
       0,
       {"  biWidth:       65535\n",
        "  pixels:        not read: 65535 x 65535 is 4294836225 pixels, over the limit of 89478485 (--max-pixels raises it)\n"},
       {}},
      {{"info", "small.bmp", "--max-pixels", "8"}, 0, {described}, {}},
      {{"convert", "bomb.bmp", "o.bmp", "--to", "8"},
       1,
       {},
       {"zrdib: bomb.bmp: 65535 x 65535 is 4294836225 pixels, over the limit of 89478485 (--max-pixels raises it)\n"}},
      {{"convert", "small.bmp", "o.bmp", "--to", "24", "--max-pixels", "7"}, 1, {}, {"4 x 2 is 8 pixels, over the limit of 7"}},
      {{"convert", "small.bmp", "no/o.bmp", "--to", "24"}, 1, {}, {"no/o.bmp", "No such file or directory"}},
      {{"convert", "small.bmp", "dir", "--to", "24"}, 1, {}, {"dir", "Is a directory"}},
      {{"convert", "small.bmp", "fifo", "--to", "24"}, 1, {}, {"fifo", "not a regular file"}},
      {{"bogus"}, 2, {}, {"zrdib: unknown command 'bogus'\n", "Usage: zrdib info FILE..."}},
      {{"convert", "small.bmp", "o.bmp", "--to", "1", "--mask", "+12345"}, 2, {}, {"--mask must be six hex digits"}},
      {{"convert", "small.bmp", "o.bmp", "--to", "24", "--max-pixels", " 8"}, 2, {}, {"--max-pixels must be"}},
      {{"info", "small.bmp", "--max-pixels", "-1"}, 2, {}, {"--max-pixels must be"}},
  };
  for (const auto& c : cases) {
    std::string trace;
    for (const auto& argument : c.Arguments) trace += argument + " ";
    SCOPED_TRACE(trace);
    const auto run = Zrdib(c.Arguments);
    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Err;
    for (const auto& text : c.Out) EXPECT_NE(run.Out.find(text), std::string::npos) << run.Out;
    for (const auto& text : c.Err) EXPECT_NE(run.Err.find(text), std::string::npos) << run.Err;
  }
  // Nothing was written, and nothing left behind.
  EXPECT_EQ(Names(Dir.Path()), (std::vector<std::string>{"bomb.bmp", "dir", "fifo", "small.bmp"}));
}

TEST_F(ZrdibHostileTest, OutOfMemoryIsOneMoreFailureOfOneFile) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space: no limit on it can be set here";
#endif
  // Colours of the bomb's 2 GiB of pixels cannot be counted in 1 GiB of address space.
  const auto run = RunRaw(TARVELIN_ZRDIB_EXE, {"info", "bomb.bmp", "small.bmp", "--max-pixels", "0"}, Dir.Path(), 0, 0,
                          rlim_t{1} << 30);
  EXPECT_EQ(run.ExitCode, 1) << run.Err;
  EXPECT_NE(run.Err.find("zrdib: bomb.bmp: "), std::string::npos) << run.Err;
  EXPECT_NE(run.Out.find("small.bmp\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("  image size:    4 x 2, 8 bytes of pixels\n"), std::string::npos) << run.Out;
}

TEST_F(ZrdibHostileTest, OutputsKeepTheirModesLinksAndNames) {
  // Names that are no UTF-8, or as long as a name can be, pass through byte for byte.
  const std::string odd = "in\xfe.bmp", out = "out\xff.bmp", longest = std::string(251, 'n') + ".bmp";
  fs::copy_file(Dir.Path() / "small.bmp", Dir.Path() / odd);
  EXPECT_EQ(Zrdib({"convert", odd, out, "--to", "24"}).ExitCode, 0);
  EXPECT_EQ(Zrdib({"convert", "small.bmp", longest, "--to", "24"}).ExitCode, 0);
  EXPECT_TRUE(fs::is_regular_file(Dir.Path() / out));
  EXPECT_TRUE(fs::is_regular_file(Dir.Path() / longest));
  const std::string converted = ReadText(Dir.Path() / out);
  EXPECT_EQ(converted.size(), 54u + 4 * 256 + 2 * 12);  // the colour table stays; 24-bit rows of 12 bytes

  // A private output stays private; a write-protected one is kept unless forced, and stays protected.
  struct TCase {
    mode_t Mode;
    bool Force;
    int ExitCode;
    bool Replaced;
  };
  for (const TCase c : {TCase{0600, false, 0, true}, TCase{0640, false, 0, true}, TCase{0444, false, 1, false},
                        TCase{0444, true, 0, true}}) {
    SCOPED_TRACE(c.Mode);
    Dir.Write("kept.bmp", {'o', 'l', 'd'});
    ASSERT_EQ(chmod((Dir.Path() / "kept.bmp").c_str(), c.Mode), 0);
    std::vector<std::string> arguments{"convert", "small.bmp", "kept.bmp", "--to", "24"};
    if (c.Force) arguments.push_back("--force");
    const auto run = Zrdib(arguments);
    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Err;
    if (!c.Replaced) {
      EXPECT_NE(run.Err.find("write-protected"), std::string::npos) << run.Err;
    }
    EXPECT_EQ(ReadText(Dir.Path() / "kept.bmp"), c.Replaced ? converted : "old");
    struct stat info {};
    ASSERT_EQ(stat((Dir.Path() / "kept.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, c.Mode);
    fs::remove(Dir.Path() / "kept.bmp");
  }

  // Through a symlink to its target, as cp writes, whether the target exists or not.
  fs::create_symlink("target.bmp", Dir.Path() / "link.bmp");
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(Zrdib({"convert", "small.bmp", "link.bmp", "--to", "24"}).ExitCode, 0);
    EXPECT_TRUE(fs::is_symlink(Dir.Path() / "link.bmp"));
    EXPECT_EQ(ReadText(Dir.Path() / "target.bmp"), converted);
  }
  EXPECT_EQ(Names(Dir.Path()).size(), 7u);  // no temporary file left
}

TEST_F(ZrdibHostileTest, SignalsLeaveTheOldOutputOrTheNewOneAndNothingElse) {
  Dir.Write("big.bmp", Noise(1024, 1024));
  const std::string converted = [&] {
    EXPECT_EQ(Zrdib({"convert", "big.bmp", "new.bmp", "--to", "8", "--mode", "high"}).ExitCode, 0);
    const std::string text = ReadText(Dir.Path() / "new.bmp");
    fs::remove(Dir.Path() / "new.bmp");
    return text;
  }();
  ASSERT_FALSE(converted.empty());
  // The named temporary files that replace unnamed ones where a file system has
  // none are tried too; only the unnamed kind survives SIGKILL.
  for (const bool named : {false, true}) {
    if (named) setenv("TARVELIN_NAMED_TEMPORARIES", "1", 1);
    for (const int signal : {SIGINT, SIGTERM, SIGKILL}) {
      if (named && signal == SIGKILL) continue;
      for (const int afterMs : {5, 40, 120}) {
        SCOPED_TRACE(std::to_string(named) + " " + std::to_string(signal) + " " + std::to_string(afterMs));
        Dir.Write("out.bmp", {'o', 'l', 'd'});
        const auto run = Zrdib({"convert", "big.bmp", "out.bmp", "--to", "8", "--mode", "high"}, signal, afterMs);
        const std::string now = ReadText(Dir.Path() / "out.bmp");
        // A signal after the rename finds the new file complete.
        EXPECT_TRUE(now == "old" || now == converted) << run.ExitCode;
        if (run.ExitCode == 0) {
          EXPECT_EQ(now, converted);
        }
        EXPECT_EQ(Names(Dir.Path()), (std::vector<std::string>{"big.bmp", "bomb.bmp", "out.bmp", "small.bmp"}));
      }
    }
  }
  unsetenv("TARVELIN_NAMED_TEMPORARIES");
}

}  // namespace
