#pragma once
// The one ROM a file manager or a shell names on the viewer's command line.

#include <QStringList>
#include <optional>
#include <string>

class TForm1;

// The ROM path among Positional (the parser's positional arguments) as the
// open dialog would return it: absolute. None when there is no argument.
std::optional<std::string> CommandLineRom(const QStringList& Positional);

// Runs the open command on Path, as if the open dialog had returned it: the
// same checks, the same messages, the same general error handler.
void OpenCommandLineRom(TForm1& Window, const std::string& Path);
