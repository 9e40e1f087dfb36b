// The real velkarra3d played through X input (xdotool) on a private Xvfb,
// with and without a window manager (openbox, started by the test), and
// checked through its trace, never by timing: each step polls the trace for
// the frame where its effect shows. Mouse look, firing, the missile and its
// steering, pause, held keys, resuming with the aim kept, the pointer held
// inside the window, the focus going to another window and coming back (by a
// click, with no window manager too), the minimised window, closing it, and
// the game-over keys.
// gtest comes before Xlib, whose macros (None, Bool, Status) would clash.
// clang-format off
#include "game_support.h"
#include "support/x11_support.h"
#include <X11/Xutil.h>
// clang-format on
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>
#include <thread>

#include "support/json_lines.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using std::this_thread::sleep_for;

struct Rect {
  int left, top, right, bottom;  // right and bottom one past the last pixel
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Everything the tests need of a played game: its process, its window seen
// from the tests' own X connection, its trace, and the input sent to it.
class PlayedGameBase : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    x_ = XOpenDisplay(nullptr);
    ASSERT_NE(x_, nullptr) << "these tests run under tests/with-xvfb.sh";
    root_ = DefaultRootWindow(x_);
  }
  void TearDown() override {
    stopProcess(&game_, SIGKILL);
    stopProcess(&openbox_, SIGTERM);
    if (x_) XCloseDisplay(x_);
    GameTest::TearDown();
  }

  void startWindowManager() {
    openbox_ = startOpenbox(x_);
    ASSERT_GT(openbox_, 0);
  }

  // Starts the game on a data set with the given settings, and waits until
  // its window has the focus and holds the pointer at rest inside it.
  // With `record`, the session goes to session.txt in the data folder.
  void play(const std::map<int, std::string>& changes = {}, bool record = false) {
    dir_ = dataDir(changes);
    trace_ = dir_ + "/trace.jsonl";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<std::string> args = {VELKARRA_BINARY, "--data", dir_, "--seed", "7",
                                     "--trace",       trace_};
    if (record) args.insert(args.end(), {"--record", dir_ + "/session.txt"});
    game_ = spawnProcess(args);
    ASSERT_GT(game_, 0);
    ASSERT_TRUE(waitFor([&] { return (window_ = findWindow(x_, "Velkarra3D")) != 0; }))
        << "no window titled Velkarra3D";
    ASSERT_TRUE(waitFor([&] { return focused(); })) << "the game window did not get the focus";
    frame([](const Json&) { return true; });
    ASSERT_TRUE(waitFor([&] { return client().contains(pointer().first, pointer().second); }));
  }

  // The first frame not seen before for which `wanted` holds. Fails the test
  // (and returns an empty object) when the game ends or the time runs out.
  Json frame(const std::function<bool(const Json&)>& wanted, int seconds = 20) {
    const auto deadline = steady_clock::now() + std::chrono::seconds(seconds);
    while (steady_clock::now() < deadline) {
      while (readLine()) {
        if (wanted(last_)) return last_;
      }
      int status = 0;
      if (game_ > 0 && waitpid(game_, &status, WNOHANG) == game_) {
        game_ = -1;
        while (readLine())
          if (wanted(last_)) return last_;
        ADD_FAILURE() << "the game ended (status " << WEXITSTATUS(status) << ") before frame "
                      << lastFrame() + 1 << " showed what was awaited";
        return Json();
      }
      sleep_for(milliseconds(10));
    }
    ADD_FAILURE() << "nothing awaited up to frame " << lastFrame();
    return Json();
  }

  // Sends a pointer motion and returns the first frame that shows its
  // effect. The game reads the pointer early in a frame and puts it back at
  // its hold point later; a motion that lands in between must still reach
  // it, so no motion is ever sent twice.
  Json moveUntil(const std::vector<std::string>& motion,
                 const std::function<bool(const Json&)>& shows) {
    xdotool(motion);
    return frame(shows);
  }

  // Waits until `count` more frames have run.
  void skipFrames(int count) {
    frame([&](const Json&) { return --count < 0; });
  }

  // Reads past every frame written so far, then waits for `count` more: the
  // frames that follow were run after whatever the test saw last.
  void skipWrittenFrames(int count) {
    while (readLine()) {
    }
    skipFrames(count);
  }

  // The first frame of a run of `count` frames in which the aim stands still.
  Json settled(int count = 8) {
    int same = 0;
    float yaw = NAN, pitch = NAN;
    return frame([&](const Json& f) {
      const float y = static_cast<float>(f["camera"]["yaw"].get<double>());
      const float p = static_cast<float>(f["camera"]["pitch"].get<double>());
      same = y == yaw && p == pitch ? same + 1 : 0;
      yaw = y, pitch = p;
      return same + 1 >= count;
    });
  }

  int exitStatus(int seconds = 20) {
    int status = -1;
    const bool ended =
        waitFor([&] { return waitpid(game_, &status, WNOHANG) == game_; }, seconds * 1000);
    if (!ended) return -1;
    game_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  void xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/bin/xdotool");
    const ProcessResult run = runProcess(args, "", {}, 20000);
    ASSERT_EQ(run.status, 0) << args[1] << ": " << run.err;
  }

  std::pair<int, int> pointer() {
    Window rootReturn, child;
    int x = 0, y = 0, windowX, windowY;
    unsigned mask;
    XQueryPointer(x_, root_, &rootReturn, &child, &x, &y, &windowX, &windowY, &mask);
    return {x, y};
  }

  // Warps the pointer from the tests' own connection; true when it got
  // there, false when a grab held it back.
  bool warpTo(int x, int y) {
    XWarpPointer(x_, 0, root_, 0, 0, 0, 0, x, y);
    XSync(x_, False);
    return pointer() == std::make_pair(x, y);
  }

  Rect client() {
    XWindowAttributes a;
    if (!XGetWindowAttributes(x_, window_, &a)) return {0, 0, 0, 0};
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(x_, window_, root_, 0, 0, &x, &y, &child);
    return {x, y, x + a.width, y + a.height};
  }

  bool focused() {
    Window focus;
    int revert;
    XGetInputFocus(x_, &focus, &revert);
    return focus == window_;
  }

  // Maps a second, focusable window of the tests' own, beside the game's.
  void openOtherWindow() {
    other_ = XCreateSimpleWindow(x_, root_, 910, 640, 100, 100, 0, 0, 0xffffff);
    XStoreName(x_, other_, "other");
    XWMHints hints = {};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(x_, other_, &hints);
    XMapWindow(x_, other_);
    XSync(x_, False);
    ASSERT_TRUE(waitFor([&] {
      XWindowAttributes a;
      return XGetWindowAttributes(x_, other_, &a) && a.map_state == IsViewable;
    }));
  }

  Display* x_ = nullptr;
  std::string dir_, trace_;
  Window root_ = 0;
  Window window_ = 0;
  Window other_ = 0;
  pid_t game_ = -1, openbox_ = -1;

 private:
  // Reads the next whole line of the trace into last_; false when there is
  // none yet.
  bool readLine() {
    if (!traceFile_) traceFile_ = fopen(trace_.c_str(), "r");
    if (!traceFile_) return false;
    char chunk[65536];
    while (pending_.find('\n') == std::string::npos) {
      clearerr(traceFile_);
      const size_t got = fread(chunk, 1, sizeof chunk, traceFile_);
      if (got == 0) return false;
      pending_.append(chunk, got);
    }
    const size_t end = pending_.find('\n');
    Json line;
    EXPECT_TRUE(parseJsonLine(pending_.substr(0, end), &line)) << "trace line is not JSON";
    pending_.erase(0, end + 1);
    last_ = line;
    return true;
  }

  // The number of the last frame read, or 0 before the first.
  double lastFrame() const { return last_.contains("frame") ? last_["frame"].get<double>() : 0; }

  FILE* traceFile_ = nullptr;
  std::string pending_;
  Json last_;

 public:
  ~PlayedGameBase() override {
    if (traceFile_) fclose(traceFile_);
  }
};

