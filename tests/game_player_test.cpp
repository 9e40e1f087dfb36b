// game_player_test.cpp: what stays the player's: the configuration file
// (the command line over the file, every kind of bad line, --print-config),
// the player's own keys headless (F9, F11, Alt+Enter, F12, M), and sessions
// played with the world options replaying to the same trace.
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "app/comforts.h"
#include "app/config.h"
#include "app/options.h"
#include "app/source.h"
#include "app/world_options.h"
#include "game/bindings.h"
#include "game/clock.h"
#include "game/input.h"
#include "game/sounds.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/frame_counter.h"
#include "session/replay.h"
#include "support/json_lines.h"

namespace {

// The real binary with its own scratch homes; conf, when given, is the
// configuration file there.
class Player : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    home_ = makeTempDir("home");
  }
  void TearDown() override {
    removeTree(home_);
    GameTest::TearDown();
  }
  std::string confPath() { return home_ + "/config/velkarra3d/velkarra3d.conf"; }
  void writeConf(const std::string& text) {
    mkdir((home_ + "/config").c_str(), 0755);
    mkdir((home_ + "/config/velkarra3d").c_str(), 0755);
    writeFile(confPath(), text);
  }
  ProcessResult run(std::vector<std::string> args) {
    args.insert(args.begin(), VELKARRA_BINARY);
    return runProcess(args, "",
                      {"SDL_AUDIODRIVER=dummy", "XDG_CONFIG_HOME=" + home_ + "/config",
                       "XDG_DATA_HOME=" + home_ + "/data"},
                      240000);
  }
  ProcessResult headless(std::vector<std::string> args) {
    args.insert(args.begin(),
                {"--headless", "--data", defaultDataDir(), "--seed", "5", "--detail", "low"});
    return run(args);
  }
  // The --print-config line of one setting: "VALUE ORIGIN".
  static std::string shown(const std::string& printed, const std::string& name) {
    const size_t at = printed.find("\n" + name + " ");
    if (at == std::string::npos) return "";
    std::string line = printed.substr(at + 1, printed.find('\n', at + 1) - at - 1);
    line = line.substr(name.size());
    line.erase(0, line.find_first_not_of(' '));
    const size_t gap = line.find(' ');
    return line.substr(0, gap) + " " + line.substr(line.find_first_not_of(' ', gap));
  }
  std::string home_;
};

