// Tests of the velkarra3d command line: help, version, bad flags, the
// headless run modes, the trace and the screenshot.
#include <FreeImage.h>

#include <cmath>

#include "app/options.h"
#include "game/world.h"
#include "game_support.h"
#include "support/json_lines.h"

namespace {

class CommandLine : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    dir_ = dataDir();
  }
  ProcessResult headless(std::vector<std::string> args) {
    args.insert(args.begin(), {"--headless", "--data", dir_});
    return runGame(args);
  }
  std::string path(const char* name) { return dir_ + "/" + name; }
  std::string dir_;
};

// Without DISPLAY: none of these may try to open a window.
ProcessResult runWithoutDisplay(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"/usr/bin/env", "-u", "DISPLAY", VELKARRA_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return runProcess(argv, "", {"SDL_AUDIODRIVER=dummy"});
}

TEST_F(CommandLine, HelpAndVersion) {
  ProcessResult r = runWithoutDisplay({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Usage: velkarra3d [OPTION]...\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("--headless"), std::string::npos);
  r = runWithoutDisplay({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("velkarra3d ") + VELKARRA_VERSION + "\n");
}

TEST_F(CommandLine, BadFlagsAndValuesSayWhatIsWrongInOneLine) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},
      {"--frames"},
      {"--frames", "-1"},
      {"--frames", "ten"},
      {"--frames", "99999999999"},
      {"--seed", "4294967296"},
      {"--frame-ms", "1.5"},
      {"--start-ms", ""},
      {"--input", "x.txt"},
      {"--start-ms", "5"},
      {"--window", "800"},
      {"--window", "100x100"},
      {"--window", "800x600x2"},
      {"--window", "x600"},
      {"--headless", "--window", "640x480"},
      {"--fullscreen", "--headless"},
      {"--detail", "medium"},
      {"--max-fps", "0"},
      {"--headless", "--max-fps", "30"},
      {"--timedemo", "x.txt"},
      {"--headless", "--timedemo", "x.txt", "--input", "x.txt"},
      {"--speed", "2"},
      {"--watch", "x.rec", "--speed", "3"},
      {"--watch", "x.rec", "--speed", "1/4"},
      {"--watch", "x.rec", "--record", "y.rec"},
      {"--watch", "x.rec", "--watch-score", "1"},
      {"--watch-score", "11"},
      {"--watch", "no-such-recording.v3drec"},
  };
  for (const auto& args : bad) {
    ProcessResult r = runWithoutDisplay(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("velkarra3d: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  ProcessResult r = runWithoutDisplay({"--frames", "x"});
  EXPECT_EQ(r.err, "velkarra3d: --frames takes a whole number from 0 to 2147483647, not 'x'\n");
  r = runWithoutDisplay({"--input", "x.txt"});
  EXPECT_EQ(r.err, "velkarra3d: --input works only with --headless\n");
  r = runWithoutDisplay({"--watch", "x.rec", "--speed", "3"});
  EXPECT_EQ(r.err, "velkarra3d: --speed takes 0.25, 0.5, 1, 2, 4 or 8, not 3\n");
  r = runWithoutDisplay({"--timedemo", "no-such-session.txt"});
  EXPECT_EQ(r.err, "velkarra3d: no-such-session.txt: cannot open: No such file or directory\n");
}

// The table in-process, as the command line and a file of settings use it:
// every kind of value lands in its fields, a value from a file never
// replaces one from the command line whichever comes first, and a bad value
// is reported even where it would be overridden.
TEST(OptionTable, ValuesLandInTheirFieldsAndTheCommandLineWinsOverAFile) {
  char error[256] = "";
  RunOptions o;
  auto apply = [&](const char* name, const char* value, OptionOrigin origin) {
    const OptionRow* row = findOption(name);
    return row && applyOption(*row, value, origin, &o, error, sizeof error);
  };
  const int frames = static_cast<int>(findOption("frames") - optionRows);
  EXPECT_FALSE(optionGiven(o, "frames"));
  EXPECT_TRUE(apply("frames", "10", originFile));
  EXPECT_EQ(o.frames, 10);
  EXPECT_EQ(o.origins[frames], originFile);
  EXPECT_TRUE(apply("frames", "20", originCommandLine));
  EXPECT_TRUE(apply("frames", "30", originFile));
  EXPECT_EQ(o.frames, 20);
  EXPECT_EQ(o.origins[frames], originCommandLine);
  EXPECT_FALSE(apply("frames", "x", originFile));
  EXPECT_STREQ(error, "takes a whole number from 0 to 2147483647, not 'x'");
  EXPECT_EQ(o.frames, 20);
  EXPECT_TRUE(optionGiven(o, "frames"));

  EXPECT_TRUE(apply("fullscreen", "true", originFile));
  EXPECT_TRUE(o.fullscreen);
  EXPECT_TRUE(apply("fullscreen", "false", originFile));
  EXPECT_FALSE(o.fullscreen);
  EXPECT_TRUE(apply("fullscreen", "Yes", originFile));
  EXPECT_TRUE(o.fullscreen);
  EXPECT_TRUE(apply("fullscreen", "off", originFile));
  EXPECT_FALSE(o.fullscreen);
  EXPECT_FALSE(apply("fullscreen", "maybe", originFile));
  EXPECT_STREQ(error, "takes true or false, not 'maybe'");
  EXPECT_TRUE(apply("seed", "4294967295", originFile));
  EXPECT_TRUE(o.hasSeed);
  EXPECT_EQ(o.seed, 4294967295u);
  EXPECT_TRUE(apply("shot-every", "2147483647", originFile));
  EXPECT_EQ(o.shotEvery, INT32_MAX);
  EXPECT_TRUE(apply("window", "1280x720", originFile));
  EXPECT_EQ(o.windowWidth, 1280);
  EXPECT_EQ(o.windowHeight, 720);
  EXPECT_FALSE(apply("window", "1280x119", originFile));
  EXPECT_STREQ(error, "takes WIDTHxHEIGHT from 160x120 to 16384x16384, not '1280x119'");
  EXPECT_TRUE(apply("detail", "low", originFile));
  EXPECT_EQ(o.detail, detailLow);
  EXPECT_FALSE(apply("data", "", originFile));
  EXPECT_STREQ(error, "needs a value");
  EXPECT_FALSE(apply("help", nullptr, originFile));
  // Nothing above touched what was not named.
  EXPECT_EQ(o.dataDir, nullptr);
  EXPECT_EQ(o.frameMs, 16u);
  EXPECT_EQ(o.drawEvery, 1u);
  EXPECT_FALSE(o.headless);

  // A headless-only value from a file meets the same check as one from the
  // command line, once every source is in.
  EXPECT_TRUE(apply("frame-ms", "20", originFile));
  EXPECT_FALSE(checkOptions(o, error, sizeof error));
  EXPECT_STREQ(error, "--frame-ms works only with --headless");
}

TEST(OptionTable, OnTheCommandLineTheLastValueWinsAndOnlyWhatIsGivenIsNoted) {
  const char* args[] = {"velkarra3d", "--headless", "--frames", "3",
                        "--frames",   "5",          "--detail", "high"};
  RunOptions o;
  char error[256] = "";
  EXPECT_EQ(parseOptions(8, const_cast<char**>(args), &o, error, sizeof error), parseRun) << error;
  EXPECT_EQ(o.frames, 5);
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.detail, detailHigh);
  for (const OptionRow& row : optionRows) {
    const bool given = std::string(row.name) == "headless" || std::string(row.name) == "frames" ||
                       std::string(row.name) == "detail";
    EXPECT_EQ(o.origins[&row - optionRows], given ? originCommandLine : originDefault) << row.name;
  }
  EXPECT_FALSE(o.hasSeed);
}

TEST_F(CommandLine, NoDisplayIsOneClearLine) {
  ProcessResult r = runWithoutDisplay({"--data", dir_, "--frames", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("display"), std::string::npos) << r.err;
}

TEST_F(CommandLine, MissingDataFolderAndUnwritableTrace) {
  ProcessResult r = runGame({"--headless", "--data", dir_ + "/nope", "--frames", "1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("nope"), std::string::npos) << r.err;
  r = headless({"--frames", "1", "--trace", dir_ + "/no/such/dir/trace.jsonl"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("trace.jsonl"), std::string::npos) << r.err;
}

TEST_F(CommandLine, MalformedInputScriptsNameTheLine) {
  writeFile(path("input.txt"), "# fine\n1 down a\n2 jump a\n");
  ProcessResult r = headless({"--input", path("input.txt"), "--frames", "3"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("input.txt:3:"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(CommandLine, FramesZeroWritesOnlyTheStartUpLine) {
  ProcessResult r = headless({"--frames", "0", "--trace", path("t.jsonl"), "--start-ms", "77"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<Json> lines = readJsonLines(path("t.jsonl"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["frame"].get<double>(), 0);
  EXPECT_EQ(lines[0]["now"].get<double>(), 77);
  EXPECT_EQ(lines[0]["level"].get<double>(), 1);
  EXPECT_FALSE(lines[0].contains("exit"));
}

TEST_F(CommandLine, TraceHasEveryFieldOfEveryFrame) {
  writeFile(path("input.txt"), "2 down lbutton\n3 tap rbutton\n");
  ProcessResult r =
      headless({"--frames", "40", "--seed", "4", "--trace", path("t.jsonl"), "--input",
                path("input.txt"), "--frame-ms", "20", "--start-ms", "1000"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<Json> lines = readJsonLines(path("t.jsonl"));
  ASSERT_EQ(lines.size(), 41u);
  const std::vector<std::string> fields = {
      "frame",   "now",        "frameMs",  "dt",       "rng",        "level",      "lives",
      "points",  "planesLeft", "gameOver", "paused",   "cameraLock", "lastShotMs", "firedThisLevel",
      "camera",  "cannon",     "planes",   "troopers", "bombs",      "shells",     "particles",
      "missile", "sounds"};
  for (size_t f = 0; f < lines.size(); f++) {
    const Json& line = lines[f];
    EXPECT_EQ(fieldsOf(line), fields) << "frame " << f;
    EXPECT_EQ(line["frame"].get<double>(), static_cast<double>(f));
    EXPECT_EQ(line["now"].get<double>(), 1000 + 20.0 * f);
  }
  EXPECT_EQ(lines[1]["frameMs"].get<double>(), 20);
  EXPECT_FLOAT_EQ(static_cast<float>(lines[1]["dt"].get<double>()), 0.02f);
  EXPECT_EQ(lines[2]["firedThisLevel"].get<double>(), 1);
  EXPECT_EQ(lines[2]["lastShotMs"].get<double>(), 1040);
  EXPECT_EQ(lines[3]["missile"]["active"].get<double>(), 1);
  EXPECT_EQ(lines[3]["missile"]["launchMs"].get<double>(), 1060);
  EXPECT_EQ(fieldsOf(lines[3]["missile"]),
            (std::vector<std::string>{"active", "pos", "vel", "yaw", "pitch", "forward", "right",
                                      "up", "launchMs"}));
  const Json& plane = lines[1]["planes"][0];
  EXPECT_EQ(fieldsOf(plane),
            (std::vector<std::string>{"slot", "pos", "vel", "heading", "turnTimerMs", "bombTimerMs",
                                      "trooperTimerMs"}));
  EXPECT_EQ(plane["pos"].size(), 3u);
  EXPECT_EQ(plane["vel"].size(), 2u);
  const Json& shell = lines[2]["shells"][0];
  EXPECT_EQ(fieldsOf(shell),
            (std::vector<std::string>{"slot", "pos", "vel", "yaw", "pitch", "lifeMs"}));
}

TEST_F(CommandLine, FloatsComeBackExactlyAndTheClockWraps) {
  ProcessResult r = headless({"--frames", "3", "--trace", path("t.jsonl"), "--start-ms",
                              "4294967280", "--frame-ms", "16"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<Json> lines = readJsonLines(path("t.jsonl"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1]["now"].get<double>(), 0);
  EXPECT_EQ(lines[2]["now"].get<double>(), 16);
  EXPECT_EQ(lines[1]["frameMs"].get<double>(), 16);
  EXPECT_EQ(lines[2]["frameMs"].get<double>(), 16);
}

TEST_F(CommandLine, TraceFloatsGiveBackTheVeryFloatsTheGameHeld) {
  ProcessResult r = headless({"--frames", "0", "--seed", "4", "--trace", path("t.jsonl")});
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<Json> lines = readJsonLines(path("t.jsonl"));
  ASSERT_EQ(lines.size(), 1u);
  startHeadlessGame(dir_, 4, 0, 16);
  const Json& traced = lines[0]["planes"];
  ASSERT_EQ(traced.size(), static_cast<size_t>(game.planesLeft));
  for (size_t i = 0; i < traced.size(); i++) {
    EXPECT_EQ(static_cast<float>(traced[i]["pos"][0].get<double>()), planes[i].pos.x);
    EXPECT_EQ(static_cast<float>(traced[i]["pos"][2].get<double>()), planes[i].pos.z);
  }
  EXPECT_EQ(static_cast<float>(lines[0]["camera"]["pitch"].get<double>()), 0.1f);
}

TEST_F(CommandLine, SameSeedSameGameAndTheTraceChangesNothing) {
  writeFile(path("input.txt"), "2 move -40 -60\n3 down lbutton\n40 tap rbutton\n45 move 30 0\n");
  auto run = [&](const char* trace, const char* shot, const char* seed, const char* frames) {
    std::vector<std::string> args = {"--frames",        frames,         "--seed",  seed, "--input",
                                     path("input.txt"), "--screenshot", path(shot)};
    if (trace) args.insert(args.end(), {"--trace", path(trace)});
    ProcessResult r = headless(args);
    EXPECT_EQ(r.status, 0) << r.err;
  };
  run("a.jsonl", "a.png", "11", "60");
  run("b.jsonl", "b.png", "11", "60");
  run(nullptr, "c.png", "11", "60");
  run("d.jsonl", "d.png", "12", "0");
  EXPECT_EQ(readFile(path("a.jsonl")), readFile(path("b.jsonl")));
  EXPECT_EQ(readFile(path("a.png")), readFile(path("c.png"))) << "tracing changed the game";
  std::string first = readFile(path("a.jsonl"));
  EXPECT_NE(first.substr(0, first.find('\n')), readFile(path("d.jsonl")));
}

TEST_F(CommandLine, ScreenshotIsTheWindowAsPng) {
  ProcessResult r = headless({"--frames", "2", "--screenshot", "shot.png"});
  EXPECT_EQ(r.status, 0) << r.err;
  // A relative name is taken from where the game was started, not the data folder.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  std::string file = std::string(cwd) + "/shot.png";
  FIBITMAP* image = FreeImage_Load(FIF_PNG, file.c_str(), 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(image), 800u);
  EXPECT_EQ(FreeImage_GetHeight(image), 600u);
  RGBQUAD top;
  FreeImage_GetPixelColor(image, 400, 590, &top);  // sky, near the top edge
  EXPECT_GT(top.rgbBlue, top.rgbRed);
  FreeImage_Unload(image);
  unlink(file.c_str());
}

}  // namespace
