// frame_cost_bench.cpp: what a whole frame costs on this machine's GL, as
// ratios measured in one process so that a shared, noisy machine still gives
// comparable figures:
//   - the floor: a clear and a buffer swap;
//   - an empty-world frame (sky, terrain, cannon, HUD) against the floor;
//   - a full-pool frame against the empty-world frame;
//   - one full-screen textured quad against the floor, the least any
//     textured picture costs;
// each in high and low detail; and start-up to the first frame, and the
// vertex normals of a 200,000-vertex model.
// The compared frames alternate within each benchmark, so a burst of load
// from elsewhere hits both sides of a ratio alike, and each also reports
// its ratio in process CPU time (cpuXFloor, cpuXEmpty), which load from
// elsewhere hardly moves. Every sample waits for the pixels (glFinish).
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/startup.h"
#include "assets/model.h"
#include "bench/bench_world.h"
#include "game/world.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/detail.h"
#include "render/gl_objects.h"
#include "render/render.h"
#include "render/resources.h"
#include "render/view.h"
#include "sim/sim.h"

namespace {

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// Process CPU time, every thread (the software rasteriser's too): unlike the
// wall clock it does not grow while other work holds the cores, so its
// ratios stay readable on a busy machine. Each timed frame leaves its own
// CPU time in lastCpuMs.
double cpuMs() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}
double lastCpuMs;

double floorMs() {
  double c0 = cpuMs();
  uint64_t t0 = platPerfMicros();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  platSwapBuffers();
  glFinish();
  lastCpuMs = cpuMs() - c0;
  return (platPerfMicros() - t0) * 0.001;
}

// One frame of the given world seen from the cannon (the same view for every
// world, so that only what is in the sky differs).
double worldFrameMs(const World& saved) {
  world = saved;
  updateAim();
  double c0 = cpuMs();
  uint64_t t0 = platPerfMicros();
  drawFrame();
  platSwapBuffers();
  glFinish();
  lastCpuMs = cpuMs() - c0;
  return (platPerfMicros() - t0) * 0.001;
}

DetailLevel levelOf(const benchmark::State& state) {
  return state.range(0) == 0 ? detailHigh : detailLow;
}

void prepare(benchmark::State& state) {
  setUpWorlds();
  setDetail(levelOf(state));
  state.SetLabel(levelOf(state) == detailHigh ? "high" : "low");
  for (int i = 0; i < 3; i++) worldFrameMs(empty);  // warm the caches and the JIT
}

// Frames of `frame` alternating with frames of `reference` (the reference
// first): ms and cpuMs are the frame's medians, <ref>Ms the reference's, and
// x<Ref> and cpuX<Ref> the ratios of the medians in wall and process time.
template <typename Frame, typename Reference>
void measureAgainst(benchmark::State& state, const char* ref, const char* Ref, Reference reference,
                    Frame frame) {
  std::vector<double> refMs, frameMs, refCpu, frameCpu;
  for (auto _ : state) {
    refMs.push_back(reference());
    refCpu.push_back(lastCpuMs);
    frameMs.push_back(frame());
    frameCpu.push_back(lastCpuMs);
  }
  state.counters["ms"] = median(frameMs);
  state.counters[std::string(ref) + "Ms"] = median(refMs);
  state.counters[std::string("x") + Ref] = median(frameMs) / median(refMs);
  state.counters["cpuMs"] = median(frameCpu);
  state.counters[std::string("cpuX") + Ref] = median(frameCpu) / median(refCpu);
}

void clearSwapFloor(benchmark::State& state) {
  setUpWorlds();
  std::vector<double> floor;
  for (auto _ : state) floor.push_back(floorMs());
  state.counters["ms"] = median(floor);
}
BENCHMARK(clearSwapFloor)->Iterations(60)->Unit(benchmark::kMillisecond);

// Empty-world frames alternating with floor frames: xFloor is the ratio of
// their medians.
void emptyWorldFrame(benchmark::State& state) {
  prepare(state);
  measureAgainst(state, "floor", "Floor", floorMs, [] { return worldFrameMs(empty); });
}
BENCHMARK(emptyWorldFrame)->Arg(0)->Arg(1)->Iterations(40)->Unit(benchmark::kMillisecond);

