// numbers.cpp: whole numbers, decimals and flags read from text, checked
// against their ranges, and the messages that say why one is refused.
#include "base/numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "base/printable.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// c in lower case, for the ASCII letters only, whatever the locale.
char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameWord(const char* text, const char* word) {
  while (*word && lowerCase(*text) == *word) text++, word++;
  return *text == '\0' && *word == '\0';
}

// The value of c as a digit of the base, or -1.
int digitValue(char c, int base) {
  if (isDigit(c)) return c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Digits and at most one point, at least one digit, from *at; moves *at past
// them.
bool skipDecimalDigits(const char** at) {
  int digits = 0, points = 0;
  for (; isDigit(**at) || **at == '.'; ++*at) (isDigit(**at) ? digits : points)++;
  return digits > 0 && points <= 1;
}

// A bound of a range as its numbers are written, in decimal or hex.
void formatBound(char (&out)[24], int64_t value, bool hex) {
  const uint64_t magnitude =
      value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  snprintf(out, sizeof out, hex ? "%s%llx" : "%s%llu", value < 0 ? "-" : "",
           static_cast<unsigned long long>(magnitude));
}

}  // namespace

bool readWholeIn(const char* text, size_t length, int64_t least, int64_t most, int64_t* out,
                 unsigned syntax) {
  if (!text || least > most) return false;
  const char* at = text;
  const char* const end = text + length;
  const bool negative = at < end && *at == '-';
  if (negative && least >= 0) return false;
  if (negative || (at < end && *at == '+' && (syntax & numberPlus))) at++;
  if (at == end) return false;
  // The largest magnitude the range allows on this side of zero; every step
  // checks against it before it multiplies, so no length of digits wraps.
  if (!negative && most < 0) return false;
  const uint64_t limit =
      negative ? static_cast<uint64_t>(-(least + 1)) + 1 : static_cast<uint64_t>(most);
  const int base = syntax & numberHex ? 16 : 10;
  uint64_t magnitude = 0;
  for (; at < end; at++) {
    const int digit = digitValue(*at, base);
    if (digit < 0) return false;
    const uint64_t d = static_cast<uint64_t>(digit);
    if (d > limit || magnitude > (limit - d) / static_cast<uint64_t>(base)) return false;
    magnitude = magnitude * static_cast<uint64_t>(base) + d;
  }
  const int64_t value = !negative        ? static_cast<int64_t>(magnitude)
                        : magnitude == 0 ? 0
                                         : -static_cast<int64_t>(magnitude - 1) - 1;
  if (value < least || value > most) return false;
  *out = value;
  return true;
}

bool readWhole(const char* text, int64_t least, int64_t most, int64_t* out, unsigned syntax) {
  return text && readWholeIn(text, strlen(text), least, most, out, syntax);
}

bool readDecimal(const char* text, float least, float most, float* out, unsigned syntax) {
  if (!text || !(least <= most)) return false;
  // The syntax is checked here, and strtof only rounds what passed: it would
  // also take blanks, inf, nan and hex floats.
  const char* at = text;
  if ((*at == '-' && least < 0) || (*at == '+' && (syntax & numberPlus))) at++;
  if (!skipDecimalDigits(&at)) return false;
  if ((*at == 'e' || *at == 'E') && (syntax & numberExponent)) {
    at++;
    if (*at == '-' || *at == '+') at++;
    if (!isDigit(*at)) return false;
    while (isDigit(*at)) at++;
  }
  if (*at != '\0') return false;
  // The C locale's point: the game never sets another.
  const float value = strtof(text, nullptr);
  if (!std::isfinite(value) || !(value >= least && value <= most)) return false;
  *out = value;
  return true;
}

bool readFlag(const char* text, bool* out) {
  if (!text) return false;
  for (const char* on : {"true", "yes", "on", "1"})
    if (sameWord(text, on)) {
      *out = true;
      return true;
    }
  for (const char* off : {"false", "no", "off", "0"})
    if (sameWord(text, off)) {
      *out = false;
      return true;
    }
  return false;
}

void wholeNumberError(char* out, int size, int64_t least, int64_t most, const char* text,
                      unsigned syntax) {
  char from[24], to[24];
  formatBound(from, least, syntax & numberHex);
  formatBound(to, most, syntax & numberHex);
  snprintf(out, size, "takes a %s number from %s to %s, not '%s'",
           syntax & numberHex ? "hex" : "whole", from, to, printable(text));
}

void decimalError(char* out, int size, float least, float most, const char* text) {
  snprintf(out, size, "takes a number from %g to %g, not '%s'", static_cast<double>(least),
           static_cast<double>(most), printable(text));
}

void flagError(char* out, int size, const char* text) {
  snprintf(out, size, "takes true or false, not '%s'", printable(text));
}
