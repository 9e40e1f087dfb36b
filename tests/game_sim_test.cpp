// Tests of the simulation: planes, troopers, bombs, shards, shells and the
// guided missile, one update at a time and through real frames.
#include <cmath>

#include "app/frame.h"
#include "game/input.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/view.h"
#include "sim/sim.h"
#include "terrain/terrain.h"

namespace {

// A record with the mouse buttons down as given.
FrameInput buttons(bool left, bool right) {
  FrameInput in = {};
  in.held = (left ? 1u << keyLButton : 0) | (right ? 1u << keyRButton : 0);
  return in;
}

class Sim : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    start({{setting("planesBase"), "1"}});
    emptyPools();
  }
  void emptyPools() {
    for (Plane& p : planes) p.active = 0;
    for (Trooper& t : troopers) t.active = 0;
    for (Bomb& b : bombs) b.active = 0;
    for (Shell& s : shells) s.active = 0;
    for (Particle& p : particles) p.active = 0;
    missile.active = 0;
    headlessClearSounds();
  }
  Plane& plane(int slot, Vec3 pos, float vx = 0, float vy = 0) {
    Plane& p = planes[slot];
    p.active = 1;
    p.pos = pos;
    p.vel = {vx, vy};
    p.heading = atan2f(vy, vx);
    p.turnTimerMs = p.bombTimerMs = p.trooperTimerMs = 1000000;
    return p;
  }
  Trooper& trooper(int slot, Vec3 pos, uint32_t dropTime = 0) {
    Trooper& t = troopers[slot];
    t.active = 1;
    t.pos = pos;
    t.vz = t.spin = t.tilt = 0;
    t.chuteOpen = t.chuteShot = 0;
    t.dropTime = dropTime;
    return t;
  }
  Bomb& bomb(int slot, Vec3 pos, Vec3 vel = {0, 0, 0}) {
    Bomb& b = bombs[slot];
    b.active = 1;
    b.pos = pos;
    b.vel = vel;
    b.yaw = b.pitch = 0;
    return b;
  }
  Shell& shell(int slot, Vec3 pos, Vec3 vel = {0, 0, 0}) {
    Shell& s = shells[slot];
    s.active = 1;
    s.pos = pos;
    s.vel = vel;
    s.yaw = s.pitch = 0;
    s.lifeMs = 10000;
    return s;
  }
  // A missile flying at pos with its box posed there, as the input step
  // leaves it.
  void missileAt(Vec3 pos, uint32_t launchMs = 0) {
    missile.active = 1;
    missile.pos = pos;
    missile.forward = {1, 0, 0};
    missile.right = {0, -1, 0};
    missile.up = {0, 0, 1};
    missile.vel = {settings.missileSpeed, 0, 0};
    missile.yaw = missile.pitch = 0;
    missile.launchMs = launchMs;
    posedBox(missile.modelBox, pos.x, pos.y, pos.z, 0, 0, &missile.worldBox);
  }
  int activeShards() {
    int n = 0;
    for (const Particle& p : particles) n += p.active;
    return n;
  }
  // A point high above the ground, far from the cannon.
  Vec3 sky(float x = 5, float y = 5) { return {x, y, 12}; }
};

// ---- Planes ----

TEST_F(Sim, FreshPlanesStandStillForOneFrameThenFly) {
  start({{setting("planesBase"), "3"}});
  Vec3 before[3];
  for (int i = 0; i < 3; i++) before[i] = planes[i].pos;
  runFrames(1);
  for (int i = 0; i < 3; i++) {
    const Plane& p = planes[i];
    EXPECT_EQ(p.pos.x, before[i].x) << "no move in the first frame";
    EXPECT_NEAR(std::hypot(p.vel.x, p.vel.y), settings.planeSpeed, 1e-5);
    EXPECT_NEAR(atan2f(p.vel.y, p.vel.x), remainderf(p.heading, 2 * M_PI), 1e-5);
    EXPECT_GE(p.turnTimerMs, settings.planeTurnMinMs - 16);
    EXPECT_LE(p.turnTimerMs, settings.planeTurnMaxMs - 16);
  }
  runFrames(1);
  EXPECT_NE(planes[0].pos.x, before[0].x);
}

