// fuzz_packed.cpp: libFuzzer target for the reader of files that may be
// gzip-compressed (base/gzip_file.h), which every recording goes through.
// Whatever the bytes, the reader ends in one of its states without reading
// past them, reads the same again after a rewind, and a file it writes
// compressed reads back as the very bytes written.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/gzip_file.h"

namespace {

// Reads all of it, at most `limit` bytes kept in out; the count read.
size_t readAll(GzipReader* r, unsigned char* out, size_t limit) {
  size_t count = 0;
  for (int c; (c = gzipByte(r)) >= 0; count++) {
    if (c > 255) abort();
    if (count < limit) out[count] = static_cast<unsigned char>(c);
  }
  if (r->status == gzipReading) abort();
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static unsigned char first[1 << 20], again[1 << 20];
  static GzipReader reader;
  gzipOpenMemory(&reader, data, size);
  const size_t count = readAll(&reader, first, sizeof first);
  const GzipStatus status = reader.status;
  // Plain bytes come back as they are.
  if (!reader.packed && (count != size || memcmp(first, data, size < sizeof first ? size : 0)))
    abort();
  if (!gzipRewind(&reader)) abort();
  if (readAll(&reader, again, sizeof again) != count || reader.status != status ||
      memcmp(first, again, count < sizeof first ? count : sizeof first) != 0)
    abort();
  gzipClose(&reader);

  // The bytes written compressed, in two pieces, read back from the file.
  char path[] = "/tmp/fuzz-packed-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return 0;
  GzipWriter writer;
  if (gzipCreate(&writer, fd, true)) {
    const char* bytes = reinterpret_cast<const char*>(data);
    gzipWrite(&writer, bytes, size / 2);
    gzipWrite(&writer, bytes + size / 2, size - size / 2);
    if (gzipFinish(&writer) && gzipOpen(&reader, path)) {
      if (readAll(&reader, again, sizeof again) != size || reader.status != gzipEnded ||
          memcmp(again, data, size < sizeof again ? size : sizeof again) != 0)
        abort();
      gzipClose(&reader);
    }
  }
  unlink(path);
  return 0;
}
