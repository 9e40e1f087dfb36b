// settings.cpp: reading the tuning file. It is a fixed sequence of
// whitespace-separated values without keys: the meaning of a value is its
// position, and settingRows (settings_table.cpp) gives each position its
// name, type and place. Reading it (parseSettings) is kept apart from
// building the world from it (start-up), so that a broken file is refused
// before any model loads.
#include "assets/settings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The reading position. After the first fault every read gives 0 and the
// first fault's line stays in error.
struct Reader {
  FILE* file;
  int valueNumber;  // position of the value being read, counting from 1
  bool failed;
  char* error;
  int errorSize;
};

void fail(Reader* r, const char* what, const char* name) {
  if (r->failed) return;
  r->failed = true;
  snprintf(r->error, r->errorSize, "value %d (%s) %s", r->valueNumber, name, what);
}

bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the next whitespace-separated token; at most 255 characters. Gives
// false (and an empty token) on a fault.
bool nextToken(Reader* r, char* token, const char* name) {
  token[0] = '\0';
  if (r->failed) return false;
  r->valueNumber++;
  int c;
  do c = fgetc(r->file);
  while (isBlank(c));
  if (c == EOF) {
    fail(r, ferror(r->file) ? "cannot be read" : "is missing: the file ends early", name);
    return false;
  }
  int length = 0;
  while (c != EOF && !isBlank(c)) {
    if (length == 255) {
      fail(r, "is longer than 255 characters", name);
      token[0] = '\0';
      return false;
    }
    token[length++] = static_cast<char>(c);
    c = fgetc(r->file);
  }
  token[length] = '\0';
  return true;
}

float readFloat(Reader* r, const char* name) {
  char token[256];
  if (!nextToken(r, token, name)) return 0;
  char* end = nullptr;
  float value = strtof(token, &end);
  if (end == token || *end != '\0') {
    fail(r, "is not a number", name);
    return 0;
  }
  // nan, inf and numbers beyond the float range would spread through the
  // whole world (a NaN arena, infinite speeds).
  if (!std::isfinite(value)) {
    fail(r, "is not a finite number", name);
    return 0;
  }
  return value;
}

int32_t readInt(Reader* r, const char* name) {
  char token[256];
  if (!nextToken(r, token, name)) return 0;
  char* end = nullptr;
  errno = 0;
  long value = strtol(token, &end, 10);
  if (end == token || *end != '\0') {
    fail(r, "is not a whole number", name);
    return 0;
  }
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
    fail(r, "is out of range", name);
    return 0;
  }
  return static_cast<int32_t>(value);
}

// A time in seconds, kept as whole milliseconds: the float product with
// 1000 truncated toward zero (0.25 gives 250, 1.9999 gives 1999).
int32_t readSecondsAsMs(Reader* r, const char* name) {
  float ms = readFloat(r, name) * 1000.0f;
  if (!(fabsf(ms) < 2147483648.0f)) {
    fail(r, "is out of range", name);
    return 0;
  }
  return static_cast<int32_t>(ms);
}

}  // namespace

bool parseSettings(FILE* file, SettingsFile* out, char* error, int errorSize) {
  Reader reader = {file, 0, false, error, errorSize};
  Reader* r = &reader;
  if (errorSize > 0) error[0] = '\0';
  *out = SettingsFile{};
  out->values.pointsPerPlane = 20;
  out->values.pointsPerTrooper = 10;
  out->values.landingPenalty = 25;
  // After the first fault every value stays 0, as SettingsFile{} left it.
  char* record = reinterpret_cast<char*>(out);
  for (int i = 0; i < settingCount && !r->failed; i++) {
    const SettingRow& row = settingRows[i];
    char* place = record + row.place;
    if (row.type == settingWord) {
      nextToken(r, place, row.name);
    } else if (row.type == settingFloat || row.type == settingIgnored) {
      float value = readFloat(r, row.name);
      if (row.type == settingFloat) memcpy(place, &value, sizeof value);
    } else {
      int32_t value =
          row.type == settingWhole ? readInt(r, row.name) : readSecondsAsMs(r, row.name);
      memcpy(place, &value, sizeof value);
    }
  }
  return !r->failed;
}
