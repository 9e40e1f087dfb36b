// The player's keys, the screens and the score table in a real window on a
// private Xvfb, with and without a window manager: F11 and Alt+Enter fill
// the screen and give the window back, the game running on through both; a
// run that scores ends on Esc with its place in the table, said on stdout;
// the pause menu by the keyboard and the mouse; the forward key rebound on
// Controls; a run that ends with the name given on Options in the table.
// gtest comes before Xlib, whose macros (None, Bool, Status) would clash.
// clang-format off
#include "game_support.h"
#include "support/x11_support.h"
// clang-format on
#include <signal.h>
#include <sys/wait.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "support/json_lines.h"

namespace {

class KeysInAWindow : public GameTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    x_ = XOpenDisplay(nullptr);
    ASSERT_NE(x_, nullptr) << "these tests run under tests/with-xvfb.sh";
    home_ = makeTempDir("home");
    if (GetParam()) openbox_ = startOpenbox(x_);
  }
  void TearDown() override {
    stopProcess(&game_, SIGKILL);
    stopProcess(&openbox_, SIGTERM);
    if (x_) XCloseDisplay(x_);
    removeTree(home_);
    GameTest::TearDown();
  }

  // Starts the game with its player's folders in home_ and waits for its
  // window and its first frames.
  void play(const std::map<int, std::string>& changes) {
    dir_ = dataDir(changes);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home_ + "/data").c_str(), 1);
    game_ =
        spawnProcess({VELKARRA_BINARY, "--data", dir_, "--seed", "7", "--trace", dir_ + "/trace"},
                     dir_ + "/out");
    ASSERT_GT(game_, 0);
    ASSERT_TRUE(waitFor([&] { return (window_ = findWindow(x_, "Velkarra3D")) != 0; }));
    ASSERT_TRUE(waitFor([&] { return !last().is_null(); }));
  }

  void xdotool(std::vector<std::string> args) {
    // Keys at a typist's pace: freeglut takes a key pressed again at once
    // for the keyboard's own repeat, and drops it.
    if (args[0] == "key" || args[0] == "type") args.insert(args.begin() + 1, {"--delay", "120"});
    args.insert(args.begin(), "/usr/bin/xdotool");
    const ProcessResult run = runProcess(args, "", {}, 20000);
    ASSERT_EQ(run.status, 0) << args[1] << ": " << run.err;
  }

  std::pair<int, int> size() {
    XWindowAttributes a;
    if (!XGetWindowAttributes(x_, window_, &a)) return {0, 0};
    return {a.width, a.height};
  }

  // The last whole frame of the trace, or null.
  Json last() { return lastJsonLine(dir_ + "/trace"); }
  bool paused() {
    const Json f = last();
    return !f.is_null() && f["paused"].get<int>() == 1;
  }
  std::string config() { return readFile(home_ + "/config/velkarra3d/velkarra3d.conf"); }

  // Aims at the first plane of the trace, as a player would with the
  // mouse, and fires until it falls (planes that hang still); true once a
  // plane scored.
  bool scoreAPlane() {
    bool scored = false;
    for (int step = 0; step < 60 && !scored; step++) {
      const Json f = last();
      scored = f["points"].get<int>() > 0;
      if (scored || f["planes"].empty()) break;
      const Json& plane = f["planes"][0];
      const double x = plane["pos"][0].get<double>(), y = plane["pos"][1].get<double>(),
                   z = plane["pos"][2].get<double>();
      const double turn = remainder(atan2(y, x) - f["camera"]["yaw"].get<double>(), 2 * M_PI);
      const double lift = atan2(z, hypot(x, y)) - f["camera"]["pitch"].get<double>();
      const double seen = f["frame"].get<double>();
      if (fabs(turn) < 0.01 && fabs(lift) < 0.01) {
        // Fire, and follow the shell until it hits or flies off.
        xdotool({"click", "1"});
        bool flying = false;
        waitFor([&] {
          const Json g = last();
          flying = flying || !g["shells"].empty();
          return g["points"].get<int>() > 0 || (flying && g["shells"].empty()) ||
                 g["frame"].get<double>() > seen + 300;
        });
        continue;
      }
      // The mouse left turns the aim left, up lifts it: 0.005 radians a
      // pixel, in steps that stay inside the window. The next step aims
      // from the frame that turned.
      const long dx = lround(fmax(-150, fmin(150, -turn / 0.005)));
      const long dy = lround(fmax(-150, fmin(150, -lift / 0.005)));
      xdotool({"mousemove_relative", "--", std::to_string(dx), std::to_string(dy)});
      waitFor([&] {
        const Json g = last();
        return g["camera"] != f["camera"] || g["frame"].get<double>() > seen + 100;
      });
    }
    return scored;
  }

  // Planes that hang still over a small arena, to be shot at leisure.
  const std::map<int, std::string> stillPlanes() {
    return {{setting("planeSpeed"), "0"},        {setting("arenaHalfSize"), "8"},
            {setting("bombDropMin"), "1000"},    {setting("bombDropMax"), "1000"},
            {setting("trooperDropMin"), "1000"}, {setting("trooperDropMax"), "1000"}};
  }
  double frameNumber() {
    const Json f = last();
    return f.is_null() ? 0 : f["frame"].get<double>();
  }

  int exitStatus() {
    int status = -1;
    if (!waitFor([&] { return waitpid(game_, &status, WNOHANG) == game_; })) return -1;
    game_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  std::string runs() const { return home_ + "/data/velkarra3d/runs"; }

  Display* x_ = nullptr;
  Window window_ = 0;
  pid_t game_ = -1, openbox_ = -1;
  std::string home_, dir_;
};

