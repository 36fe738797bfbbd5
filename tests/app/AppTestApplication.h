#pragma once
// The app test program shares the Qt test programs' one offscreen QApplication.
// The window's settings and recovery journals go to folders of the test
// program's own, never the user's.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/host/qt/QtTestApplication.h"

inline QApplication& AppTestApplication() {
  static std::string base;
  static const bool private_folders = [] {
    base = (std::filesystem::temp_directory_path() / "tarvelin-app-tests-XXXXXX").string();
    if (!mkdtemp(base.data())) std::abort();
    for (const char* name : {"XDG_STATE_HOME", "XDG_CONFIG_HOME"}) {
      const auto folder = std::filesystem::path(base) / name;
      std::filesystem::create_directories(folder);
      setenv(name, folder.c_str(), 1);
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(base, ignored);
    });
    return true;
  }();
  static_cast<void>(private_folders);
  return TestApplication();
}
