// printable.cpp: escaping control characters and broken UTF-8 in values
// that messages repeat, and cutting long ones.
#include "base/printable.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Length of the valid UTF-8 sequence at s (at most `left` bytes), 0 when the
// bytes there are not one. C1 control codes (U+0080..U+009F) count as
// invalid, since terminals may act on them.
size_t utf8Length(const unsigned char* s, size_t left) {
  unsigned char c = s[0];
  size_t length;
  uint32_t code;
  if (c >= 0xc2 && c <= 0xdf) {
    length = 2;
    code = c & 0x1f;
  } else if (c >= 0xe0 && c <= 0xef) {
    length = 3;
    code = c & 0x0f;
  } else if (c >= 0xf0 && c <= 0xf4) {
    length = 4;
    code = c & 0x07;
  } else {
    return 0;
  }
  if (length > left) return 0;
  for (size_t i = 1; i < length; i++) {
    if ((s[i] & 0xc0) != 0x80) return 0;
    code = code << 6 | (s[i] & 0x3f);
  }
  static const uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff) ||
      code <= 0x9f)
    return 0;
  return length;
}

}  // namespace

void escapeInto(const char* text, size_t textLimit, char* out, size_t outSize) {
  const char* const cut = "...";
  size_t room = outSize - 1 - strlen(cut);  // keeps space for the cut mark
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text ? text : "(null)");
  size_t left = strlen(reinterpret_cast<const char*>(s));
  size_t used = 0, taken = 0;
  while (taken < left) {
    char piece[8];
    size_t pieceLength, consumed = 1;
    unsigned char c = s[taken];
    if (c == '\n' || c == '\r' || c == '\t') {
      piece[0] = '\\';
      piece[1] = c == '\n' ? 'n' : c == '\r' ? 'r' : 't';
      pieceLength = 2;
    } else if (c >= 0x20 && c < 0x7f) {
      piece[0] = static_cast<char>(c);
      pieceLength = 1;
    } else if (c >= 0x80 && (consumed = utf8Length(s + taken, left - taken)) > 0) {
      memcpy(piece, s + taken, consumed);
      pieceLength = consumed;
    } else {
      consumed = 1;
      snprintf(piece, sizeof piece, "\\x%02x", c);
      pieceLength = 4;
    }
    if (taken + consumed > textLimit || used + pieceLength > room) {
      memcpy(out + used, cut, strlen(cut));
      used += strlen(cut);
      break;
    }
    memcpy(out + used, piece, pieceLength);
    used += pieceLength;
    taken += consumed;
  }
  out[used] = '\0';
}

const char* printable(const char* text) {
  // Four bytes of output per byte of value at most, plus the cut mark.
  static char buffers[4][printableValueLimit * 4 + 8];
  static int next;
  char* out = buffers[next];
  next = (next + 1) % 4;
  escapeInto(text, printableValueLimit, out, sizeof buffers[0]);
  return out;
}

bool isUtf8Text(const char* text, size_t length) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  for (size_t at = 0; at < length;) {
    if (s[at] == 0) return false;
    if (s[at] < 0x80) {
      at++;
      continue;
    }
    const size_t consumed = utf8Length(s + at, length - at);
    if (consumed == 0) return false;
    at += consumed;
  }
  return true;
}
