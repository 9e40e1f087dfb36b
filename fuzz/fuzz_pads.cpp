// fuzz_pads.cpp: libFuzzer target for the controller mapping reader, which
// reads gamecontrollerdb.txt and SDL_GAMECONTROLLERCONFIG: every line is
// either good or named in one warning line, whatever the bytes. The lines
// are only checked, not handed to SDL, whose table would grow with every
// new GUID the fuzzer makes up.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "devices/pads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The warnings go nowhere while the reader runs; libFuzzer's own report
  // still reaches stderr.
  static const int devNull = open("/dev/null", O_WRONLY);
  static const int savedStderr = dup(2);
  fflush(stderr);
  dup2(devNull, 2);
  padsReadMappings(reinterpret_cast<const char*>(data), size, "fuzz.txt", false);
  fflush(stderr);
  dup2(savedStderr, 2);
  return 0;
}
