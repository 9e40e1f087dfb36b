// platform_x11_window.cpp: the windowed backend under a private Xvfb: the
// freeglut window as X sees it, key and button latches from real X input
// (xdotool through XTEST), held keys heard once, whether the window shows,
// focus with and without a focused window, cursor warps, the pointer grab,
// the window class and icon property, screenshots and the timer.

// gtest comes before Xlib, whose macros (None, Bool, ...) would break it.
// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <FreeImage.h>
#include <GL/gl.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/windowed.h"
#include "support/test_support.h"
#include "support/x11_support.h"

namespace {

Display* gX;  // the tests' own connection, to look at the window from outside
PlatWindow gWindow;
Window gFocusOnMap;  // the focus once the window showed (no window manager runs)

struct KeyEvent {
  unsigned char c;
  int stateInside;  // platKeyState(gQueryInside) read inside the callback
};
KeyEvent gKeys[256];
int gKeyCount;
int gQueryInside;  // 0: do not query inside the callback

void onKey(unsigned char c, int, int) {
  if (gKeyCount == 256) return;
  gKeys[gKeyCount++] = {c, gQueryInside ? platKeyState(gQueryInside) : 0};
}

int keysTyped(unsigned char c) {
  int n = 0;
  for (int i = 0; i < gKeyCount; i++) n += gKeys[i].c == c;
  return n;
}

// Handles freeglut's events until `done` holds or the deadline passes.
template <typename Done>
bool pumpUntil(Done done, int timeoutMs = 3000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    windowedPumpEvents();
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    usleep(1000);
  }
}

void xdotool(std::vector<std::string> args) {
  args.insert(args.begin(), "/usr/bin/xdotool");
  const ProcessResult run = runProcess(args, "", {}, 10000);
  ASSERT_EQ(run.status, 0) << args[1] << ": " << run.err;
}

void ensureWindow() {
  static bool made = false;
  if (made) return;
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  static char name[] = "velkarra_platform_x11_tests";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  ASSERT_TRUE(platInitWindowed(&argc, argv));
  platCreateWindow("Velkarra3D", 100, 50, 800, 600);
  platKeyboardFunc(onKey);
  gWindow = platFindWindow("Velkarra3D");
  ASSERT_NE(gWindow, 0u);
  gX = XOpenDisplay(nullptr);
  ASSERT_NE(gX, nullptr);
  ASSERT_TRUE(pumpUntil([] {
    XWindowAttributes a;
    return XGetWindowAttributes(gX, gWindow, &a) && a.map_state == IsViewable;
  }));
  pumpUntil([] {
    int revert;
    XGetInputFocus(gX, &gFocusOnMap, &revert);
    return gFocusOnMap == gWindow;
  });
  made = true;
}

class PlatformX11Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureWindow();
    // Keys follow the pointer, which rests in the middle of the window.
    XSetInputFocus(gX, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(gX, False);
    platSetCursorPos(500, 350);
    pumpUntil([] { return false; }, 20);  // drain what earlier tests left
    for (int key : {int('A'), int('B'), int('C'), int('D'), int('I'), int('R'), int(platEscape),
                    int(platLButton), int(platRButton)})
      platKeyState(key);
    gKeyCount = 0;
    gQueryInside = 0;
  }
};

// Waits until the keyboard callback has seen `c` (sent after the events under
// test, it proves they have all been handled).
void waitForChar(unsigned char c) {
  ASSERT_TRUE(pumpUntil([c] { return keysTyped(c) > 0; })) << "no '" << c << "' arrived";
}

// Polls a key until it reads up, for after a release.
bool keyGoesUp(int key) {
  return pumpUntil([key] { return platKeyState(key) == 0; });
}

