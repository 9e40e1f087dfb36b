// Tests of the frame loop: time, pause, the three modes and their
// transitions, input with the window active and inactive, the keyboard
// callback.
#include <cmath>

#include "app/frame.h"
#include "game/clock.h"
#include "game/input.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/view.h"

namespace {

class FrameLoop : public GameTest {};

TEST_F(FrameLoop, FirstFrameMeasuresFromTheEndOfStartUp) {
  start({}, 1, 5000, 20);
  EXPECT_EQ(lastTickMs, 5000u);
  runFrames(1);
  EXPECT_EQ(lastFrame.number, 1);
  EXPECT_EQ(lastFrame.now, 5020u);
  EXPECT_EQ(lastFrame.frameMs, 20);
  EXPECT_FLOAT_EQ(lastFrame.dt, 0.02f);
}

TEST_F(FrameLoop, TickWrapStillGivesTheSmallStep) {
  start({}, 1, 4294967290u, 16);
  runFrames(1);
  EXPECT_EQ(lastFrame.now, 10u);
  EXPECT_EQ(lastFrame.frameMs, 16);
}

TEST_F(FrameLoop, PauseShiftsTheThreeStampsAndFreezesTheWorld) {
  start({{setting("planesBase"), "2"}});
  runFrames(1);
  troopers[3].active = 1;
  troopers[3].dropTime = lastFrame.now - 100;
  troopers[3].pos = {0, 0, 20};
  troopers[4].dropTime = 777;  // a free slot is not shifted
  missile.active = 1;
  missile.launchMs = lastFrame.now - 200;
  missile.vel = {1, 0, 0};
  missile.pos = {0, 0, 30};
  lastShotMs = lastFrame.now - 300;
  Vec3 planePos = planes[0].pos;
  int32_t turnTimer = planes[0].turnTimerMs;

  headlessChar('p');
  ASSERT_EQ(game.paused, 1);
  runFrames(10);
  EXPECT_EQ(lastFrame.frameMs, 0);
  EXPECT_EQ(lastFrame.dt, 0);
  uint32_t now = lastFrame.now;
  EXPECT_EQ(now - troopers[3].dropTime, 100u) << "play time since the drop stays put";
  EXPECT_EQ(now - missile.launchMs, 200u);
  EXPECT_EQ(now - lastShotMs, 300u);
  EXPECT_EQ(troopers[4].dropTime, 777u);
  EXPECT_EQ(planes[0].pos.x, planePos.x);
  EXPECT_EQ(planes[0].turnTimerMs, turnTimer);
  EXPECT_EQ(troopers[3].pos.z, 20);
  EXPECT_EQ(missile.pos.x, 0);

  headlessChar('p');
  runFrames(1);
  EXPECT_EQ(game.paused, 0);
  EXPECT_NE(planes[0].pos.x, planePos.x);
}

TEST_F(FrameLoop, PWithShiftOrCapsLockPausesToo) {
  start();
  headlessChar('P');
  EXPECT_EQ(game.paused, 1);
  headlessChar('p');
  EXPECT_EQ(game.paused, 0);
}

TEST_F(FrameLoop, GTogglesTheLockOnEveryKeyEventWhileHeld) {
  start();
  headlessKeyDown('G');
  headlessChar('g');
  EXPECT_EQ(game.cameraLock, 0);
  headlessChar('g');  // a second event (a window lets no auto-repeat through)
  EXPECT_EQ(game.cameraLock, 1);
  headlessChar('x');  // another key while G is held
  EXPECT_EQ(game.cameraLock, 0);
  headlessChar('p');  // toggles both
  EXPECT_EQ(game.cameraLock, 1);
  EXPECT_EQ(game.paused, 1);
  headlessKeyUp('G');
  headlessChar('x');
  EXPECT_EQ(game.cameraLock, 1);
}

TEST_F(FrameLoop, MouseLookTurnsTheAimAndRecentresTheCursor) {
  start();
  runFrames(1);
  float yaw = camera.yaw, pitch = camera.pitch;
  headlessMoveCursor(-20, -10);  // left and up
  runFrames(1);
  EXPECT_FLOAT_EQ(camera.yaw, yaw + 20 * 0.005f);
  EXPECT_FLOAT_EQ(camera.pitch, pitch + 10 * 0.005f);
  int x, y;
  platCursorPos(&x, &y);
  EXPECT_EQ(x, cursorCentre[0]);
  EXPECT_EQ(y, cursorCentre[1]);
  EXPECT_EQ(cursorCentre[0], 500);
  EXPECT_EQ(cursorCentre[1], 350);
}

TEST_F(FrameLoop, PitchPushedPastTheLimitComesBackInside) {
  start();
  headlessMoveCursor(0, -1000);
  runFrames(1);
  EXPECT_EQ(camera.pitch, 1.5607965f);
  headlessMoveCursor(0, 2000);
  runFrames(1);
  EXPECT_EQ(camera.pitch, -1.5607965f);
}

TEST_F(FrameLoop, CameraKeysMoveAlongTheAimOnlyWhenUnlocked) {
  start();
  runFrames(1);
  Vec3 locked = camera.pos;
  headlessKeyTap('W');
  runFrames(1);
  EXPECT_EQ(camera.pos.x, locked.x) << "the lock puts the eye back in the same frame";

  headlessKeyDown('G');
  headlessChar('g');
  headlessKeyUp('G');
  ASSERT_EQ(game.cameraLock, 0);
  runFrames(1);
  Vec3 before = camera.pos;
  headlessKeyTap('W');
  headlessKeyTap('Q');
  runFrames(1);
  EXPECT_NEAR(camera.pos.x, before.x + 0.5 * cos(camera.yaw), 1e-6);
  EXPECT_NEAR(camera.pos.y, before.y + 0.5 * sin(camera.yaw), 1e-6);
  EXPECT_FLOAT_EQ(camera.pos.z, before.z + 0.5f);
  headlessKeyTap('D');
  headlessKeyTap('E');
  runFrames(1);
  EXPECT_NEAR(camera.pos.x, before.x + 0.5 * cos(camera.yaw) + 0.5 * sin(camera.yaw), 1e-6);
  EXPECT_FLOAT_EQ(camera.pos.z, before.z);
}

TEST_F(FrameLoop, InactiveWindowFollowsTheCursorAndReadsNoInput) {
  start({{setting("planesBase"), "2"}});
  runFrames(1);
  game.cameraLock = 0;
  float yaw = camera.yaw;
  Vec3 eye = camera.pos;
  Vec3 planePos = planes[0].pos;
  headlessSetFocus(false);
  headlessMoveCursor(40, 30);
  headlessKeyDown('Q');
  runFrames(3);
  EXPECT_EQ(camera.yaw, yaw) << "no mouse look while inactive";
  EXPECT_EQ(camera.pos.z, eye.z) << "no camera keys while inactive";
  EXPECT_EQ(cursorCentre[0], 540);
  EXPECT_EQ(cursorCentre[1], 380);
  EXPECT_NE(planes[0].pos.x, planePos.x) << "the world goes on";
  headlessKeyUp('Q');
  platKeyState('Q');  // forget the press

  headlessSetFocus(true);
  runFrames(1);
  EXPECT_EQ(camera.yaw, yaw) << "the centre is where the cursor was";
  EXPECT_EQ(cursorCentre[0], 540);
  headlessMoveCursor(-10, 0);
  runFrames(1);
  EXPECT_FLOAT_EQ(camera.yaw, yaw + 10 * 0.005f);
  int x, y;
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 540);
}