// No bombs, no troopers and a long-lived missile, so nothing but the player
// changes the game.
const std::map<int, std::string> kQuietSky = {{setting("bombDropMin"), "1000"},
                                              {setting("bombDropMax"), "1000"},
                                              {setting("trooperDropMin"), "1000"},
                                              {setting("trooperDropMax"), "1000"},
                                              {setting("missileLifetime"), "60"}};

float yawOf(const Json& f) { return static_cast<float>(f["camera"]["yaw"].get<double>()); }
float pitchOf(const Json& f) { return static_cast<float>(f["camera"]["pitch"].get<double>()); }

class PlayedGame : public PlayedGameBase, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    PlayedGameBase::SetUp();
    if (GetParam()) startWindowManager();
  }
};

// The session is recorded as it is played, and its replay on the headless
// backend gives the trace of the real run byte for byte.
TEST_P(PlayedGame, MouseLooksFiresLaunchesSteersPausesEscEndsAndReplays) {
  play(kQuietSky, true);
  // 40 pixels left and 20 up turn the aim by 0.005 a pixel.
  const Json still = settled();
  moveUntil({"mousemove_relative", "--", "-40", "-20"},
            [&](const Json& f) { return yawOf(f) != yawOf(still); });
  const Json moved = settled();
  EXPECT_NEAR(yawOf(moved) - yawOf(still), 0.2, 1e-4);
  EXPECT_NEAR(pitchOf(moved) - pitchOf(still), 0.1, 1e-4);

  // The left button fires a shell along the aim.
  xdotool({"click", "1"});
  const Json fired = frame([](const Json& f) { return f["shells"].size() > 0; });
  EXPECT_FLOAT_EQ(static_cast<float>(fired["shells"][0]["yaw"].get<double>()), yawOf(moved));

  // The right button launches the missile; moving the mouse right turns it
  // right and leaves the aim alone.
  xdotool({"click", "3"});
  const Json launched =
      frame([](const Json& f) { return f["missile"]["active"].get<double>() == 1; });
  EXPECT_NEAR(launched["missile"]["yaw"].get<double>(), yawOf(moved), 1e-5);
  const Json steered = moveUntil({"mousemove_relative", "30", "0"}, [&](const Json& f) {
    return f["missile"]["active"].get<double>() == 1 &&
           f["missile"]["yaw"].get<double>() < launched["missile"]["yaw"].get<double>() - 0.1;
  });
  EXPECT_EQ(yawOf(steered), yawOf(moved));

  // p pauses and resumes; Esc in play ends the game with status 1.
  xdotool({"key", "p"});
  frame([](const Json& f) { return f["paused"].get<double>() == 1; });
  xdotool({"key", "p"});
  frame([](const Json& f) { return f["paused"].get<double>() == 0; });
  xdotool({"key", "Escape"});
  EXPECT_EQ(exitStatus(), 1);

  const std::string replayed = dir_ + "/replayed.jsonl";
  const ProcessResult replay = runGame(
      {"--headless", "--data", dir_, "--input", dir_ + "/session.txt", "--trace", replayed});
  EXPECT_EQ(replay.status, 1) << replay.err;
  const std::string real = readFile(trace_);
  EXPECT_GT(std::count(real.begin(), real.end(), '\n'), 20);
  EXPECT_TRUE(real == readFile(replayed)) << "the replay's trace differs from the real run's";
}

