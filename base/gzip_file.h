// gzip_file.h: reading a file byte by byte whether it is plain or
// gzip-compressed, and writing one either way, through fixed buffers.
//
// The recordings (session/replay.h) are read and written through these:
// kept runs compressed, --record as its file's name asks, and a replay
// takes either. zlib's state is allocated when a reader first meets a
// compressed stream and when a writer opens; reading, rewinding, writing
// and flushing allocate nothing after that.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>

// How a reader stands once it has no byte to give.
enum GzipStatus : uint8_t {
  gzipReading,     // bytes may follow
  gzipEnded,       // the data ended where it should
  gzipCut,         // a compressed stream that simply ends before its close
  gzipCorrupt,     // compressed data that cannot be decompressed
  gzipReadFailed,  // the system could not read the file (error holds errno)
};

constexpr size_t gzipBufferSize = 16384;

struct GzipReader {
  bool opened;  // by gzipOpen or gzipOpenMemory, until gzipClose
  int fd;       // -1 while reading memory
  const unsigned char* memory;
  size_t memorySize;
  bool started;      // the first bytes were looked at: packed is known
  bool packed;       // gzip members follow (else the bytes are as they are)
  bool inputEnded;   // the file or the memory has no more to hand to zlib
  bool inflating;    // z is set up
  bool memberEnded;  // a gzip member just closed: another may follow
  bool faultAhead;   // zlib found damage after the bytes still to hand out
  GzipStatus status;
  int error;
  const char* zlibMessage;  // zlib's words for a corrupt stream
  const unsigned char* at;  // the bytes ready to hand out
  const unsigned char* end;
  z_stream z;
  unsigned char in[gzipBufferSize];
  unsigned char out[gzipBufferSize];
};

// Opens path for reading; false with errno set when it cannot be opened.
bool gzipOpen(GzipReader* reader, const char* path);
// Reads size bytes of memory, which must outlive the reader.
void gzipOpenMemory(GzipReader* reader, const void* data, size_t size);
// Back to the first byte of the file or memory; false with errno set when
// the file cannot be read from the start again.
bool gzipRewind(GzipReader* reader);
// Gives back the file and zlib's state; nothing for a reader never opened.
void gzipClose(GzipReader* reader);

// Fills the reader's buffer; the next byte, or -1 (reader->status says why).
int gzipRefill(GzipReader* reader);

// The next byte (0 to 255), or -1 when there is none: at the end of the
// data, or on a fault (reader->status).
inline int gzipByte(GzipReader* reader) {
  if (reader->at < reader->end) return *reader->at++;
  return gzipRefill(reader);
}

// What went wrong, in a few words for a message ("the compressed data is
// damaged (invalid block type)", the system's reason for a read); empty
// while nothing did.
void gzipFault(const GzipReader& reader, char* out, int size);

// Writes to an open file descriptor, plain or as one gzip stream that
// zcat reads. A write that fails marks the writer failed (error holds
// errno) and writes nothing more.
struct GzipWriter {
  int fd;
  bool packed;
  bool deflating;
  bool failed;
  int error;
  z_stream z;
  unsigned char out[gzipBufferSize];
};

// Takes over fd; false with errno set when zlib cannot be set up (fd is
// then closed).
bool gzipCreate(GzipWriter* writer, int fd, bool packed);
// Adds size bytes: plain ones reach the file at once, compressed ones as
// zlib's blocks fill.
bool gzipWrite(GzipWriter* writer, const char* data, size_t size);
// Closes the stream and the file; false (with writer->error) when any
// write failed.
bool gzipFinish(GzipWriter* writer);
