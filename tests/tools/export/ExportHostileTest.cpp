// tarvelin-export against failures and signals while it puts its files in place,
// odd output folders and paths, and short ROMs.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/support/FileTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"
#include "tools/DemoRom.h"
#include "sprite/NesPalette.h"

namespace {

namespace fs = std::filesystem;
using program_test::RunRaw;

std::string ReadText(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every file below Folder (its name relative to Folder) with its content.
std::map<std::string, std::string> Tree(const fs::path& Folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(Folder))
    if (entry.is_regular_file()) files[entry.path().lexically_relative(Folder).string()] = ReadText(entry.path());
  return files;
}

bool HasStaging(const fs::path& Folder) {
  for (const auto& entry : fs::directory_iterator(Folder))
    if (entry.path().filename().string().find(".tarvelin-export-") != std::string::npos) return true;
  return false;
}

// A process id that no process has any more.
pid_t DeadPid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  int status = 0;
  waitpid(pid, &status, 0);
  return pid;
}

// A small tmpfs at Folder for as long as it lives, where the system lets the test mount one.
class TSmallFileSystem {
public:
  TSmallFileSystem(const fs::path& Folder, const char* Size) : FFolder(Folder) {
    fs::create_directories(Folder);
    FMounted = mount("tmpfs", Folder.c_str(), "tmpfs", 0, (std::string("size=") + Size).c_str()) == 0;
  }
  ~TSmallFileSystem() {
    if (FMounted) umount2(FFolder.c_str(), MNT_DETACH);
  }
  TSmallFileSystem(const TSmallFileSystem&) = delete;
  TSmallFileSystem& operator=(const TSmallFileSystem&) = delete;
  bool Mounted() const { return FMounted; }

private:
  fs::path FFolder;
  bool FMounted = false;
};

class ExportHostileTest : public testing::Test {
protected:
  void SetUp() override {
    Rom = MakeDemoRom();
    Dir.Write("demo.nes", Rom);
    const auto& master = NesMasterPalette();
    std::vector<std::uint8_t> palette(master.begin(), master.end());
    Dir.Write("fcpalette.pal", palette);
    for (auto& b : palette) b = static_cast<std::uint8_t>(b ^ 0x5A);
    Dir.Write("other.pal", palette);
  }
  program_test::TRun Export(std::vector<std::string> Arguments, int Signal = 0, int AfterMs = 0) {
    return RunRaw(TARVELIN_EXPORT_EXE, Arguments, Dir.Path(), Signal, AfterMs);
  }
  // Patterns 00-2F of bank 16, into Out, coloured by Palette.
  program_test::TRun ExportSome(const std::string& Out, const std::string& Palette, int Signal = 0, int AfterMs = 0) {
    std::vector<std::string> arguments{"demo.nes", Out, "--bank", "16", "--scale", "2", "--palette", Palette};
    for (int n = 0; n < 0x30; ++n) arguments.insert(arguments.end(), {"--sprite", std::to_string(n)});
    return Export(arguments, Signal, AfterMs);
  }
  fs::path Path(const std::string& Name) const { return Dir.Path() / Name; }

  TTestDirectory Dir;
  std::vector<std::uint8_t> Rom;
};

TEST_F(ExportHostileTest, AFailedMoveIntoAnExistingFolderPutsEveryOldFileBack) {
  ASSERT_EQ(ExportSome("out", "other.pal").ExitCode, 0);
  const auto before = Tree(Path("out"));
  // A folder on another file system: the files cannot be renamed into it.
  TSmallFileSystem other(Path("out/patterntable/16"), "1m");
  if (!other.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (not root?): the mid-move failure cannot be made";
  const auto hidden = Tree(Path("out"));
  const auto run = ExportSome("out", "fcpalette.pal");
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("out/patterntable/16/"), std::string::npos) << run.Err;
  EXPECT_EQ(Tree(Path("out")), hidden);
  EXPECT_FALSE(HasStaging(Path("out")));
  EXPECT_GT(before.size(), hidden.size());
}

TEST_F(ExportHostileTest, SignalsLeaveTheOldExportOrTheNewOne) {
  ASSERT_EQ(ExportSome("new", "fcpalette.pal").ExitCode, 0);
  const auto fresh = Tree(Path("new"));
  ASSERT_EQ(ExportSome("out", "other.pal").ExitCode, 0);
  const auto old = Tree(Path("out"));
  ASSERT_NE(fresh, old);
  for (const int signal : {SIGINT, SIGTERM}) {
    for (const int afterMs : {40, 150, 350}) {
      SCOPED_TRACE(std::to_string(signal) + " after " + std::to_string(afterMs) + " ms");
      const auto run = ExportSome("out", "fcpalette.pal", signal, afterMs);
      const auto now = Tree(Path("out"));
      EXPECT_TRUE(now == old || now == fresh) << run.ExitCode;
      EXPECT_EQ(run.ExitCode == 0, now == fresh) << run.Err;
      EXPECT_FALSE(HasStaging(Path("out")));
      EXPECT_FALSE(HasStaging(Dir.Path()));
      // Back to the old export for the next moment.
      if (now != old) {
        fs::remove_all(Path("out"));
        ASSERT_EQ(ExportSome("out", "other.pal").ExitCode, 0);
      }
    }
  }
}

