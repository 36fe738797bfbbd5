// Fontconfig keeps its caches until the process ends, and on a real X server the
// toolkit's session-bus connection keeps libdbus's buffers; LeakSanitizer would take
// them for leaks of the window's tests, some runs and not others.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n";
}
