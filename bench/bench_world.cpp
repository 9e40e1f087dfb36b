// bench_world.cpp: starting the game for the benchmarks and the two worlds
// they compare.
#include "bench/bench_world.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/options.h"
#include "app/startup.h"
#include "game/rules.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/material.h"
#include "sim/sim.h"

World full;
World empty;

// Starts the game headless and fills every pool with entities that do not
// touch each other, so that every hit test runs to its end.
void setUpWorlds() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  runOptions.frames = -1;
  runOptions.hasSeed = true;
  runOptions.seed = 1;
  runOptions.detail = detailHigh;
  platInitHeadless(1000, 16);
  if (chdir(VELKARRA_DATA_DIR) != 0) {
    perror(VELKARRA_DATA_DIR);
    exit(1);
  }
  startGame();
  settings.planesBase = planePoolSize;
  game.level = 0;
  startLevel();
  empty = world;
  for (Plane& p : empty.planes) p.active = 0;
  for (int i = 0; i < planePoolSize; i++) {
    Plane& p = planes[i];
    p.pos = {-20.0f + (i % 8) * 5, -20.0f + (i / 8) * 10, 12};
    p.vel = {1, 0.5f};
    p.turnTimerMs = p.bombTimerMs = p.trooperTimerMs = 1 << 30;
  }
  for (int i = 0; i < trooperPoolSize; i++) {
    Trooper& t = troopers[i];
    t = Trooper{1,
                {-20.0f + (i % 8) * 5, -15.0f + (i / 8) * 10, 30},
                -1,
                0,
                0,
                t.model,
                t.modelBox,
                {},
                t.chuteModel,
                t.chuteModelBox,
                {},
                1,
                0,
                1000};
  }
  for (int i = 0; i < bombPoolSize; i++) {
    Bomb& b = bombs[i];
    b.active = 1;
    b.pos = {-20.0f + (i % 8) * 5, -17.0f + (i / 8) * 10, 20};
    b.vel = {0, 0, -1};
  }
  for (int i = 0; i < shellPoolSize; i++) {
    Shell& s = shells[i];
    s.active = 1;
    s.pos = {-22.0f + i * 2.5f, 22, 5};
    s.vel = {0, 1, 0.1f};
    s.lifeMs = 10000;
  }
  for (int i = 0; i < particlePoolSize; i++) {
    Particle& p = particles[i];
    p = Particle{1, {0, 0, 25}, 0.01f * i, 0.02f * i, {1, 1, 1}, 0.5f, materialPlane};
  }
  missile.active = 1;
  missile.pos = {0, -22, 40};
  missile.forward = {0, 1, 0};
  missile.right = {1, 0, 0};
  missile.up = {0, 0, 1};
  missile.vel = {0, settings.missileSpeed, 0};
  missile.launchMs = 1000;
  settings.missileLifetimeMs = 1 << 30;
  full = world;
}