TEST_P(PlayedGame, PointerStaysInsideWhilePlayedAndGoesFreeWhenPaused) {
  play(kQuietSky);
  const Rect inside = client();
  const Json still = settled();
  const std::pair<int, int> centre = pointer();
  // A flick far to the right stops at the window's edge, and the aim turns
  // by the distance to that edge only.
  moveUntil({"mousemove", "1020", std::to_string(centre.second)}, [&](const Json& f) {
    EXPECT_TRUE(inside.contains(pointer().first, pointer().second));
    return yawOf(f) != yawOf(still);
  });
  const Json turned = settled();
  EXPECT_NEAR(yawOf(turned) - yawOf(still), (centre.first - (inside.right - 1)) * 0.005, 1e-4);
  EXPECT_FALSE(warpTo(1010, 740)) << "the pointer left the window while played";

  // Paused, the game lets the pointer go; resumed, it takes it back.
  xdotool({"key", "p"});
  frame([](const Json& f) { return f["paused"].get<double>() == 1; });
  EXPECT_TRUE(waitFor([&] { return warpTo(1010, 740); })) << "the pointer stays held while paused";
  xdotool({"key", "p"});
  frame([](const Json& f) { return f["paused"].get<double>() == 0; });
  EXPECT_TRUE(waitFor([&] { return inside.contains(pointer().first, pointer().second); }));
  EXPECT_FALSE(warpTo(1010, 740));
}

