// numbers.h: the one reader of the numbers and flags that the player and the
// game's files give, and the one wording of what is wrong with them.
//
// The command line and the configuration file (app/options.cpp), the
// headless input script, the recorded session and the score table all read
// their numbers here, so that each says "takes a whole number from 0 to 100,
// not '400'" the same way and none of them wraps around, takes trailing
// junk or reads a blank as a digit.
//
// Every reading takes the whole text: digits and nothing after them. Leading
// zeros are read (however many), a '-' only where the range holds negative
// numbers, and a '+' or hex digits only where the caller asks. Blanks are
// never part of a number: a caller that allows them around it takes them off.
#pragma once

#include <cstddef>
#include <cstdint>

// What a reading accepts beyond its plain form; ORed together.
enum NumberSyntax : unsigned {
  numberPlain = 0,
  numberPlus = 1u << 0,      // a '+' before the digits too
  numberHex = 1u << 1,       // whole numbers in lower-case hex digits (no "0x")
  numberExponent = 1u << 2,  // decimals: an exponent after the digits ("2.5e-3")
};

// A whole number from least to most, in the length bytes at text (which
// need not end there). False, and *out untouched, on anything else.
bool readWholeIn(const char* text, size_t length, int64_t least, int64_t most, int64_t* out,
                 unsigned syntax = numberPlain);

// The same for all of a terminated text.
bool readWhole(const char* text, int64_t least, int64_t most, int64_t* out,
               unsigned syntax = numberPlain);

// A decimal number from least to most: digits with at most one point among
// or after them ("2", "0.25", ".5", "3."), with numberExponent an exponent
// after them, and never inf, nan or a hex float. It is rounded to the
// nearest float as strtof does, so that a float printed with %.9g reads
// back as the very same float (a printed exponent needs numberExponent).
bool readDecimal(const char* text, float least, float most, float* out,
                 unsigned syntax = numberPlain);

// true, yes, on or 1, and false, no, off or 0, in any mix of upper and lower
// case ("Yes", "TRUE").
bool readFlag(const char* text, bool* out);

// What is wrong with text as each of the readings above, without the name of
// what it was for, which the caller puts first: "takes a whole number from 0
// to 100, not '400'" (with numberHex "takes a hex number from 0 to fff"),
// "takes a number from 0.1 to 10, not 'x'", "takes true or false, not
// 'maybe'". The text is repeated through printable().
void wholeNumberError(char* out, int size, int64_t least, int64_t most, const char* text,
                      unsigned syntax = numberPlain);
void decimalError(char* out, int size, float least, float most, const char* text);
void flagError(char* out, int size, const char* text);
