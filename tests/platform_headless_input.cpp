// platform_headless_input.cpp: the headless backend's clock, keys, cursor,
// focus, frames, recorded sounds and input scripts, as the game sees them
// through platform.h.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/headless.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace {

// What the game saw in one frame.
struct Seen {
  int frame;
  uint32_t tickMs;
  int a, b, c, esc, lbutton;
  int cursorX, cursorY;
  PlatWindow active;
};

constexpr int kMaxSeen = 32;
Seen gSeen[kMaxSeen];
int gSeenCount;
int gFramesWanted;

void watchFrame(int) {
  Seen& s = gSeen[gSeenCount++];
  s.frame = headlessFrameNumber();
  s.tickMs = platTickMs();
  s.a = platKeyState('A');
  s.b = platKeyState('B');
  s.c = platKeyState('C');
  s.esc = platKeyState(platEscape);
  s.lbutton = platKeyState(platLButton);
  platCursorPos(&s.cursorX, &s.cursorY);
  s.active = platActiveWindow();
  if (gSeenCount < gFramesWanted) platTimerFunc(16, watchFrame, 0);
}

// Runs the game loop for `frames` frames, recording each one.
void runFrames(int frames) {
  gSeenCount = 0;
  gFramesWanted = frames;
  platTimerFunc(16, watchFrame, 0);
  platMainLoop();
}

struct Typed {
  int frame;
  unsigned char c;
  int x, y;
};
Typed gTyped[16];
int gTypedCount;

void typed(unsigned char c, int x, int y) {
  if (gTypedCount < 16) gTyped[gTypedCount++] = {headlessFrameNumber(), c, x, y};
}

int gReshapes, gReshapeWidth, gReshapeHeight, gDisplays;
void reshaped(int w, int h) {
  gReshapes++;
  gReshapeWidth = w;
  gReshapeHeight = h;
}
void displayed() { gDisplays++; }

class PlatformHeadlessInput : public ::testing::Test {
 protected:
  void SetUp() override {
    platInitHeadless(1000, 16);
    platCreateWindow("Velkarra3D", 0, 0, 800, 600);
    gTypedCount = 0;
    gReshapes = gDisplays = 0;
    dir = makeTempDir("platform-input");
  }
  void TearDown() override { removeTree(dir); }

  std::string writeScript(const std::string& text) {
    const std::string path = dir + "/input.txt";
    EXPECT_TRUE(writeFile(path, text));
    return path;
  }

  std::string dir;
};

TEST_F(PlatformHeadlessInput, HeldKeyReadsDownUntilReleased) {
  headlessKeyDown('A');
  EXPECT_NE(platKeyState('A'), 0);
  EXPECT_NE(platKeyState('A'), 0);
  headlessKeyUp('A');
  EXPECT_EQ(platKeyState('A'), 0);
}

TEST_F(PlatformHeadlessInput, PressBetweenQueriesCountsOnce) {
  headlessKeyTap('B');
  EXPECT_NE(platKeyState('B'), 0);
  EXPECT_EQ(platKeyState('B'), 0);

  // Pressed and released again before anyone asked: still one press.
  headlessKeyDown('B');
  headlessKeyUp('B');
  EXPECT_NE(platKeyState('B'), 0);
  EXPECT_EQ(platKeyState('B'), 0);

  // The latch of one key is not consumed by asking about another.
  headlessKeyTap(platEscape);
  headlessKeyTap(platRButton);
  EXPECT_EQ(platKeyState(platLButton), 0);
  EXPECT_NE(platKeyState(platRButton), 0);
  EXPECT_NE(platKeyState(platEscape), 0);
}

TEST_F(PlatformHeadlessInput, LettersIgnoreCaseAndOtherCodesReadZero) {
  headlessKeyDown('q');
  EXPECT_NE(platKeyState('Q'), 0);
  EXPECT_NE(platKeyState('q'), 0);
  headlessKeyUp('Q');
  EXPECT_EQ(platKeyState('q'), 0);

  headlessKeyTap('Z');
  EXPECT_NE(platKeyState('z'), 0);
  EXPECT_EQ(platKeyState('Z'), 0);

  const int others[] = {'1', '=', '[', '@', 0, 3, 0x10, 0x1a, 0x7f, 200, -1, 1 << 20};
  for (int code : others) {
    headlessKeyDown(code);
    EXPECT_EQ(platKeyState(code), 0) << "code " << code;
  }
}

