// game_watch_test.cpp: recordings read plain or compressed, the data set
// they name, a recording watched (headless, the watcher's keys from a
// script), and the runs folder beside the score table: what a run keeps,
// what goes, and --verify-scores.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "base/gzip_file.h"
#include "game_support.h"
#include "session/runs.h"
#include "session/scores.h"
#include "support/json_lines.h"

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  for (size_t at = 0, end; at < text.size(); at = end + 1) {
    end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(at, end - at));
  }
  return out;
}

int frameOf(const std::string& line) {
  Json f;
  return parseJsonLine(line, &f) ? f["frame"].get<int>() : -1;
}

size_t countOf(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}

// ---- The reader and the writer ----

struct Read {
  std::string bytes;
  GzipStatus status;
};

Read readAll(GzipReader* r) {
  Read got;
  for (int c; (c = gzipByte(r)) >= 0;) got.bytes += static_cast<char>(c);
  got.status = r->status;
  return got;
}

// Each form of a text, read from memory and from a file, and again after a
// rewind: the bytes that come out and how the reading ends.
TEST(GzipFile, ReadsPlainAndCompressedAlikeAndTellsCutFromDamaged) {
  const std::string dir = makeTempDir("gzip");
  std::string text;
  for (int i = 0; i < 4000; i++) text += "frame " + std::to_string(i * 7919 % 10007) + " 16\n";
  const std::string packedPath = dir + "/text.gz";
  GzipWriter w;
  ASSERT_TRUE(gzipCreate(&w, open(packedPath.c_str(), O_WRONLY | O_CREAT, 0644), true));
  for (size_t at = 0; at < text.size(); at += 97)
    ASSERT_TRUE(gzipWrite(&w, text.data() + at, std::min<size_t>(97, text.size() - at)));
  ASSERT_TRUE(gzipFinish(&w));
  const std::string packed = readFile(packedPath);
  ASSERT_LT(packed.size(), text.size() / 2) << "not compressed";
  EXPECT_TRUE(runProcess({"/bin/zcat", packedPath}).out == text) << "zcat reads it otherwise";

  std::string damaged = packed;
  damaged[damaged.size() / 2] ^= 0x55;
  struct Case {
    const char* name;
    std::string bytes, wanted;  // wanted: what comes out (for a cut: all of it starts so)
    GzipStatus status;
  };
  const std::vector<Case> cases = {
      {"plain", text, text, gzipEnded},
      {"compressed", packed, text, gzipEnded},
      {"two members", packed + packed, text + text, gzipEnded},
      {"empty", "", "", gzipEnded},
      {"cut", packed.substr(0, packed.size() / 2), text, gzipCut},
      {"damaged", damaged, "", gzipCorrupt},
      {"junk after the end", packed + "junk", text, gzipCorrupt},
  };
  for (const Case& c : cases) {
    const std::string path = dir + "/case";
    writeFile(path, c.bytes);
    GzipReader fromFile, fromMemory;
    ASSERT_TRUE(gzipOpen(&fromFile, path.c_str()));
    gzipOpenMemory(&fromMemory, c.bytes.data(), c.bytes.size());
    for (GzipReader* r : {&fromFile, &fromMemory}) {
      const Read first = readAll(r);
      EXPECT_EQ(first.status, c.status) << c.name;
      if (c.status == gzipEnded) {
        EXPECT_TRUE(first.bytes == c.wanted) << c.name;
      }
      if (c.status == gzipCut) {
        EXPECT_GT(first.bytes.size(), 0u) << c.name;
        EXPECT_LT(first.bytes.size(), text.size()) << c.name;
        EXPECT_EQ(text.compare(0, first.bytes.size(), first.bytes), 0) << c.name;
      }
      char fault[160];
      gzipFault(*r, fault, sizeof fault);
      EXPECT_EQ(std::string(fault).find("damaged") != std::string::npos, c.status == gzipCorrupt)
          << c.name << ": " << fault;
      ASSERT_TRUE(gzipRewind(r));
      const Read again = readAll(r);
      EXPECT_TRUE(again.bytes == first.bytes && again.status == first.status) << c.name;
      gzipClose(r);
    }
  }
  removeTree(dir);
}

