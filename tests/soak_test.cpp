// soak_test.cpp: a long game in-process on the headless backend (label
// soak, run by `make soak`, not by `make test`). One life per level and
// bombs that come often and fast, so games are lost and replayed with N again
// and again; the autoplayer aims, fires, launches and steers missiles, and
// answers N on the game-over screen. Every 1,000th frame the world must be
// finite and its counters within their pools; the resident memory must end
// where it started.
//
// VELKARRA_SOAK_FRAMES sets the number of frames (default 1,000,000).
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/options.h"
#include "app/source.h"
#include "app/startup.h"
#include "game/input.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/detail.h"
#include "render/resources.h"
#include "render/view.h"

namespace {

long residentKb() {
  long pages = 0, resident = 0;
  FILE* statm = fopen("/proc/self/statm", "r");
  if (statm) {
    if (fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool finite(const Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

template <typename T, int N>
int activeCount(const T (&pool)[N], const char* what, int frame) {
  int count = 0;
  for (const T& e : pool) {
    if (!e.active) continue;
    count++;
    EXPECT_TRUE(finite(e.pos)) << what << " at frame " << frame;
  }
  return count;
}

void checkWorld(int frame) {
  activeCount(troopers, "trooper", frame);
  activeCount(bombs, "bomb", frame);
  activeCount(shells, "shell", frame);
  activeCount(particles, "shard", frame);
  int flying = activeCount(planes, "plane", frame);
  EXPECT_LE(flying, game.planesLeft) << "frame " << frame;
  EXPECT_LE(game.planesLeft, planePoolSize) << "frame " << frame;
  EXPECT_GE(game.level, 1) << "frame " << frame;
  EXPECT_GE(game.points, 0) << "frame " << frame;
  EXPECT_LE(game.lives, settings.livesPerLevel) << "frame " << frame;
  EXPECT_TRUE(!missile.active || finite(missile.pos)) << "missile at frame " << frame;
  EXPECT_TRUE(finite(camera.pos) && std::isfinite(camera.yaw) && std::isfinite(camera.pitch))
      << "camera at frame " << frame;
}

TEST(Soak, AMillionFramesStayFiniteWithinTheirPoolsAndFlatInMemory) {
  const char* asked = getenv("VELKARRA_SOAK_FRAMES");
  const int frames = asked ? atoi(asked) : 1000000;
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  std::string dir = makeDataDir({{setting("livesPerLevel"), "1"},
                                 {setting("bombDropMin"), "1"},
                                 {setting("bombDropMax"), "2"},
                                 {setting("bombSpeed"), "8"}});
  startHeadlessGame(dir, 7, 1000, 16);
  // Drawing is most of a frame's time on software GL: one frame in 100 is
  // drawn, at the low detail level.
  runOptions.drawEvery = 100;
  setDetail(detailLow);
  setInputSource(inputFromAutoplay);

  int gamesLost = 0, levelsCleared = 0, wasOver = 0, lastLevel = game.level;
  // The GL driver and the heap grow over the first tens of thousands of
  // frames (by about 3 MB here, as every kind of draw and scene turns up);
  // growth is measured from the end of the first tenth of the run.
  const int warmUpFrames = frames / 10 / 1000 * 1000;
  long startKb = residentKb(), peakKb = startKb, warmKb = startKb;
  auto started = std::chrono::steady_clock::now();
  for (int frame = 1; frame <= frames; frame++) {
    ASSERT_TRUE(headlessStep()) << "no frame pending at frame " << frame;
    if (game.gameOver && !wasOver) gamesLost++;
    if (game.level > lastLevel && !wasOver) levelsCleared++;
    wasOver = game.gameOver;
    lastLevel = game.level;
    if (frame % 1000 == 0) {
      checkWorld(frame);
      if (::testing::Test::HasFailure()) break;
      long kb = residentKb();
      if (kb > peakKb) peakKb = kb;
      if (frame == warmUpFrames) warmKb = kb;
    }
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  long endKb = residentKb();
  printf("soak: %d frames in %.1f s (%.0f frames/s); %d games lost, %d levels cleared\n", frames,
         seconds, frames / seconds, gamesLost, levelsCleared);
  printf(
      "soak: resident memory %ld kB at the start, %ld kB after %d frames, %ld kB at the end, %ld "
      "kB "
      "at most\n",
      startKb, warmKb, warmUpFrames, endKb, peakKb);
  EXPECT_GT(gamesLost, 0);
  EXPECT_LT(endKb - warmKb, 4096) << "resident memory grew";
  resetGame();
  EXPECT_EQ(chdir(cwd), 0);
  removeTree(dir);
}

}  // namespace