TEST_F(PlatformX11Window, OpensWithItsTitleSizeAndPlace) {
  char* name = nullptr;
  ASSERT_TRUE(XFetchName(gX, gWindow, &name));
  EXPECT_STREQ(name, "Velkarra3D");
  XFree(name);
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(gX, gWindow, &a));
  EXPECT_EQ(a.width, 800);
  EXPECT_EQ(a.height, 600);
  EXPECT_EQ(platFindWindow("Velkarra"), 0u);

  int left, top, right, bottom;
  platWindowRect(gWindow, &left, &top, &right, &bottom);
  EXPECT_EQ(left, 100);
  EXPECT_EQ(top, 50);
  EXPECT_EQ(right, 900);
  EXPECT_EQ(bottom, 650);

  // A window manager's frame widens the outer rectangle.
  const Atom extents = XInternAtom(gX, "_NET_FRAME_EXTENTS", False);
  const long frame[4] = {4, 6, 22, 8};  // left, right, top, bottom
  XChangeProperty(gX, gWindow, extents, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(frame), 4);
  XSync(gX, False);
  platWindowRect(gWindow, &left, &top, &right, &bottom);
  XDeleteProperty(gX, gWindow, extents);
  XSync(gX, False);
  EXPECT_EQ(left, 96);
  EXPECT_EQ(top, 28);
  EXPECT_EQ(right, 906);
  EXPECT_EQ(bottom, 658);
}

TEST_F(PlatformX11Window, TickCountsFromBoot) {
  timespec now;
  clock_gettime(CLOCK_BOOTTIME, &now);
  const uint32_t boot = static_cast<uint32_t>(now.tv_sec * 1000ull + now.tv_nsec / 1000000);
  const uint32_t tick = platTickMs();
  EXPECT_LT(tick - boot, 1000u);  // unsigned: also right across a wrap
}

TEST_F(PlatformX11Window, KeyPressLatchesOnceAndIgnoresShiftAndCapsLock) {
  xdotool({"key", "a", "key", "shift+b", "key", "Caps_Lock", "c", "Caps_Lock", "key", "x"});
  waitForChar('x');
  EXPECT_EQ(keysTyped('a'), 1);
  EXPECT_EQ(keysTyped('B'), 1);
  EXPECT_EQ(keysTyped('C'), 1);
  for (int key : {'A', 'B', 'C'}) {
    EXPECT_NE(platKeyState(key), 0) << char(key);
    EXPECT_EQ(platKeyState(key), 0) << char(key);
  }
  // Asked by its lower-case name, a key is the same key.
  xdotool({"key", "shift+d", "key", "x"});
  waitForChar('x');
  EXPECT_NE(platKeyState('d'), 0);
  EXPECT_EQ(platKeyState('D'), 0);
}

TEST_F(PlatformX11Window, ControlLetterIsTheLetterButTabIsNot) {
  xdotool({"key", "ctrl+d", "key", "Tab", "key", "x"});
  waitForChar('x');
  EXPECT_EQ(keysTyped(4), 1);
  EXPECT_EQ(keysTyped(9), 1);
  EXPECT_NE(platKeyState('D'), 0);
  EXPECT_EQ(platKeyState('I'), 0);
}

TEST_F(PlatformX11Window, QueryInsideTheCallbackSeesTheKey) {
  gQueryInside = platEscape;
  xdotool({"key", "Escape"});
  ASSERT_TRUE(pumpUntil([] { return gKeyCount > 0; }));
  EXPECT_EQ(gKeys[0].c, 27);
  EXPECT_NE(gKeys[0].stateInside, 0);
}

TEST_F(PlatformX11Window, HeldKeyReadsDownUntilReleasedWhateverShiftDoes) {
  xdotool({"keydown", "shift", "keydown", "b", "keyup", "shift", "key", "x"});
  waitForChar('x');
  EXPECT_NE(platKeyState('B'), 0);
  EXPECT_NE(platKeyState('B'), 0);  // still held: the X server says so
  EXPECT_NE(platKeyState('b'), 0);
  xdotool({"keyup", "b"});
  EXPECT_TRUE(keyGoesUp('B'));
  EXPECT_EQ(platKeyState('B'), 0);

  xdotool({"keydown", "Escape", "key", "x"});
  gKeyCount = 0;
  waitForChar('x');
  EXPECT_NE(platKeyState(platEscape), 0);
  EXPECT_NE(platKeyState(platEscape), 0);
  xdotool({"keyup", "Escape"});
  EXPECT_TRUE(keyGoesUp(platEscape));
}

