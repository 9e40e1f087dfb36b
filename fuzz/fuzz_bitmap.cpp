// fuzz_bitmap.cpp: libFuzzer target for the bitmap loader. FreeImage reads
// from a path, so each input is written to one temporary file first (in
// memory, /dev/shm, where there is one). Inputs alternate between the two
// kinds of request the game makes: an exact texture size, and a height map
// that may be taller than asked. The sizes are small, so that the time goes
// into decoding rather than scaling.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/bitmap.h"

namespace {

char path[64];

void removeFile() { unlink(path); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = getenv("TMPDIR");
  if (!dir || !*dir) dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  snprintf(path, sizeof path, "%s/velkarra-fuzz-XXXXXX", dir);
  int fd = mkstemp(path);
  if (fd < 0) {
    perror("fuzz_bitmap: mkstemp");
    exit(1);
  }
  close(fd);
  atexit(removeFile);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = fopen(path, "wb");
  if (!file) abort();
  if (fwrite(data, 1, size, file) != size) abort();
  fclose(file);
  BitmapResult result;
  FIBITMAP* bitmap = size % 2 ? loadBitmap24(path, 64, 64, false, &result)
                              : loadBitmap24(path, 24, 24, true, &result);
  if (bitmap) {
    // The game reads every row it asked for.
    const unsigned char* bits = FreeImage_GetBits(bitmap);
    unsigned last = FreeImage_GetPitch(bitmap) * FreeImage_GetHeight(bitmap) - 1;
    volatile unsigned char byte = bits[last];
    (void)byte;
    FreeImage_Unload(bitmap);
  }
  return 0;
}
