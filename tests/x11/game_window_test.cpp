// The real velkarra3d in a real window on a private Xvfb: its title and
// size, windows that fit the screen placed wholly on it with and without a
// window manager, Esc ending it with status 1, and the start-up failures.
// gtest and FreeImage come before Xlib, whose macros (None, Bool, Status)
// would clash with them.
// clang-format off
#include "game_support.h"
#include "support/json_lines.h"
#include <FreeImage.h>
#include "support/x11_support.h"
#include <X11/Xatom.h>
// clang-format on
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

namespace {

class RealWindow : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr) << "these tests run under tests/with-xvfb.sh";
  }
  void TearDown() override {
    stopProcess(&pid_, SIGKILL);
    stopProcess(&openbox_, SIGTERM);
    if (display_) XCloseDisplay(display_);
    GameTest::TearDown();
  }
  void launch(const std::vector<std::string>& args) {
    std::vector<std::string> all = {VELKARRA_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    pid_ = spawnProcess(all);
    ASSERT_GT(pid_, 0);
  }
  Window waitForWindow() {
    Window window = 0;
    waitFor([&] { return (window = findWindow(display_, "Velkarra3D")) != 0; });
    return window;
  }
  // The exit status, or -1 when it does not end in time.
  int waitForExit(int seconds) {
    int status = 0;
    if (!waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, seconds * 1000))
      return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  // The number of the last frame in a trace being written, 0 before the
  // first.
  static double lastFrame(const std::string& trace) {
    const Json line = lastJsonLine(trace);
    return line.contains("frame") ? line["frame"].get<double>() : 0;
  }
  Display* display_ = nullptr;
  pid_t pid_ = -1, openbox_ = -1;
};

TEST_F(RealWindow, OpensTitledAt800By600AndEscEndsWithStatusOne) {
  std::string dir = dataDir();
  launch({"--data", dir, "--trace", dir + "/trace.jsonl"});
  Window window = waitForWindow();
  ASSERT_NE(window, 0u) << "no window titled Velkarra3D";
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display_, window, &attributes));
  EXPECT_EQ(attributes.width, 800);
  EXPECT_EQ(attributes.height, 600);
  // Let a few frames run, then press Esc with the pointer (which the game
  // holds at its window's centre) over the window.
  ASSERT_TRUE(waitFor([&] { return lastFrame(dir + "/trace.jsonl") >= 5; }));
  ProcessResult key = runProcess({"/usr/bin/xdotool", "key", "Escape"});
  EXPECT_EQ(key.status, 0) << key.err;
  EXPECT_EQ(waitForExit(20), 1);
}

TEST_F(RealWindow, ScreenshotOfTheWindowShowsTheScene) {
  std::string dir = dataDir();
  std::string shot = dir + "/window.png";
  ProcessResult r = runProcess(
      {VELKARRA_BINARY, "--data", dir, "--frames", "20", "--screenshot", shot, "--seed", "3"}, "",
      {"SDL_AUDIODRIVER=dummy"});
  ASSERT_EQ(r.status, 0) << r.err;
  FIBITMAP* image = FreeImage_Load(FIF_PNG, shot.c_str(), 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(image), 800u);
  RGBQUAD sky, ground;
  FreeImage_GetPixelColor(image, 400, 560, &sky);    // near the top
  FreeImage_GetPixelColor(image, 400, 40, &ground);  // near the bottom
  EXPECT_GT(sky.rgbBlue, sky.rgbRed);
  EXPECT_GT(ground.rgbRed, ground.rgbBlue) << "sand below the horizon";
  FreeImage_Unload(image);
}

