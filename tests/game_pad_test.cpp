// game_pad_test.cpp: a game controller in play, through SDL's virtual
// controller on the headless backend: the stick's turn rate at several frame
// rates, the deadzone and the slow end of the curve, every button's part,
// the game-over answers, pulling the pad out, and a pad session recorded and
// replayed to the same trace.
#include <cmath>
#include <string>

#include "app/options.h"
#include "game/pad.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"

namespace {

// A game whose frames are not drawn: the pictures do not matter here.
class Pad : public GameTest {
 protected:
  void play(uint32_t frameMs = 16) {
    start({}, 1, 1000, frameMs);
    runOptions.drawEvery = 1000000;
    runFrames(1);
    ASSERT_TRUE(headlessPadPlug());
  }
};

constexpr int kFull = 32767;

// Deflection d (of 1) as an axis value.
int axis(double d) { return static_cast<int>(lround(d * kFull)); }

class PadRate : public Pad, public ::testing::WithParamInterface<uint32_t> {};

// The aim turned over `frames` frames with the right stick at (x, y), then
// with the stick let go.
float yawTurned(int x, int y, int frames) {
  headlessPadAxis(platPadRightX, x);
  headlessPadAxis(platPadRightY, y);
  const float before = camera.yaw;
  runFrames(frames);
  headlessPadAxis(platPadRightX, 0);
  headlessPadAxis(platPadRightY, 0);
  runFrames(1);
  return camera.yaw - before;
}

TEST_P(PadRate, StickTurnsTheAimAtTheSetRateWhateverTheFrameRate) {
  const uint32_t frameMs = GetParam();
  play(frameMs);
  const int frames = static_cast<int>(1000 / frameMs);
  const double seconds = frames * frameMs / 1000.0;
  const float pixel = aimRadiansPerPixel;
  // All the way right turns right (the yaw falls) at 2 rad/s, to a pixel.
  EXPECT_NEAR(yawTurned(kFull, 0, frames), -2.0 * seconds, pixel);
  // The left stick does the same, here to the left.
  headlessPadAxis(platPadLeftX, -kFull);
  float before = camera.yaw;
  runFrames(frames);
  EXPECT_NEAR(camera.yaw - before, 2.0 * seconds, pixel);
  headlessPadAxis(platPadLeftX, 0);
  // Up aims up.
  headlessPadAxis(platPadRightY, -kFull);
  before = camera.pitch;
  runFrames(frames / 4);
  EXPECT_NEAR(camera.pitch - before, 2.0 * (frames / 4) * frameMs / 1000.0, pixel);
  headlessPadAxis(platPadRightY, 0);
  // Inside the round deadzone nothing turns, diagonally either.
  EXPECT_EQ(yawTurned(axis(0.14), 0, frames), 0.0f);
  EXPECT_EQ(yawTurned(axis(0.1), axis(0.1), frames), 0.0f);
  // A small deflection turns slowly on the squared curve, less than a pixel
  // a frame: the fractions add up.
  const double slow = 2.0 * pow((0.3 - padDeadzone) / (1 - padDeadzone), 2);
  EXPECT_NEAR(yawTurned(axis(0.3), 0, 3 * frames), -slow * 3 * seconds, pixel);
}

INSTANTIATE_TEST_SUITE_P(FrameMs, PadRate, ::testing::Values(8u, 16u, 33u, 50u));

TEST_F(Pad, EveryButtonDoesItsPartAndPullingThePadOutPauses) {
  play();
  runFrames(2);
  EXPECT_EQ(firedThisLevel, 0) << "a plugged pad at rest does nothing";

  // The right trigger fires; a light touch does not.
  headlessPadAxis(platPadRightTrigger, padTriggerPress / 2);
  runFrames(2);
  EXPECT_EQ(firedThisLevel, 0);
  headlessPadAxis(platPadRightTrigger, kFull);
  runFrames(1);
  EXPECT_EQ(firedThisLevel, 1);
  headlessPadAxis(platPadRightTrigger, 0);

  // B launches the missile, and the stick steers it instead of the aim.
  headlessPadButton(platPadB, true);
  runFrames(1);
  headlessPadButton(platPadB, false);
  ASSERT_EQ(missile.active, 1);
  const float pitch = missile.pitch, aim = camera.pitch;
  headlessPadAxis(platPadRightY, -kFull);
  runFrames(3);
  headlessPadAxis(platPadRightY, 0);
  EXPECT_GT(missile.pitch, pitch + 0.1f);
  EXPECT_EQ(camera.pitch, aim);

  // Start pauses and resumes; Back in play does nothing.
  headlessPadButton(platPadStart, true);
  runFrames(1);
  EXPECT_EQ(game.paused, 1);
  headlessPadButton(platPadStart, false);
  runFrames(1);
  headlessPadButton(platPadStart, true);
  headlessPadButton(platPadBack, true);
  runFrames(2);
  EXPECT_EQ(game.paused, 0);
  headlessPadButton(platPadStart, false);
  headlessPadButton(platPadBack, false);

  // The right-stick click frees the camera; the d-pad and shoulders move it.
  headlessPadButton(platPadRightStick, true);
  runFrames(1);
  headlessPadButton(platPadRightStick, false);
  EXPECT_EQ(game.cameraLock, 0);
  const Vec3 at = camera.pos;
  headlessPadButton(platPadUp, true);
  headlessPadButton(platPadRightShoulder, true);
  runFrames(4);
  headlessPadButton(platPadUp, false);
  headlessPadButton(platPadRightShoulder, false);
  EXPECT_FLOAT_EQ(camera.pos.z - at.z, 2.0f);
  EXPECT_GT(fabsf(camera.pos.x - at.x) + fabsf(camera.pos.y - at.y), 1.9f);

  // Pulling the pad out pauses; putting it back does not resume, Start does.
  headlessPadUnplug();
  runFrames(2);
  EXPECT_EQ(game.paused, 1);
  ASSERT_TRUE(headlessPadPlug());
  runFrames(2);
  EXPECT_EQ(game.paused, 1);
  // Pulled out while paused, it leaves the pause alone.
  headlessPadUnplug();
  runFrames(2);
  EXPECT_EQ(game.paused, 1);
  ASSERT_TRUE(headlessPadPlug());
  runFrames(1);
  headlessPadButton(platPadStart, true);
  runFrames(1);
  EXPECT_EQ(game.paused, 0);
}

TEST_F(Pad, AReplaysTheLostLevelWithoutFiringAndBackEndsTheGame) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  play();
  game.lives = 0;
  runFrames(1);
  ASSERT_EQ(game.gameOver, 1);
  headlessPadAxis(platPadRightX, kFull);  // nothing turns on the game-over screen
  runFrames(2);
  headlessPadAxis(platPadRightX, 0);
  EXPECT_EQ(camera.yaw, 0.0f);
  headlessPadButton(platPadA, true);
  runFrames(30);
  EXPECT_EQ(game.gameOver, 0);
  EXPECT_EQ(firedThisLevel, 0) << "the A that answered is held: it does not fire";
  headlessPadButton(platPadA, false);
  runFrames(1);
  headlessPadButton(platPadA, true);
  runFrames(1);
  EXPECT_EQ(firedThisLevel, 1) << "pressed again, A fires";