TEST_F(FrameLoop, PausedFramesReadNoMouseAndLeaveTheCursor) {
  start();
  runFrames(1);
  float yaw = camera.yaw;
  headlessChar('p');
  headlessMoveCursor(-30, 0);
  headlessKeyDown(platEscape);  // Esc does not quit while paused
  runFrames(2);
  headlessKeyUp(platEscape);
  platKeyState(platEscape);  // forget the press before play resumes
  EXPECT_EQ(camera.yaw, yaw);
  int x, y;
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 470) << "the cursor is not held while paused";
  headlessChar('p');
  runFrames(1);
  EXPECT_EQ(camera.yaw, yaw) << "the move made while paused turns nothing";
}

TEST_F(FrameLoop, GStillUnlocksAndRelocksWhilePaused) {
  start();
  runFrames(1);
  Vec3 locked = camera.pos;
  headlessChar('p');
  headlessKeyDown('G');
  headlessChar('g');
  headlessKeyUp('G');
  camera.pos = {3, 4, 5};
  runFrames(1);
  EXPECT_EQ(camera.pos.x, 3) << "unlocked: the eye stays where it is";
  headlessKeyDown('G');
  headlessChar('g');
  headlessKeyUp('G');
  runFrames(1);
  EXPECT_EQ(camera.pos.x, locked.x) << "locked again: back beside the cannon";
  EXPECT_EQ(camera.pos.z, locked.z);
}