TEST_F(PlatformHeadlessInput, ClockFollowsFramesAndWraps) {
  platInitHeadless(4294967290u, 16);
  platCreateWindow("Velkarra3D", 0, 0, 800, 600);
  EXPECT_EQ(platTickMs(), 4294967290u);
  runFrames(3);
  ASSERT_EQ(gSeenCount, 3);
  EXPECT_EQ(gSeen[0].tickMs, 10u);
  EXPECT_EQ(gSeen[1].tickMs, 26u);
  EXPECT_EQ(gSeen[2].tickMs, 42u);

  // A test can set the clock at once; the next frame puts it back on schedule.
  headlessSetTick(7);
  EXPECT_EQ(platTickMs(), 7u);
  runFrames(1);
  EXPECT_EQ(gSeen[0].tickMs, 4294967290u + 4u * 16u);
}

TEST_F(PlatformHeadlessInput, FramesRunOnlyWhileTheTimerIsArmed) {
  platReshapeFunc(reshaped);
  platDisplayFunc(displayed);
  EXPECT_FALSE(headlessStep());
  EXPECT_EQ(headlessFrameNumber(), 0);
  EXPECT_EQ(gReshapes, 0);

  runFrames(4);
  EXPECT_EQ(gSeenCount, 4);
  EXPECT_EQ(headlessFrameNumber(), 4);
  EXPECT_EQ(gSeen[0].frame, 1);
  // Reshaped once, as the window was mapped, before the first frame; the
  // display callback is never called.
  EXPECT_EQ(gReshapes, 1);
  EXPECT_EQ(gReshapeWidth, 800);
  EXPECT_EQ(gReshapeHeight, 600);
  EXPECT_EQ(gDisplays, 0);
  EXPECT_FALSE(headlessStep());

  // Arming twice leaves one pending call, the newest.
  platTimerFunc(16, watchFrame, 0);
  platTimerFunc(16, watchFrame, 0);
  gSeenCount = 0;
  gFramesWanted = 0;
  EXPECT_TRUE(headlessStep());
  EXPECT_FALSE(headlessStep());
  EXPECT_EQ(gSeenCount, 1);
  EXPECT_EQ(gReshapes, 1);
}

TEST_F(PlatformHeadlessInput, VirtualWindowCursorAndFocus) {
  const PlatWindow window = platFindWindow("Velkarra3D");
  EXPECT_NE(window, 0u);
  EXPECT_EQ(platFindWindow("Velkarra"), 0u);
  EXPECT_EQ(platFindWindow("velkarra3d"), 0u);
  EXPECT_EQ(platActiveWindow(), window);

  int left, top, right, bottom;
  platWindowRect(window, &left, &top, &right, &bottom);
  EXPECT_EQ(left, 100);
  EXPECT_EQ(top, 50);
  EXPECT_EQ(right, 900);
  EXPECT_EQ(bottom, 650);

  int x, y;
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 500);
  EXPECT_EQ(y, 350);
  headlessMoveCursor(-20, 7);
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 480);
  EXPECT_EQ(y, 357);
  platSetCursorPos(3, 4);
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);

  headlessSetFocus(false);
  EXPECT_EQ(platActiveWindow(), 0u);
  headlessSetFocus(true);
  EXPECT_EQ(platActiveWindow(), window);

  EXPECT_FALSE(headlessCursorHidden());
  platHideCursor();
  EXPECT_TRUE(headlessCursorHidden());
}