TEST_F(Sim, WallTestsAreStrictAndBouncesReflect) {
  float h = settings.arenaHalfSize;
  Plane& atWall = plane(0, {h, 0, 10});
  Plane& beyond = plane(1, {h + 0.5f, 0, 10}, 4, 0);
  beyond.heading = 0.2f;
  Plane& yWall = plane(2, {0, -h - 1, 10}, 0, -4);
  yWall.heading = 0.3f;
  updatePlanes(0, 0, 0);
  EXPECT_EQ(atWall.pos.x, h);
  EXPECT_EQ(beyond.pos.x, static_cast<float>(h - 0.1));
  EXPECT_EQ(beyond.vel.x, -4);
  EXPECT_EQ(beyond.heading, 3.141593f - 0.2f);
  EXPECT_EQ(yWall.pos.y, static_cast<float>(0.1 - h));
  EXPECT_EQ(yWall.vel.y, 4);
  EXPECT_EQ(yWall.heading, -0.3f) << "headings are not wrapped";
}

TEST_F(Sim, CornerBouncesOnBothWallsXFirst) {
  float h = settings.arenaHalfSize;
  Plane& p = plane(0, {h - 0.05f, h - 0.05f, 10}, 3, 3);
  p.heading = 0.7f;
  updatePlanes(0.1f, 0, 100);
  EXPECT_EQ(p.heading, -(3.141593f - 0.7f));
  EXPECT_EQ(p.vel.x, -3);
  EXPECT_EQ(p.vel.y, -3);
  EXPECT_EQ(p.pos.x, static_cast<float>(h - 0.1));
  EXPECT_EQ(p.pos.y, static_cast<float>(h - 0.1));
}

TEST_F(Sim, DropsWaitForAFreeSlotWithTheirTimersRunningOn) {
  for (int i = 0; i < trooperPoolSize; i++) trooper(i, {40, 40, 100});
  for (int i = 0; i < bombPoolSize; i++) bomb(i, {40, 40, 100});
  Plane& p = plane(0, sky());
  p.trooperTimerMs = 0;
  p.bombTimerMs = 0;
  updatePlanes(0.016f, 1000, 16);
  updatePlanes(0.016f, 1016, 16);
  EXPECT_EQ(p.trooperTimerMs, -32);
  EXPECT_EQ(p.bombTimerMs, -32);
  troopers[9].active = 0;
  bombs[4].active = 0;
  updatePlanes(0.016f, 1032, 16);
  EXPECT_EQ(troopers[9].active, 1);
  EXPECT_EQ(troopers[9].dropTime, 1032u);
  EXPECT_EQ(troopers[9].pos.z, p.pos.z - 1);
  EXPECT_EQ(bombs[4].active, 1);
  EXPECT_GE(p.trooperTimerMs, settings.trooperDropMinMs - 16);
  EXPECT_GE(p.bombTimerMs, settings.bombDropMinMs - 16);
}

TEST_F(Sim, BombsAreAimedAtTheCannon) {
  Plane& overhead = plane(0, {0, 0, 10});
  overhead.bombTimerMs = 0;
  Plane& side = plane(1, {6, -8, 10});
  side.bombTimerMs = 0;
  updatePlanes(0, 0, 0);
  EXPECT_NEAR(bombs[0].pitch, -M_PI / 2, 1e-6);
  EXPECT_NEAR(bombs[0].vel.z, -settings.bombSpeed, 1e-5);
  EXPECT_NEAR(bombs[0].vel.x, 0, 1e-5);
  // From (6, -8, 10) the line to the origin runs along (-6, 8, -10).
  const Bomb& b = bombs[1];
  float length = sqrtf(36 + 64 + 100);
  EXPECT_NEAR(b.vel.x, -6 / length * settings.bombSpeed, 1e-5);
  EXPECT_NEAR(b.vel.y, 8 / length * settings.bombSpeed, 1e-5);
  EXPECT_NEAR(b.vel.z, -10 / length * settings.bombSpeed, 1e-5);
}

TEST_F(Sim, MissileDownsAPlaneWhichStillDropsItsTrooper) {
  Plane& p = plane(3, sky());
  p.trooperTimerMs = 0;
  missileAt(p.pos);
  game.points = 5;
  int left = game.planesLeft;
  updatePlanes(0.016f, 500, 16);
  EXPECT_EQ(p.active, 0);
  EXPECT_EQ(missile.active, 0);
  EXPECT_EQ(game.points, 25);
  EXPECT_EQ(game.planesLeft, left - 1);
  EXPECT_EQ(troopers[0].active, 1) << "the drop of the same frame still happens";
  EXPECT_EQ(activeShards(), settings.planeBlastCount);
  EXPECT_EQ(particles[0].material, materialPlane);
  EXPECT_EQ(sounds(), std::vector<std::string>{"s\\exp_plane.wav"});
}