// ---- Recordings replayed and watched ----

class Recordings : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    dir_ = dataDir();
  }
  // A headless session of the autoplayer, recorded into `name`.
  void record(const std::string& name, int seed, int frames) {
    const ProcessResult r =
        run({"--seed", std::to_string(seed), "--autoplay", "--frames", std::to_string(frames),
             "--draw-every", "1000", "--record", path(name), "--trace", path(name + ".jsonl")});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  ProcessResult run(std::vector<std::string> args, const std::string& data = "") {
    args.insert(args.begin(), {"--headless", "--data", data.empty() ? dir_ : data});
    return runGame(args);
  }
  // Watches a recording headless, the watcher's keys from `keys`.
  ProcessResult watch(const std::string& recording, const std::string& keys,
                      std::vector<std::string> more = {}, const std::string& data = "") {
    writeFile(path("keys.txt"), keys);
    more.insert(more.begin(), {"--watch", recording, "--input", path("keys.txt"), "--trace",
                               path("watched.jsonl")});
    return run(more, data);
  }
  std::string path(const std::string& name) { return dir_ + "/" + name; }
  std::string dir_;
};

// A recording written plain or compressed replays and is watched to the
// same trace; what is not the run is refused in one line with status 2,
// and a compressed recording cut short plays its whole frames.
TEST_F(Recordings, PlainOrCompressedReplayTheRunAndWhatIsNotTheRunIsRefused) {
  record("a.v3drec", 3, 300);
  record("a.v3drec.gz", 3, 300);
  const std::string plain = readFile(path("a.v3drec")), packed = readFile(path("a.v3drec.gz"));
  EXPECT_EQ(plain.rfind("# velkarra3d input 5\nseed 3\nstart 0\ncentre 500 350\ndata ", 0), 0u);
  EXPECT_EQ(packed.substr(0, 2), "\x1f\x8b");
  EXPECT_TRUE(runProcess({"/bin/zcat", path("a.v3drec.gz")}).out == plain);
  const std::string run = readFile(path("a.v3drec.jsonl"));
  for (const char* name : {"a.v3drec", "a.v3drec.gz"}) {
    const ProcessResult replayed = this->run({"--input", path(name), "--trace", path("r.jsonl")});
    EXPECT_EQ(replayed.status, 0) << replayed.err;
    EXPECT_TRUE(readFile(path("r.jsonl")) == run) << name;
    const ProcessResult watched = watch(path(name), "", {"--speed", "8"});
    EXPECT_EQ(watched.status, 0) << watched.err;
    EXPECT_TRUE(readFile(path("watched.jsonl")) == run) << name;
  }

  // Cut in the middle of its compressed stream: the frames before the cut.
  writeFile(path("cut.v3drec.gz"), packed.substr(0, packed.size() * 2 / 3));
  for (bool watching : {false, true}) {
    const ProcessResult cut =
        watching ? watch(path("cut.v3drec.gz"), "", {"--speed", "8"})
                 : this->run({"--input", path("cut.v3drec.gz"), "--trace", path("watched.jsonl")});
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_EQ(countOf(cut.err, "cut short"), 1u) << cut.err;
    const std::string got = readFile(path("watched.jsonl"));
    EXPECT_GT(got.size(), run.size() / 3);
    EXPECT_LT(got.size(), run.size());
    EXPECT_EQ(run.compare(0, got.size(), got), 0) << "not the run's first frames";
  }

  // The same recording on a data set whose settings changed, refused; one
  // of version 4, which names no data set, replays there as it always did.
  const std::string changed = dataDir({{setting("planeSpeed"), "6"}});
  std::string old = plain;
  old.replace(0, old.find("option"), plain.substr(0, plain.find("data ")));
  old.replace(old.find(" 5\n"), 3, " 4\n");
  writeFile(path("old.v3drec"), old);
  ProcessResult oldOnChanged = this->run({"--input", path("old.v3drec")}, changed);
  EXPECT_EQ(oldOnChanged.status, 0) << oldOnChanged.err;

  std::string damaged = packed;
  damaged[damaged.size() / 2] ^= 0x55;
  writeFile(path("damaged.v3drec.gz"), damaged);
  writeFile(path("later.v3drec"), "# velkarra3d input 6\nseed 1\n");
  writeFile(path("script.txt"), "5 tap lbutton\n");
  struct Refused {
    std::string file, said, data;
    bool replayToo;  // --input refuses it too (a script is --input's own)
  };
  const std::vector<Refused> refused = {
      {path("damaged.v3drec.gz"), "the compressed data is damaged", dir_, true},
      {path("later.v3drec"), "recorded by a newer velkarra3d (input 6", dir_, true},
      {path("a.v3drec.gz"), ": recorded on another data set (data ", changed, true},
      {path("script.txt"), "not a recorded velkarra3d session", dir_, false},
      {path("no-such.v3drec"), "no-such.v3drec: cannot open", dir_, true},
  };
  for (const Refused& r : refused) {
    for (bool watching : {true, false}) {
      if (!watching && !r.replayToo) continue;
      const ProcessResult got =
          watching ? watch(r.file, "", {}, r.data) : this->run({"--input", r.file}, r.data);
      EXPECT_EQ(got.status, 2) << r.file;
      EXPECT_EQ(countOf(got.err, "\n"), 1u) << got.err;
      EXPECT_NE(got.err.find(r.said), std::string::npos) << got.err;
    }
  }
}

