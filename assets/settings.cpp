// settings.cpp: the tuning file. It is a fixed sequence of whitespace-
// separated values without keys: the meaning of a value is its position.
// Reading it (parseSettings) is kept apart from building the world from it
// (loadSettings), so that a broken file is refused before any model loads.
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

// One model section: a file name and seven numbers.
void readModelSection(Reader* r, const char* kind, ModelSection* out) {
  char label[64];
  snprintf(label, sizeof label, "%s model file", kind);
  nextToken(r, out->file, label);
  snprintf(label, sizeof label, "%s model flipNormals", kind);
  out->flip = readInt(r, label);
  float* numbers[6] = {&out->scale, &out->tx, &out->ty, &out->tz, &out->zTurn, &out->yTurn};
  static const char* const parts[6] = {"scale",    "x offset", "y offset",
                                       "z offset", "z turn",   "y turn"};
  for (int i = 0; i < 6; i++) {
    snprintf(label, sizeof label, "%s model %s", kind, parts[i]);
    *numbers[i] = readFloat(r, label);
  }
}

}  // namespace

bool parseSettings(FILE* file, SettingsFile* out, char* error, int errorSize) {
  Reader reader = {file, 0, false, error, errorSize};
  Reader* r = &reader;
  if (errorSize > 0) error[0] = '\0';
  *out = SettingsFile{};
  Settings& s = out->values;
  ModelSection* models = out->models;
  s.arenaHalfSize = readFloat(r, "arenaHalfSize");
  s.planeMinAltitude = readFloat(r, "planeMinAltitude");
  s.planeMaxAltitude = readFloat(r, "planeMaxAltitude");
  s.livesPerLevel = readInt(r, "livesPerLevel");
  s.pointsPerPlane = 20;
  s.pointsPerTrooper = 10;
  s.landingPenalty = 25;

  readModelSection(r, "plane", &models[planeKind]);
  s.planesBase = readInt(r, "planesBase");
  s.planeSpeed = readFloat(r, "planeSpeed");
  s.trooperDropMinMs = readSecondsAsMs(r, "trooperDropMin");
  s.trooperDropMaxMs = readSecondsAsMs(r, "trooperDropMax");
  s.bombDropMinMs = readSecondsAsMs(r, "bombDropMin");
  s.bombDropMaxMs = readSecondsAsMs(r, "bombDropMax");
  s.planeTurnMinMs = readSecondsAsMs(r, "planeTurnMin");
  s.planeTurnMaxMs = readSecondsAsMs(r, "planeTurnMax");

  readModelSection(r, "trooper", &models[trooperKind]);
  readModelSection(r, "parachute", &models[chuteKind]);
  s.shotFallSpeedLimit = readFloat(r, "shotFallSpeedLimit");
  s.chuteFallSpeedLimit = readFloat(r, "chuteFallSpeedLimit");
  s.freeFallAccel = readFloat(r, "freeFallAccel");
  s.chuteAccel = readFloat(r, "chuteAccel");
  s.chuteOpenDelayMs = readSecondsAsMs(r, "chuteOpenDelay");

  readModelSection(r, "bomb", &models[bombKind]);
  s.bombSpeed = readFloat(r, "bombSpeed");
  readFloat(r, "unused value after bombSpeed");

  readModelSection(r, "shell", &models[shellKind]);
  s.shellSpeed = readFloat(r, "shellSpeed");

  s.planeBlastSize = readFloat(r, "planeBlastSize");
  s.planeBlastCount = readInt(r, "planeBlastCount");
  s.trooperBlastSize = readFloat(r, "trooperBlastSize");
  s.trooperBlastCount = readInt(r, "trooperBlastCount");
  s.chuteBlastSize = readFloat(r, "chuteBlastSize");
  s.chuteBlastCount = readInt(r, "chuteBlastCount");
  s.impactBlastSize = readFloat(r, "impactBlastSize");
  s.impactBlastCount = readInt(r, "impactBlastCount");
  s.shardSpeed = readFloat(r, "shardSpeed");
  s.shardGravity = readFloat(r, "shardGravity");
  s.shardDecay = readFloat(r, "shardDecay");

  readModelSection(r, "missile", &models[missileKind]);
  s.missileSpeed = readFloat(r, "missileSpeed");
  readFloat(r, "unused value after missileSpeed");
  s.missileLifetimeMs = readSecondsAsMs(r, "missileLifetime");

  readModelSection(r, "cannon", &models[cannonKind]);
  return !r->failed;
}
