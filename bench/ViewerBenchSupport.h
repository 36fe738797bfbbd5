#pragma once
// The viewer's window over the demo ROM, offscreen, for the benchmarks that time
// what a user does in it, and the main() they share.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app/TarvelinViewer.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"
#include "tools/DemoRom.h"
#include "sprite/NesPalette.h"

inline std::unique_ptr<TForm1>& BenchWindowHolder() {
  static std::unique_ptr<TForm1> window;
  return window;
}

// Made once, in a temporary folder holding fcpalette.pal and the demo ROM, which
// it opens; the timer is stopped so that only what is timed draws.
inline TForm1& BenchWindow() {
  auto& window = BenchWindowHolder();
  if (!window) {
    const auto dir = std::filesystem::temp_directory_path() / "tarvelin-bench";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    // The window remembers the ROM it opens: here, not in the user's settings.
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    // Its edits leave recovery journals: here too, not among the user's.
    setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    const auto& palette = NesMasterPalette();
    std::ofstream("fcpalette.pal", std::ios::binary).write(reinterpret_cast<const char*>(palette.data()), 192);
    const auto rom = MakeDemoRom();
    std::ofstream("demo.nes", std::ios::binary)
        .write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));
    Application.SetTitle(ApplicationTitle);
    window = CreateViewerWindow();
    Form1 = window.get();
    window->AnimationTimer.stop();
    const std::string path = (dir / "demo.nes").string();
    window->ROMOpenDialog = [path] { return std::optional<std::string>(path); };
    window->Open1Click();
  }
  return *window;
}

inline int RunViewerBenchmarks(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  BenchWindowHolder().reset();
  Form1 = nullptr;
  RomDocument.Close();
  return 0;
}