// The watcher's keys, at frames of the watch's own clock (16 ms a tick
// headless), and how many recorded frames ran before Home at tick 30: the
// first tick starts the clock, each tick after it moves the playhead by
// 16 ms times the speed, and the keys of a tick act before it moves.
struct Controls {
  const char* name;
  const char* keys;
  const char* speed;
  int framesBeforeHome;
};

void PrintTo(const Controls& c, std::ostream* out) { *out << c.name; }

class WatchControls : public Recordings, public ::testing::WithParamInterface<Controls> {
 protected:
  static void SetUpTestSuite() {
    // One recording for every case: 24 s of the autoplayer, 16 ms a frame.
    recording_ = makeTempDir("watched") + "/long.v3drec";
    const ProcessResult r = runGame({"--headless", "--data", defaultDataDir(), "--seed", "2",
                                     "--autoplay", "--frames", "1500", "--draw-every", "1000",
                                     "--record", recording_, "--trace", recording_ + ".jsonl"});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  static void TearDownTestSuite() { removeTree(recording_.substr(0, recording_.rfind('/'))); }
  static inline std::string recording_;
};

TEST_P(WatchControls, PaceTheFramesAndHomeStartsAgain) {
  const Controls c = GetParam();
  const ProcessResult r =
      watch(recording_, std::string(c.keys) + "30 tap home\n31 tap esc\n", {"--speed", c.speed});
  EXPECT_EQ(r.status, 0) << r.err;  // Esc
  const std::vector<std::string> watched = lines(readFile(path("watched.jsonl")));
  const std::vector<std::string> run = lines(readFile(recording_ + ".jsonl"));
  ASSERT_GT(watched.size(), 3u);
  // Home: the world as at start-up, so the first lines come again.
  size_t home = 1;
  while (home < watched.size() && frameOf(watched[home]) != 0) home++;
  ASSERT_LT(home, watched.size()) << "Home did not start again";
  EXPECT_EQ(frameOf(watched[home - 1]), c.framesBeforeHome);
  for (size_t i = 0; i < watched.size(); i++)
    EXPECT_TRUE(watched[i] == run[i < home ? i : i - home]) << "line " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WatchControls,
    ::testing::Values(
        Controls{"Plain", "", "1", 28},              // ticks 2..29 at 1x: 28 x 16 ms
        Controls{"Up", "10 tap up\n", "1", 48},      // 8 ticks at 1x, 20 at 2x
        Controls{"Plus", "10 tap plus\n", "1", 48},  // the same
        Controls{"Speed4", "", "4", 112},            // 28 ticks at 4x
        Controls{"EightIsTheMost", "10 tap plus\n", "8", 224},
        Controls{"SlowerTwice", "10 tap minus\n12 tap down\n", "1", 13},  // 128 + 16 + 72 ms
        Controls{"QuarterIsTheLeast", "10 tap minus\n", "0.25", 7},       // 112 ms
        Controls{"SpacePausesAndResumes", "10 tap space\n20 tap space\n", "1", 18},
        Controls{"RightSkips10s", "10 tap right\n", "1", 653},  // 448 + 10000 ms
        // The pad: Start pauses and resumes, a shoulder speeds up, A skips.
        Controls{"Pad",
                 "1 pad plug\n10 pad start down\n11 pad start up\n15 pad start down\n"
                 "16 pad start up\n20 pad rightshoulder down\n21 pad rightshoulder up\n"
                 "25 pad a down\n26 pad a up\n",
                 "1", 658}));  // 128 + 80 + 320 + 10000 ms

// Esc, or the pad's Back, ends watching at once with status 0, and F1 and
// M change nothing in the world.
TEST_F(WatchControls, EscOrBackEndsWithStatusZero) {
  for (const char* keys : {"5 tap f1\n6 tap m\n10 tap esc\n", "1 pad plug\n10 pad back down\n"}) {
    const ProcessResult r = watch(recording_, keys);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> watched = lines(readFile(path("watched.jsonl")));
    ASSERT_EQ(watched.size(), 9u) << keys;  // frame 0, and 8 frames by tick 9
    const std::vector<std::string> run = lines(readFile(recording_ + ".jsonl"));
    for (size_t i = 0; i < watched.size(); i++) EXPECT_TRUE(watched[i] == run[i]) << i;
  }
}

// ---- The runs folder and the table ----

ScoreEntry entry(int32_t points, const char* recording = "") {
  ScoreEntry e = {};
  e.points = points;
  e.level = 1;
  snprintf(e.date, sizeof e.date, "2026-12-07");
  snprintf(e.time, sizeof e.time, "12:00");
  snprintf(e.name, sizeof e.name, "ann");
  snprintf(e.recording, sizeof e.recording, "%s", recording);
  return e;
}

class RunsFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = makeTempDir("runs");
    runs_ = dir_ + "/runs";
  }
  void TearDown() override { removeTree(dir_); }
  std::string run(const std::string& name) { return runs_ + "/" + name; }
  bool there(const std::string& name) { return access(run(name).c_str(), F_OK) == 0; }
  // A table of ten runs, 100 to 1000 points, each with its recording.
  void fillTable() {
    ASSERT_EQ(mkdir(runs_.c_str(), 0755), 0);
    FILE* quiet = fopen("/dev/null", "w");
    for (int i = 1; i <= 10; i++) {
      const std::string name = "r" + std::to_string(i) + runFileSuffix;
      writeFile(run(name), "recording " + name);
      ASSERT_GT(addScore(dir_.c_str(), entry(100 * i, name.c_str()), quiet), 0);
    }
    fclose(quiet);
  }
  std::string listing() { return runProcess({"/bin/ls", runs_}).out; }
  std::string dir_, runs_;
};

