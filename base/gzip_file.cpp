// gzip_file.cpp: the reader that tells a gzip stream from plain bytes by
// its first two, and the writer, both over zlib's z_stream with fixed
// buffers.
#include "base/gzip_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// gzip's own header, windowBits 15 with 16 added.
constexpr int kGzipWindow = 15 + 16;

// zlib's allocations go through our own code, so that the game's
// allocation count (tests/alloc_play_test.cpp) sees any it makes.
voidpf zAlloc(voidpf, uInt items, uInt size) { return calloc(items, size); }
void zFree(voidpf, voidpf address) { free(address); }

void setUpStream(z_stream* z) {
  *z = z_stream{};
  z->zalloc = zAlloc;
  z->zfree = zFree;
}

// Reads into buffer; the count, 0 at the end, -1 on a fault.
ssize_t readSome(int fd, unsigned char* buffer, size_t size) {
  while (true) {
    const ssize_t got = read(fd, buffer, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

// Ends the reading with status; -1, for gzipRefill to return.
int stop(GzipReader* r, GzipStatus status, int error = 0) {
  r->status = status;
  r->error = error;
  r->at = r->end = r->out;
  return -1;
}

// More input for zlib; false once there is none, or on a read fault
// (r->status then says so).
bool feed(GzipReader* r) {
  if (r->inputEnded) return false;
  const ssize_t got = readSome(r->fd, r->in, sizeof r->in);
  if (got < 0) {
    stop(r, gzipReadFailed, errno);
    return false;
  }
  if (got == 0) {
    r->inputEnded = true;
    return false;
  }
  r->z.next_in = r->in;
  r->z.avail_in = static_cast<uInt>(got);
  return true;
}

// The first look: two bytes 1f 8b open a gzip stream; anything else is
// handed out as it is. False on a fault.
bool start(GzipReader* r) {
  r->started = true;
  const unsigned char* first = r->memory;
  size_t count = r->memorySize;
  if (r->fd >= 0) {
    const ssize_t got = readSome(r->fd, r->in, sizeof r->in);
    if (got < 0) {
      stop(r, gzipReadFailed, errno);
      return false;
    }
    first = r->in;
    count = static_cast<size_t>(got);
  }
  r->packed = count >= 2 && first[0] == 0x1f && first[1] == 0x8b;
  if (!r->packed) {
    if (r->fd >= 0) memcpy(r->out, first, count);
    r->at = r->fd >= 0 ? r->out : first;
    r->end = r->at + count;
    r->inputEnded = r->fd < 0 || count == 0;
    return true;
  }
  if (r->inflating) {
    inflateReset(&r->z);
  } else {
    setUpStream(&r->z);
    if (inflateInit2(&r->z, kGzipWindow) != Z_OK) {
      stop(r, gzipCorrupt);
      return false;
    }
    r->inflating = true;
  }
  r->z.next_in = const_cast<unsigned char*>(first);
  r->z.avail_in = static_cast<uInt>(count);
  r->inputEnded = r->fd < 0;
  return true;
}

}  // namespace

bool gzipOpen(GzipReader* reader, const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  *reader = GzipReader{};
  reader->opened = true;
  reader->fd = fd;
  reader->at = reader->end = reader->out;
  return true;
}

void gzipOpenMemory(GzipReader* reader, const void* data, size_t size) {
  *reader = GzipReader{};
  reader->opened = true;
  reader->fd = -1;
  reader->memory = static_cast<const unsigned char*>(data);
  reader->memorySize = size;
  reader->at = reader->end = reader->out;
}

bool gzipRewind(GzipReader* r) {
  if (!r->opened) return false;
  if (r->fd >= 0 && lseek(r->fd, 0, SEEK_SET) != 0) return false;
  r->started = r->packed = r->inputEnded = r->memberEnded = r->faultAhead = false;
  r->status = gzipReading;
  r->error = 0;
  r->zlibMessage = nullptr;
  r->at = r->end = r->out;
  return true;
}

void gzipClose(GzipReader* r) {
  if (!r->opened) return;
  if (r->inflating) inflateEnd(&r->z);
  if (r->fd >= 0) close(r->fd);
  *r = GzipReader{};
}

int gzipRefill(GzipReader* r) {
  if (r->status != gzipReading) return -1;
  if (!r->started) {
    if (!start(r)) return -1;
    if (!r->packed) return r->at < r->end ? *r->at++ : gzipRefill(r);
  }
  if (!r->packed) {
    if (r->inputEnded) return stop(r, gzipEnded);
    const ssize_t got = readSome(r->fd, r->out, sizeof r->out);
    if (got < 0) return stop(r, gzipReadFailed, errno);
    if (got == 0) return stop(r, gzipEnded);
    r->at = r->out;
    r->end = r->out + got;
    return *r->at++;
  }
  if (r->faultAhead) return stop(r, gzipCorrupt);
  while (true) {
    if (r->z.avail_in == 0 && !feed(r)) {
      if (r->status != gzipReading) return -1;
      // No more input: complete after a closed member, cut short otherwise.
      return stop(r, r->memberEnded ? gzipEnded : gzipCut);
    }
    if (r->memberEnded) {
      // Another member follows (zcat reads them one after the other);
      // anything else fails its header check below.
      inflateReset(&r->z);
      r->memberEnded = false;
    }
    r->z.next_out = r->out;
    r->z.avail_out = sizeof r->out;
    const int result = inflate(&r->z, Z_NO_FLUSH);
    const size_t produced = sizeof r->out - r->z.avail_out;
    if (result == Z_STREAM_END) {
      r->memberEnded = true;
    } else if ((result != Z_OK && result != Z_BUF_ERROR) ||
               (result == Z_BUF_ERROR && produced == 0 && r->z.avail_in > 0)) {
      r->zlibMessage = r->z.msg;
      // What came out before the damage is handed out first.
      if (produced == 0) return stop(r, gzipCorrupt);
      r->faultAhead = true;
    }
    if (produced > 0) {
      r->at = r->out;
      r->end = r->out + produced;
      return *r->at++;
    }
  }
}

void gzipFault(const GzipReader& r, char* out, int size) {
  switch (r.status) {
    case gzipCorrupt:
      snprintf(out, size, "the compressed data is damaged (%s)",
               r.zlibMessage ? r.zlibMessage : "zlib cannot start");
      return;
    case gzipCut:
      snprintf(out, size, "the compressed data ends early");
      return;
    case gzipReadFailed:
      snprintf(out, size, "%s", strerror(r.error));
      return;
    case gzipReading:
    case gzipEnded:
      break;
  }
  if (size > 0) out[0] = '\0';
}

namespace {

bool writeAll(GzipWriter* w, const unsigned char* data, size_t size) {
  while (size > 0 && !w->failed) {
    const ssize_t wrote = write(w->fd, data, size);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      w->failed = true;
      w->error = wrote < 0 ? errno : ENOSPC;
      return false;
    }
    data += wrote;
    size -= static_cast<size_t>(wrote);
  }
  return !w->failed;
}

// Runs deflate over what it holds with `flush`, writing each full buffer.
bool deflateOut(GzipWriter* w, int flush) {
  while (!w->failed) {
    w->z.next_out = w->out;
    w->z.avail_out = sizeof w->out;
    const int result = deflate(&w->z, flush);
    const size_t produced = sizeof w->out - w->z.avail_out;
    if (produced > 0 && !writeAll(w, w->out, produced)) return false;
    if (result == Z_STREAM_END) return true;
    if (result != Z_OK && result != Z_BUF_ERROR) {
      w->failed = true;
      w->error = EIO;
      return false;
    }
    // Done once deflate leaves room: all input taken (and, finishing, the
    // end above).
    if (w->z.avail_out != 0 && w->z.avail_in == 0 && flush != Z_FINISH) return true;
  }
  return false;
}

}  // namespace

bool gzipCreate(GzipWriter* w, int fd, bool packed) {
  *w = GzipWriter{};
  w->fd = fd;
  w->packed = packed;
  if (!packed) return true;
  setUpStream(&w->z);
  if (deflateInit2(&w->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindow, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    close(fd);
    w->fd = -1;
    errno = ENOMEM;
    return false;
  }
  w->deflating = true;
  return true;
}

bool gzipWrite(GzipWriter* w, const char* data, size_t size) {
  if (w->failed || w->fd < 0) return false;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
  if (!w->packed) return writeAll(w, bytes, size);
  w->z.next_in = const_cast<unsigned char*>(bytes);
  w->z.avail_in = static_cast<uInt>(size);
  return deflateOut(w, Z_NO_FLUSH);
}

bool gzipFinish(GzipWriter* w) {
  if (w->fd < 0) return !w->failed;
  if (w->deflating) {
    w->z.next_in = nullptr;
    w->z.avail_in = 0;
    if (!w->failed) deflateOut(w, Z_FINISH);
    deflateEnd(&w->z);
    w->deflating = false;
  }
  if (close(w->fd) != 0 && !w->failed) {
    w->failed = true;
    w->error = errno;
  }
  w->fd = -1;
  return !w->failed;
}