// ---- Troopers ----

TEST_F(Sim, ChuteOpensOneMillisecondAfterTheDelay) {
  Trooper& t = trooper(0, sky(), 1000);
  uint32_t delay = static_cast<uint32_t>(settings.chuteOpenDelayMs);
  updateTroopers(0, 1000 + delay);
  EXPECT_EQ(t.chuteOpen, 0);
  updateTroopers(0, 1000 + delay + 1);
  EXPECT_EQ(t.chuteOpen, 1);
}

TEST_F(Sim, FallSpeedsKeepTheirLimits) {
  Trooper& free = trooper(0, {5, 5, 1000}, 0);
  for (int i = 0; i < 50; i++) updateTroopers(0.05f, 0);  // the chute never opens at now 0
  EXPECT_LT(free.vz, settings.shotFallSpeedLimit) << "no limit before the chute opens";

  Trooper& chute = trooper(1, {6, 6, 1000}, 0);
  chute.chuteOpen = 1;
  chute.vz = -20;
  for (int i = 0; i < 50; i++) {
    updateTroopers(0.05f, 0);
    EXPECT_LE(chute.vz, settings.chuteFallSpeedLimit);
  }
  EXPECT_EQ(chute.vz, settings.chuteFallSpeedLimit);

  Trooper& shot = trooper(2, {7, 7, 1000}, 0);
  shot.chuteShot = 1;
  for (int i = 0; i < 50; i++) {
    updateTroopers(0.05f, 0);
    EXPECT_GE(shot.vz, settings.shotFallSpeedLimit);
  }
  EXPECT_EQ(shot.tilt, 0.9599312f);
  EXPECT_NEAR(shot.spin, 9 * 0.05f * 50, 1e-3);
}

TEST_F(Sim, LandingCostsPointsButNeverBelowZero) {
  float ground = terrainHeight(3, 3);
  trooper(0, {3, 3, ground + 0.01f}, 0).vz = -1;
  game.points = 10;
  updateTroopers(0.1f, 0);
  EXPECT_EQ(troopers[0].active, 0);
  EXPECT_EQ(game.points, 0);
  EXPECT_TRUE(sounds().empty()) << "a living landing is silent";
  trooper(1, {3, 3, ground - 1}, 0);
  game.points = 40;
  updateTroopers(0, 0);
  EXPECT_EQ(game.points, 15);
}

TEST_F(Sim, TrooperWithoutChuteBurstsOnTheGroundForFree) {
  float ground = terrainHeight(3, 3);
  Trooper& t = trooper(0, {3, 3, ground}, 0);
  t.chuteShot = 1;
  game.points = 10;
  updateTroopers(0, 0);
  EXPECT_EQ(t.active, 0);
  EXPECT_EQ(game.points, 10);
  EXPECT_EQ(activeShards(), settings.trooperBlastCount);
  EXPECT_EQ(particles[0].material, materialTrooper);
  EXPECT_EQ(sounds(), std::vector<std::string>{"s\\exp_can.wav"});
}

TEST_F(Sim, MissileTearsAnOpenChuteAwayButNotAClosedOne) {
  Trooper& t = trooper(0, sky(), 0);
  // The missile's box around the canopy, two units above the feet.
  missileAt({t.pos.x, t.pos.y, t.pos.z + 2});
  updateTroopers(0, 0);
  EXPECT_EQ(missile.active, 1) << "a closed chute cannot be hit";
  t.chuteOpen = 1;
  updateTroopers(0, 0);
  EXPECT_EQ(missile.active, 0);
  EXPECT_EQ(t.active, 1);
  EXPECT_EQ(t.chuteOpen, 0);
  EXPECT_EQ(t.chuteShot, 1);
  EXPECT_EQ(game.points, 10);
  EXPECT_EQ(particles[0].material, materialChute);
  EXPECT_FLOAT_EQ(particles[0].pos.z, t.pos.z + 2) << "the chute bursts above the trooper";
  updateTroopers(0, 100000);
  EXPECT_EQ(t.chuteOpen, 0) << "a shot chute never opens again";
}

// ---- Bombs ----

TEST_F(Sim, BombReachingTheGroundPlaneVanishesSilently) {
  bomb(0, {20, 20, 1}, {0, 0, -10});
  updateBombs(0.1f);
  EXPECT_EQ(bombs[0].active, 0);
  EXPECT_EQ(activeShards(), 0);
  EXPECT_TRUE(sounds().empty());
  EXPECT_EQ(game.lives, settings.livesPerLevel);
}