// A run that enters keeps its file and pushes out the last entry's; one
// that does not enter leaves nothing; files left by killed runs go at the
// next start unless the table names them or a game still plays them.
TEST_F(RunsFolder, EnteringKeepsDroppingOutRemovesAndOrphansGo) {
  fillTable();
  char name[64], other[64];
  const int fd = claimRunFile(runs_.c_str(), 0, name, sizeof name);
  ASSERT_GE(fd, 0);
  const int second = claimRunFile(runs_.c_str(), 0, other, sizeof other);
  ASSERT_GE(second, 0);
  // Named for the time, with -1 when the name is taken.
  const std::string first = name;
  ASSERT_EQ(first.size(), strlen("19700101-000000.v3drec.gz")) << first;
  EXPECT_EQ(first.substr(8, 1) + first.substr(15), "-.v3drec.gz");
  EXPECT_EQ(std::string(other), first.substr(0, 15) + "-1.v3drec.gz");
  EXPECT_EQ(write(fd, "run", 3), 3);
  close(fd);
  close(second);
  FILE* warnings = tmpfile();
  EXPECT_EQ(keepScore(dir_.c_str(), entry(550, name), warnings), 6);
  EXPECT_FALSE(there("r1.v3drec.gz")) << "the entry pushed out keeps its recording";
  EXPECT_TRUE(there(name) && there("r2.v3drec.gz") && there("r10.v3drec.gz"));
  const std::string table = readFile(dir_ + "/scores");
  EXPECT_EQ(keepScore(dir_.c_str(), entry(50, other), warnings), 0);
  EXPECT_FALSE(there(other)) << "a run that stays out leaves its recording";
  EXPECT_EQ(readFile(dir_ + "/scores"), table);

  // Orphans: this process still holds the two claims' locks, as a game in
  // play would; a plain file of the same kind is a killed run's.
  writeFile(run("killed.v3drec.gz"), "cut");
  writeFile(run("notes.txt"), "not ours");
  char playing[64];
  const int held = claimRunFile(runs_.c_str(), 0, playing, sizeof playing);
  ASSERT_GE(held, 0);
  close(held);
  writeFile(dir_ + "/scores.keep", table);
  writeFile(dir_ + "/scores", table + "rubbish\n");  // damaged: nothing may go
  EXPECT_EQ(removeOrphanRuns(dir_.c_str(), warnings), 0);
  EXPECT_TRUE(there("killed.v3drec.gz"));
  rename((dir_ + "/scores.keep").c_str(), (dir_ + "/scores").c_str());
  EXPECT_EQ(removeOrphanRuns(dir_.c_str(), warnings), 1);
  EXPECT_FALSE(there("killed.v3drec.gz"));
  EXPECT_TRUE(there("notes.txt") && there(playing) && there(name) && there("r10.v3drec.gz"));
  rewind(warnings);
  EXPECT_EQ(fgetc(warnings), EOF) << "nothing to say";
  fclose(warnings);

  // The recording an entry names, for --watch-score.
  char path[4200], why[512];
  EXPECT_TRUE(scoreRecording(dir_.c_str(), 1, path, sizeof path, why, sizeof why));
  EXPECT_EQ(std::string(path), run("r10.v3drec.gz"));
  unlink(run("r9.v3drec.gz").c_str());
  EXPECT_FALSE(scoreRecording(dir_.c_str(), 2, path, sizeof path, why, sizeof why));
  EXPECT_NE(std::string(why).find("r9.v3drec.gz, is missing"), std::string::npos) << why;
  EXPECT_FALSE(scoreRecording(dir_.c_str(), 11, path, sizeof path, why, sizeof why));
  EXPECT_NE(std::string(why).find("no entry 11 (it holds 10)"), std::string::npos) << why;
}