TEST_P(PlayedGame, FocusTakenByAnotherWindowAndGivenBackLeavesTheAimWorking) {
  play(kQuietSky);
  openOtherWindow();
  if (GetParam())
    xdotool({"windowactivate", "--sync", std::to_string(other_)});
  else
    xdotool({"windowfocus", "--sync", std::to_string(other_)});
  ASSERT_TRUE(waitFor([&] { return !focused(); }));
  // Inactive, the game lets the pointer go over the other window.
  EXPECT_TRUE(waitFor([&] { return warpTo(960, 690); })) << "the pointer stays held";
  // Frames run while the pointer rests there.
  frame([](const Json&) { return true; });
  skipFrames(10);

  // A click brings the game back: on the title bar under a window manager,
  // in the picture without one (the game takes the focus itself).
  const Rect inside = client();
  const int clickY = GetParam() ? inside.top - 8 : inside.top + 100;
  xdotool({"mousemove", std::to_string(inside.left + 300), std::to_string(clickY)});
  skipFrames(10);
  xdotool({"click", "1"});
  ASSERT_TRUE(waitFor([&] { return focused(); }));
  // The game holds the pointer inside its picture again, the aim comes to
  // rest, and mouse look turns it as before.
  EXPECT_TRUE(waitFor([&] { return client().contains(pointer().first, pointer().second); }));
  // The frames written while the window was inactive show a still aim too:
  // the rest is looked for after the frame that took the pointer back.
  skipWrittenFrames(2);
  const Json still = settled();
  moveUntil({"mousemove_relative", "--", "-40", "0"},
            [&](const Json& f) { return yawOf(f) != yawOf(still); });
  const Json turned = settled();
  EXPECT_NEAR(yawOf(turned) - yawOf(still), 0.2, 1e-4);
}

