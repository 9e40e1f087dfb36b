// printable.h: user-supplied text made safe for a one-line message.
//
// Every message that repeats a value the user gave (an option, a file name,
// a word from a data file) passes it through printable, so that a value
// holding line breaks or terminal control codes cannot split the line or
// garble the terminal. Used by the command line, main and the loaders.
#pragma once

#include <cstddef>

// Longest part of a value that a message repeats, in bytes of the value.
constexpr size_t printableValueLimit = 160;

// text with control characters written as escapes (\n, \r, \t, \xHH), bytes
// that are not valid UTF-8 as \xHH, and everything after the first
// printableValueLimit bytes replaced by "...". A null text gives "(null)".
// The result lives in one of a few static buffers that are reused in turn,
// so up to four results can appear in one message.
const char* printable(const char* text);

// The same escaping into out (of outSize bytes, at least 8), cut with "..."
// where out is full; for whole lines whose length the caller bounds.
void escapeInto(const char* text, size_t textLimit, char* out, size_t outSize);

// Whether the length bytes at text are text a message may repeat as they
// are: no NUL byte and valid UTF-8 throughout, C1 control codes (U+0080 to
// U+009F) counting as invalid. Control characters such as tabs and line
// breaks count as text.
bool isUtf8Text(const char* text, size_t length);
