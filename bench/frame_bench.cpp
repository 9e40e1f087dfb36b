// frame_bench.cpp: the cost of one frame's updates with every pool full
// (32 planes, 32 troopers, 32 bombs, 16 shells, 128 shards, the missile in
// flight) on the headless backend, and of drawing such a frame.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/headless.h"
#include "platform/platform.h"
#include "render/render.h"
#include "shell/camera.h"
#include "shell/options.h"
#include "shell/startup.h"
#include "shell/world.h"
#include "sim/sim.h"

namespace {

WorldSnapshot full;

// Starts the game headless and fills every pool with entities that do not
// touch each other, so that every hit test runs to its end.
void setUpFullWorld() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  runOptions.frames = -1;
  runOptions.hasSeed = true;
  runOptions.seed = 1;
  platInitHeadless(1000, 16);
  if (chdir(VELKARRA_DATA_DIR) != 0) {
    perror(VELKARRA_DATA_DIR);
    exit(1);
  }
  startGame();
  settings.planesBase = planePoolSize;
  game.level = 0;
  startLevel();
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
    p = Particle{1, {0, 0, 25}, 0.01f * i, 0.02f * i, {1, 1, 1}, 0.5f, &planeMaterial};
  }
  missile.active = 1;
  missile.pos = {0, -22, 40};
  missile.forward = {0, 1, 0};
  missile.right = {1, 0, 0};
  missile.up = {0, 0, 1};
  missile.vel = {0, settings.missileSpeed, 0};
  missile.launchMs = 1000;
  settings.missileLifetimeMs = 1 << 30;
  saveWorld(&full);
}

void restoreOnly(benchmark::State& state) {
  setUpFullWorld();
  for (auto _ : state) {
    restoreWorld(full);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(restoreOnly);

// One frame's updates, in the frame loop's order, from the full world.
void frameUpdates(benchmark::State& state) {
  setUpFullWorld();
  uint32_t now = 2000;
  for (auto _ : state) {
    restoreWorld(full);
    steerMissile(0.5f, -0.5f);
    posedBox(missile.modelBox, missile.pos.x, missile.pos.y, missile.pos.z, missile.yaw,
             missile.pitch, &missile.worldBox);
    updatePlanes(0.016f, now, 16);
    updateTroopers(0.016f, now);
    updateBombs(0.016f);
    updateShells(0.016f);
    updateMissile(0.016f, now);
    updateParticles(0.016f);
    benchmark::ClobberMemory();
  }
  int alive = 0;
  for (const Plane& p : planes) alive += p.active;
  state.counters["planesAlive"] = alive;
}
BENCHMARK(frameUpdates);

// Drawing that frame (scene, overlay) on the offscreen context, finished.
void drawFullFrame(benchmark::State& state) {
  setUpFullWorld();
  restoreWorld(full);
  updateAim();
  for (auto _ : state) {
    drawFrame();
    glFinish();
  }
}
BENCHMARK(drawFullFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