class GameOver : public GameTest {
 protected:
  // Zero lives per level: the game is over at the end of the first frame.
  void startLost() { start({{setting("livesPerLevel"), "0"}, {setting("planesBase"), "3"}}); }
};

TEST_F(GameOver, LivesRunningOutEndsTheGameAndLowersTheLevel) {
  startLost();
  runFrames(1);
  EXPECT_EQ(game.gameOver, 1);
  EXPECT_EQ(game.level, 0);
  EXPECT_EQ(sounds(), std::vector<std::string>{"s\\game_over.wav"});
  Vec3 planePos = planes[0].pos;
  headlessMoveCursor(50, 0);
  runFrames(5);
  EXPECT_EQ(planes[0].pos.x, planePos.x) << "nothing is updated on the game-over screen";
  EXPECT_EQ(lastFrame.number, 6);
}

TEST_F(GameOver, NReplaysTheLostLevel) {
  startLost();
  runFrames(1);
  game.level = 4;  // as after losing level 5
  headlessKeyTap('N');
  runFrames(1);
  EXPECT_EQ(game.gameOver, 0);
  EXPECT_EQ(game.level, 5);
  EXPECT_EQ(game.planesLeft, 3 + 4);
  EXPECT_EQ(game.points, 0);
}

TEST_F(GameOver, KeysAreNotReadWhileTheWindowIsInactive) {
  startLost();
  runFrames(1);
  headlessSetFocus(false);
  headlessKeyDown('N');
  runFrames(2);
  EXPECT_EQ(game.gameOver, 1);
  headlessSetFocus(true);
  runFrames(1);
  EXPECT_EQ(game.gameOver, 0);
}

TEST_F(GameOver, NWhilePausedStartsTheNewLevelPaused) {
  startLost();
  runFrames(1);
  headlessChar('p');
  headlessKeyTap('N');
  runFrames(1);
  EXPECT_EQ(game.gameOver, 0);
  EXPECT_EQ(game.paused, 1);
}

TEST_F(GameOver, LastPlaneDownAsTheLivesRunOutFiresBothRules) {
  start({{setting("planesBase"), "1"}});
  runFrames(1);
  game.lives = 0;
  game.planesLeft = 0;
  headlessClearSounds();
  runFrames(1);
  EXPECT_EQ(game.gameOver, 1);
  EXPECT_EQ(game.level, 1) << "lowered to 0, then the level start raised it again";
  EXPECT_EQ(game.lives, settings.livesPerLevel);
  EXPECT_EQ(sounds(), (std::vector<std::string>{"s\\game_over.wav", "s\\tada.wav"}));
  headlessKeyTap('N');
  runFrames(1);
  EXPECT_EQ(game.level, 2) << "N goes on to the following level";
}

TEST_F(GameOver, NAndYTogetherRestartThenEnd) {
  std::string dir = dataDir({{setting("livesPerLevel"), "0"}});
  std::string trace = dir + "/trace.jsonl";
  writeFile(dir + "/input.txt", "# both answers before frame 3\n3 tap n\n3 tap y\n");
  ProcessResult r = runGame({"--headless", "--data", dir, "--seed", "1", "--input",
                             dir + "/input.txt", "--trace", trace});
  EXPECT_EQ(r.status, 1) << r.err;
  std::string lines = readFile(trace);
  size_t last = lines.rfind("{\"frame\":");
  ASSERT_NE(last, std::string::npos);
  std::string line = lines.substr(last);
  EXPECT_NE(line.find("\"frame\":3,"), std::string::npos) << line;
  EXPECT_NE(line.find("\"level\":1,"), std::string::npos) << line;
  EXPECT_NE(line.find("\"gameOver\":0,"), std::string::npos) << line;
  EXPECT_NE(line.find("\"exit\":1}"), std::string::npos) << line;
}

TEST_F(FrameLoop, EscEndsThePlayWithStatusOne) {
  std::string dir = dataDir();
  writeFile(dir + "/input.txt", "4 tap esc\n");
  ProcessResult r = runGame({"--headless", "--data", dir, "--input", dir + "/input.txt", "--frames",
                             "100", "--screenshot", dir + "/last.png"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(readFile(dir + "/last.png").substr(1, 3), "PNG") << "the last frame shown is saved";
}

}  // namespace
