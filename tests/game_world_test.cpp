// Tests of the world records: the random generator and the level start.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/options.h"
#include "app/source.h"
#include "game/rules.h"
#include "game/tally.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "render/view.h"
#include "session/trace.h"

namespace {

// The seed that makes the next gameRand() return r (the generator is an
// invertible affine map modulo 2^32).
uint32_t seedGiving(int32_t r) {
  uint32_t inverse = 1;  // of 214013 modulo 2^32, by Newton's iteration
  for (int i = 0; i < 5; i++) inverse *= 2 - 214013u * inverse;
  uint32_t next = static_cast<uint32_t>(r) << 16;
  return (next - 2531011u) * inverse;
}

TEST(RandomGenerator, SeededWithOneGivesTheKnownSequence) {
  seedRand(1);
  const int32_t expected[] = {41, 18467, 6334, 26500, 19169};
  for (int32_t value : expected) EXPECT_EQ(gameRand(), value);
}

TEST(RandomGenerator, RangesReachBothEnds) {
  seedRand(seedGiving(0));
  EXPECT_EQ(randRange(-25, 25), -25.0f);
  seedRand(seedGiving(32767));
  EXPECT_NEAR(randRange(-25, 25), 25.0f, 1e-5);
  seedRand(seedGiving(32767));
  EXPECT_GE(randIntervalMs(1000, 3000), 2999) << "r = 32767 reaches the upper bound";
  seedRand(seedGiving(16384));
  // 16384 x 2000 x (1/32767) + 1000 = 2000.03, truncated.
  EXPECT_EQ(randIntervalMs(1000, 3000), 2000);
}

TEST(RandomGenerator, IntervalsTruncateTowardZero) {
  seedRand(seedGiving(1));
  // 1 x 999 / 32767 + (-1000) = -999.97 truncates to -999, not -1000.
  EXPECT_EQ(randIntervalMs(-1000, -1), -999);
  EXPECT_EQ(truncToInt32(1e12), INT32_MAX);
  EXPECT_EQ(truncToInt32(-1e12), INT32_MIN);
  EXPECT_EQ(truncToInt32(std::nan("")), 0);
}

class LevelStart : public GameTest {};

TEST_F(LevelStart, FirstLevelHasPlanesBasePlanesInTheFirstSlots) {
  start({{setting("planesBase"), "3"}, {setting("livesPerLevel"), "4"}});
  EXPECT_EQ(game.level, 1);
  EXPECT_EQ(game.lives, 4);
  EXPECT_EQ(game.points, 0);
  EXPECT_EQ(game.planesLeft, 3);
  EXPECT_EQ(game.cameraLock, 1);
  for (int i = 0; i < planePoolSize; i++) EXPECT_EQ(planes[i].active, i < 3 ? 1 : 0) << i;
  float h = settings.arenaHalfSize;
  for (int i = 0; i < 3; i++) {
    const Plane& p = planes[i];
    EXPECT_GE(p.pos.x, -h);
    EXPECT_LE(p.pos.x, h);
    EXPECT_GE(p.pos.z, settings.planeMinAltitude);
    EXPECT_LE(p.pos.z, settings.planeMaxAltitude);
    EXPECT_EQ(p.heading, 0);
    EXPECT_EQ(p.vel.x, 0);
    EXPECT_EQ(p.turnTimerMs, 0);
    EXPECT_GE(p.bombTimerMs, settings.bombDropMinMs);
    EXPECT_LE(p.bombTimerMs, settings.bombDropMaxMs);
    EXPECT_GE(p.trooperTimerMs, settings.trooperDropMinMs);
    EXPECT_LE(p.trooperTimerMs, settings.trooperDropMaxMs);
  }
}

TEST_F(LevelStart, EachFreshPlaneTakesFiveDrawsInSlotOrder) {
  start({{setting("planesBase"), "2"}}, 77);
  uint32_t afterStart = randState();
  // Replay the draws: x, y, z, bomb interval, trooper interval per plane.
  seedRand(77);
  float h = settings.arenaHalfSize;
  for (int i = 0; i < 2; i++) {
    float x = randRange(-h, h);
    float y = randRange(-h, h);
    float z = randRange(settings.planeMinAltitude, settings.planeMaxAltitude);
    int32_t bomb = randIntervalMs(settings.bombDropMinMs, settings.bombDropMaxMs);
    int32_t trooper = randIntervalMs(settings.trooperDropMinMs, settings.trooperDropMaxMs);
    EXPECT_EQ(planes[i].pos.x, x);
    EXPECT_EQ(planes[i].pos.y, y);
    EXPECT_EQ(planes[i].pos.z, z);
    EXPECT_EQ(planes[i].bombTimerMs, bomb);
    EXPECT_EQ(planes[i].trooperTimerMs, trooper);
  }
  EXPECT_EQ(randState(), afterStart) << "start-up draws nothing else";
}

TEST_F(LevelStart, NoPlanesMeansTheNextLevelStartsAtTheFirstFrame) {
  start({{setting("planesBase"), "0"}});
  EXPECT_EQ(game.planesLeft, 0);
  runFrames(1);
  EXPECT_EQ(game.level, 2);
  EXPECT_EQ(game.planesLeft, 1);
  EXPECT_EQ(planes[0].active, 1);
  EXPECT_EQ(planes[1].active, 0);
  EXPECT_EQ(sounds(), std::vector<std::string>{"s\\tada.wav"});
}

TEST_F(LevelStart, MidPlayStartClearsEverythingInTheAir) {
  start({{setting("planesBase"), "3"}});
  troopers[5].active = 1;
  bombs[7].active = 1;
  shells[2].active = 1;
  particles[100].active = 1;
  missile.active = 1;
  game.points = 130;
  game.lives = 1;
  game.cameraLock = 0;
  lastShotMs = 12345;
  firedThisLevel = 1;
  game.paused = 1;
  startLevel();
  EXPECT_EQ(game.level, 2);
  EXPECT_EQ(game.planesLeft, 4);
  EXPECT_EQ(troopers[5].active, 0);
  EXPECT_EQ(bombs[7].active, 0);
  EXPECT_EQ(shells[2].active, 0);
  EXPECT_EQ(particles[100].active, 0);
  EXPECT_EQ(missile.active, 0);
  EXPECT_EQ(game.points, 0);
  EXPECT_EQ(game.lives, settings.livesPerLevel);
  EXPECT_EQ(game.cameraLock, 1);
  EXPECT_EQ(lastShotMs, 0u);
  EXPECT_EQ(firedThisLevel, 0);
  EXPECT_EQ(game.paused, 1) << "the level start leaves the pause alone";
}

TEST_F(LevelStart, ReplayAfterGameOverKeepsTheLostLevelsPlaneCount) {
  start({{setting("planesBase"), "3"}});
  game.level = 4;  // as after losing level 5
  game.gameOver = 1;
  startLevel();
  EXPECT_EQ(game.level, 5);
  EXPECT_EQ(game.planesLeft, 3 + 4);
  EXPECT_EQ(game.gameOver, 1) << "only the N answer clears it";
}

TEST_F(LevelStart, WavesAreCappedAtThePoolSoEveryLevelCanEnd) {
  start({{setting("planesBase"), "30"}});
  game.level = 5;
  startLevel();
  EXPECT_EQ(game.planesLeft, planePoolSize);
  for (const Plane& p : planes) EXPECT_EQ(p.active, 1);
}

}  // namespace

