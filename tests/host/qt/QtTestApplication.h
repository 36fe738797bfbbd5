#pragma once
// The one QApplication of a test program, made on first use on the offscreen
// platform and destroyed when the tests end, before static destruction, which
// Qt's input devices do not survive.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

namespace qt_test {

class TApplicationEnvironment final : public ::testing::Environment {
 public:
  void TearDown() override { App.reset(); }
  std::unique_ptr<QApplication> App;
};

}  // namespace qt_test

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "tests";
  static char* argv[] = {name, nullptr};
  // Google Test owns and deletes the environment.
  static auto* const environment = static_cast<qt_test::TApplicationEnvironment*>(
      ::testing::AddGlobalTestEnvironment(new qt_test::TApplicationEnvironment));
  if (!environment->App && !QApplication::instance()) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    environment->App = std::make_unique<QApplication>(argc, argv);
  }
  return *qobject_cast<QApplication*>(QCoreApplication::instance());
}