// On a full disk (a file size limit stands for one) a run that would enter
// changes nothing: the table and the recordings stay as they were.
TEST_F(RunsFolder, AFullDiskLeavesTheTableAndTheOtherRecordings) {
  fillTable();
  const std::string table = readFile(dir_ + "/scores"), before = listing();
  writeFile(run("new.v3drec.gz"), "the run's own");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {8, 8};
    setrlimit(RLIMIT_FSIZE, &limit);
    FILE* quiet = fopen("/dev/null", "w");
    _exit(keepScore(dir_.c_str(), entry(5000, "new.v3drec.gz"), quiet) == -1 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(readFile(dir_ + "/scores"), table);
  EXPECT_EQ(listing(), before) << "the table does not name the run's own: it goes";
}

// --verify-scores replays each kept run: the entries whose line holds what
// the recording gives are verified, one edited by hand differs, one without
// a recording says so; on another data set none can be replayed.
TEST_F(Recordings, VerifyScoresProvesOrRefutesEachEntry) {
  const std::string home = path("home"), runs = home + "/velkarra3d/runs";
  const std::vector<std::string> env = {"XDG_DATA_HOME=" + home, "SDL_AUDIODRIVER=dummy"};
  auto game = [&](std::vector<std::string> args, const std::string& data) {
    args.insert(args.begin(), {VELKARRA_BINARY, "--data", data});
    return runProcess(args, "", env, 120000);
  };
  ASSERT_EQ(runProcess({"/bin/mkdir", "-p", runs}).status, 0);
  std::string text = "# velkarra3d scores 2\n";
  for (int seed : {3, 4, 5}) {
    const std::string name = "s" + std::to_string(seed) + ".v3drec.gz";
    ASSERT_EQ(game({"--headless", "--autoplay", "--seed", std::to_string(seed), "--frames", "700",
                    "--draw-every", "1000", "--record", runs + "/" + name},
                   dir_)
                  .status,
              0);
    text += "0 1 2026-12-07 12:0" + std::to_string(seed) + " " + name + " p" +
            std::to_string(seed) + "\n";
  }
  writeFile(home + "/velkarra3d/scores", text + "0 1 2026-12-07 12:09 - nobody\n");
  // What each recording gives, as the first verification says.
  const ProcessResult first = game({"--verify-scores"}, dir_);
  EXPECT_EQ(first.status, 1) << first.err;
  std::string table = "# velkarra3d scores 2\n";
  std::map<std::string, std::pair<int, int>> gives;  // points and level, by name
  for (const std::string& line : lines(first.out)) {
    char name[40];
    int place, points, level;
    if (sscanf(line.c_str(),
               "%d. %39s  0 points  level 1  differs: the recording gives %d points, "
               "level %d",
               &place, name, &points, &level) != 4)
      continue;
    const std::string seed(name + 1);
    gives[name] = {points, level};
    table += std::to_string(points + (seed == "4" ? 5 : 0)) + " " + std::to_string(level) +
             " 2026-12-07 12:0" + seed + " s" + seed + ".v3drec.gz " + name + "\n";
  }
  EXPECT_EQ(countOf(table, "\n"), 4u) << first.out;
  writeFile(home + "/velkarra3d/scores", table + "0 1 2026-12-07 12:09 - nobody\n");
  const ProcessResult second = game({"--verify-scores"}, dir_);
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(countOf(second.out, "  verified\n"), 2u) << second.out;
  const std::string level = std::to_string(gives["p4"].second);
  EXPECT_NE(second.out.find(" p4  " + std::to_string(gives["p4"].first + 5) + " points  level " +
                            level + "  differs: the recording gives " +
                            std::to_string(gives["p4"].first) + " points, level " + level + "\n"),
            std::string::npos)
      << second.out;
  EXPECT_NE(second.out.find(" nobody  0 points  level 1  no recording\n"), std::string::npos);
  const ProcessResult listed = game({"--scores"}, dir_);
  EXPECT_EQ(countOf(listed.out, "  [recorded]\n"), 3u) << listed.out;
  EXPECT_NE(listed.out.find("with --watch-score N."), std::string::npos);

  // The hand-made line mended: all proved, status 0; on another data set
  // none of them can be.
  const size_t edited = table.find(" s4.v3drec.gz");
  const size_t start = table.rfind('\n', edited) + 1;
  const int points = std::stoi(table.substr(start));
  table.replace(start, std::to_string(points).size(), std::to_string(points - 5));
  writeFile(home + "/velkarra3d/scores", table);
  const ProcessResult mended = game({"--verify-scores"}, dir_);
  EXPECT_EQ(mended.status, 0) << mended.out;
  EXPECT_EQ(countOf(mended.out, "  verified\n"), 3u) << mended.out;
  const ProcessResult elsewhere =
      game({"--verify-scores"}, dataDir({{setting("planeSpeed"), "6"}}));
  EXPECT_EQ(elsewhere.status, 1);
  EXPECT_EQ(countOf(elsewhere.out, "cannot be replayed: recorded on another data set"), 3u)
      << elsewhere.out;

  // --watch-score watches an entry's recording, and refuses one it lacks.
  writeFile(path("keys.txt"), "5 tap esc\n");
  const ProcessResult watched =
      game({"--headless", "--watch-score", "2", "--input", path("keys.txt")}, dir_);
  EXPECT_EQ(watched.status, 0) << watched.err;
  writeFile(home + "/velkarra3d/scores", table + "0 1 2026-12-07 12:09 - nobody\n");
  const ProcessResult none = game({"--headless", "--watch-score", "4"}, dir_);
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "velkarra3d: entry 4 of the best runs (0 points, nobody) has no recording\n");
}

}  // namespace