TEST_F(PlatformX11Window, ClickLatchesTheButtonOnce) {
  xdotool({"click", "1", "click", "3", "key", "x"});
  waitForChar('x');
  EXPECT_NE(platKeyState(platLButton), 0);
  EXPECT_EQ(platKeyState(platLButton), 0);
  EXPECT_NE(platKeyState(platRButton), 0);
  EXPECT_EQ(platKeyState(platRButton), 0);

  xdotool({"mousedown", "1", "key", "x"});
  gKeyCount = 0;
  waitForChar('x');
  EXPECT_NE(platKeyState(platLButton), 0);
  EXPECT_NE(platKeyState(platLButton), 0);
  EXPECT_EQ(platKeyState(platRButton), 0);
  xdotool({"mouseup", "1"});
  EXPECT_TRUE(keyGoesUp(platLButton));
}

// Xvfb repeats a held key after 660 ms, about 25 times a second: none of
// the repeats reaches the callback, whether the events are handled at once
// or only after the key came up.
TEST_F(PlatformX11Window, HeldKeyReachesTheKeyboardCallbackOnce) {
  ASSERT_TRUE(holdUntilRepeated(gX, gWindow, "r", 8, windowedPumpEvents));
  ASSERT_TRUE(holdUntilRepeated(gX, gWindow, "e", 8));  // repeats of e pile up unhandled
  xdotool({"keyup", "e"});
  xdotool({"keyup", "r"});
  xdotool({"key", "x"});
  waitForChar('x');
  EXPECT_EQ(keysTyped('r'), 1);
  EXPECT_EQ(keysTyped('e'), 1);
  xdotool({"key", "r"});
  waitForChar('r');
  EXPECT_EQ(keysTyped('r'), 2) << "a new press after the release counts";
}

TEST_F(PlatformX11Window, ShownUntilUnmapped) {
  EXPECT_TRUE(platWindowShown());
  XUnmapWindow(gX, gWindow);
  XSync(gX, False);
  EXPECT_TRUE(pumpUntil([] { return !platWindowShown(); }));
  XMapWindow(gX, gWindow);
  XSync(gX, False);
  EXPECT_TRUE(pumpUntil([] { return platWindowShown(); }));
}

TEST_F(PlatformX11Window, WithoutFocusedWindowThePointerDecides) {
  Window focus;
  int revert;
  XGetInputFocus(gX, &focus, &revert);
  ASSERT_EQ(focus, static_cast<Window>(PointerRoot));
  EXPECT_EQ(platActiveWindow(), gWindow);
  platSetCursorPos(950, 700);
  EXPECT_EQ(platActiveWindow(), 0u);
  platSetCursorPos(899, 649);
  EXPECT_EQ(platActiveWindow(), gWindow);
  platSetCursorPos(900, 350);
  EXPECT_EQ(platActiveWindow(), 0u);

  XSetInputFocus(gX, None, RevertToNone, CurrentTime);
  XSync(gX, False);
  platSetCursorPos(500, 350);
  EXPECT_EQ(platActiveWindow(), 0u);
}

