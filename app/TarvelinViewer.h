#pragma once
// The viewer as the user gets it: the main window with the editor panel installed over it.

#include <memory>

class TForm1;

std::unique_ptr<TForm1> CreateViewerWindow();