TEST_F(ExportHostileTest, OutputFoldersAreFollowedProtectedAndClearedOfWhatFailedRunsLeft) {
  // A dangling symlink: its target is made, the link stays.
  fs::create_symlink("made/deeper", Path("link"));
  EXPECT_EQ(Export({"demo.nes", "link", "--bank", "16", "--sprite", "1"}).ExitCode, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link")));
  EXPECT_TRUE(fs::exists(Path("made/deeper/sprite/16/001.png")));

  // A write-protected file is replaced only when asked.
  const fs::path still = Path("made/deeper/sprite/16/001.png");
  fs::permissions(still, fs::perms::owner_read);
  auto run = Export({"demo.nes", "link", "--bank", "16", "--sprite", "1", "--palette", "other.pal"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("link/sprite/16/001.png"), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find("write-protected (--force replaces it)"), std::string::npos) << run.Err;
  const std::string kept = ReadText(still);
  EXPECT_EQ(Export({"demo.nes", "link", "--bank", "16", "--sprite", "1", "--palette", "other.pal", "--force"}).ExitCode, 0);
  EXPECT_NE(ReadText(still), kept);

  // Staging folders of killed runs go, and old files they had set aside come back.
  const std::string dead = std::to_string(DeadPid());
  fs::create_directories(Path("made/deeper/.tarvelin-export-" + dead + "-abcdef/.old"));
  Dir.Write("made/deeper/.tarvelin-export-" + dead + "-abcdef/.old/notes.txt", {'o', 'l', 'd'});
  Dir.Write("made/deeper/notes.txt", {'n', 'e', 'w'});
  fs::create_directories(Path(".fresh.tarvelin-export-" + dead + "-ghijkl/sprite"));
  EXPECT_EQ(Export({"demo.nes", "link", "--bank", "16", "--sprite", "2"}).ExitCode, 0);
  EXPECT_EQ(Export({"demo.nes", "fresh", "--bank", "16", "--sprite", "2"}).ExitCode, 0);
  EXPECT_EQ(ReadText(Path("made/deeper/notes.txt")), "old");
  EXPECT_FALSE(HasStaging(Path("made/deeper")));
  EXPECT_FALSE(HasStaging(Dir.Path()));

  // Under a file: the reason in plain words.
  Dir.Write("file.txt", {'x'});
  run = Export({"demo.nes", "file.txt/out", "--bank", "16", "--sprite", "1"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("file.txt/out: Not a directory"), std::string::npos) << run.Err;
  EXPECT_EQ(run.Err.find("filesystem error"), std::string::npos) << run.Err;

  // A run that fails takes away the folders it made, and only those.
  TSmallFileSystem small(Path("small"), "64k");
  if (!small.Mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (not root?): a full disk cannot be made";
  Dir.Write("small/mine.txt", {'m'});
  run = Export({"demo.nes", "small/a/b/out", "--bank", "16", "--scale", "8", "--jobs", "1"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("small/a/b/out/"), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find("No space left on device"), std::string::npos) << run.Err;
  EXPECT_EQ(Tree(Path("small")), (std::map<std::string, std::string>{{"mine.txt", "m"}}));
  EXPECT_FALSE(fs::exists(Path("small/a")));
}

TEST_F(ExportHostileTest, PathsPassByteForByteAndAShortRomIsNamedAsSuch) {
  const std::string rom = "demo\xff.nes", out = "out\xfe";
  Dir.Write(rom, Rom);
  auto run = Export({rom, out, "--bank", "16", "--sprite", "1"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_TRUE(fs::exists(Path(out) / "sprite" / "16" / "001.png"));
  for (int run = 0; run < 2; ++run) EXPECT_EQ(Export({"demo.nes", "slash//", "--bank", "16", "--sprite", "1"}).ExitCode, 0);
  EXPECT_TRUE(fs::exists(Path("slash/sprite/16/001.png")));

  // Loaded as the viewer loads it, with a warning that gives the length.
  Dir.Write("short.nes", std::vector<std::uint8_t>(Rom.begin(), Rom.begin() + 0x40410));
  run = Export({"short.nes", "short", "--bank", "16", "--sprite", "1"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_NE(run.Err.find("tarvelin-export: warning: short.nes holds 263184 bytes, less than the 524304 of a full image"),
            std::string::npos)
      << run.Err;
  run = Export({"demo.nes", "full", "--bank", "16", "--sprite", "1"});
  EXPECT_EQ(run.Err.find("warning"), std::string::npos) << run.Err;

  // The viewer's message, then the reason it does not give.
  fs::create_directory(Path("dir.nes"));
  run = Export({"dir.nes", "bad"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("tarvelin-export: ファイル dir.nes は開けません\ntarvelin-export: dir.nes: is a directory, not a file\n"),
            std::string::npos)
      << run.Err;

  // Each number option takes plain digits only.
  for (const char* scale : {" 8", "+2", "2 ", "0x2"}) {
    run = Export({"demo.nes", "bad", "--scale", scale});
    EXPECT_EQ(run.ExitCode, 2) << scale;
    EXPECT_NE(run.Err.find("scale must be 1 to 8"), std::string::npos) << run.Err;
  }
  run = Export({"demo.nes", "bad", "--sprite", "-0"});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_FALSE(fs::exists(Path("bad")));
}

}  // namespace
