//===- LeakSuppressions.cpp - Leaks of system libraries that the fuzz targets do not own ===//

// fontconfig keeps its configuration for the life of the process, allocated on first use.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