TEST_F(PlatformX11Window, FocusedWindowDecidesWhereverThePointerIs) {
  xdotool({"windowfocus", "--sync", std::to_string(gWindow)});
  platSetCursorPos(1000, 740);
  EXPECT_EQ(platActiveWindow(), gWindow);

  // A child window of ours with the focus still makes us active.
  const Window child = XCreateSimpleWindow(gX, gWindow, 10, 10, 50, 50, 0, 0, 0);
  XMapWindow(gX, child);
  XSync(gX, False);
  XSetInputFocus(gX, child, RevertToPointerRoot, CurrentTime);
  XSync(gX, False);
  EXPECT_EQ(platActiveWindow(), gWindow);
  XDestroyWindow(gX, child);
  XSync(gX, False);

  // Another program's window takes the focus away, even with the pointer
  // over ours.
  const pid_t clock = fork();
  if (clock == 0) {
    execl("/usr/bin/xclock", "xclock", "-geometry", "100x100+910+660", static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(clock, 0);
  const ProcessResult found =
      runProcess({"/usr/bin/xdotool", "search", "--sync", "--onlyvisible", "--class", "XClock"}, "",
                 {}, 10000);
  const std::string clockWindow = found.out.substr(0, found.out.find('\n'));
  if (found.status == 0 && !clockWindow.empty()) {
    xdotool({"windowfocus", "--sync", clockWindow});
    platSetCursorPos(500, 350);
    EXPECT_EQ(platActiveWindow(), 0u);
    xdotool({"windowfocus", "--sync", std::to_string(gWindow)});
    EXPECT_EQ(platActiveWindow(), gWindow);
  }
  kill(clock, SIGTERM);
  waitpid(clock, nullptr, 0);
  EXPECT_EQ(found.status, 0) << "xclock's window did not show: " << found.err;
}

TEST_F(PlatformX11Window, CursorWarpsInScreenCoordinates) {
  platSetCursorPos(321, 234);
  int x = 0, y = 0;
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 321);
  EXPECT_EQ(y, 234);
  // Seen from another connection too.
  Window root, child;
  int windowX, windowY;
  unsigned mask;
  XQueryPointer(gX, DefaultRootWindow(gX), &root, &child, &x, &y, &windowX, &windowY, &mask);
  EXPECT_EQ(x, 321);
  EXPECT_EQ(y, 234);
  // The screen (1024 x 768 here) bounds it.
  platSetCursorPos(5000, -20);
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 1023);
  EXPECT_EQ(y, 0);

  // A motion that arrives between reading the cursor and moving it is kept
  // for the next read; a move with no read before it goes to the point.
  platSetCursorPos(500, 350);
  platCursorPos(&x, &y);
  XWarpPointer(gX, None, None, 0, 0, 0, 0, 7, 3);
  XSync(gX, False);
  platSetCursorPos(400, 300);
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 407);
  EXPECT_EQ(y, 303);
  XWarpPointer(gX, None, None, 0, 0, 0, 0, 7, 3);
  XSync(gX, False);
  platSetCursorPos(400, 300);
  platSetCursorPos(420, 310);
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 420);
  EXPECT_EQ(y, 310);
}

// Reads _NET_WM_ICON: width, height, then the pixels.
std::vector<unsigned long> iconProperty() {
  const Atom icon = XInternAtom(gX, "_NET_WM_ICON", False);
  Atom type;
  int format;
  unsigned long items = 0, after;
  unsigned char* data = nullptr;
  std::vector<unsigned long> values;
  if (XGetWindowProperty(gX, gWindow, icon, 0, 1 << 20, False, XA_CARDINAL, &type, &format, &items,
                         &after, &data) == Success &&
      data) {
    // Xlib hands 32-bit items over as longs, sign-extended.
    const unsigned long* longs = reinterpret_cast<const unsigned long*>(data);
    for (unsigned long i = 0; i < items; i++) values.push_back(longs[i] & 0xffffffffu);
    XFree(data);
  }
  return values;
}

// An image whose left half is opaque red and right half half-transparent
// blue.
bool writePng(const std::string& path, int width, int height) {
  FIBITMAP* image = FreeImage_Allocate(width, height, 32);
  RGBQUAD red = {0, 0, 255, 255}, blue = {255, 0, 0, 128};
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      FreeImage_SetPixelColor(image, x, y, x < width / 2 ? &red : &blue);
  const bool saved = FreeImage_Save(FIF_PNG, image, path.c_str(), 0);
  FreeImage_Unload(image);
  return saved;
}