TEST_F(Sim, TwoBombsOnTheCannonTakeTwoLives) {
  updateAim();  // the cannon's box
  game.lives = 1;
  bomb(0, {0, 0, 0.3f});
  bomb(1, {0.1f, 0, 0.3f});
  updateBombs(0);
  EXPECT_EQ(game.lives, -1);
  EXPECT_EQ(sounds(), (std::vector<std::string>{"s\\TnkDes.wav", "s\\TnkDes.wav"}));
}

TEST_F(Sim, MissileTakesABombBeforeTheCannonDoes) {
  updateAim();
  bomb(0, {0, 0, 0.3f});
  missileAt({0, 0, 0.3f});
  updateBombs(0);
  EXPECT_EQ(game.lives, settings.livesPerLevel);
  EXPECT_EQ(missile.active, 0);
  EXPECT_EQ(sounds(), std::vector<std::string>{"s\\exp_bomb.wav"});
}

// ---- Shards ----

TEST_F(Sim, ExplosionsTakeOnlyFreeSlots) {
  for (int i = 0; i < 120; i++) particles[i] = Particle{1, {}, 0, 0, {}, 1, materialChute};
  spawnExplosion(0, 0, 10, materialBomb, 1, 20);
  EXPECT_EQ(activeShards(), 128);
  for (int i = 120; i < 128; i++) EXPECT_EQ(particles[i].material, materialBomb);
  spawnExplosion(0, 0, 10, materialPlane, 1, 5);
  EXPECT_EQ(particles[0].material, materialChute) << "running shards are never displaced";
}

TEST_F(Sim, CountsBelowOneSpawnNothing) {
  uint32_t state = randState();
  spawnExplosion(0, 0, 10, materialBomb, 1, 0);
  spawnExplosion(0, 0, 10, materialBomb, 1, -5);
  EXPECT_EQ(activeShards(), 0);
  EXPECT_EQ(randState(), state);
}

TEST_F(Sim, ShardsFlyFallSpinAndShrink) {
  settings.shardDecay = 0.5f;
  spawnExplosion(1, 2, 30, materialShell, 1, 1);
  Particle& s = particles[0];
  EXPECT_NEAR(std::sqrt(s.vel.x * s.vel.x + s.vel.y * s.vel.y + s.vel.z * s.vel.z),
              settings.shardSpeed, 1e-4);
  EXPECT_GE(s.pitch, -3.1315930f);
  EXPECT_LE(s.pitch, 3.1315930f);
  Particle start = s;
  float lived = 0;
  while (s.active) {
    updateParticles(0.01f);
    lived += 0.01f;
    if (s.active) {
      EXPECT_EQ(s.pitch, start.pitch);
      EXPECT_EQ(s.vel.x, start.vel.x);
      EXPECT_EQ(s.vel.y, start.vel.y);
    }
    ASSERT_LT(lived, 10);
  }
  EXPECT_NEAR(lived, 3.33, 0.02) << "0.5 to the power 3.32 is 0.1";
  spawnExplosion(1, 2, 30, materialShell, 0.05f, 1);
  updateParticles(0);
  EXPECT_EQ(particles[0].active, 0) << "a shard born below 0.1 ends at once";
}

// ---- Shells ----

TEST_F(Sim, FiringWaitsMoreThan500Ms) {
  const FrameInput left = buttons(true, false);
  fireWeapons(2000, left);
  EXPECT_EQ(shells[0].active, 1) << "the first shell of a level is never held back";
  EXPECT_EQ(lastShotMs, 2000u);
  fireWeapons(2500, left);
  EXPECT_EQ(shells[1].active, 0) << "exactly 500 ms is not enough";
  fireWeapons(2501, left);
  EXPECT_EQ(shells[1].active, 1);
  fireWeapons(4000, buttons(false, false));
  EXPECT_EQ(shells[2].active, 0);
}

TEST_F(Sim, ShellsFlyAlongTheAim) {
  camera.yaw = 0.4f;
  camera.pitch = 0.3f;
  fireWeapons(1000, buttons(true, false));
  const Shell& s = shells[0];
  EXPECT_EQ(s.yaw, 0.4f);
  EXPECT_EQ(s.lifeMs, 10000);
  EXPECT_NEAR(s.vel.x, settings.shellSpeed * cos(0.4) * cos(0.3), 1e-4);
  EXPECT_NEAR(s.vel.z, settings.shellSpeed * sin(0.3), 1e-4);
  updateShells(0.1f);
  EXPECT_EQ(s.lifeMs, 9900);
  EXPECT_NEAR(s.pos.z, 0.1 * settings.shellSpeed * sin(0.3), 1e-4);
}