TEST_F(PlatformHeadlessInput, TypedCharacterReachesTheKeyboardCallback) {
  platKeyboardFunc(typed);
  headlessMoveCursor(10, -10);
  headlessChar('k');
  ASSERT_EQ(gTypedCount, 1);
  EXPECT_EQ(gTyped[0].c, 'k');
  // Window-relative: the client area starts at (100, 50).
  EXPECT_EQ(gTyped[0].x, 410);
  EXPECT_EQ(gTyped[0].y, 290);
  // Typing is not a key press.
  EXPECT_EQ(platKeyState('K'), 0);
}

TEST(PlatformSoundPath, MapsBackslashesAndRefusesWhatDoesNotFit) {
  char out[32];
  EXPECT_TRUE(platSoundPath("s\\exp_plane.wav", out, sizeof out));
  EXPECT_STREQ(out, "s/exp_plane.wav");
  EXPECT_TRUE(platSoundPath("a\\b\\\\c", out, sizeof out));
  EXPECT_STREQ(out, "a/b//c");
  EXPECT_TRUE(platSoundPath("", out, sizeof out));
  EXPECT_STREQ(out, "");

  // "s\\tada.wav" is 10 characters: 11 bytes fit, 10 do not.
  char exact[11];
  EXPECT_TRUE(platSoundPath("s\\tada.wav", exact, sizeof exact));
  EXPECT_STREQ(exact, "s/tada.wav");
  char shortBuffer[10];
  memset(shortBuffer, 'x', sizeof shortBuffer);
  EXPECT_FALSE(platSoundPath("s\\tada.wav", shortBuffer, sizeof shortBuffer));
  EXPECT_STREQ(shortBuffer, "");
  EXPECT_FALSE(platSoundPath("s", out, 0));
}

TEST_F(PlatformHeadlessInput, SoundsAreRecordedInOrder) {
  platPlaySound("s\\exp_plane.wav");
  platPlaySound("s\\shot.wav");
  platPlaySound("s\\exp_plane.wav");
  ASSERT_EQ(headlessSoundCount(), 3);
  EXPECT_STREQ(headlessSoundName(0), "s\\exp_plane.wav");
  EXPECT_STREQ(headlessSoundName(1), "s\\shot.wav");
  EXPECT_STREQ(headlessSoundName(2), "s\\exp_plane.wav");
  EXPECT_EQ(headlessSoundName(3), nullptr);
  EXPECT_EQ(headlessSoundName(-1), nullptr);
  headlessClearSounds();
  EXPECT_EQ(headlessSoundCount(), 0);
  platPlaySound("s\\tada.wav");
  ASSERT_EQ(headlessSoundCount(), 1);
  EXPECT_STREQ(headlessSoundName(0), "s\\tada.wav");
}

TEST_F(PlatformHeadlessInput, ScriptEventsActBeforeTheirFrameInFileOrder) {
  const std::string path = writeScript(
      "# lines need not be sorted by frame\n"
      "5 up c\n"
      "5 down c      # file order: up first, then down, so C stays held\n"
      "\n"
      "2 down a\n"
      "4 up a\n"
      "3 down b\n"
      "3 up b\n"
      "2 tap lbutton\n"
      "\t6 tap esc\n"
      "6 move 10 -5\n"
      "6 move -3 +2\n"
      "7 focus out\n"
      "8 focus in\n"
      "9 char x\n"
      "9 move 1 1\n"
      "9 char Y\n");
  char err[256] = "";
  ASSERT_TRUE(headlessLoadScript(path.c_str(), err, sizeof err)) << err;
  platKeyboardFunc(typed);
  runFrames(9);
  ASSERT_EQ(gSeenCount, 9);
  auto f = [](int n) -> const Seen& { return gSeen[n - 1]; };  // what frame n saw

  EXPECT_EQ(f(1).a, 0);
  EXPECT_NE(f(2).a, 0);
  EXPECT_NE(f(3).a, 0);  // held
  EXPECT_EQ(f(4).a, 0);

  EXPECT_NE(f(3).b, 0);  // down and up before the frame: one press
  EXPECT_EQ(f(4).b, 0);

  EXPECT_NE(f(5).c, 0);
  EXPECT_NE(f(6).c, 0);
  EXPECT_NE(f(9).c, 0);

  EXPECT_EQ(f(1).lbutton, 0);
  EXPECT_NE(f(2).lbutton, 0);
  EXPECT_EQ(f(3).lbutton, 0);
  EXPECT_EQ(f(5).esc, 0);
  EXPECT_NE(f(6).esc, 0);
  EXPECT_EQ(f(7).esc, 0);

  EXPECT_EQ(f(5).cursorX, 500);
  EXPECT_EQ(f(5).cursorY, 350);
  EXPECT_EQ(f(6).cursorX, 507);
  EXPECT_EQ(f(6).cursorY, 347);

  const PlatWindow window = platFindWindow("Velkarra3D");
  EXPECT_EQ(f(6).active, window);
  EXPECT_EQ(f(7).active, 0u);
  EXPECT_EQ(f(8).active, window);

  ASSERT_EQ(gTypedCount, 2);
  EXPECT_EQ(gTyped[0].frame, 9);
  EXPECT_EQ(gTyped[0].c, 'x');
  EXPECT_EQ(gTyped[0].x, 407);
  EXPECT_EQ(gTyped[0].y, 297);
  EXPECT_EQ(gTyped[1].c, 'Y');
  EXPECT_EQ(gTyped[1].x, 408);
  EXPECT_EQ(gTyped[1].y, 298);
}