// Held until the keyboard has repeated it 8 times, p pauses once, and G
// frees the camera once. Paused, the pointer goes far off; resumed, the aim
// stays where it was, and mouse look turns it as before.
TEST_P(PlayedGame, HeldKeysToggleOnceAndResumingKeepsTheAim) {
  play(kQuietSky);
  const Json still = settled();
  double paused = 0, lock = still["cameraLock"].get<double>();
  int pauses = 0, locks = 0;
  auto count = [&](const Json& f) {
    pauses += f["paused"].get<double>() != paused;
    locks += f["cameraLock"].get<double>() != lock;
    paused = f["paused"].get<double>();
    lock = f["cameraLock"].get<double>();
  };
  for (const char* key : {"p", "g"}) {
    EXPECT_TRUE(holdUntilRepeated(x_, window_, key, 8)) << key << " was not repeated";
    xdotool({"keyup", key});
  }
  // Every frame from the one at rest to 20 after the release.
  const double up = lastJsonLine(trace_)["frame"].get<double>();
  frame([&](const Json& f) {
    count(f);
    return f["frame"].get<double>() >= up + 20;
  });
  EXPECT_EQ(pauses, 1);
  EXPECT_EQ(locks, 1);
  ASSERT_EQ(paused, 1);

  EXPECT_TRUE(waitFor([&] { return warpTo(1010, 740); })) << "the pointer stays held while paused";
  xdotool({"key", "p"});
  const Json resumed = frame([](const Json& f) { return f["paused"].get<double>() == 0; });
  EXPECT_EQ(yawOf(resumed), yawOf(still));
  EXPECT_EQ(pitchOf(resumed), pitchOf(still));
  const Json rest = settled();
  EXPECT_EQ(yawOf(rest), yawOf(still));
  EXPECT_EQ(pitchOf(rest), pitchOf(still));
  moveUntil({"mousemove_relative", "--", "-40", "0"},
            [&](const Json& f) { return yawOf(f) != yawOf(rest); });
  EXPECT_NEAR(yawOf(settled()) - yawOf(rest), 0.2, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, PlayedGame, ::testing::Values(false, true),
                         windowManagerName);

// With no lives the game is over at once: Esc there is not read, not even
// later; N replays the level (over again at once), and Y ends with status 1.
TEST_F(PlayedGameBase, GameOverIgnoresEscTakesNAndEndsOnY) {
  play({{setting("livesPerLevel"), "0"}});
  const Json over = frame([](const Json& f) { return f["gameOver"].get<double>() == 1; });
  xdotool({"key", "Escape"});
  frame(
      [&](const Json& f) { return f["frame"].get<double>() >= over["frame"].get<double>() + 20; });
  xdotool({"key", "n"});
  const Json replayed = frame([](const Json& f) { return f["gameOver"].get<double>() == 0; });
  frame([&](const Json& f) {
    return f["frame"].get<double>() > replayed["frame"].get<double>() + 20 &&
           f["gameOver"].get<double>() == 1;
  });
  xdotool({"key", "y"});
  EXPECT_EQ(exitStatus(), 1);
}

// Without a window manager, when the client that had the focus closes, X
// leaves the focus on the root window: a click in the game takes it back,
// fires nothing, and play goes on.
TEST_F(PlayedGameBase, WithoutAWindowManagerAClickTakesTheFocusBack) {
  play(kQuietSky);
  openOtherWindow();
  xdotool({"windowfocus", "--sync", std::to_string(other_)});
  ASSERT_TRUE(waitFor([&] { return !focused(); }));
  XDestroyWindow(x_, other_);
  XSync(x_, False);
  skipWrittenFrames(10);
  EXPECT_FALSE(focused());
  const Rect inside = client();
  xdotool({"mousemove", std::to_string(inside.left + 200), std::to_string(inside.top + 150)});
  xdotool({"click", "1"});
  ASSERT_TRUE(waitFor([&] { return focused(); })) << "the click did not take the focus";
  skipWrittenFrames(2);
  const Json still = settled();
  EXPECT_EQ(still["shells"].size(), 0u) << "the click that took the focus fired";
  moveUntil({"mousemove_relative", "--", "-40", "0"},
            [&](const Json& f) { return yawOf(f) != yawOf(still); });
  EXPECT_NEAR(yawOf(settled()) - yawOf(still), 0.2, 1e-4);
}

// The game's CPU time in clock ticks (user and system, all threads).
long cpuTicks(pid_t pid) {
  const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t name = stat.rfind(')');
  if (name == std::string::npos) return -1;
  long value = 0, utime = 0;
  std::istringstream fields(stat.substr(name + 2));  // from field 3, the state
  std::string skip;
  for (int field = 3; field < 14; field++) fields >> skip;
  fields >> utime >> value;
  return utime + value;
}

// Minimised, the game draws nothing and runs at most 60 frames a second
// (its CPU time per frame falls to a fraction); closed with Alt+F4 it ends
// as on Esc: status 1, the recording closed, and its replay the same game.
TEST_F(PlayedGameBase, MinimisedItDrawsNothingAndClosedItEndsLikeEsc) {
  startWindowManager();
  play(kQuietSky, true);
  settled();
  struct Stretch {
    int frames;
    double ms;        // game time from the first frame to the last
    double cpuTicks;  // per frame
  };
  // 90 frames: at 60 a second, a second and a half (given a minute on a
  // loaded machine).
  auto measure = [&] {
    skipWrittenFrames(3);
    const long cpu = cpuTicks(game_);
    Stretch s = {0, 0, 0};
    double first = -1;
    frame(
        [&](const Json& f) {
          if (first < 0) first = f["now"].get<double>();
          s.ms = f["now"].get<double>() - first;
          return ++s.frames >= 90;
        },
        60);
    s.cpuTicks = static_cast<double>(cpuTicks(game_) - cpu) / s.frames;
    return s;
  };
  const Stretch shown = measure();
  xdotool({"windowminimize", "--sync", std::to_string(window_)});
  const Stretch hidden = measure();
  EXPECT_GE(hidden.ms, 16.0 * (hidden.frames - 1)) << hidden.frames << " frames";
  EXPECT_LT(hidden.cpuTicks, shown.cpuTicks / 4)
      << "CPU ticks a frame: " << shown.cpuTicks << " shown, " << hidden.cpuTicks << " hidden";

  xdotool({"windowactivate", "--sync", std::to_string(window_)});
  skipWrittenFrames(5);
  xdotool({"key", "alt+F4"});
  EXPECT_EQ(exitStatus(), 1);
  const std::string session = readFile(dir_ + "/session.txt");
  ASSERT_GE(session.size(), 4u);
  EXPECT_EQ(session.substr(session.size() - 4), "end\n");
  const std::string replayed = dir_ + "/replayed.jsonl";
  const ProcessResult replay = runGame(
      {"--headless", "--data", dir_, "--input", dir_ + "/session.txt", "--trace", replayed});
  EXPECT_EQ(replay.status, 0) << replay.err;
  EXPECT_TRUE(readFile(trace_) == readFile(replayed)) << "the replay's trace differs";
}

}  // namespace
