#pragma once
// The app test program shares the Qt test programs' one offscreen QApplication.

#include "tests/host/qt/QtTestApplication.h"

inline QApplication& AppTestApplication() { return TestApplication(); }