// The world record is the whole state of play: an autoplayed game saved in
// the middle (with a key typed between two frames still pending), run for
// 500 frames, put back and run again writes the same trace lines, pauses and
// sounds included, and ends with the same count of the run.
TEST_F(LevelStart, ASavedWorldPlaysTheSameFramesAgain) {
  const std::string trace = dataDir() + "/trace.jsonl";
  start({}, 3, 1000, 33);
  setInputSource(inputFromAutoplay);
  runOptions.drawEvery = 1 << 30;  // the world only: no pictures
  runFrames(1200);
  headlessChar('p');  // pauses now and reaches the next frame's record
  static World saved;
  saved = world;
  const int savedFrame = headlessFrameNumber();
  std::string passes[2];
  RunTally tallies[2];
  for (int pass = 0; pass < 2; pass++) {
    world = saved;
    headlessSetFrameNumber(savedFrame);
    ASSERT_TRUE(traceOpen(trace.c_str()));
    runFrames(40);
    headlessChar('p');  // and play on
    runFrames(460);
    traceClose();
    passes[pass] = readFile(trace);
    tallies[pass] = runTally();
  }
  EXPECT_EQ(std::count(passes[0].begin(), passes[0].end(), '\n'), 500);
  EXPECT_NE(passes[0].find("\"paused\":1"), std::string::npos);
  EXPECT_NE(passes[0].find(".wav\""), std::string::npos) << "no shot hit anything";
  EXPECT_EQ(passes[0], passes[1]);
  EXPECT_EQ(memcmp(&tallies[0], &tallies[1], sizeof(RunTally)), 0);
}
