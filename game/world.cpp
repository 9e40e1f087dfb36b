// world.cpp: the world record, the names of its parts and the random
// generator.
#include "game/world.h"

World world;
Settings settings;

GameState& game = world.game;
Cannon& cannon = world.cannon;
Plane (&planes)[planePoolSize] = world.planes;
Trooper (&troopers)[trooperPoolSize] = world.troopers;
Bomb (&bombs)[bombPoolSize] = world.bombs;
Shell (&shells)[shellPoolSize] = world.shells;
Particle (&particles)[particlePoolSize] = world.particles;
Missile& missile = world.missile;
Camera& camera = world.camera;
uint32_t& lastShotMs = world.lastShotMs;
int32_t& firedThisLevel = world.firedThisLevel;

void seedRand(uint32_t seed) { world.rng = seed; }

int32_t gameRand() {
  world.rng = world.rng * 214013u + 2531011u;
  return static_cast<int32_t>((world.rng >> 16) & 0x7FFF);
}

uint32_t randState() { return world.rng; }

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
