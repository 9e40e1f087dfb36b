// frame_bench.cpp: the cost of one frame's updates with every pool full
// (32 planes, 32 troopers, 32 bombs, 16 shells, 128 shards, the missile in
// flight) on the headless backend, and of drawing such a frame.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/options.h"
#include "app/startup.h"
#include "bench/bench_world.h"
#include "game/world.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/sim.h"

namespace {

void restoreOnly(benchmark::State& state) {
  setUpWorlds();
  for (auto _ : state) {
    world = full;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(restoreOnly);

// One frame's updates, in the frame loop's order, from the full world.
void frameUpdates(benchmark::State& state) {
  setUpWorlds();
  uint32_t now = 2000;
  for (auto _ : state) {
    world = full;
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
  setUpWorlds();
  world = full;
  updateAim();
  for (auto _ : state) {
    drawFrame();
    glFinish();
  }
}
BENCHMARK(drawFullFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