TEST_F(PlatformHeadlessInput, MalformedScriptLinesNameTheirLine) {
  const char* bad[] = {
      "0 down a",    "-1 down a",   "x down a",         "2x down a",      "99999999999 up a",
      "1 jump a",    "1",           "1 down",           "1 down a b",     "1 down A",
      "1 tap shift", "1 up escape", "1 char",           "1 char ab",      "1 char \xc3\xa9",
      "1 char x y",  "1 move 1",    "1 move 1.5 2",     "1 move 1 2 3",   "1 move a 2",
      "1 move - 2",  "1 focus",     "1 focus sideways", "1 focus in out",
  };
  for (const char* line : bad) {
    const std::string path =
        writeScript(std::string("1 down a\n# a comment\n") + line + "\n2 up a\n");
    char err[256] = "";
    EXPECT_FALSE(headlessLoadScript(path.c_str(), err, sizeof err)) << line;
    const std::string expected = path + ":3: ";
    EXPECT_EQ(std::string(err).compare(0, expected.size(), expected), 0)
        << "line '" << line << "' gave: " << err;
    EXPECT_EQ(strchr(err, '\n'), nullptr);
  }
}

TEST_F(PlatformHeadlessInput, UnreadableOrOversizedScriptsAreRefused) {
  char err[256] = "";
  const std::string missing = dir + "/missing.txt";
  EXPECT_FALSE(headlessLoadScript(missing.c_str(), err, sizeof err));
  EXPECT_EQ(std::string(err), missing + ": cannot open: No such file or directory");

  // Exactly as many events as the table holds load; one more names its line.
  std::string text;
  for (int i = 0; i < 65536; i++) text += std::to_string(i / 8 + 1) + " tap a\n";
  std::string path = writeScript(text);
  EXPECT_TRUE(headlessLoadScript(path.c_str(), err, sizeof err)) << err;
  path = writeScript("# one line more\n" + text);
  EXPECT_TRUE(headlessLoadScript(path.c_str(), err, sizeof err)) << err;
  path = writeScript(text + "9999 tap b\n");
  EXPECT_FALSE(headlessLoadScript(path.c_str(), err, sizeof err));
  EXPECT_EQ(std::string(err).rfind(path + ":65537: ", 0), 0u) << err;
}

TEST_F(PlatformHeadlessInput, FailedScriptLeavesNoEvents) {
  char err[256] = "";
  std::string path = writeScript("1 down a\n");
  ASSERT_TRUE(headlessLoadScript(path.c_str(), err, sizeof err));
  path = writeScript("1 down b\n1 oops\n");
  ASSERT_FALSE(headlessLoadScript(path.c_str(), err, sizeof err));
  runFrames(1);
  EXPECT_EQ(gSeen[0].a, 0);
  EXPECT_EQ(gSeen[0].b, 0);
}

}  // namespace