TEST_F(Sim, FullPoolFiresNothingAndKeepsTheStamp) {
  for (int i = 0; i < shellPoolSize; i++) shell(i, sky());
  lastShotMs = 100;
  firedThisLevel = 1;
  fireWeapons(5000, buttons(true, false));
  EXPECT_EQ(lastShotMs, 100u);
  shells[7].active = 0;
  fireWeapons(5016, buttons(true, false));
  EXPECT_EQ(shells[7].active, 1);
  EXPECT_EQ(lastShotMs, 5016u);
}

TEST_F(Sim, NothingFiresWhileTheMissileFlies) {
  missileAt(sky());
  uint32_t launched = missile.launchMs;
  fireWeapons(9000, buttons(true, true));
  EXPECT_EQ(shells[0].active, 0);
  EXPECT_EQ(missile.launchMs, launched);
}

TEST_F(Sim, FirstMatchWinsPlanesTroopersBombs) {
  Vec3 p = sky();
  plane(0, p);
  bomb(0, p);
  shell(0, p);
  updatePlanes(0, 0, 0);
  updateBombs(0);
  updateShells(0);
  EXPECT_EQ(planes[0].active, 0);
  EXPECT_EQ(bombs[0].active, 1) << "the bomb flies on";
  EXPECT_EQ(game.points, 20);

  // Body and open chute together: the body is hit.
  Trooper& t = trooper(0, {p.x, p.y, p.z - 0.8f});
  t.chuteOpen = 1;
  updateTroopers(0, 0);
  shell(0, t.pos);
  updateShells(0);
  EXPECT_EQ(t.active, 0);
  EXPECT_EQ(game.points, 30);
  EXPECT_EQ(sounds().back(), "s\\exp_trooper.wav");
}

TEST_F(Sim, ShellOnAChuteTearsItAway) {
  Trooper& t = trooper(0, sky());
  t.chuteOpen = 1;
  updateTroopers(0, 0);
  shell(0, {t.pos.x, t.pos.y, t.pos.z + 2.2f});
  updateShells(0);
  EXPECT_EQ(t.active, 1);
  EXPECT_EQ(t.chuteOpen, 0);
  EXPECT_EQ(t.chuteShot, 1);
  EXPECT_EQ(game.points, 10);
  EXPECT_EQ(shells[0].active, 0);
  EXPECT_EQ(sounds(), std::vector<std::string>{"s\\exp_can.wav"});
}

TEST_F(Sim, TwoShellsOnOnePlaneSpendOnlyTheFirst) {
  Vec3 p = sky();
  plane(0, p);
  updatePlanes(0, 0, 0);
  shell(2, p);
  shell(5, p);
  updateShells(0);
  EXPECT_EQ(shells[2].active, 0);
  EXPECT_EQ(shells[5].active, 1) << "it finds the plane gone and flies on";
  EXPECT_EQ(game.points, 20);
}

TEST_F(Sim, ArenaAndTerrainEndShells) {
  float h = settings.arenaHalfSize;
  shell(0, {h, 0, 15});
  shell(1, {-h - 0.01f, 0, 15});
  shell(2, {0, 0, 2 * settings.planeMaxAltitude + 0.5f});
  float ground = terrainHeight(4, -4);
  shell(3, {4, -4, ground});
  updateShells(0);
  EXPECT_EQ(shells[0].active, 1) << "exactly at the wall still flies";
  EXPECT_EQ(shells[1].active, 0);
  EXPECT_EQ(shells[2].active, 0);
  EXPECT_EQ(shells[3].active, 0) << "equal to the ground explodes";
  EXPECT_EQ(sounds(), std::vector<std::string>{"s\\exp_can.wav"});
  EXPECT_EQ(particles[0].material, materialShell);
}

TEST_F(Sim, PausedShellsHoldStillButStillHit) {
  Vec3 p = sky();
  shell(0, p, {40, 0, 0});
  updateShells(0);
  EXPECT_EQ(shells[0].pos.x, p.x);
  plane(0, p);
  updatePlanes(0, 0, 0);
  updateShells(0);
  EXPECT_EQ(planes[0].active, 0);
}

