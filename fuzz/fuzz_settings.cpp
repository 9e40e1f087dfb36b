// fuzz_settings.cpp: libFuzzer target for the reader of "settings.txt". The
// input is the file's text; only the reading runs (no GL, no models).
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "assets/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (!file) return 0;
  static SettingsFile read;
  char error[320];
  parseSettings(file, &read, error, sizeof error);
  fclose(file);
  return 0;
}
