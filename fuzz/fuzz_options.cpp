// fuzz_options.cpp: libFuzzer target for the command-line parser and the
// option table. The input is the argument list, arguments separated by zero
// bytes; the error line must stay one line whatever the arguments hold. The
// first argument also goes to every row as a value from a file would, since
// a file's values are read by the same table. Every argument also goes
// straight to each entry of the number reader (base/numbers.h), whose
// accepted values must lie in their ranges and read back from their own
// printed text.
#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "app/options.h"
#include "base/numbers.h"

namespace {

void oneLineOrAbort(const char* error) {
  if (strpbrk(error, "\n\r\x1b") != nullptr) abort();
}

void readNumbersOrAbort(const char* text) {
  struct Range {
    int64_t least, most;
    unsigned syntax;
  };
  const Range ranges[] = {{0, 100, numberPlain},         {-32768, 32767, numberPlain},
                          {-100000, 100000, numberPlus}, {0, 0xfff, numberHex},
                          {0, UINT32_MAX, numberPlain},  {INT64_MIN, INT64_MAX, numberPlus}};
  char said[256], back[32];
  for (const Range& r : ranges) {
    int64_t value = 0;
    if (readWhole(text, r.least, r.most, &value, r.syntax)) {
      if (value < r.least || value > r.most) abort();
      // Its own text reads back as the same number, and strtoll agrees.
      const bool hex = r.syntax & numberHex;
      snprintf(back, sizeof back, hex ? "%llx" : "%lld", static_cast<long long>(value));
      int64_t again = 0;
      if (!readWhole(back, r.least, r.most, &again, r.syntax) || again != value) abort();
      char* end = nullptr;
      if (strtoll(text, &end, hex ? 16 : 10) != value || *end != '\0') abort();
    } else {
      wholeNumberError(said, sizeof said, r.least, r.most, text, r.syntax);
      oneLineOrAbort(said);
    }
    // A part of the text is read as that part alone.
    const size_t half = strlen(text) / 2;
    if (readWholeIn(text, half, r.least, r.most, &value, r.syntax) &&
        (value < r.least || value > r.most))
      abort();
  }
  for (const unsigned syntax : {numberPlain, numberExponent}) {
    float value = 0;
    if (readDecimal(text, -FLT_MAX, FLT_MAX, &value, syntax)) {
      // What strtof makes of it, and %.9g of that reads back exactly.
      if (value != strtof(text, nullptr)) abort();
      snprintf(back, sizeof back, "%.9g", static_cast<double>(value));
      float again = 0;
      if (!readDecimal(back, -FLT_MAX, FLT_MAX, &again, numberExponent) ||
          memcmp(&again, &value, sizeof value) != 0)
        abort();
    } else if (readDecimal(text, 0.1f, 10, &value, syntax)) {
      abort();  // inside a narrower range but not the widest
    }
  }
  decimalError(said, sizeof said, 0.1f, 10, text);
  oneLineOrAbort(said);
  bool flag = false;
  if (!readFlag(text, &flag)) {
    flagError(said, sizeof said, text);
    oneLineOrAbort(said);
  }
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
  for (int i = 1; i < argc; i++) readNumbersOrAbort(argv[i]);
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
