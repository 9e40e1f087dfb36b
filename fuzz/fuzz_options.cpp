// fuzz_options.cpp: libFuzzer target for the command-line parser and the
// option table. The input is the argument list, arguments separated by zero
// bytes; the error line must stay one line whatever the arguments hold. The
// first argument also goes to every row as a value from a file would, since
// a file's values are read by the same table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/options.h"

namespace {

void oneLineOrAbort(const char* error) {
  if (strpbrk(error, "\n\r\x1b") != nullptr) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static char text[4096 + 1];
  static char* argv[65];
  if (size > 4096) return 0;
  memcpy(text, data, size);
  text[size] = '\0';
  int argc = 0;
  argv[argc++] = const_cast<char*>("velkarra3d");
  for (size_t start = 0; start <= size && argc < 64;) {
    argv[argc++] = text + start;
    start += strlen(text + start) + 1;
  }
  argv[argc] = nullptr;
  RunOptions options = {};
  char error[512];
  if (parseOptions(argc, argv, &options, error, sizeof error) == parseError) oneLineOrAbort(error);
  for (const OptionRow& row : optionRows) {
    RunOptions fromFile = {};
    if (!applyOption(row, argv[1], originFile, &fromFile, error, sizeof error))
      oneLineOrAbort(error);
  }
  return 0;
}
