// The screens while paused, driven by key names, the pointer and the pad:
// what each change leaves in force and in the configuration file, with the
// trace of the world unchanged; the writer of the configuration file over
// a table of files; a session that changes the mouse sensitivity on screen,
// recorded and replayed to the same trace; Quit from the menu.
#include <GL/gl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "app/comforts.h"
#include "app/config.h"
#include "app/options.h"
#include "app/screens.h"
#include "game/bindings.h"
#include "game/input.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/detail.h"
#include "render/frame_counter.h"
#include "render/screen.h"
#include "render/view.h"
#include "session/scores.h"
#include "session/trace.h"
#include "support/json_lines.h"

namespace {

// ---- The screens, step by step ----

struct ScreenCase {
  const char* name;
  const char* fileBefore;  // the configuration file at start; null: none
  // One step a frame: an X key name ("Down", "Return", "F1"), "char C",
  // "pad BUTTON" (pressed and released), "click ROW [left|right]" (the
  // pointer onto that row of the screen shown, then the left button),
  // "rclick" (the right button).
  std::vector<std::string> steps;
  const char* fileAfter;  // null: no file at the end
  void (*inForce)();      // what the run holds at the end
};

void PrintTo(const ScreenCase& c, std::ostream* os) { *os << c.name; }

class Screens : public GameTest, public ::testing::WithParamInterface<ScreenCase> {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    home_ = makeTempDir("screens");
    setenv("XDG_DATA_HOME", (home_ + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
  }
  void TearDown() override {
    GameTest::TearDown();
    removeTree(home_);
  }

  // A game started with the configuration file at config_ (as main reads
  // it: the player's settings, the key bindings and the name).
  void startWithFile() {
    start();
    config_ = home_ + "/velkarra3d.conf";
    runOptions.configFile = config_.c_str();
    readConfigFile(config_.c_str(), false, &runOptions, stderr);
    startComforts();
    startScreens(true);
    padPlugged_ = false;
  }

  // Plays the steps between a pause at frame 2 and a p at frame 60, with
  // the trace in `trace`.
  void play(const std::vector<std::string>& steps, const std::string& trace) {
    startWithFile();
    ASSERT_TRUE(traceOpen(trace.c_str()));
    runFrames(1);
    headlessChar('p');
    runFrames(1);
    for (const std::string& step : steps) {
      act(step);
      runFrames(1);
    }
    while (headlessFrameNumber() < 59) runFrames(1);
    headlessChar('p');
    runFrames(10);
    traceClose();
  }

  void act(const std::string& step) {
    std::istringstream words(step);
    std::string verb, what, side;
    words >> verb >> what >> side;
    if (verb == "char") {
      headlessChar(static_cast<unsigned char>(what[0]));
    } else if (verb == "pad") {
      if (!padPlugged_) {
        ASSERT_TRUE(headlessPadPlug());
        padPlugged_ = true;
        runFrames(1);
      }
      const int button = what == "a"        ? platPadA
                         : what == "b"      ? platPadB
                         : what == "dpup"   ? platPadUp
                         : what == "dpdown" ? platPadDown
                         : what == "dpleft" ? platPadLeft
                                            : platPadRight;
      headlessPadButton(button, true);
      runFrames(1);
      headlessPadButton(button, false);
    } else if (verb == "click" || verb == "rclick") {
      if (verb == "click") pointAt(std::stoi(what), side);
      headlessKeyTap(verb == "click" ? platLButton : platRButton);
    } else {
      const uint32_t sym = platKeySymFromName(verb.c_str());
      ASSERT_NE(sym, 0u) << verb;
      headlessSymTap(sym);
    }
  }

  // The pointer onto row `row` of the screen the last frame drew: the
  // middle of the row, or a quarter into its last column for a side.
  void pointAt(int row, const std::string& side) {
    ScreenLayout l;
    layoutScreen(screenPicture, &l);
    const int last = screenPicture.columns - 1;
    const float x = side == "left"    ? l.columnLeft[last] + l.columnWidth[last] * 0.25f
                    : side == "right" ? l.columnLeft[last] + l.columnWidth[last] * 0.75f
                                      : (l.left + l.right) / 2;
    const float y = l.rowsTop - (static_cast<float>(row) + 0.5f) * l.pitch;
    int left, top, right, bottom, cx, cy;
    platClientRect(window, &left, &top, &right, &bottom);
    platCursorPos(&cx, &cy);
    const float half = static_cast<float>(right - left) / 2;
    headlessMoveCursor(static_cast<int>(lroundf(left + half + x * half)) - cx,
                       static_cast<int>(lroundf(top + (bottom - top) / 2.0f - y * half)) - cy);
  }

  std::string home_, config_;
  bool padPlugged_ = false;
};

TEST_P(Screens, ChangeWhatTheySayAndNoTrace) {
  const ScreenCase& c = GetParam();
  play({}, home_ + "/plain.jsonl");
  if (c.fileBefore) {
    ASSERT_TRUE(writeFile(home_ + "/velkarra3d.conf", c.fileBefore));
  }
  play(c.steps, home_ + "/screens.jsonl");
  EXPECT_EQ(readFile(home_ + "/plain.jsonl"), readFile(home_ + "/screens.jsonl"))
      << "the screens changed the world";
  struct stat st;
  if (c.fileAfter)
    EXPECT_EQ(readFile(config_), c.fileAfter);
  else
    EXPECT_NE(stat(config_.c_str(), &st), 0) << readFile(config_);
  c.inForce();
  EXPECT_EQ(game.paused, 0) << "p resumed the game";
}

const ScreenCase screenCases[] = {
    {"VolumeDownThreeTimesKeepsTheOtherLines",
     "# mine\nvolume = 70 # quiet\nbogus = 3\n",
     {"Down", "Return", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Left", "Left",
      "Left"},
     "# mine\nvolume = 55 # quiet\nbogus = 3\n",
     [] {
       EXPECT_EQ(runOptions.volume, 55u);
       EXPECT_EQ(headlessSoundVolume(), 55);
     }},
    {"SensitivityUpByPad",
     nullptr,
     {"pad dpdown", "pad a", "pad dpdown", "pad dpdown", "pad dpdown", "pad dpdown", "pad dpdown",
      "pad dpright"},
     "mouse-sensitivity = 1.1\n",
     [] { EXPECT_EQ(worldOptions.mouseSensitivity, 1.1f); }},
    {"DetailByClickingTheRightOfItsValue",
     nullptr,
     {"click 1", "click 2 right"},
     "detail = low\n",
     [] { EXPECT_EQ(renderDetail, detailLow); }},
    {"FullScreenAndPauseOnFocusLossByReturn",
     "fullscreen = false\n\n",
     {"Down", "Return", "Down", "Return", "Down", "Down", "Down", "Down", "Down", "Down", "Down",
      "Down", "Return"},
     "fullscreen = true\n\npause-on-focus-loss = true\n",
     [] {
       EXPECT_TRUE(headlessFullScreen());
       EXPECT_TRUE(worldOptions.pauseOnFocusLoss);
     }},
    {"FrameCapFromNoneAndBack",
     nullptr,
     {"Down", "Return", "Down", "Down", "Down", "Right", "Right", "Left"},
     "max-fps = 30\n",
     [] { EXPECT_EQ(runOptions.maxFps, 30u); }},
    {"ShowFpsByClickAndBackWithTheRightButton",
     nullptr,
     {"click 1", "click 10", "rclick", "Down", "Return"},
     "show-fps = true\n",
     [] { EXPECT_TRUE(frameCounterShown()); }},
    {"NameTypedWithAPIsNoPause",
     nullptr,
     {"Down", "Return", "Up", "Up", "Return", "char A", "char n", "char n", "char p", "char #",
      "char x", "BackSpace", "Return"},
     "player-name = Annp\n",
     [] { EXPECT_STREQ(runEntry(0).name, "Annp"); }},
    {"NameGivenUpWithEsc",
     "player-name = Bo\n",
     {"Down", "Return", "Up", "Up", "Return", "char X", "Escape", "Escape"},
     "player-name = Bo\n",
     [] { EXPECT_STREQ(runOptions.playerName, "Bo"); }},
    {"ForwardRebound",
     nullptr,
     {"F1", "Down", "Down", "Return", "char i", "F1"},
     "key-forward = i\n",
     [] { EXPECT_EQ(keyBindings().sym[actionForward], static_cast<uint32_t>('i')); }},
    {"AKeyTakenFromAnotherAction",
     "key-up = z # mine\n",
     {"F1", "Down", "Down", "Return", "char z"},
     "key-up = none # mine\nkey-forward = z\n",
     [] {
       EXPECT_EQ(keyBindings().sym[actionUp], 0u);
       EXPECT_EQ(keyBindings().sym[actionForward], static_cast<uint32_t>('z'));
       EXPECT_NE(std::string(screenPicture.status).find("has none now"), std::string::npos)
           << screenPicture.status;
     }},
    {"RebindingGivenUpWithEsc",
     nullptr,
     {"pad b", "F1", "Down", "Down", "pad a", "Escape", "Escape"},
     nullptr,
     [] { EXPECT_EQ(keyBindings().sym[actionForward], static_cast<uint32_t>('w')); }},
    {"DefaultsPutEveryKeyBack",
     "key-up = z\n",
     {"F1", "Up", "Up", "Return"},
     "key-up = q\nkey-down = e\nkey-forward = w\nkey-back = s\nkey-left = a\nkey-right = d\n"
     "key-pause = p\nkey-camera-lock = g\nkey-end = y\nkey-replay = n\nkey-quit = Escape\n"
     "key-fullscreen = F11\nkey-screenshot = F12\nkey-fps = F9\nkey-mute = m\n"
     "key-fire = none\nkey-missile = none\n",
     [] { EXPECT_EQ(keyBindings().sym[actionUp], static_cast<uint32_t>('q')); }},
    {"EscAndBackSpaceOnThePauseMenuDoNothing",
     nullptr,
     {"Escape", "Escape", "BackSpace", "Down", "Return", "Escape", "Escape", "F1", "F1", "Escape"},
     nullptr,
     [] { EXPECT_EQ(keyBindings().sym[actionQuit], static_cast<uint32_t>(platSymEscape)); }},
};

INSTANTIATE_TEST_SUITE_P(Steps, Screens, ::testing::ValuesIn(screenCases),
                         [](const ::testing::TestParamInfo<ScreenCase>& param) {
                           return std::string(param.param.name);
                         });

// Without a configuration file nothing is written, and Options says so;
// the change holds for the run.
TEST_F(Screens, NoConfigWritesNothingAndSaysSo) {
  start();
  runOptions.noConfig = true;
  startScreens(true);
  headlessChar('p');
  runFrames(1);
  for (const char* key :
       {"Down", "Return", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Left"}) {
    headlessSymTap(platKeySymFromName(key));
    runFrames(1);
  }
  EXPECT_STREQ(screenPicture.status, "not saved (--no-config)");
  EXPECT_EQ(headlessSoundVolume(), 95);
  struct stat st;
  EXPECT_NE(stat((home_ + "/config/velkarra3d/velkarra3d.conf").c_str(), &st), 0);
}

// The pause menu: the run so far under the note, the pointer shown while
// it is open; Resume and F1 from play.
TEST_F(Screens, ThePauseMenuShowsTheRunAndResumesAndF1OpensControlsFromPlay) {
  start();
  runFrames(2);
  EXPECT_TRUE(headlessCursorHidden());
  headlessChar('p');
  runFrames(1);
  EXPECT_TRUE(screenPicture.shown && screenPicture.underPauseNote);
  EXPECT_STREQ(screenPicture.subtitle, "This run: 0 points, level 1");
  EXPECT_STREQ(screenPicture.rows[0].cells[0], "Resume");
  EXPECT_FALSE(headlessCursorHidden()) << "the pointer shows over a screen";
  // The same picture is not drawn again: a frame that changes nothing
  // leaves the picture alone, one whose screen changes draws it.
  auto centre = [] {
    unsigned char rgb[3];
    glReadPixels(400, 300, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return rgb[0] + 256 * rgb[1] + 65536 * rgb[2];
  };
  glClearColor(1, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);  // the game's
  runFrames(3);
  EXPECT_EQ(centre(), 0xff00ff) << "a paused frame drew the same picture again";
  headlessSymTap(platSymDown);
  runFrames(1);
  EXPECT_NE(centre(), 0xff00ff) << "the highlight moved, and nothing was drawn";
  headlessSymTap(platSymUp);
  runFrames(1);
  headlessSymTap(platSymReturn);
  runFrames(1);
  EXPECT_EQ(game.paused, 0) << "Resume";
  EXPECT_TRUE(headlessCursorHidden());
  headlessSymTap(platSymF1);
  runFrames(1);
  EXPECT_EQ(game.paused, 1) << "F1 in play pauses";
  EXPECT_STREQ(screenPicture.title, "Controls");
  headlessSymTap(platSymEscape);
  runFrames(1);
  EXPECT_EQ(game.paused, 0) << "closing Controls opened from play resumes";

  // A click on Resume resumes, and the button held on fires nothing until
  // it comes up.
  headlessChar('p');
  runFrames(1);
  pointAt(0, "");
  headlessKeyDown(platLButton);
  runFrames(20);
  EXPECT_EQ(game.paused, 0) << "the click on Resume";
  EXPECT_EQ(firedThisLevel, 0) << "the click fired a shell";
  headlessKeyUp(platLButton);
  runFrames(1);
  headlessKeyTap(platLButton);
  runFrames(1);
  EXPECT_EQ(firedThisLevel, 1) << "the button is the game's again";
}

// High scores offers Watch for a run whose recording is there, and only
// for such a run; the place shown is the table's.
TEST_F(Screens, HighScoresOfferWatchForARunWithItsRecording) {
  const std::string folder = home_ + "/data/velkarra3d";
  ASSERT_EQ(runProcess({"/bin/mkdir", "-p", folder + "/runs"}).status, 0);
  ASSERT_TRUE(writeFile(folder + "/scores",
                        "# velkarra3d scores 2\n300 3 2026-12-07 12:00 a.v3drec.gz Ann\n"
                        "200 2 2026-12-07 12:00 gone.v3drec.gz Bo\n100 1 2026-12-07 12:00 - Cy\n"));
  ASSERT_TRUE(writeFile(folder + "/runs/a.v3drec.gz", "kept"));
  start();
  startScreens(true);
  headlessChar('p');
  runFrames(1);
  for (const char* key : {"Down", "Down", "Down", "Return"}) {
    headlessSymTap(platKeySymFromName(key));
    runFrames(1);
  }
  ASSERT_STREQ(screenPicture.title, "High scores");
  std::string watched;
  for (int r = 0; r < screenPicture.rowCount; r++) {
    const ScreenRow& row = screenPicture.rows[r];
    if (row.cells[5][0]) watched += std::string(row.cells[0]) + row.cells[1] + "=" + row.cells[5];
    EXPECT_EQ(row.style == rowItem, row.cells[5][0] != 0 || r == screenPicture.rowCount - 1) << r;
  }
  EXPECT_EQ(watched, "1.Ann=Watch");
  EXPECT_NE(std::string(screenPicture.hint).find("watch"), std::string::npos) << screenPicture.hint;
}

// ---- The configuration file's writer ----

struct WriterCase {
  const char* name;
  const char* before;  // null: no file
  std::vector<std::pair<const char*, const char*>> changes;
  const char* after;  // null: the write fails and the file stays
  enum { plain, link, readOnlyFolder } where;
};

void PrintTo(const WriterCase& c, std::ostream* os) { *os << c.name; }

class ConfigWriter : public ::testing::TestWithParam<WriterCase> {};

TEST_P(ConfigWriter, KeepsEveryLineItDoesNotChange) {
  const WriterCase& c = GetParam();
  const std::string dir = makeTempDir("writer");
  const std::string folder = dir + (c.where == WriterCase::plain ? "/new/folder" : "/folder");
  mkdir(folder.c_str(), 0755);
  const std::string target = folder + "/velkarra3d.conf";
  std::string path = target;
  if (c.where == WriterCase::link) {
    // As a dotfile manager keeps it: a relative link to the real file.
    path = dir + "/link.conf";
    ASSERT_EQ(symlink("folder/velkarra3d.conf", path.c_str()), 0);
  }
  if (c.before) {
    mkdir((dir + "/new").c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    ASSERT_TRUE(writeFile(target, c.before));
  }
  if (c.where == WriterCase::readOnlyFolder) chmod(folder.c_str(), 0555);
  std::vector<SettingChange> changes;
  for (const auto& change : c.changes) changes.push_back({change.first, change.second});
  char why[256] = "";
  bool written = false;
  if (c.where == WriterCase::readOnlyFolder && geteuid() == 0) {
    // Root writes into a read-only folder anyway: the write is tried by
    // somebody else, whose reason comes back through a pipe.
    chmod(dir.c_str(), 0755);
    int reason[2];
    ASSERT_EQ(pipe(reason), 0);
    const pid_t child = fork();
    if (child == 0) {
      close(reason[0]);
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
      const bool ok = rewriteSettingsFile(path.c_str(), changes.data(),
                                          static_cast<int>(changes.size()), why, sizeof why);
      if (write(reason[1], why, strlen(why) + 1) < 0) _exit(4);
      _exit(ok ? 0 : 1);
    }
    close(reason[1]);
    const ssize_t got = read(reason[0], why, sizeof why - 1);
    why[got > 0 ? got : 0] = '\0';
    close(reason[0]);
    int status = -1;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << status;
    written = WEXITSTATUS(status) == 0;
  } else {
    written = rewriteSettingsFile(path.c_str(), changes.data(), static_cast<int>(changes.size()),
                                  why, sizeof why);
  }
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(written, c.after != nullptr) << why;
  EXPECT_EQ(readFile(target), c.after ? c.after : c.before ? c.before : "");
  if (!written) {
    EXPECT_STREQ(why, "Permission denied");
  }
  if (c.where == WriterCase::link) {
    struct stat st;
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
  }
  // Nothing is left beside the file but the file.
  std::string left = runProcess({"/bin/ls", "-A", folder}).out;
  EXPECT_TRUE(left == "velkarra3d.conf\n" || (left.empty() && !c.after)) << left;
  removeTree(dir);
}

const WriterCase writerCases[] = {
    {"NoFileNorFolderYet", nullptr, {{"volume", "40"}}, "volume = 40\n", WriterCase::plain},
    {"CommentsBlanksAndOrderStay",
     "# my settings\r\n\n  volume=20   # low\r\nmute = yes\n",
     {{"volume", "40"}},
     "# my settings\r\n\nvolume = 40 # low\r\nmute = yes\n",
     WriterCase::plain},
    {"TheLastOfTwoLinesChanges",
     "volume = 20\nvolume = 30\n# volume = 50\n",
     {{"volume", "40"}},
     "volume = 20\nvolume = 40\n# volume = 50\n",
     WriterCase::plain},
    {"UnknownNamesAndBadValuesStay",
     "\xEF\xBB\xBFmute = 1\nbogus = 3\nvolume = loud\nnot a setting\n",
     {{"mute", "false"}, {"key-up", "Up"}},
     "\xEF\xBB\xBFmute = false\nbogus = 3\nvolume = loud\nnot a setting\nkey-up = Up\n",
     WriterCase::plain},
    {"ALastLineWithoutANewline",
     "detail = high",
     {{"window", "1280x720"}, {"detail", "low"}},
     "detail = low\nwindow = 1280x720\n",
     WriterCase::plain},
    {"ADefaultIsWrittenToo", "", {{"volume", "100"}}, "volume = 100\n", WriterCase::plain},
    {"ThroughALinkToItsTarget",
     "volume = 20\n",
     {{"volume", "40"}},
     "volume = 40\n",
     WriterCase::link},
    {"AReadOnlyFolderLeavesTheFile",
     "volume = 20\n",
     {{"volume", "40"}},
     nullptr,
     WriterCase::readOnlyFolder},
};

INSTANTIATE_TEST_SUITE_P(Files, ConfigWriter, ::testing::ValuesIn(writerCases),
                         [](const ::testing::TestParamInfo<WriterCase>& param) {
                           return std::string(param.param.name);
                         });

// The key lines from the file alone: bound, shown, and a bad or unknown one
// warned about with the default left standing.
TEST(ConfigKeys, WorkFromTheFileAlone) {
  const std::string dir = makeTempDir("keys");
  writeFile(dir + "/c.conf",
            "key-forward = Up\nkey-fire = space\nkey-pause = F5\nkey-back = nokey\nkey-jump = j\n"
            "key-up = w\n");
  RunOptions options;
  char* text = nullptr;
  size_t size = 0;
  FILE* warnings = open_memstream(&text, &size);
  readConfigFile((dir + "/c.conf").c_str(), true, &options, warnings);
  fclose(warnings);
  const std::string said = text ? text : "";
  free(text);
  EXPECT_EQ(options.keys.sym[actionForward], static_cast<uint32_t>(platSymUp));
  EXPECT_EQ(options.keys.sym[actionFire], static_cast<uint32_t>(' '));
  EXPECT_EQ(options.keys.sym[actionPause], platKeySymFromName("F5"));
  EXPECT_EQ(options.keys.sym[actionBack], static_cast<uint32_t>('s')) << "the default stands";
  EXPECT_EQ(options.keys.sym[actionUp], static_cast<uint32_t>('w'));
  EXPECT_NE(said.find("c.conf:4: key-back takes an X key name"), std::string::npos) << said;
  EXPECT_NE(said.find("c.conf:5: unknown setting 'key-jump'"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
  char label[32];
  keyLabel(options.keys.sym[actionFire], label, sizeof label);
  EXPECT_STREQ(label, "Space");
  keyLabel('z', label, sizeof label);
  EXPECT_STREQ(label, "Z") << "as the keyboard labels it";
  keyLabel(platSymEscape, label, sizeof label);
  EXPECT_STREQ(label, "Esc");
  removeTree(dir);
}

// ---- A recorded session ----

// The sensitivity raised twice on Options between two aims, then Quit on
// the pause menu: the recording holds each change before the frame it
// first applies to and ends like any other; its replay gives the same
// trace.
TEST(ScreensRecorded, SensitivityTwiceAndQuitReplayTheSameTrace) {
  const std::string dir = makeTempDir("recorded");
  writeFile(dir + "/script.txt",
            "5 move 40 0\n10 char p\n11 tap down\n12 tap return\n13 tap down\n14 tap down\n"
            "15 tap down\n16 tap down\n17 tap down\n18 tap right\n19 tap right\n20 char p\n"
            "25 move 40 0\n"
            "30 char p\n31 tap up\n32 tap return\n40 move 40 0\n");
  const std::vector<std::string> common = {"--headless", "--data", defaultDataDir(), "--config",
                                           dir + "/c.conf"};
  std::vector<std::string> played = common;
  played.insert(played.end(), {"--seed", "3", "--input", dir + "/script.txt", "--trace",
                               dir + "/played.jsonl", "--record", dir + "/session.rec"});
  const ProcessResult run = runGame(played);
  EXPECT_EQ(run.status, 1) << "Quit ends as Esc does: " << run.err;
  EXPECT_EQ(readFile(dir + "/c.conf"), "mouse-sensitivity = 1.2\n");

  const std::string rec = readFile(dir + "/session.rec");
  const size_t first = rec.find("\noption mouse-sensitivity 1.1\n18 ");
  const size_t second = rec.find("\noption mouse-sensitivity 1.2\n19 ");
  EXPECT_NE(first, std::string::npos) << rec;
  EXPECT_NE(second, std::string::npos) << rec;
  EXPECT_EQ(rec.substr(rec.size() - 4), "end\n");
  EXPECT_EQ(rec.find("\n32 "), std::string::npos) << "no frame after Quit";

  std::vector<std::string> replayed = common;
  replayed.insert(replayed.end(),
                  {"--input", dir + "/session.rec", "--trace", dir + "/replayed.jsonl"});
  const ProcessResult replay = runGame(replayed);
  EXPECT_EQ(replay.status, 0) << replay.err;
  EXPECT_EQ(readFile(dir + "/played.jsonl"), readFile(dir + "/replayed.jsonl"));

  // Each move of 40 pixels turned the aim by the sensitivity then.
  const std::vector<Json> frames = readJsonLines(dir + "/played.jsonl");
  ASSERT_EQ(frames.size(), 32u) << "frames 0 to 31";
  auto turned = [&frames](int f) {
    return frames[f]["camera"]["yaw"].get<double>() - frames[f - 1]["camera"]["yaw"].get<double>();
  };
  EXPECT_NEAR(turned(5), -40 * 0.005, 1e-5);
  EXPECT_NEAR(turned(25), -40 * 0.005 * 1.2, 1e-5);
  removeTree(dir);
}

}  // namespace
