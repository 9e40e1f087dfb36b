// game_input_test.cpp: the frame's input record in play: presses seen once,
// the cursor's hold point, the pointer confinement, recording and replaying
// a session, bad recordings, and the autoplayer.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "app/frame.h"
#include "app/source.h"
#include "app/world_options.h"
#include "game/clock.h"
#include "game/input.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "session/replay.h"

namespace {

using Input = GameTest;

float distance(Vec3 a, Vec3 b) {
  return sqrtf((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

TEST_F(Input, APressIsSeenByTheNextFrameOrByNone) {
  start();
  runFrames(1);
  // Esc pressed while paused does not end the game when play resumes (the
  // process would exit here).
  headlessChar('p');
  runFrames(1);
  headlessKeyTap(platEscape);
  runFrames(3);
  headlessChar('p');
  runFrames(3);
  EXPECT_EQ(game.paused, 0);

  // Esc then N on the game-over screen replays the level.
  game.lives = 0;
  runFrames(1);
  ASSERT_EQ(game.gameOver, 1);
  headlessKeyTap(platEscape);
  runFrames(2);
  headlessKeyTap('N');
  runFrames(3);
  EXPECT_EQ(game.gameOver, 0);
  EXPECT_EQ(game.level, 1);

  // A held key counts in every frame; a script's tap of a held key lets it go.
  headlessKeyDown('G');
  headlessChar('g');
  headlessKeyUp('G');
  runFrames(1);
  ASSERT_EQ(game.cameraLock, 0);
  const int f = headlessFrameNumber();
  const std::string script =
      std::to_string(f + 1) + " down w\n" + std::to_string(f + 3) + " tap w\n";
  char err[256];
  ASSERT_TRUE(headlessParseScript(script.data(), script.size(), "taps", err, sizeof err)) << err;
  const Vec3 before = camera.pos;
  runFrames(6);
  EXPECT_FLOAT_EQ(distance(camera.pos, before), 1.5f) << "W moves the camera in frames 1 to 3";
}

TEST_F(Input, PointerIsConfinedExactlyWhilePlayedInTheActiveWindow) {
  start();
  EXPECT_FALSE(headlessPointerConfined()) << "not before the first frame";
  runFrames(1);
  EXPECT_TRUE(headlessPointerConfined());
  headlessChar('p');
  runFrames(1);
  EXPECT_FALSE(headlessPointerConfined()) << "paused";
  headlessChar('p');
  headlessSetFocus(false);
  runFrames(1);
  EXPECT_FALSE(headlessPointerConfined()) << "another window is active";
  headlessSetFocus(true);
  runFrames(1);
  EXPECT_TRUE(headlessPointerConfined());
  game.lives = 0;
  runFrames(1);
  EXPECT_FALSE(headlessPointerConfined()) << "game over";
  headlessKeyTap('N');
  runFrames(1);
  EXPECT_TRUE(headlessPointerConfined()) << "replaying";
}

struct HoldCase {
  int x, y;    // where the cursor is left while another window is active
  int cx, cy;  // the hold point that gives
};

void PrintTo(const HoldCase& c, std::ostream* out) { *out << c.x << "," << c.y; }

class HoldPoint : public GameTest, public ::testing::WithParamInterface<HoldCase> {};

// The virtual window's client area is (100, 50)-(900, 650): the hold point
// keeps 64 px from its edges, or else goes to the middle (500, 350); the aim
// then works from there.
TEST_P(HoldPoint, StaysInsideTheWindowAndTheAimWorksFromIt) {
  const HoldCase c = GetParam();
  start();
  runFrames(1);
  headlessSetFocus(false);
  headlessMoveCursor(c.x - 500, c.y - 350);
  runFrames(1);
  EXPECT_EQ(cursorCentre[0], c.cx);
  EXPECT_EQ(cursorCentre[1], c.cy);
  headlessSetFocus(true);
  runFrames(1);
  const float yaw = camera.yaw;
  headlessMoveCursor(-20, 0);
  runFrames(1);
  EXPECT_FLOAT_EQ(camera.yaw, yaw + 20 * 0.005f);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HoldPoint,
    ::testing::Values(HoldCase{600, 400, 600, 400}, HoldCase{164, 114, 164, 114},
                      HoldCase{835, 585, 835, 585}, HoldCase{163, 300, 500, 350},
                      HoldCase{836, 300, 500, 350}, HoldCase{400, 586, 500, 350},
                      HoldCase{950, 300, 500, 350}, HoldCase{-4000, -9000, 500, 350}));

// Each way play stops and resumes while the pointer travels freely: `leave`
// stops play (and moves the pointer), `resume` brings it back. The first
// frame of play must not turn the aim by the travel; the next move turns it
// by 0.005 a pixel as ever.
struct ResumeCase {
  const char* what;
  void (*leave)();
  void (*resume)();
};

void PrintTo(const ResumeCase& c, std::ostream* out) { *out << c.what; }

const ResumeCase resumeCases[] = {
    {"pause, the pointer inside",
     [] {
       headlessChar('p');
       runFrames(1);
       headlessMoveCursor(300, 40);
       runFrames(2);
     },
     [] { headlessChar('p'); }},
    {"pause, the pointer far outside",
     [] {
       headlessChar('p');
       headlessMoveCursor(-4000, 9000);
       runFrames(2);
     },
     [] { headlessChar('P'); }},
    {"focus out and in, the pointer outside",
     [] {
       headlessSetFocus(false);
       headlessMoveCursor(2000, -30);
       runFrames(3);
     },
     [] { headlessSetFocus(true); }},
    {"N on the game-over screen",
     [] {
       game.lives = 0;
       runFrames(1);
       headlessMoveCursor(38, 0);
       runFrames(2);
     },
     [] {
       headlessKeyTap('N');
       runFrames(1);  // answers; play starts in the frame after
     }},
    {"the client area grows from 1 x 1",
     [] {
       headlessResizeWindow(1, 1);
       runFrames(2);
     },
     [] { headlessResizeWindow(800, 600); }},
};

class Resume : public GameTest, public ::testing::WithParamInterface<ResumeCase> {};

TEST_P(Resume, TheFirstFrameOfPlayKeepsTheAimAndLaterMovesTurnIt) {
  start();
  runFrames(2);
  GetParam().leave();
  const float yaw = camera.yaw, pitch = camera.pitch;
  GetParam().resume();
  runFrames(1);
  ASSERT_EQ(game.gameOver, 0);
  ASSERT_EQ(game.paused, 0);
  EXPECT_EQ(camera.yaw, yaw);
  EXPECT_EQ(camera.pitch, pitch);
  int x, y;
  platCursorPos(&x, &y);
  EXPECT_EQ(x, cursorCentre[0]) << "the pointer goes back to the hold point";
  EXPECT_EQ(y, cursorCentre[1]);
  headlessMoveCursor(-20, -10);
  runFrames(1);
  EXPECT_FLOAT_EQ(camera.yaw, yaw + 20 * 0.005f);
  EXPECT_FLOAT_EQ(camera.pitch, pitch + 10 * 0.005f);
}

INSTANTIATE_TEST_SUITE_P(Cases, Resume, ::testing::ValuesIn(resumeCases));

TEST(HoldPointRule, ASmallWindowHoldsAtItsMiddle) {
  const int32_t client[4] = {10, 20, 130, 520};
  int32_t centre[2] = {75, 260};
  keepHoldPointInside(centre, client);
  EXPECT_EQ(centre[0], 70);
  EXPECT_EQ(centre[1], 270);
}

// Runs the binary headless over the default data with extra arguments
// (with time to spare on a busy machine).
ProcessResult play(std::vector<std::string> args) {
  std::vector<std::string> all = {VELKARRA_BINARY, "--headless", "--data", defaultDataDir()};
  all.insert(all.end(), args.begin(), args.end());
  return runProcess(all, "", {"SDL_AUDIODRIVER=dummy"}, 240000);
}

TEST_F(Input, ARecordedSessionReplaysToTheSameTrace) {
  const std::string dir = makeTempDir("record");
  const std::string script =
      "2 move -20 -15\n3 down lbutton\n10 move 12 3\n12 up lbutton\n14 tap rbutton\n"
      "16 move 20 -10\n20 char p\n22 move 40 0\n25 char p\n28 down g\n28 char x\n29 up g\n"
      "30 down w\n32 up w\n34 focus out\n35 move 300 300\n37 focus in\n38 move -7 2\n"
      "45 down esc\n";
  writeFile(dir + "/input.txt", script);
  // A session driven by a script, ended by Esc; then one of the autoplayer.
  ProcessResult recorded = play({"--seed", "9", "--input", dir + "/input.txt", "--record",
                                 dir + "/a.rec", "--trace", dir + "/a.jsonl"});
  EXPECT_EQ(recorded.status, 1) << recorded.err;
  ProcessResult auto1 = play({"--seed", "4", "--autoplay", "--frames", "60", "--record",
                              dir + "/b.rec", "--trace", dir + "/b.jsonl"});
  EXPECT_EQ(auto1.status, 0) << auto1.err;
  for (const char* name : {"a", "b"}) {
    const std::string rec = dir + "/" + name;
    ProcessResult replayed = play({"--input", rec + ".rec", "--trace", rec + ".again.jsonl"});
    EXPECT_EQ(replayed.status, std::string(name) == "a" ? 1 : 0) << replayed.err;
    EXPECT_EQ(readFile(rec + ".jsonl"), readFile(rec + ".again.jsonl")) << name;
  }
  EXPECT_EQ(readFile(dir + "/a.rec").rfind("# velkarra3d input 5\nseed 9\nstart 0\ncentre", 0), 0u);
  removeTree(dir);
}

int lineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// SIGTERM ends a recorded run between two frames: status 1, the recording
// closed with its end line, and its replay gives the run's trace. The same
// recording cut in the middle of a frame line, as a crash leaves it,
// replays its whole frames and says so once.
TEST_F(Input, ARecordingStoppedBySignalOrCutShortReplays) {
  const std::string dir = makeTempDir("signal");
  const std::string rec = dir + "/s.rec", trace = dir + "/s.jsonl";
  std::vector<std::string> args = {VELKARRA_BINARY,
                                   "--headless",
                                   "--data",
                                   defaultDataDir(),
                                   "--seed",
                                   "5",
                                   "--autoplay",
                                   "--draw-every",
                                   "50",
                                   "--record",
                                   rec,
                                   "--trace",
                                   trace};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), nullptr), 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (lineCount(readFile(trace)) < 40 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string recorded = readFile(rec), run = readFile(trace);
  ASSERT_GE(lineCount(run), 40);
  ASSERT_EQ(recorded.substr(recorded.size() - 4), "end\n");
  ProcessResult replayed = play({"--input", rec, "--trace", dir + "/again.jsonl"});
  EXPECT_EQ(replayed.status, 0) << replayed.err;
  EXPECT_TRUE(readFile(dir + "/again.jsonl") == run) << "the replay's trace differs";

  // Cut: no end line, and the last frame line only half there.
  const std::string whole = recorded.substr(0, recorded.size() - 4);
  const size_t lastLine = whole.rfind('\n', whole.size() - 2) + 1;
  writeFile(dir + "/cut.rec", whole.substr(0, lastLine + (whole.size() - lastLine) / 2));
  const int frames = lineCount(run) - 2;  // the run's frames, less the one cut in half
  ProcessResult cut = play({"--input", dir + "/cut.rec", "--trace", dir + "/cut.jsonl"});
  EXPECT_EQ(cut.status, 0) << cut.err;
  EXPECT_NE(cut.err.find("cut short (no 'end' line): replaying its " + std::to_string(frames) +
                         " whole frames\n"),
            std::string::npos)
      << cut.err;
  const std::string cutTrace = readFile(dir + "/cut.jsonl");
  EXPECT_EQ(lineCount(cutTrace), frames + 1);
  EXPECT_TRUE(run.compare(0, cutTrace.size(), cutTrace) == 0) << "not the run's first frames";
  removeTree(dir);
}

struct BadRecording {
  const char* text;
  const char* message;
};

void PrintTo(const BadRecording& c, std::ostream* out) { *out << c.message; }

class BadRecordings : public ::testing::TestWithParam<BadRecording> {};

TEST_P(BadRecordings, AreRefusedWithOneLine) {
  const BadRecording c = GetParam();
  char err[256];
  const std::string text(c.text, strlen(c.text) + (strstr(c.text, "NUL") ? 1 : 0));
  EXPECT_FALSE(replayParse(text.data(), text.size(), "s.rec", worldOptionRules, err, sizeof err));
  EXPECT_NE(std::string(err).find(c.message), std::string::npos) << err;
  EXPECT_EQ(std::string(err).find('\n'), std::string::npos);
}

const char head[] =
    "# velkarra3d input 2\nseed 1\nstart 0\ncentre 500 350\nclient 100 50 900 650\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, BadRecordings,
    ::testing::Values(
        BadRecording{"1 down a\n", "s.rec:1: not a recorded velkarra3d session"},
        BadRecording{"# velkarra3d input 6\nseed 1\n", "s.rec:1: recorded by a newer velkarra3d"},
        // Version 5 names its data set right after the centre.
        BadRecording{"# velkarra3d input 5\nseed 1\nstart 0\ncentre 1 2\nclient 1 2 3 4\n",
                     "s.rec:5: expected 'data HASH' (the data set's hash in 16 hex digits)"},
        BadRecording{"# velkarra3d input 5\nseed 1\nstart 0\ncentre 1 2\ndata 12ab\n",
                     "s.rec:5: expected 'data HASH'"},
        BadRecording{"# velkarra3d input 5\nseed 1\nstart 0\ncentre 1 2\ndata 0123456789ABCDEF\n",
                     "s.rec:5: expected 'data HASH'"},
        // Version 2 knew twelve keys and no option lines; version 3 takes
        // its options before the first client or frame line.
        BadRecording{"# velkarra3d input 2\nseed 1\nstart 0\ncentre 500 350\nclient 1 2 3 4\n"
                     "1 16 1 500 350 1000 0\n",
                     "(HELD takes a hex number from 0 to fff, not '1000')"},
        BadRecording{"# velkarra3d input 2\nseed 1\nstart 0\ncentre 1 2\noption invert-y 1\n",
                     "s.rec:5: unknown line 'option'"},
        BadRecording{"# velkarra3d input 3\nseed 1\nstart 0\ncentre 1 2\nclient 1 2 3 4\n"
                     "option invert-y 1\n",
                     "s.rec:6: unknown line 'option'"},
        BadRecording{"# velkarra3d input 3\nseed 1\nstart 0\ncentre 1 2\n"
                     "option mouse-sensitivity 11\n",
                     "s.rec:5: option mouse-sensitivity takes a number from 0.1 to 10, not '11'"},
        BadRecording{"# velkarra3d input 3\nseed 1\nstart 0\ncentre 1 2\noption invert-y 2\n",
                     "s.rec:5: option invert-y takes "},
        // Version 4 takes option lines between frames too, each a world option.
        BadRecording{"# velkarra3d input 4\nseed 1\nstart 0\ncentre 1 2\nclient 1 2 3 4\n"
                     "1 16 1 500 350 0 0\noption volume 5\n",
                     "s.rec:7: option 'volume' is not a world option (mouse-sensitivity, "
                     "invert-y, pause-on-focus-loss)"},
        BadRecording{"# velkarra3d input 4\nseed 1\nstart 0\ncentre 1 2\noption invert-y\n",
                     "s.rec:5: expected 'option NAME VALUE'"},
        BadRecording{"# velkarra3d input 2\nseed 1\n", "s.rec: ends early (the header"},
        BadRecording{"# velkarra3d input 2\nseed 1\nsta", "s.rec: ends early (the header"},
        BadRecording{"# velkarra3d input 2\nseed 1\nstart 0\ncentre 500 350\nclient 1 2 3 4\n"
                     "2 16 1 500 350 0 0\nend\n",
                     "s.rec:6: expected frame 1, not '2'"},
        BadRecording{"# velkarra3d input 2\nseed 1\nstart 0\ncentre 500 350\n1 16 1 5 5 0 0\n",
                     "before any 'client' line"},
        BadRecording{"# velkarra3d input 2\nseed 1\nstart 0\ncentre 500 350\nclient 1 2 3 4\n"
                     "1 16 1 500 350 fffff 0\n",
                     "expected TICK ACTIVE X Y HELD PRESSED"},
        BadRecording{"# velkarra3d input 2\nseed 1\nstart 0\ncentre 500 350\nclient 1 2 3 4\n"
                     "1 16 1 500 350 0 0 7g\n",
                     "bad character '7g'"},
        BadRecording{"# velkarra3d input 2\nseed 99999999999\n",
                     "s.rec:2: expected 'seed S' (S takes a whole number from 0 to 4294967295, not "
                     "'99999999999')"},
        BadRecording{"# velkarra3d input 2\nseed 1\nstart 0\ncentre 1 2\nend\nmore\n",
                     "s.rec:6: text after the 'end' line"},
        BadRecording{"# velkarra3d input 2\nseed 1 NUL", "not a text line"}));

TEST_F(Input, BadRecordingsEndWithStatusTwo) {
  const std::string dir = makeTempDir("badrec");
  for (const char* text :
       {"\x89PNG\r\n\x1a\n", "# velkarra3d input 7\n", "# velkarra3d input 2\n"}) {
    writeFile(dir + "/bad.rec", text);
    ProcessResult r = play({"--input", dir + "/bad.rec"});
    EXPECT_EQ(r.status, 2) << text;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  removeTree(dir);
}

class Autoplay : public GameTest, public ::testing::WithParamInterface<uint32_t> {};

// The autoplayer clears level 1 of the default data set within a minute of
// game time.
TEST_P(Autoplay, ClearsTheFirstLevel) {
  start({}, GetParam(), 1000, 33);
  setInputSource(inputFromAutoplay);
  for (int frame = 0; frame < 1800 && game.level == 1; frame++) runFrames(1);
  EXPECT_EQ(game.level, 2);
  EXPECT_EQ(game.gameOver, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Autoplay, ::testing::Values(1u, 2u, 3u));

}  // namespace