TEST_P(KeysInAWindow, F11AndAltEnterFillTheScreenAndGiveTheWindowBack) {
  play({});
  ASSERT_EQ(size(), std::make_pair(800, 600));
  for (const char* key : {"F11", "alt+Return"}) {
    xdotool({"key", key});
    EXPECT_TRUE(waitFor([&] { return size() == std::make_pair(1024, 768); })) << key;
    const double filled = frameNumber();
    EXPECT_TRUE(waitFor([&] { return frameNumber() > filled + 10; })) << "frames stopped";
    xdotool({"key", key});
    EXPECT_TRUE(waitFor([&] { return size() == std::make_pair(800, 600); })) << key;
  }
  const double back = frameNumber();
  EXPECT_TRUE(waitFor([&] { return frameNumber() > back + 10; })) << "frames stopped";
  xdotool({"key", "Escape"});
  EXPECT_EQ(exitStatus(), 1);
  EXPECT_EQ(readFile(dir_ + "/out"), "");  // no points: nothing kept, nothing said
  EXPECT_EQ(runProcess({"/bin/ls", "-A", runs()}).out, "") << "its recording was left";
}

// Planes that hang still over a small arena: the test aims at one from the
// trace, as a player would with the mouse, and fires until it falls.
TEST_P(KeysInAWindow, ARunThatScoresTakesItsPlaceInTheTable) {
  // What a killed run left, which the next start removes.
  ASSERT_EQ(runProcess({"/bin/mkdir", "-p", runs()}).status, 0);
  writeFile(runs() + "/20260101-000000.v3drec.gz", "killed");
  play(stillPlanes());
  const bool scored = scoreAPlane();
  ASSERT_TRUE(scored) << "no plane was hit";
  xdotool({"key", "Escape"});
  EXPECT_EQ(exitStatus(), 1);
  EXPECT_EQ(readFile(dir_ + "/out"),
            "Your run takes place 1 in the high scores: 20 points, level 1\n");
  const std::string table = readFile(home_ + "/data/velkarra3d/scores");
  EXPECT_EQ(table.rfind("# velkarra3d scores 2\n20 1 ", 0), 0u) << table;

  // The run was recorded as it was played, and its entry names the file:
  // the only one left in the runs folder, compressed, and its replay gives
  // the entry's points and level.
  std::istringstream line(table.substr(table.find('\n') + 1));
  std::string points, level, date, time, recording;
  line >> points >> level >> date >> time >> recording;
  EXPECT_EQ(runProcess({"/bin/ls", "-A", runs()}).out, recording + "\n");
  EXPECT_EQ(recording.size(), strlen("YYYYMMDD-HHMMSS.v3drec.gz")) << recording;
  EXPECT_EQ(readFile(runs() + "/" + recording).substr(0, 2), "\x1f\x8b");
  const ProcessResult verified = runProcess({VELKARRA_BINARY, "--data", dir_, "--verify-scores"});
  EXPECT_EQ(verified.status, 0) << verified.out << verified.err;
  EXPECT_NE(verified.out.find("  20 points  level 1  verified\n"), std::string::npos)
      << verified.out;
}

// Where the pause menu's lines lie in an 800 x 600 window: their middles,
// 34 pixels apart from Resume's down (the layout is the window's shape's).
constexpr int menuX = 400, resumeY = 338;

