// settings.cpp: the tuning file. It is a fixed sequence of whitespace-
// separated values without keys: the meaning of a value is its position.
#include "assets/settings.h"

#include <GL/gl.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/box.h"
#include "assets/model.h"
#include "shell/options.h"
#include "shell/startup.h"
#include "shell/world.h"
#include "terrain/terrain.h"

namespace {

const char* const settingsName = "settings.txt";

FILE* settingsFile;
int valueNumber;  // position of the value being read, counting from 1

[[noreturn]] void settingsError(const char* what, const char* name) {
  printf("%s: value %d (%s) %s\n", settingsName, valueNumber, name, what);
  fflush(stdout);
  exit(1);
}

// Reads the next whitespace-separated token; at most 255 characters.
void nextToken(char* token, const char* name) {
  valueNumber++;
  int c;
  do c = fgetc(settingsFile);
  while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f');
  if (c == EOF) {
    if (ferror(settingsFile)) settingsError("cannot be read", name);
    settingsError("is missing: the file ends early", name);
  }
  int length = 0;
  while (c != EOF && !(c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')) {
    if (length == 255) settingsError("is longer than 255 characters", name);
    token[length++] = static_cast<char>(c);
    c = fgetc(settingsFile);
  }
  token[length] = '\0';
}

float readFloat(const char* name) {
  char token[256];
  nextToken(token, name);
  char* end = nullptr;
  float value = strtof(token, &end);
  if (end == token || *end != '\0') settingsError("is not a number", name);
  return value;
}

int32_t readInt(const char* name) {
  char token[256];
  nextToken(token, name);
  char* end = nullptr;
  errno = 0;
  long value = strtol(token, &end, 10);
  if (end == token || *end != '\0') settingsError("is not a whole number", name);
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
    settingsError("is out of range", name);
  return static_cast<int32_t>(value);
}

// A time in seconds, kept as whole milliseconds: the float product with
// 1000 truncated toward zero (0.25 gives 250, 1.9999 gives 1999).
int32_t readSecondsAsMs(const char* name) {
  float ms = readFloat(name) * 1000.0f;
  if (!(fabsf(ms) < 2147483648.0f)) settingsError("is out of range", name);
  return static_cast<int32_t>(ms);
}

struct LoadedModel {
  Model* model;
  BoundingBox* box;
};

// One model section: a file name and seven numbers. The bomb gets its own
// stretch along the world axes after its turns.
LoadedModel readModelSection(const char* kind, bool bomb) {
  char name[256];
  char label[64];
  snprintf(label, sizeof label, "%s model file", kind);
  nextToken(name, label);
  snprintf(label, sizeof label, "%s model flipNormals", kind);
  int32_t flip = readInt(label);
  float numbers[6];
  static const char* const parts[6] = {"scale",    "x offset", "y offset",
                                       "z offset", "z turn",   "y turn"};
  for (int i = 0; i < 6; i++) {
    snprintf(label, sizeof label, "%s model %s", kind, parts[i]);
    numbers[i] = readFloat(label);
  }
  float scale = numbers[0];
  Model* model = loadOffModel(name);
  if (bomb)
    pretransformBombModel(model, static_cast<float>(0.5 * scale), static_cast<float>(5.0 * scale),
                          static_cast<float>(5.0 * scale), numbers[1], numbers[2], numbers[3],
                          numbers[4], numbers[5]);
  else
    pretransformModel(model, scale, numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]);
  computeNormals(model, flip);
  BoundingBox* box = static_cast<BoundingBox*>(malloc(sizeof(BoundingBox)));
  boxFromPoints(model->vertices, model->vertexCount, box);
  return {model, box};
}

void compileList(uint32_t list, const Model* model) {
  glNewList(list, GL_COMPILE);
  emitModel(model);
  glEndList();
}

}  // namespace

