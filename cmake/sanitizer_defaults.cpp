// Linked into every program of the sanitized build: fontconfig and cairo
// keep process-long caches that LeakSanitizer would otherwise report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libcairo\nleak:libfreetype\nleak:libpixman\n";
}

extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
