// world.cpp: the world records, the random generator and the level start.
#include "game/world.h"

#include <cstdlib>

#include "assets/font.h"
#include "platform/platform.h"
#include "app/frame.h"
#include "game/input.h"
#include "app/startup.h"
#include "session/trace.h"
#include "sim/sim.h"
#include "terrain/terrain.h"

Settings settings;
GameState game;
Cannon cannon;
Plane planes[planePoolSize];
Trooper troopers[trooperPoolSize];
Bomb bombs[bombPoolSize];
Shell shells[shellPoolSize];
Particle particles[particlePoolSize];
Missile missile;
uint32_t lastShotMs;
int32_t firedThisLevel;

namespace {
uint32_t generator = 1;
}

void seedRand(uint32_t seed) { generator = seed; }

int32_t gameRand() {
  generator = generator * 214013u + 2531011u;
  return static_cast<int32_t>((generator >> 16) & 0x7FFF);
}

uint32_t randState() { return generator; }

float randRange(float lo, float hi) {
  return static_cast<float>(gameRand()) * (hi - lo) * 3.0518509e-05f + lo;
}

int32_t randIntervalMs(int32_t lo, int32_t hi) {
  // The difference is taken in 64 bits so that absurd settings cannot
  // overflow; for every sane pair it equals the 32-bit difference.
  float span = static_cast<float>(static_cast<int64_t>(hi) - lo);
  float value = static_cast<float>(gameRand()) * span * 3.0518509e-05f + static_cast<float>(lo);
  return truncToInt32(value);
}

int32_t truncToInt32(double value) {
  if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
  if (!(value < 2147483648.0)) return INT32_MAX;
  return static_cast<int32_t>(value);
}

void startLevel() {
  game.lives = settings.livesPerLevel;
  missile.active = 0;
  game.cameraLock = 1;
  // More planes than the pool holds could never all be shot down, so the
  // level could never end: the count is capped at the pool size.
  int32_t wave = settings.planesBase + game.level;
  game.planesLeft = wave > planePoolSize ? planePoolSize : wave;
  game.level = game.level + 1;
  float h = settings.arenaHalfSize;
  for (int i = 0; i < planePoolSize; i++) {
    Plane& plane = planes[i];
    if (i >= game.planesLeft) {
      plane.active = 0;
      continue;
    }
    plane.active = 1;
    plane.pos.x = randRange(-h, h);
    plane.pos.y = randRange(-h, h);
    plane.pos.z = randRange(settings.planeMinAltitude, settings.planeMaxAltitude);
    plane.heading = 0;
    plane.vel = {0, 0};
    plane.turnTimerMs = 0;
    plane.bombTimerMs = randIntervalMs(settings.bombDropMinMs, settings.bombDropMaxMs);
    plane.trooperTimerMs = randIntervalMs(settings.trooperDropMinMs, settings.trooperDropMaxMs);
  }
  for (Trooper& trooper : troopers) trooper.active = 0;
  for (Bomb& bomb : bombs) bomb.active = 0;
  for (Shell& shell : shells) shell.active = 0;
  lastShotMs = 0;
  firedThisLevel = 0;
  for (Particle& particle : particles) particle.active = 0;
  game.points = 0;
  cannon.pos = {0, 0, 0};
}

void playSound(const char* name) {
  traceSound(name);
  platPlaySound(name);
}

void saveWorld(WorldSnapshot* out) {
  out->game = game;
  out->cannon = cannon;
  for (int i = 0; i < planePoolSize; i++) out->planes[i] = planes[i];
  for (int i = 0; i < trooperPoolSize; i++) out->troopers[i] = troopers[i];
  for (int i = 0; i < bombPoolSize; i++) out->bombs[i] = bombs[i];
  for (int i = 0; i < shellPoolSize; i++) out->shells[i] = shells[i];
  for (int i = 0; i < particlePoolSize; i++) out->particles[i] = particles[i];
  out->missile = missile;
  out->camera = camera;
  out->lastShotMs = lastShotMs;
  out->firedThisLevel = firedThisLevel;
  out->randState = generator;
}

void restoreWorld(const WorldSnapshot& snapshot) {
  game = snapshot.game;
  cannon = snapshot.cannon;
  for (int i = 0; i < planePoolSize; i++) planes[i] = snapshot.planes[i];
  for (int i = 0; i < trooperPoolSize; i++) troopers[i] = snapshot.troopers[i];
  for (int i = 0; i < bombPoolSize; i++) bombs[i] = snapshot.bombs[i];
  for (int i = 0; i < shellPoolSize; i++) shells[i] = snapshot.shells[i];
  for (int i = 0; i < particlePoolSize; i++) particles[i] = snapshot.particles[i];
  missile = snapshot.missile;
  camera = snapshot.camera;
  lastShotMs = snapshot.lastShotMs;
  firedThisLevel = snapshot.firedThisLevel;
  generator = snapshot.randState;
}

void resetGame() {
  releaseAssets();
  free(terrain.mesh.vertices);
  free(terrain.mesh.normals);
  free(terrain.mesh.triangles);
  free(terrain.alpha);
  settings = Settings{};
  WorldSnapshot empty = {};
  empty.randState = 1;
  restoreWorld(empty);
  lastFrame = FrameInfo{};
  lastTickMs = 0;
  cursorCentre[0] = cursorCentre[1] = 0;
  window = 0;
  terrain = HeightField{};
  gameFont = TextureFont{};
  currentFont = nullptr;
  lastShardMaterial = nullptr;
  // Drawing the terrain with a faded material changes its alpha; every
  // material's alpha is 1 at program start.
  terrainMaterial.ambient[3] = terrainMaterial.diffuse[3] = terrainMaterial.specular[3] = 1;
  resetInput();
}
