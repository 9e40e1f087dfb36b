// A recording watched in a real window on a private Xvfb: the wall time of
// the whole watch at 1x and at 4x against the recorded time, the trace
// against the headless replay's, and the watcher's Space, Home and Esc sent
// through xdotool.
// gtest comes before Xlib, whose macros (None, Bool, Status) would clash.
// clang-format off
#include "game_support.h"
#include "support/x11_support.h"
// clang-format on
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>

#include "support/json_lines.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> out;
  for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
    out.push_back(text.substr(at, end - at));
  return out;
}

int frameOf(const std::string& line) {
  Json f;
  return parseJsonLine(line, &f) ? f["frame"].get<int>() : -1;
}

class WatchedInAWindow : public GameTest {
 protected:
  static void SetUpTestSuite() {
    // 600 frames of the autoplayer at 16 ms: 9.6 s of recorded time.
    dir_ = makeTempDir("watchwin");
    const ProcessResult r =
        runGame({"--headless", "--data", defaultDataDir(), "--seed", "6", "--autoplay", "--frames",
                 "600", "--draw-every", "1000", "--record", dir_ + "/run.v3drec.gz", "--trace",
                 dir_ + "/run.jsonl"});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  static void TearDownTestSuite() { removeTree(dir_); }
  void SetUp() override {
    GameTest::SetUp();
    x_ = XOpenDisplay(nullptr);
    ASSERT_NE(x_, nullptr) << "these tests run under tests/with-xvfb.sh";
    unlink(trace().c_str());
  }
  void TearDown() override {
    stopProcess(&game_, SIGKILL);
    if (x_) XCloseDisplay(x_);
    GameTest::TearDown();
  }
  std::string trace() const { return dir_ + "/watched.jsonl"; }
  std::vector<std::string> watched() const { return linesOf(readFile(trace())); }
  int lastFrame() const {
    const std::vector<std::string> lines = watched();
    return lines.empty() ? -1 : frameOf(lines.back());
  }

  // Starts watching; true once the first line of the trace is written.
  bool watch(const std::string& speed) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    game_ = spawnProcess({VELKARRA_BINARY, "--data", defaultDataDir(), "--watch",
                          dir_ + "/run.v3drec.gz", "--speed", speed, "--trace", trace()});
    return game_ > 0 && waitFor([&] { return !watched().empty(); });
  }
  // The exit status, or -1 when the game has not ended in `ms`.
  int exitStatus(int ms) {
    int status = -1;
    if (!waitFor([&] { return waitpid(game_, &status, WNOHANG) == game_; }, ms)) return -1;
    game_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  void key(const char* name) {
    Window window = 0;
    ASSERT_TRUE(waitFor([&] { return (window = findWindow(x_, "Velkarra3D")) != 0; }));
    ASSERT_TRUE(waitFor([&] {
      Window focus;
      int revert;
      XGetInputFocus(x_, &focus, &revert);
      return focus == window;
    })) << "the window did not get the focus";
    ASSERT_EQ(runProcess({"/usr/bin/xdotool", "key", name}).status, 0) << name;
  }

  static inline std::string dir_;
  Display* x_ = nullptr;
  pid_t game_ = -1;
};

// The whole watch, from its first trace line to its end, takes the recorded
// time at 1x (within 10%) and a quarter of it at 4x; both give the trace of
// the headless replay.
TEST_F(WatchedInAWindow, TakesItsRecordedTimeAtItsSpeedAndIsTheReplaysWorld) {
  const std::string replay = dir_ + "/replay.jsonl";
  ASSERT_EQ(runGame({"--headless", "--data", defaultDataDir(), "--input", dir_ + "/run.v3drec.gz",
                     "--trace", replay})
                .status,
            0);
  ASSERT_TRUE(readFile(replay) == readFile(dir_ + "/run.jsonl"));
  for (const auto& [speed, seconds] : {std::pair{"1", 9.6}, {"4", 2.4}}) {
    ASSERT_TRUE(watch(speed));
    const Clock::time_point started = Clock::now();
    ASSERT_EQ(exitStatus(60000), 0) << speed << "x";
    const double took = std::chrono::duration<double>(Clock::now() - started).count();
    EXPECT_NEAR(took, seconds, seconds * (speed[0] == '1' ? 0.1 : 0.2)) << speed << "x";
    EXPECT_TRUE(readFile(trace()) == readFile(replay)) << speed << "x: not the replay's trace";
  }
}

// Space stops the frames and starts them again, Home starts from the first
// frame (the trace repeats its first lines), Esc ends with status 0.
TEST_F(WatchedInAWindow, SpacePausesHomeStartsAgainAndEscEnds) {
  ASSERT_TRUE(watch("1"));
  ASSERT_TRUE(waitFor([&] { return lastFrame() >= 30; }));
  key("space");
  // Paused: no frame comes for a second once the frames in hand have run
  // (the trace still for 200 ms).
  int held = lastFrame();
  Clock::time_point still = Clock::now();
  ASSERT_TRUE(waitFor([&] {
    if (lastFrame() != held) held = lastFrame(), still = Clock::now();
    return Clock::now() - still > std::chrono::milliseconds(200);
  }));
  const Clock::time_point paused = Clock::now();
  ASSERT_TRUE(waitFor([&] { return Clock::now() - paused > std::chrono::seconds(1); }));
  EXPECT_EQ(lastFrame(), held) << "frames ran while paused";
  key("space");
  ASSERT_TRUE(waitFor([&] { return lastFrame() > held + 10; })) << "Space did not resume";

  key("Home");
  size_t home = 0;
  ASSERT_TRUE(waitFor([&] {
    const std::vector<std::string> lines = watched();
    for (home = 1; home < lines.size() && frameOf(lines[home]) != 0; home++) {
    }
    return home + 10 < lines.size();
  })) << "Home did not start again";
  key("Escape");
  EXPECT_EQ(exitStatus(20000), 0);
  const std::vector<std::string> lines = watched(), run = linesOf(readFile(dir_ + "/run.jsonl"));
  EXPECT_GT(static_cast<int>(home), held + 10);
  ASSERT_LT(lines.size(), run.size() + home);
  for (size_t i = 0; i < lines.size(); i++)
    EXPECT_TRUE(lines[i] == run[i < home ? i : i - home]) << "line " << i;
}

}  // namespace