TEST_F(PlatformX11Window, IconComesInFourSizesFromAnImageFile) {
  const std::string dir = makeTempDir("platform-icon");
  for (int side : {6, 300}) {  // scaled up and down alike
    SCOPED_TRACE(side);
    const std::string png = dir + "/icon" + std::to_string(side) + ".png";
    ASSERT_TRUE(writePng(png, side, side / 2));
    platSetWindowIcon(gWindow, png.c_str());
    const std::vector<unsigned long> icon = iconProperty();
    size_t at = 0;
    for (unsigned long size : {16, 32, 48, 64}) {
      ASSERT_LE(at + 2, icon.size());
      const unsigned long w = icon[at], h = icon[at + 1];
      EXPECT_EQ(w, size);
      EXPECT_EQ(h, size / 2) << "the shape is kept";
      ASSERT_LE(at + 2 + w * h, icon.size());
      EXPECT_EQ(icon[at + 2], 0xFFFF0000u) << "top-left";
      EXPECT_EQ(icon[at + 2 + w * h - 1], 0x800000FFu) << "bottom-right";
      at += 2 + w * h;
    }
    EXPECT_EQ(at, icon.size());
  }

  // Missing and unreadable files leave the icon as it was.
  const std::vector<unsigned long> icon = iconProperty();
  platSetWindowIcon(gWindow, (dir + "/missing.png").c_str());
  ASSERT_TRUE(writeFile(dir + "/text.png", "not an image"));
  platSetWindowIcon(gWindow, (dir + "/text.png").c_str());
  EXPECT_EQ(iconProperty(), icon);
  removeTree(dir);
}

TEST_F(PlatformX11Window, NamesItsClassAndTakesTheFocusWhenMapped) {
  XClassHint hint = {nullptr, nullptr};
  ASSERT_TRUE(XGetClassHint(gX, gWindow, &hint));
  EXPECT_STREQ(hint.res_name, "velkarra3d");
  EXPECT_STREQ(hint.res_class, "Velkarra3D");
  XFree(hint.res_name);
  XFree(hint.res_class);
  EXPECT_EQ(gFocusOnMap, gWindow) << "without a window manager the window takes the focus";
}

// Where the pointer lands when another client warps it far outside the
// window.
void warpOutside(int* x, int* y) {
  XWarpPointer(gX, None, DefaultRootWindow(gX), 0, 0, 0, 0, 1000, 740);
  XSync(gX, False);
  Window root, child;
  int windowX, windowY;
  unsigned mask;
  XQueryPointer(gX, DefaultRootWindow(gX), &root, &child, x, y, &windowX, &windowY, &mask);
}

bool confined() {
  int x, y;
  warpOutside(&x, &y);
  platSetCursorPos(500, 350);
  return x >= 100 && x < 900 && y >= 50 && y < 650;
}

void focusOurWindow() {
  XSetInputFocus(gX, gWindow, RevertToPointerRoot, CurrentTime);
  XSync(gX, False);
}

// Runs one timer call of the backend, as before every frame of the game.
void runOneFrame() {
  static bool ran;
  ran = false;
  platTimerFunc(
      1, [](int) { ran = true; }, 0);
  ASSERT_TRUE(pumpUntil([] { return ran; }));
}