TEST_F(RealWindow, OtherWindowSizesAndFullScreenShowTheWholeScene) {
  std::string dir = dataDir();
  std::string shot = dir + "/sized.png";
  struct Case {
    std::vector<std::string> args;
    unsigned width, height;  // the Xvfb screen of with-xvfb.sh is 1024 x 768
  } const cases[] = {{{"--window", "640x480"}, 640, 480},
                     {{"--window", "900x300"}, 900, 300},
                     {{"--fullscreen"}, 1024, 768}};
  for (const Case& c : cases) {
    std::vector<std::string> args = {VELKARRA_BINARY, "--data", dir, "--frames", "20",
                                     "--screenshot",  shot};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ProcessResult r = runProcess(args, "", {"SDL_AUDIODRIVER=dummy"});
    ASSERT_EQ(r.status, 0) << c.args[0] << ": " << r.err;
    FIBITMAP* image = FreeImage_Load(FIF_PNG, shot.c_str(), 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(FreeImage_GetWidth(image), c.width) << c.args[0];
    EXPECT_EQ(FreeImage_GetHeight(image), c.height) << c.args[0];
    // The horizon stays in the middle whatever the shape: sky above, sand
    // below, in the middle column (FreeImage rows run bottom-up).
    RGBQUAD sky, ground;
    FreeImage_GetPixelColor(image, c.width / 2, c.height * 9 / 10, &sky);
    FreeImage_GetPixelColor(image, c.width / 2, c.height / 10, &ground);
    EXPECT_GT(sky.rgbBlue, sky.rgbRed) << c.args[0];
    EXPECT_GT(ground.rgbRed, ground.rgbBlue) << c.args[0];
    FreeImage_Unload(image);
  }
}

TEST_F(RealWindow, MaxFpsBoundsTheFrameRate) {
  std::string dir = dataDir();
  std::string trace = dir + "/t.jsonl";
  ProcessResult r = runProcess({VELKARRA_BINARY, "--data", dir, "--frames", "31", "--max-fps", "20",
                                "--trace", trace, "--detail", "low"},
                               "", {"SDL_AUDIODRIVER=dummy"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<Json> lines = readJsonLines(trace);
  ASSERT_GE(lines.size(), 32u);
  ASSERT_EQ(lines[1]["frame"].get<double>(), 1);
  ASSERT_EQ(lines[31]["frame"].get<double>(), 31);
  // Thirty frame intervals at 20 frames/s take 1.5 s; the tick count of the
  // frames may come in no faster than that, give or take the timer's grain.
  EXPECT_GE(lines[31]["now"].get<double>() - lines[1]["now"].get<double>(), 0.9 * 30 * 50);
}

TEST_F(RealWindow, TimedemoOfARecordedSessionPlaysTheSameGameInTheWindow) {
  std::string dir = dataDir();
  writeFile(dir + "/s.txt", "2 move -40 -60\n3 down lbutton\n25 tap rbutton\n30 move 20 0\n");
  ProcessResult rec =
      runGame({"--headless", "--data", dir, "--seed", "9", "--input", dir + "/s.txt", "--frames",
               "40", "--record", dir + "/rec.txt", "--trace", dir + "/plain.jsonl"});
  ASSERT_EQ(rec.status, 0) << rec.err;
  ProcessResult timed =
      runGame({"--data", dir, "--timedemo", dir + "/rec.txt", "--trace", dir + "/timed.jsonl"});
  ASSERT_EQ(timed.status, 0) << timed.err;
  EXPECT_EQ(timed.out.rfind("timedemo: 39 frames, ", 0), 0u) << timed.out;
  EXPECT_EQ(readFile(dir + "/plain.jsonl"), readFile(dir + "/timed.jsonl"));
  // An event script has no clock of its own: in a window it is refused.
  ProcessResult script = runGame({"--data", dir, "--timedemo", dir + "/s.txt"});
  EXPECT_EQ(script.status, 2);
}

TEST_F(RealWindow, MissingGroundBoxEndsBeforeAnyFrame) {
  std::string dir = dataDir();
  unlink((dir + "/ground_box.bmp").c_str());
  std::string trace = dir + "/trace.jsonl";
  ProcessResult r =
      runProcess({VELKARRA_BINARY, "--data", dir, "--trace", trace}, "", {"SDL_AUDIODRIVER=dummy"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  const std::string said =
      "velkarra3d: cannot load the texture '" + dir + "/ground_box.bmp': the file is missing\n";
  EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), said.size())), said) << r.err;
  EXPECT_EQ(readFile(trace), "");
}

TEST_F(RealWindow, MissingModelNamesTheFile) {
  std::string dir = dataDir({{setting("cannon model file"), "lost_cannon.off"}});
  ProcessResult r = runProcess({VELKARRA_BINARY, "--data", dir}, "", {"SDL_AUDIODRIVER=dummy"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Cannon open model file: lost_cannon.off\n");
}

// Where a window lies on the screen: its picture, and the window manager's
// frame around it (_NET_FRAME_EXTENTS: left, right, top, bottom), none
// without a manager. Right and bottom are one past the last pixel.
struct Placement {
  int client[4];  // left, top, right, bottom
  int frame[4];
  bool framed;  // the manager has said how large its frame is
};

Placement placementOf(Display* display, Window window) {
  Placement p = {};
  XWindowAttributes a;
  Window child;
  if (!XGetWindowAttributes(display, window, &a) ||
      !XTranslateCoordinates(display, window, a.root, 0, 0, &p.client[0], &p.client[1], &child))
    return p;
  p.client[2] = p.client[0] + a.width;
  p.client[3] = p.client[1] + a.height;
  long extents[4] = {0, 0, 0, 0};
  Atom type;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4,
                         False, XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
      data) {
    p.framed = items == 4;
    for (unsigned long i = 0; i < items && i < 4; i++)
      extents[i] = reinterpret_cast<long*>(data)[i];
    XFree(data);
  }
  p.frame[0] = p.client[0] - static_cast<int>(extents[0]);
  p.frame[1] = p.client[1] - static_cast<int>(extents[2]);
  p.frame[2] = p.client[2] + static_cast<int>(extents[1]);
  p.frame[3] = p.client[3] + static_cast<int>(extents[3]);
  return p;
}

// On a screen of width x height: along each side, the frame when it is no
// larger than the screen, otherwise the picture.
bool lieOnScreen(const Placement& p, int width, int height) {
  for (int axis = 0; axis < 2; axis++) {
    const int screen = axis == 0 ? width : height;
    const int* box = p.frame[axis + 2] - p.frame[axis] <= screen ? p.frame : p.client;
    if (box[axis] < 0 || box[axis + 2] > screen) return false;
  }
  return true;
}

std::string describe(const Placement& p) {
  std::ostringstream text;
  text << "picture (" << p.client[0] << ", " << p.client[1] << ") to (" << p.client[2] << ", "
       << p.client[3] << "), frame (" << p.frame[0] << ", " << p.frame[1] << ") to (" << p.frame[2]
       << ", " << p.frame[3] << ")";
  return text.str();
}

class PlacedWindow : public RealWindow, public ::testing::WithParamInterface<bool> {};

// Windows that fit the screen (1024 x 768 under with-xvfb.sh) open wholly
// on it, with and without a window manager: openbox's frame, a pixel each
// side, 20 rows above and 5 below, which it may announce only once the
// window shows, fits too, except beside a window as wide as the screen.
// --screenshot takes their picture whole when the game is stopped.
TEST_P(PlacedWindow, WindowsThatFitTheScreenOpenWhollyOnItFrameIncluded) {
  if (GetParam()) openbox_ = startOpenbox(display_);
  const std::string dir = dataDir(), shot = dir + "/placed.png", trace = dir + "/trace.jsonl";
  for (const char* size : {"1000x700", "1000x740", "1024x600"}) {
    unlink(shot.c_str());
    unlink(trace.c_str());  // the frames counted below are this window's
    launch({"--data", dir, "--window", size, "--max-fps", "100", "--trace", trace, "--screenshot",
            shot});
    const Window window = waitForWindow();
    ASSERT_NE(window, 0u) << size;
    // The game places the window in the frames after it shows (in its
    // frame, under a window manager).
    ASSERT_TRUE(waitFor([&] {
      XWindowAttributes a;
      return XGetWindowAttributes(display_, window, &a) && a.map_state == IsViewable &&
             (!GetParam() || placementOf(display_, window).framed);
    })) << size;
    const double shown = lastFrame(trace);
    ASSERT_TRUE(waitFor([&] { return lastFrame(trace) >= shown + 5; })) << size;
    EXPECT_TRUE(waitFor([&] { return lieOnScreen(placementOf(display_, window), 1024, 768); }))
        << size << ": " << describe(placementOf(display_, window));
    // Ended as on Esc, it takes its screenshot.
    kill(pid_, SIGTERM);
    EXPECT_EQ(waitForExit(60), 1) << size;
    FIBITMAP* image = FreeImage_Load(FIF_PNG, shot.c_str(), 0);
    ASSERT_NE(image, nullptr) << size;
    EXPECT_EQ(std::to_string(FreeImage_GetWidth(image)) + "x" +
                  std::to_string(FreeImage_GetHeight(image)),
              size);
    RGBQUAD sky;
    FreeImage_GetPixelColor(image, FreeImage_GetWidth(image) - 4, FreeImage_GetHeight(image) - 40,
                            &sky);  // the top right corner
    EXPECT_GT(sky.rgbBlue, sky.rgbRed) << size;
    FreeImage_Unload(image);
  }
}

// Windows larger than the screen's work area (the whole 1024 x 768 screen,
// or what _NET_WORKAREA leaves free) open fitting it, the manager's frame
// included, keeping their shape, and say the size used in one line on
// stderr; the configuration file's size follows the same rule, and leaving
// full screen gives the fitted size back.
TEST_P(PlacedWindow, WindowsLargerThanTheWorkAreaAreMadeToFitKeepingTheirShape) {
  const bool managed = GetParam();
  if (managed) openbox_ = startOpenbox(display_);
  const std::string dir = dataDir(), err = dir + "/err";
  writeFile(dir + "/wide.conf", "window = 2000x1000\n");
  struct Case {
    std::vector<std::string> args;
    const char* asked;
    long area[4];  // x, y, width, height
    int bare[2], framed[2];
    bool fullScreenAndBack;
  } const cases[] = {
      {{"--window", "600x900"}, "600 x 900", {0, 0, 1024, 768}, {512, 768}, {495, 743}, true},
      {{"--config", dir + "/wide.conf"},
       "2000 x 1000",
       {0, 0, 1024, 768},
       {1024, 512},
       {1022, 511},
       false},
      // A manager publishes its own work area: this one is for the bare screen.
      {{"--window", "800x700"}, "800 x 700", {0, 100, 1024, 600}, {685, 600}, {0, 0}, false},
  };
  const Window root = DefaultRootWindow(display_);
  const Atom workArea = XInternAtom(display_, "_NET_WORKAREA", False);
  for (const Case& c : cases) {
    const int* size = managed ? c.framed : c.bare;
    if (size[0] == 0) continue;
    if (!managed)
      XChangeProperty(display_, root, workArea, XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(c.area), 4);
    XFlush(display_);
    const std::string run = "exec \"$0\" --detail low --max-fps 60 \"$@\" 2>\"" + err + "\"";
    std::vector<std::string> args = {"/bin/sh", "-c", run, VELKARRA_BINARY, "--data", dir};
    args.insert(args.end(), c.args.begin(), c.args.end());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    pid_ = spawnProcess(args);
    const Window window = waitForWindow();
    ASSERT_NE(window, 0u) << c.args[1];
    // In the area, at the size of the asked shape, frame included.
    auto fits = [&] {
      const Placement p = placementOf(display_, window);
      return p.client[2] - p.client[0] == size[0] && p.client[3] - p.client[1] == size[1] &&
             p.frame[0] >= c.area[0] && p.frame[1] >= c.area[1] &&
             p.frame[2] <= c.area[0] + c.area[2] && p.frame[3] <= c.area[1] + c.area[3] &&
             (!managed || p.framed);
    };
    EXPECT_TRUE(waitFor(fits, 5000))
        << c.args[1] << ": " << describe(placementOf(display_, window));
    std::string said;
    EXPECT_TRUE(waitFor([&] { return (said = readFile(err)).find("using") != std::string::npos; }));
    const std::string line = std::string("velkarra3d: a window of ") + c.asked +
                             " does not fit the screen's work area of " +
                             std::to_string(c.area[2]) + " x " + std::to_string(c.area[3]) +
                             ": using " + std::to_string(size[0]) + " x " +
                             std::to_string(size[1]) + "\n";
    EXPECT_NE(said.find(line), std::string::npos) << said;
    if (c.fullScreenAndBack) {
      auto filled = [&] {
        const Placement p = placementOf(display_, window);
        return p.client[2] - p.client[0] == 1024 && p.client[3] - p.client[1] == 768;
      };
      ProcessResult key = runProcess({"/usr/bin/xdotool", "key", "F11"});
      EXPECT_TRUE(waitFor(filled)) << key.err;
      key = runProcess({"/usr/bin/xdotool", "key", "F11"});
      EXPECT_TRUE(waitFor(fits, 5000))
          << "back from full screen: " << describe(placementOf(display_, window));
    }
    kill(pid_, SIGTERM);
    EXPECT_EQ(waitForExit(60), 1) << c.args[1];
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }
  XDeleteProperty(display_, root, workArea);
  XFlush(display_);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, PlacedWindow, ::testing::Values(false, true),
                         windowManagerName);

}  // namespace