TEST_P(KeysInAWindow, ThePauseMenuByTheKeyboardAndTheMouse) {
  play({});
  xdotool({"key", "p"});
  ASSERT_TRUE(waitFor([&] { return paused(); }));
  // Options, the volume five down; Esc back, and Esc on the menu does
  // nothing.
  xdotool(
      {"key", "Down", "Return", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Left"});
  EXPECT_TRUE(waitFor([&] { return config() == "volume = 95\n"; })) << config();
  xdotool({"key", "Escape", "Escape", "Escape"});
  const double waited = frameNumber();
  ASSERT_TRUE(waitFor([&] { return frameNumber() > waited + 20; }));
  EXPECT_TRUE(paused()) << "Esc on the pause menu does nothing";
  // The pointer over Options and a click opens it; the right button comes
  // back; a click on Resume resumes.
  xdotool({"mousemove", "--window", std::to_string(window_), std::to_string(menuX),
           std::to_string(resumeY + 34)});
  xdotool({"click", "1"});
  xdotool({"key", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Left"});
  EXPECT_TRUE(waitFor([&] { return config() == "volume = 90\n"; })) << config();
  xdotool({"click", "3"});
  xdotool({"mousemove", "--window", std::to_string(window_), std::to_string(menuX),
           std::to_string(resumeY)});
  xdotool({"click", "1"});
  EXPECT_TRUE(waitFor([&] { return !paused(); }));
  EXPECT_TRUE(last()["shells"].empty()) << "the click on Resume fired";
  xdotool({"key", "Escape"});
  EXPECT_EQ(exitStatus(), 1);
}

TEST_P(KeysInAWindow, AReboundForwardKeyMovesTheFreeCameraAndTheOldOneDoesNot) {
  play({});
  xdotool({"key", "g"});
  ASSERT_TRUE(waitFor([&] { return last()["cameraLock"].get<int>() == 0; }));
  // F1 pauses and shows Controls; Enter on the forward key, then i; F1
  // again resumes.
  xdotool({"key", "F1", "Down", "Down", "Return", "i"});
  EXPECT_TRUE(waitFor([&] { return config() == "key-forward = i\n"; })) << config();
  EXPECT_TRUE(paused());
  xdotool({"key", "F1"});
  ASSERT_TRUE(waitFor([&] { return !paused(); }));
  auto moved = [&](const char* key) {
    const Json before = last()["camera"]["pos"];
    EXPECT_TRUE(holdUntilRepeated(x_, window_, key, 4)) << key;
    xdotool({"keyup", key});
    const double up = frameNumber();
    waitFor([&] { return frameNumber() > up + 5; });
    return last()["camera"]["pos"] != before;
  };
  EXPECT_TRUE(moved("i")) << "the new key moves the free camera";
  EXPECT_FALSE(moved("w")) << "the old key no longer does";
  xdotool({"key", "Escape"});
  EXPECT_EQ(exitStatus(), 1);
}

// The name given on Options, a plane shot, Quit on the pause menu: the run
// is in the table with the name.
TEST_P(KeysInAWindow, ARunEndsWithTheNameGivenOnOptionsInTheTable) {
  play(stillPlanes());
  xdotool({"key", "p", "Down", "Return", "Up", "Up", "Return"});
  xdotool({"type", "Ann Lee"});
  xdotool({"key", "Return"});
  EXPECT_TRUE(waitFor([&] { return config() == "player-name = Ann Lee\n"; })) << config();
  xdotool({"key", "Escape", "Up", "Return"});  // back, Resume
  ASSERT_TRUE(waitFor([&] { return !paused(); }));
  ASSERT_TRUE(scoreAPlane()) << "no plane was hit";
  xdotool({"key", "p", "Up", "Return"});  // the menu's last line: Quit
  EXPECT_EQ(exitStatus(), 1);
  EXPECT_EQ(readFile(dir_ + "/out"),
            "Your run takes place 1 in the high scores: 20 points, level 1\n");
  const std::string table = readFile(home_ + "/data/velkarra3d/scores");
  EXPECT_EQ(table.rfind("# velkarra3d scores 2\n20 1 ", 0), 0u) << table;
  EXPECT_EQ(table.substr(table.size() - 19), ".v3drec.gz Ann Lee\n") << table;
}

INSTANTIATE_TEST_SUITE_P(WindowManager, KeysInAWindow, ::testing::Values(false, true),
                         windowManagerName);

}  // namespace