TEST_F(PlatformX11Window, ConfiningGrabHoldsThePointerOnlyWhileItShouldAndComesBack) {
  focusOurWindow();
  platConfinePointer(true);
  EXPECT_TRUE(confined());
  platConfinePointer(true);  // asked again: still in force
  EXPECT_TRUE(confined());
  platConfinePointer(false);
  EXPECT_FALSE(confined());

  // Another client holds the pointer: the request fails quietly, and the
  // first request after that grab ends succeeds.
  ASSERT_EQ(XGrabPointer(gX, DefaultRootWindow(gX), False, 0, GrabModeAsync, GrabModeAsync, None,
                         None, CurrentTime),
            GrabSuccess);
  XSync(gX, False);
  platConfinePointer(true);
  XUngrabPointer(gX, CurrentTime);
  XSync(gX, False);
  EXPECT_FALSE(confined());
  platConfinePointer(true);
  EXPECT_TRUE(confined());

  // The focus goes elsewhere: the backend lets go before the next frame,
  // unasked, and does not grab again while the window is inactive.
  XSetInputFocus(gX, None, RevertToNone, CurrentTime);
  XSync(gX, False);
  runOneFrame();
  EXPECT_FALSE(confined());
  platConfinePointer(true);
  EXPECT_FALSE(confined());
  focusOurWindow();
  platConfinePointer(true);
  EXPECT_TRUE(confined());

  // Unmapped, the window loses the grab; mapped again, the next request
  // takes it again.
  XUnmapWindow(gX, gWindow);
  XSync(gX, False);
  pumpUntil([] { return false; }, 100);
  EXPECT_FALSE(confined());
  XMapWindow(gX, gWindow);
  XSync(gX, False);
  ASSERT_TRUE(pumpUntil([] {
    XWindowAttributes a;
    return XGetWindowAttributes(gX, gWindow, &a) && a.map_state == IsViewable;
  }));
  focusOurWindow();
  platConfinePointer(true);
  EXPECT_TRUE(confined());
  platConfinePointer(false);
}

// Green with a yellow square in the bottom-right corner, shown.
void drawGreenWithYellowCorner() {
  glViewport(0, 0, 800, 600);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 800, 0, 600, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0.5f, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 1, 0);
  glBegin(GL_QUADS);
  glVertex2f(700, 0);
  glVertex2f(800, 0);
  glVertex2f(800, 100);
  glVertex2f(700, 100);
  glEnd();
  platSwapBuffers();
}

// The screenshot is the frame the display callback draws, read from GL: a
// window of the tests' own over the corner does not show in it.
TEST_F(PlatformX11Window, ScreenshotIsTheFrameEvenWhereTheWindowIsCovered) {
  platDisplayFunc(drawGreenWithYellowCorner);
  drawGreenWithYellowCorner();
  // The back buffer now holds something else: the screenshot must draw anew.
  glClearColor(1, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  const Window cover =
      XCreateSimpleWindow(gX, DefaultRootWindow(gX), 780, 560, 200, 200, 0, 0, 0xffffff);
  XMapRaised(gX, cover);
  XSync(gX, False);

  const std::string dir = makeTempDir("platform-shot");
  const std::string file = dir + "/shot.png";
  const bool saved = platSaveScreenshot(file.c_str());
  XDestroyWindow(gX, cover);
  XSync(gX, False);
  platDisplayFunc(nullptr);
  ASSERT_TRUE(saved);
  FIBITMAP* image = FreeImage_Load(FIF_PNG, file.c_str(), 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(image), 800u);
  EXPECT_EQ(FreeImage_GetHeight(image), 600u);
  RGBQUAD corner, middle;
  FreeImage_GetPixelColor(image, 750, 50, &corner);  // bottom-right, rows from the bottom
  FreeImage_GetPixelColor(image, 400, 300, &middle);
  FreeImage_Unload(image);
  removeTree(dir);
  EXPECT_EQ(corner.rgbRed, 255);
  EXPECT_EQ(corner.rgbGreen, 255);
  EXPECT_EQ(corner.rgbBlue, 0);
  EXPECT_EQ(middle.rgbRed, 0);
  EXPECT_NEAR(middle.rgbGreen, 128, 1);
  EXPECT_EQ(middle.rgbBlue, 0);
}

int gFiredA, gFiredB, gValueB;

TEST_F(PlatformX11Window, ArmingTheTimerAgainReplacesThePendingCall) {
  gFiredA = gFiredB = 0;
  platTimerFunc(
      1, [](int) { gFiredA++; }, 1);
  platTimerFunc(
      1,
      [](int value) {
        gFiredB++;
        gValueB = value;
      },
      2);
  ASSERT_TRUE(pumpUntil([] { return gFiredB > 0; }));
  // The first one was due as early as the second, so it would have run by now.
  EXPECT_EQ(gFiredA, 0);
  EXPECT_EQ(gFiredB, 1);
  EXPECT_EQ(gValueB, 2);
}

}  // namespace