// The cheapest picture that fills the screen with texture: one quad over the
// whole window with the sky's texture, bilinear, unlit, depth-tested, as the
// sky is drawn; a clear and a swap around it. Alternates with floor frames:
// xFloor is the least a textured frame can cost against the floor here.
double texturedQuadMs() {
  double c0 = cpuMs();
  uint64_t t0 = platPerfMicros();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_LIGHTING);
  glBindTexture(GL_TEXTURE_2D, skyTexture);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-1, -1, 0.5f);
  glTexCoord2f(0.25f, 0);
  glVertex3f(1, -1, 0.5f);
  glTexCoord2f(0.25f, 0.99f);
  glVertex3f(1, 1, 0.5f);
  glTexCoord2f(0, 0.99f);
  glVertex3f(-1, 1, 0.5f);
  glEnd();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glBindTexture(GL_TEXTURE_2D, 0);
  glEnable(GL_LIGHTING);
  platSwapBuffers();
  glFinish();
  lastCpuMs = cpuMs() - c0;
  return (platPerfMicros() - t0) * 0.001;
}

void texturedQuadFrame(benchmark::State& state) {
  setUpWorlds();
  measureAgainst(state, "floor", "Floor", floorMs, texturedQuadMs);
}
BENCHMARK(texturedQuadFrame)->Iterations(40)->Unit(benchmark::kMillisecond);

// Full-pool frames alternating with empty-world frames: xEmpty is the ratio
// of their medians.
void fullPoolFrame(benchmark::State& state) {
  prepare(state);
  measureAgainst(
      state, "empty", "Empty", [] { return worldFrameMs(empty); },
      [] { return worldFrameMs(full); });
}
BENCHMARK(fullPoolFrame)->Arg(0)->Arg(1)->Iterations(40)->Unit(benchmark::kMillisecond);

// Start-up to the end of the first frame, in process on the already open
// context (start the game, run one frame), against an empty-world frame.
// Each start loads a new set of models and leaves the old ones be, so the
// snapshots' model pointers stay good.
void startUpToFirstFrame(benchmark::State& state) {
  setUpWorlds();
  std::vector<double> startUp, frame;
  for (auto _ : state) {
    frame.push_back(worldFrameMs(empty));
    uint64_t t0 = platPerfMicros();
    platInitHeadless(1000, 16);
    startGame();
    headlessStep();
    glFinish();
    startUp.push_back((platPerfMicros() - t0) * 0.001);
  }
  state.counters["ms"] = median(startUp);
  state.counters["xEmptyFrame"] = median(startUp) / median(frame);
}
BENCHMARK(startUpToFirstFrame)->Iterations(5)->Unit(benchmark::kMillisecond);

// Vertex normals of a 200,000-vertex grid model (about 400,000 triangles).
void largeModelNormals(benchmark::State& state) {
  const int side = 448;  // 448 x 448 = 200,704 vertices
  Model model = {};
  model.vertexCount = side * side;
  model.triangleCount = 2 * (side - 1) * (side - 1);
  std::vector<Vec3> vertices(model.vertexCount), normals(model.vertexCount);
  std::vector<int32_t> triangles(3 * model.triangleCount);
  for (int i = 0; i < side; i++)
    for (int j = 0; j < side; j++)
      vertices[i * side + j] = {static_cast<float>(j), static_cast<float>(i),
                                static_cast<float>((i * 7 + j * 3) % 5) * 0.1f};
  int32_t* t = triangles.data();
  for (int i = 0; i + 1 < side; i++)
    for (int j = 0; j + 1 < side; j++) {
      int32_t a = i * side + j, b = a + side;
      int32_t quad[6] = {a, a + 1, b + 1, a, b + 1, b};
      t = std::copy(quad, quad + 6, t);
    }
  model.vertices = vertices.data();
  model.normals = normals.data();
  model.triangles = reinterpret_cast<int32_t(*)[3]>(triangles.data());
  for (auto _ : state) {
    computeNormals(&model, 0);
    benchmark::DoNotOptimize(model.normals[model.vertexCount / 2]);
  }
  state.counters["vertices"] = model.vertexCount;
}
BENCHMARK(largeModelNormals)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