TEST_F(Player, TheCommandLineWinsOverTheFileAndPrintConfigSaysWhereEachCameFrom) {
  writeConf(
      "# mine\n"
      "detail = high\n"
      "volume=40\n"
      "  mouse-sensitivity = 2.5   # quick\n"
      "\n"
      "mute = yes\n"
      "show-fps = On\r\n"
      "invert-y = 1\n"
      "invert-y = off\n"
      "vsync = no\n");
  // A flag's other words, in the file and after '=', print as true or false.
  ProcessResult r = run({"--print-config", "--volume", "70", "--mute=no"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::string file = confPath();
  EXPECT_EQ(r.out.rfind("# configuration file: " + file + "\n", 0), 0u) << r.out;
  EXPECT_EQ(shown(r.out, "detail"), "high " + file + ":2");
  EXPECT_EQ(shown(r.out, "volume"), "70 command line");
  EXPECT_EQ(shown(r.out, "mouse-sensitivity"), "2.5 " + file + ":4");
  EXPECT_EQ(shown(r.out, "mute"), "false command line");
  EXPECT_EQ(shown(r.out, "show-fps"), "true " + file + ":7");
  EXPECT_EQ(shown(r.out, "invert-y"), "false " + file + ":9");  // the last line wins
  EXPECT_EQ(shown(r.out, "window"), "800x600 default");
  EXPECT_EQ(shown(r.out, "max-fps"), "none default");
  EXPECT_EQ(shown(r.out, "vsync"), "false " + file + ":10");

  // --no-config reads nothing, --config reads another file instead.
  r = run({"--print-config", "--no-config"});
  EXPECT_EQ(shown(r.out, "detail"), "auto default");
  EXPECT_EQ(shown(r.out, "vsync"), "true default");
  EXPECT_EQ(shown(r.out, "volume"), "100 default");
  writeFile(home_ + "/other.conf", "volume = 5\n");
  r = run({"--print-config", "--config", home_ + "/other.conf"});
  EXPECT_EQ(shown(r.out, "volume"), "5 " + home_ + "/other.conf:1");
  EXPECT_EQ(shown(r.out, "detail"), "auto default");
  r = run({"--print-config", "--config", home_ + "/other.conf", "--no-config"});
  EXPECT_EQ(r.status, 2);

  // A file that cannot be read, named or not: one line, the defaults, and
  // the game goes on.
  for (const std::string& named : {home_ + "/missing.conf", home_}) {
    r = run({"--print-config", "--config", named});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("cannot read the configuration " + named), std::string::npos) << r.err;
    EXPECT_EQ(shown(r.out, "volume"), "100 default");
  }

  // A file that is not text (a picture, a program given by mistake): one
  // line, and none of it is read, not even its good first line.
  const std::string binary = home_ + "/binary.conf";
  for (const std::string& head : {std::string("volume = 5\n\x89PNG\r\n\x1a\n\0\0\0\rIHDR\n", 23),
                                  std::string("volume = 5\nmute = \xff\xfe\x1b[2J\n")}) {
    writeFile(binary, head + "show-fps = true\n");
    r = run({"--print-config", "--config", binary});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "velkarra3d: " + binary + ": not a text file; ignored\n");
    EXPECT_EQ(shown(r.out, "volume"), "100 default");
    EXPECT_EQ(shown(r.out, "show-fps"), "false default");
  }

  // What a file asks for that a headless run cannot do is left out quietly.
  writeConf("window = 1024x768\nfullscreen = true\nmax-fps = 30\n");
  r = headless({"--frames", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = headless({"--print-config"});
  EXPECT_EQ(shown(r.out, "fullscreen"), "false default");
}

TEST_F(Player, EachBadLineGetsOneWarningAndTheGameStartsWithTheRest) {
  struct Bad {
    std::string line, message;
  };
  const std::vector<Bad> bad = {
      {"bogus = 1", "unknown setting 'bogus'"},
      {"= 3", "unknown setting ''"},
      {"seed = 4", "'seed' is an option of the command line only"},
      {"invert-y", "expected 'name = value', not 'invert-y'"},
      {"volume = 101", "volume takes a whole number from 0 to 100, not '101'"},
      {"volume = -1", "volume takes a whole number from 0 to 100, not '-1'"},
      {"mouse-sensitivity = 0.05", "mouse-sensitivity takes a number from 0.1 to 10, not '0.05'"},
      {"mouse-sensitivity = 1e1", "takes a number from 0.1 to 10, not '1e1'"},
      {"mouse-sensitivity = nan", "not 'nan'"},
      {"window = 100x100", "window takes WIDTHxHEIGHT"},
      {"detail = medium", "detail takes high or low, not 'medium'"},
      {"mute = maybe", "mute takes true or false, not 'maybe'"},
      {"fullscreen =", "fullscreen takes true or false, not ''"},
      {"max-fps = 0", "max-fps takes a whole number from 1 to 100000"},
      {std::string(2000, 'x'), "longer than 1023 bytes"},
      {std::string("volume = 1\0 2", 12), "not a text line (a NUL byte)"},
      {"data = /tmp", "'data' is an option of the command line only"},
  };
  std::string text = "volume = 50\n";
  for (const Bad& b : bad) text += b.line + "\n";
  text += "show-fps = true";  // no newline at the end
  writeConf(text);
  ProcessResult r = run({"--print-config"});
  EXPECT_EQ(r.status, 0);
  std::vector<std::string> lines;
  for (size_t at = 0; at < r.err.size();) {
    const size_t end = r.err.find('\n', at);
    lines.push_back(r.err.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(lines.size(), bad.size()) << r.err;
  for (size_t i = 0; i < bad.size(); i++) {
    const std::string where = "velkarra3d: " + confPath() + ":" + std::to_string(i + 2) + ": ";
    EXPECT_EQ(lines[i].rfind(where, 0), 0u) << lines[i];
    EXPECT_NE(lines[i].find(bad[i].message), std::string::npos) << lines[i];
    EXPECT_NE(lines[i].find("line skipped"), std::string::npos) << lines[i];
  }
  EXPECT_EQ(shown(r.out, "volume"), "50 " + confPath() + ":1");
  EXPECT_EQ(shown(r.out, "show-fps"), "true " + confPath() + ":" + std::to_string(bad.size() + 2));
  EXPECT_EQ(shown(r.out, "mouse-sensitivity"), "1 default");

  // A file of nothing but faults: a few lines of warnings, not thousands,
  // and a game that runs.
  std::string many;
  for (int i = 0; i < 500; i++) many += "bogus" + std::to_string(i) + " = 1\n";
  writeConf(many);
  r = headless({"--frames", "2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), configWarningsMax + 1) << r.err;
}

// The keys through the headless script: the world's trace is the same with
// them as without, F9 puts the counter in the picture, F12 saves one.
TEST_F(Player, ThePlayersKeysChangePicturesAndFilesButNoTrace) {
  const std::string dir = home_ + "/run";
  mkdir(dir.c_str(), 0755);
  const std::string moves = "3 down lbutton\n20 move -40 10\n30 up lbutton\n";
  writeFile(dir + "/plain.txt", moves);
  writeFile(dir + "/keys.txt", moves +
                                   "5 tap f9\n8 tap f11\n9 tap alt+enter\n10 tap m\n"
                                   "12 tap f12\n13 down f12\n25 up f12\n26 tap m\n");
  ProcessResult plain = headless({"--frames", "40", "--input", dir + "/plain.txt", "--trace",
                                  dir + "/plain.jsonl", "--screenshot", dir + "/plain.png"});
  ProcessResult keys = headless({"--frames", "40", "--input", dir + "/keys.txt", "--trace",
                                 dir + "/keys.jsonl", "--screenshot", dir + "/keys.png"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  ASSERT_EQ(keys.status, 0) << keys.err;
  EXPECT_EQ(readFile(dir + "/plain.jsonl"), readFile(dir + "/keys.jsonl"));
  EXPECT_NE(readFile(dir + "/plain.png"), readFile(dir + "/keys.png")) << "no frame counter";

  // F12 twice (a tap, then a key held over many frames): two pictures, each
  // named on its own stdout line.
  EXPECT_EQ(plain.out, "");
  EXPECT_EQ(std::count(keys.out.begin(), keys.out.end(), '\n'), 2) << keys.out;
  const std::string folder = home_ + "/data/velkarra3d/screenshots/velkarra3d-";
  const size_t cut = keys.out.find('\n');
  const std::string first = keys.out.substr(0, cut);
  const std::string second = keys.out.substr(cut + 1, keys.out.size() - cut - 2);
  EXPECT_EQ(first.rfind(folder, 0), 0u) << first;
  EXPECT_EQ(first.size(), folder.size() + 19) << first;  // YYYYMMDD-HHMMSS.png
  // The second within the same second gets a name of its own.
  if (second.size() != first.size()) {
    EXPECT_EQ(second, first.substr(0, first.size() - 4) + "-1.png");
  }
  for (const std::string& path : {first, second})
    EXPECT_EQ(readFile(path).substr(0, 4), "\x89PNG") << path;
}

// A session that pressed F12, F11 and Alt+Enter, replayed, timed or played
// by the autoplayer: the world's trace is the same, but no picture is saved
// (no folder is even made) and the window keeps its state; F9 and M still
// act.
TEST_F(Player, ReplaysAndTheAutoplayerLeaveTheDesktopKeysAlone) {
  const std::string dir = home_ + "/run";
  mkdir(dir.c_str(), 0755);
  writeFile(dir + "/keys.txt",
            "3 down lbutton\n5 tap f9\n8 tap f11\n12 tap f12\n13 down f12\n20 move -40 10\n"
            "25 up f12\n26 tap alt+enter\n28 tap m\n30 up lbutton\n31 tap f11\n");
  const std::string recording = dir + "/keys.rec";
  ProcessResult played = headless({"--frames", "40", "--input", dir + "/keys.txt", "--record",
                                   recording, "--trace", dir + "/played.jsonl"});
  ASSERT_EQ(played.status, 0) << played.err;
  ASSERT_EQ(std::count(played.out.begin(), played.out.end(), '\n'), 2) << played.out;

  const std::string clean = home_ + "/clean";  // the data home of the runs below
  auto runClean = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {VELKARRA_BINARY, "--headless", "--data", defaultDataDir()});
    return runProcess(args, "",
                      {"SDL_AUDIODRIVER=dummy", "XDG_CONFIG_HOME=" + home_ + "/config",
                       "XDG_DATA_HOME=" + clean, "HOME=" + clean + "-home"},
                      240000);
  };
  ProcessResult replayed = runClean({"--input", recording, "--trace", dir + "/replayed.jsonl"});
  EXPECT_EQ(replayed.status, 0) << replayed.err;
  EXPECT_EQ(replayed.out, "");
  EXPECT_EQ(readFile(dir + "/replayed.jsonl"), readFile(dir + "/played.jsonl"));
  ProcessResult timed = runClean({"--timedemo", recording});
  EXPECT_EQ(timed.status, 0) << timed.err;
  EXPECT_EQ(std::count(timed.out.begin(), timed.out.end(), '\n'), 1) << timed.out;
  struct stat info;
  EXPECT_NE(stat(clean.c_str(), &info), 0) << "a replay made the data home";
  EXPECT_NE(stat((clean + "-home").c_str(), &info), 0) << "a replay made a home";

  // In-process: the replay and the autoplayer toggle no full screen.
  char error[512];
  for (const InputSource source : {inputFromReplay, inputFromAutoplay}) {
    start();
    if (source == inputFromReplay) {
      ASSERT_TRUE(replayOpen(recording.c_str(), worldOptionRules, error, sizeof error)) << error;
      startClock(replayStartMs());
    }
    setInputSource(source);
    headlessKeyTap(platF11);  // what the autoplayer's platform hands it
    runFrames(39);            // the recording's last frame would end the process
    EXPECT_FALSE(headlessFullScreen()) << source;
    EXPECT_EQ(frameCounterShown(), source == inputFromReplay) << source;
    replayClose();
  }
}

// In-process: what each key asks of the platform and of the HUD.
TEST_F(Player, KeysToggleFullScreenSoundAndCounter) {
  start();
  runFrames(1);
  EXPECT_FALSE(headlessFullScreen());
  headlessKeyTap(platF11);
  runFrames(1);
  EXPECT_TRUE(headlessFullScreen());
  headlessKeyTap(platAltEnter);
  runFrames(1);
  EXPECT_FALSE(headlessFullScreen());
  // Both in one frame toggle once; a key held down toggles once.
  headlessKeyTap(platAltEnter);
  headlessKeyDown(platF11);
  runFrames(5);
  EXPECT_TRUE(headlessFullScreen());
  headlessKeyUp(platF11);

  EXPECT_EQ(headlessSoundVolume(), 100);
  headlessKeyTap('M');
  runFrames(1);
  EXPECT_EQ(headlessSoundVolume(), 0);
  playSound(soundBurst);  // muted: the world still hears it, the speaker not
  EXPECT_EQ(frameSoundCount(), 1);
  EXPECT_EQ(headlessSoundCount(), 0);
  headlessKeyTap('m');
  runFrames(1);
  EXPECT_EQ(headlessSoundVolume(), 100);

  EXPECT_FALSE(frameCounterShown());
  headlessKeyTap(platF9);
  runFrames(1);
  EXPECT_TRUE(frameCounterShown());
  runFrames(40);  // 16 ms frames
  EXPECT_STREQ(frameCounterText(), "62 fps");
  headlessKeyTap(platF9);
  runFrames(1);
  EXPECT_FALSE(frameCounterShown());
}

TEST_F(Player, VolumeMuteAndShowFpsOptionsSetTheStart) {
  runOptions = RunOptions{};
  platInitHeadless(0, 16);
  runOptions.volume = 40;
  startComforts();
  EXPECT_EQ(headlessSoundVolume(), 40);
  runOptions.mute = true;
  runOptions.showFps = true;
  startComforts();
  EXPECT_EQ(headlessSoundVolume(), 0);
  EXPECT_TRUE(frameCounterShown());
  runOptions = RunOptions{};
  startComforts();
}

// Screenshot names: the second of the same second gets -1, the next -2, and
// a file already there is never replaced.
TEST_F(Player, ScreenshotNamesNeverReplaceAFile) {
  tm when = {};
  when.tm_year = 126, when.tm_mon = 11, when.tm_mday = 7, when.tm_hour = 9, when.tm_min = 5;
  char name[4200];
  std::vector<std::string> names;
  writeFile(home_ + "/velkarra3d-20261207-090500-1.png", "mine");
  for (int i = 0; i < 3; i++) {
    ASSERT_TRUE(claimScreenshotName(home_.c_str(), when, name, sizeof name));
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{home_ + "/velkarra3d-20261207-090500.png",
                                             home_ + "/velkarra3d-20261207-090500-2.png",
                                             home_ + "/velkarra3d-20261207-090500-3.png"}));
  EXPECT_EQ(readFile(home_ + "/velkarra3d-20261207-090500-1.png"), "mine");
  EXPECT_FALSE(claimScreenshotName((home_ + "/missing").c_str(), when, name, sizeof name));
}

// A session played with each world option, and with all of them from the
// file, replays to the very trace, whatever the replay's own options say;
// and each option did change the world.
TEST_F(Player, SessionsPlayedWithWorldOptionsReplayToTheSameTrace) {
  const std::string dir = home_ + "/rec";
  mkdir(dir.c_str(), 0755);
  // Aim, fire, a missile steered, the focus lost and given back, then p; a
  // sensitivity of more digits than a float holds, written back exactly.
  writeFile(dir + "/input.txt",
            "2 move -20 -15\n3 down lbutton\n10 move 12 30\n12 up lbutton\n14 tap rbutton\n"
            "16 move 20 -10\n22 move 40 25\n30 focus out\n33 focus in\n36 move -7 12\n"
            "40 char p\n42 move 5 -5\n");
  const std::vector<std::vector<std::string>> played = {{},
                                                        {"--mouse-sensitivity", "2.34567891"},
                                                        {"--invert-y"},
                                                        {"--pause-on-focus-loss"},
                                                        {"file"}};
  std::string plainTrace;
  for (size_t i = 0; i < played.size(); i++) {
    const std::string n = dir + "/" + std::to_string(i);
    std::vector<std::string> args = {"--frames", "50",       "--input", dir + "/input.txt",
                                     "--record", n + ".rec", "--trace", n + ".jsonl"};
    if (played[i] == std::vector<std::string>{"file"})
      writeConf("mouse-sensitivity = 0.5\ninvert-y = true\npause-on-focus-loss = true\n");
    else
      args.insert(args.end(), played[i].begin(), played[i].end());
    ProcessResult r = headless(args);
    ASSERT_EQ(r.status, 0) << r.err;
    // The replay's own configuration says otherwise.
    writeConf("mouse-sensitivity = 7\ninvert-y = false\npause-on-focus-loss = false\n");
    r = headless({"--input", n + ".rec", "--trace", n + ".again.jsonl"});
    ASSERT_EQ(r.status, 0) << r.err;
    writeConf("");
    const std::string trace = readFile(n + ".jsonl");
    EXPECT_GT(std::count(trace.begin(), trace.end(), '\n'), 50);
    EXPECT_TRUE(trace == readFile(n + ".again.jsonl")) << "replay differs: " << i;
    if (i == 0)
      plainTrace = trace;
    else
      EXPECT_NE(trace, plainTrace) << "the option changed nothing: " << i;
  }
  // Paused by the focus loss, and still paused with the focus back until p.
  const std::vector<Json> paused = readJsonLines(dir + "/3.jsonl");
  EXPECT_EQ(paused.at(29)["paused"].get<int>(), 0);
  EXPECT_EQ(paused.at(31)["paused"].get<int>(), 1);
  EXPECT_EQ(paused.at(38)["paused"].get<int>(), 1);
  EXPECT_EQ(paused.at(41)["paused"].get<int>(), 0);
  const std::string withFile = readFile(dir + "/4.rec");
  const std::string options =
      "\noption mouse-sensitivity 0.5\noption invert-y true\noption pause-on-focus-loss true\n";
  ASSERT_NE(withFile.find(options), std::string::npos);

  // The same session as version 3 wrote it (the flags as 1 and 0) replays
  // to the same trace.
  std::string old = withFile;
  old.replace(0, old.find('\n'), "# velkarra3d input 3");
  const size_t dataLine = old.find("\ndata ") + 1;  // version 5 names its data set
  old.erase(dataLine, old.find('\n', dataLine) + 1 - dataLine);
  old.replace(old.find(options), options.size(),
              "\noption mouse-sensitivity 0.5\noption invert-y 1\noption pause-on-focus-loss 1\n");
  writeFile(dir + "/old.rec", old);
  ASSERT_EQ(headless({"--input", dir + "/old.rec", "--trace", dir + "/old.jsonl"}).status, 0);
  EXPECT_TRUE(readFile(dir + "/old.jsonl") == readFile(dir + "/4.jsonl"));

  // An option line between two frames applies from the next frame on: the
  // plain session with the sensitivity raised before frame 16 (whose mouse
  // move it scales) is the plain one up to frame 15. Its replay recorded
  // again holds the line at the same place and replays the same.
  std::string changed = readFile(dir + "/0.rec");
  changed.insert(changed.find("\n16 ") + 1, "option mouse-sensitivity 2.5\n");
  writeFile(dir + "/changed.rec", changed);
  ASSERT_EQ(headless({"--input", dir + "/changed.rec", "--trace", dir + "/changed.jsonl",
                      "--record", dir + "/again.rec"})
                .status,
            0);
  const std::vector<Json> plain = readJsonLines(dir + "/0.jsonl");
  const std::vector<Json> raised = readJsonLines(dir + "/changed.jsonl");
  ASSERT_EQ(raised.size(), plain.size());
  for (int frame = 0; frame <= 15; frame++) EXPECT_EQ(raised[frame], plain[frame]) << frame;
  EXPECT_NE(raised[16]["missile"]["yaw"], plain[16]["missile"]["yaw"]);  // steered further
  EXPECT_NE(readFile(dir + "/again.rec").find("\noption mouse-sensitivity 2.5\n16 "),
            std::string::npos);
  ASSERT_EQ(headless({"--input", dir + "/again.rec", "--trace", dir + "/again.jsonl"}).status, 0);
  EXPECT_TRUE(readFile(dir + "/again.jsonl") == readFile(dir + "/changed.jsonl"));
}

// The default scales stay exactly the plain ones; sensitivity and invert-y
// scale and turn them.
TEST_F(Player, SensitivityAndInvertScaleTheAim) {
  start();
  runFrames(1);
  const float yaw = camera.yaw, pitch = camera.pitch;
  headlessMoveCursor(-40, -20);
  runFrames(1);
  EXPECT_EQ(camera.yaw, yaw + static_cast<float>(40) * 0.005f);
  EXPECT_EQ(camera.pitch, pitch + static_cast<float>(20) * 0.005f);
  worldOptions.mouseSensitivity = 2;
  worldOptions.invertY = true;
  const float yaw2 = camera.yaw, pitch2 = camera.pitch;
  headlessMoveCursor(-40, -20);
  runFrames(1);
  EXPECT_NEAR(camera.yaw - yaw2, 0.4f, 1e-5);
  EXPECT_NEAR(camera.pitch - pitch2, -0.2f, 1e-5);
}

// Each of the player's keys is listed where a player looks for it.
TEST(PlayersKeys, AreListedInTheHelpTheManualPageAndTheReadme) {
  const std::string page = readFile(std::string(VELKARRA_SOURCE_DIR) + "/dist/velkarra3d.6");
  const std::string controls = page.substr(page.find(".SH CONTROLS"));
  const std::string readme = readFile(std::string(VELKARRA_SOURCE_DIR) + "/README.md");
  const size_t table = readme.find("| Control |");
  const std::string rows = readme.substr(table, readme.find("\n\n", table) - table);
  for (const std::string key : {"F11", "Alt+Enter", "F12", "F9", "M", "F1"}) {
    EXPECT_NE(std::string(usageText()).find(key + " "), std::string::npos) << key;
    EXPECT_NE(controls.find(key), std::string::npos) << key;
    EXPECT_TRUE(rows.find("| " + key + " |") != std::string::npos ||
                rows.find("| " + key + ",") != std::string::npos ||
                rows.find(", " + key + " |") != std::string::npos)
        << key;
  }
  // Every action a key can be bound to, by its name in the configuration
  // file (the manual page escapes its hyphens).
  for (const KeyActionRow& action : keyActions) {
    std::string escaped;
    for (const char* c = action.configName; *c; c++)
      escaped += *c == '-' ? "\\-" : std::string(1, *c);
    EXPECT_NE(readme.find(std::string("`") + action.configName + "`"), std::string::npos)
        << action.configName;
    EXPECT_NE(page.find(escaped), std::string::npos) << action.configName;
  }
}

}  // namespace
