#pragma once
// Shared by the app tests: a temp directory per test, file writing, and a
// capture of the message boxes the code under test shows.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"

class TTestDirectory {
public:
  // Named after the running test; outside a test (suite set-up) give a name.
  explicit TTestDirectory(std::string Name = CurrentTestName()) {
    FPath = std::filesystem::temp_directory_path() / ("tarvelin-" + std::to_string(::getpid()) + "-" + Name);
    std::filesystem::remove_all(FPath);
    std::filesystem::create_directories(FPath);
  }
  ~TTestDirectory() {
    std::error_code ignored;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(FPath, ignored);
  }
  TTestDirectory(const TTestDirectory&) = delete;
  TTestDirectory& operator=(const TTestDirectory&) = delete;

  const std::filesystem::path& Path() const { return FPath; }

  std::string Write(const std::string& Name, const std::vector<std::uint8_t>& Bytes) const {
    const auto path = FPath / Name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    return path.string();
  }

private:
  static std::string CurrentTestName() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "-" + info->name() : "suite";
  }

  std::filesystem::path FPath;
};

// Routes message boxes into a record, captioned with the real title, for the
// life of the object.
class TMessageCapture {
public:
  TMessageCapture() : FBoxes(std::make_shared<TRecordingMessageBoxes>()), FOldTitle(Application.GetTitle()) {
    FPrevious = Application.SetMessageBoxes(FBoxes);
    Application.SetTitle(ApplicationTitle);
  }
  ~TMessageCapture() {
    Application.SetMessageBoxes(FPrevious);
    Application.SetTitle(FOldTitle);
  }
  TMessageCapture(const TMessageCapture&) = delete;
  TMessageCapture& operator=(const TMessageCapture&) = delete;

  const std::vector<TRecordingMessageBoxes::TShown>& Shown() const { return FBoxes->Shown; }

  // Exactly one box, captioned with the title, holding Text.
  void ExpectOnly(const std::string& Text) const {
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].Caption, ApplicationTitle);
    EXPECT_EQ(Shown()[0].Text, Text);
  }

private:
  std::shared_ptr<TRecordingMessageBoxes> FBoxes;
  std::shared_ptr<IMessageBoxes> FPrevious;
  std::string FOldTitle;
};