// The first shell of a level goes out even when the tick count has passed
// 2^31, where the signed difference to a lastShotMs of 0 is negative.
TEST_F(Sim, FirstShellOfALevelFiresLateInTheClock) {
  start({{setting("planesBase"), "1"}}, 1, 2200000000u, 16);
  headlessKeyDown(platLButton);
  runFrames(1);
  EXPECT_EQ(firedThisLevel, 1);
  EXPECT_EQ(lastShotMs, 2200000016u);
  int fired = 0;
  for (const Shell& s : shells) fired += s.active;
  EXPECT_EQ(fired, 1);
  runFrames(31);  // 496 ms later
  EXPECT_EQ(lastShotMs, 2200000016u);
  runFrames(1);  // 512 ms
  EXPECT_EQ(lastShotMs, 2200000016u + 512);
  headlessKeyUp(platLButton);
}

// ---- Missile ----

TEST_F(Sim, LaunchAlongTheAimWithAFreshBox) {
  camera.yaw = 0;
  camera.pitch = 0;
  // A plane where the previous flight's box was left.
  missileAt(sky());
  missile.active = 0;
  plane(0, sky());
  fireWeapons(777, buttons(false, true));
  EXPECT_EQ(missile.active, 1);
  EXPECT_EQ(missile.launchMs, 777u);
  EXPECT_NEAR(missile.forward.x, 1, 1e-6);
  EXPECT_NEAR(missile.right.y, -1, 1e-6);
  EXPECT_NEAR(missile.up.z, 1, 1e-6);
  EXPECT_NEAR(missile.pos.x, 1.5f, 1e-6);
  EXPECT_NEAR(missile.vel.x, settings.missileSpeed, 1e-5);
  updatePlanes(0, 777, 0);
  EXPECT_EQ(planes[0].active, 1) << "the old box cannot hit anything";
  EXPECT_LT(missile.worldBox.corners[7].x, 1.5f);
}

TEST_F(Sim, SteeringTurnsAboutTheMissilesOwnAxes) {
  camera.yaw = 0;
  camera.pitch = 0;
  fireWeapons(0, buttons(false, true));
  steerMissile(90, 90);
  EXPECT_NEAR(missile.forward.x, 0, 1e-5);
  EXPECT_NEAR(missile.forward.z, 1, 1e-5);
  EXPECT_NEAR(missile.right.x, -1, 1e-5);
  EXPECT_NEAR(missile.up.y, 1, 1e-5);
  EXPECT_NEAR(missile.pitch, M_PI / 2, 1e-5);
  EXPECT_NEAR(missile.vel.z, settings.missileSpeed, 1e-4);
}

TEST_F(Sim, LifetimeEndsOneMillisecondAfterTheLimit) {
  missileAt({0, 0, 40}, 1000);
  missile.vel = {0, 0, 0};
  uint32_t limit = static_cast<uint32_t>(settings.missileLifetimeMs);
  updateMissile(0, 1000 + limit);
  EXPECT_EQ(missile.active, 1);
  updateMissile(0, 1000 + limit + 1);
  EXPECT_EQ(missile.active, 0);
  EXPECT_EQ(particles[0].material, materialShell);
  EXPECT_EQ(sounds(), std::vector<std::string>{"s\\exp_can.wav"});
}

TEST_F(Sim, MissileFliesOnAtGroundLevelAndBurstsBelowIt) {
  float ground = terrainHeight(2, 2);
  missileAt({2, 2, ground}, 0);
  missile.vel = {0, 0, 0};
  updateMissile(0, 0);
  EXPECT_EQ(missile.active, 1);
  missile.pos.z = ground - 0.001f;
  updateMissile(0, 0);
  EXPECT_EQ(missile.active, 0);
}

TEST_F(Sim, HeldRightButtonRelaunchesAfterTheEnd) {
  runFrames(1);
  headlessKeyDown(platRButton);
  runFrames(1);
  ASSERT_EQ(missile.active, 1);
  uint32_t first = missile.launchMs;
  Vec3 start = missile.pos;
  runFrames(10);
  EXPECT_NEAR(missile.pos.x - start.x, 10 * 0.016f * missile.vel.x, 1e-3)
      << "without mouse motion it flies straight";
  missile.launchMs -= settings.missileLifetimeMs;  // its time is up
  runFrames(1);
  EXPECT_EQ(missile.active, 0);
  runFrames(1);
  EXPECT_EQ(missile.active, 1);
  EXPECT_GT(missile.launchMs, first);
  headlessKeyUp(platRButton);
}

}  // namespace