void loadSettings() {
  settingsFile = fopen(settingsName, "r");
  if (!settingsFile) {
    printf("%s: cannot open: %s\n", settingsName, strerror(errno));
    fflush(stdout);
    exit(1);
  }
  valueNumber = 0;
  seedRand(startSeed());

  Settings& s = settings;
  s.arenaHalfSize = readFloat("arenaHalfSize");
  s.planeMinAltitude = readFloat("planeMinAltitude");
  s.planeMaxAltitude = readFloat("planeMaxAltitude");
  s.livesPerLevel = readInt("livesPerLevel");
  s.pointsPerPlane = 20;
  s.pointsPerTrooper = 10;
  s.landingPenalty = 25;

  buildTerrain(static_cast<float>(s.arenaHalfSize * 1.5), 48,
               static_cast<float>(s.arenaHalfSize * 2.25));
  glNewList(terrainList, GL_COMPILE);
  drawTerrain();
  glEndList();

  LoadedModel plane = readModelSection("plane", false);
  s.planesBase = readInt("planesBase");
  s.planeSpeed = readFloat("planeSpeed");
  s.trooperDropMinMs = readSecondsAsMs("trooperDropMin");
  s.trooperDropMaxMs = readSecondsAsMs("trooperDropMax");
  s.bombDropMinMs = readSecondsAsMs("bombDropMin");
  s.bombDropMaxMs = readSecondsAsMs("bombDropMax");
  s.planeTurnMinMs = readSecondsAsMs("planeTurnMin");
  s.planeTurnMaxMs = readSecondsAsMs("planeTurnMax");
  for (Plane& p : planes) {
    p.model = plane.model;
    p.modelBox = plane.box;
  }
  compileList(planeList, plane.model);

  LoadedModel trooper = readModelSection("trooper", false);
  LoadedModel chute = readModelSection("parachute", false);
  s.shotFallSpeedLimit = readFloat("shotFallSpeedLimit");
  s.chuteFallSpeedLimit = readFloat("chuteFallSpeedLimit");
  s.freeFallAccel = readFloat("freeFallAccel");
  s.chuteAccel = readFloat("chuteAccel");
  s.chuteOpenDelayMs = readSecondsAsMs("chuteOpenDelay");
  for (Trooper& t : troopers) {
    t.model = trooper.model;
    t.modelBox = trooper.box;
    t.chuteModel = chute.model;
    t.chuteModelBox = chute.box;
  }
  compileList(trooperList, trooper.model);
  compileList(chuteList, chute.model);

  LoadedModel bomb = readModelSection("bomb", true);
  s.bombSpeed = readFloat("bombSpeed");
  readFloat("unused value after bombSpeed");
  for (Bomb& b : bombs) {
    b.model = bomb.model;
    b.modelBox = bomb.box;
  }
  compileList(bombList, bomb.model);

  LoadedModel shell = readModelSection("shell", false);
  s.shellSpeed = readFloat("shellSpeed");
  for (Shell& sh : shells) {
    sh.model = shell.model;
    sh.modelBox = shell.box;
  }
  compileList(shellList, shell.model);
  lastShotMs = 0;

  s.planeBlastSize = readFloat("planeBlastSize");
  s.planeBlastCount = readInt("planeBlastCount");
  s.trooperBlastSize = readFloat("trooperBlastSize");
  s.trooperBlastCount = readInt("trooperBlastCount");
  s.chuteBlastSize = readFloat("chuteBlastSize");
  s.chuteBlastCount = readInt("chuteBlastCount");
  s.impactBlastSize = readFloat("impactBlastSize");
  s.impactBlastCount = readInt("impactBlastCount");
  s.shardSpeed = readFloat("shardSpeed");
  s.shardGravity = readFloat("shardGravity");
  s.shardDecay = readFloat("shardDecay");

  LoadedModel missileModel = readModelSection("missile", false);
  missile.model = missileModel.model;
  missile.modelBox = missileModel.box;
  compileList(missileList, missileModel.model);
  s.missileSpeed = readFloat("missileSpeed");
  readFloat("unused value after missileSpeed");
  s.missileLifetimeMs = readSecondsAsMs("missileLifetime");

  LoadedModel cannonModel = readModelSection("cannon", false);
  cannon.model = cannonModel.model;
  cannon.modelBox = cannonModel.box;
  compileList(cannonList, cannonModel.model);

  game.level = 0;
  startLevel();
  fclose(settingsFile);
  settingsFile = nullptr;
}
