// fuzz_script.cpp: libFuzzer target for the two input-script readers: the
// event script of headless runs and the recorded session of --record. Both
// read the same bytes; each must either accept them or say what is wrong in
// one line, without keeping anything.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/world_options.h"
#include "platform/headless.h"
#include "session/replay.h"

namespace {

// A message must be one terminated line (main escapes the words it repeats).
void checkMessage(const char* err, size_t size) {
  if (memchr(err, '\0', size) == nullptr) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  static char err[512];
  if (!headlessParseScript(text, size, "fuzz.txt", err, sizeof err)) checkMessage(err, sizeof err);
  if (!replayParse(text, size, "fuzz.txt", worldOptionRules, err, sizeof err))
    checkMessage(err, sizeof err);
  return 0;
}