  game.lives = 0;
  runFrames(1);
  EXPECT_EXIT(
      {
        headlessPadButton(platPadBack, true);
        runFrames(2);
      },
      ::testing::ExitedWithCode(1), "");
}

TEST_F(Pad, SessionPlayedWithAPadReplaysToTheSameTrace) {
  const std::string dir = dataDir();
  writeFile(dir + "/pad.txt",
            "2 pad plug\n3 pad rightx 20000\n30 pad righty -32767\n40 pad righty 0\n"
            "45 pad righttrigger 32767\n50 pad righttrigger 0\n60 pad b down\n61 pad b up\n"
            "62 pad leftx -30000\n90 pad leftx 0\n100 pad unplug\n110 pad plug\n"
            "115 pad start down\n116 pad start up\n");
  const ProcessResult played =
      runGame({"--headless", "--data", dir, "--seed", "4", "--frames", "150", "--input",
               dir + "/pad.txt", "--record", dir + "/rec.txt", "--trace", dir + "/played.jsonl"});
  ASSERT_EQ(played.status, 0) << played.err;
  // The pad needs no recording version of its own.
  EXPECT_EQ(readFile(dir + "/rec.txt").rfind("# velkarra3d input 5\n", 0), 0u);
  const ProcessResult replayed = runGame({"--headless", "--data", dir, "--input", dir + "/rec.txt",
                                          "--trace", dir + "/replayed.jsonl"});
  ASSERT_EQ(replayed.status, 0) << replayed.err;
  const std::string trace = readFile(dir + "/played.jsonl");
  EXPECT_EQ(readFile(dir + "/replayed.jsonl"), trace);
  EXPECT_NE(trace.find("\"paused\":1"), std::string::npos);
  // One line for each plug and each pull; a replay opens no pad.
  const std::string connected = "velkarra3d: controller connected: Scripted pad\n";
  const std::string removed = "velkarra3d: controller removed: Scripted pad\n";
  EXPECT_NE(played.err.find(connected + removed + connected), std::string::npos) << played.err;
  EXPECT_EQ(replayed.err.find("controller"), std::string::npos) << replayed.err;
}

}  // namespace
