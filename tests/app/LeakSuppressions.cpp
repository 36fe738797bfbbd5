// Fontconfig keeps its caches until the process ends; LeakSanitizer would take
// them for leaks of the window's tests, some runs and not others.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
