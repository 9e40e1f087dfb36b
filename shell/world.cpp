// world.cpp: the world records, the random generator and the level start.
#include "shell/world.h"

#include "platform/platform.h"
#include "shell/trace.h"

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
