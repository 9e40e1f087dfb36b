// game_scores_test.cpp: the table of the best runs: a run's score, the
// merge, two processes adding at once under the lock, an unreadable table
// kept aside, a failed write that leaves the old table as it was, and a
// relative XDG path that is ignored.
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "base/xdg.h"
#include "game/rules.h"
#include "game/tally.h"
#include "game/world.h"
#include "game_support.h"
#include "session/scores.h"

namespace {

ScoreEntry entry(int32_t points, int32_t level, const char* date = "2026-12-07",
                 const char* name = "ann") {
  ScoreEntry e = {};
  e.points = points;
  e.level = level;
  snprintf(e.date, sizeof e.date, "%s", date);
  snprintf(e.time, sizeof e.time, "12:00");
  snprintf(e.name, sizeof e.name, "%s", name);
  return e;
}

std::string names(const ScoreTable& t) {
  std::string s;
  for (int i = 0; i < t.count; i++) s += std::string(t.entries[i].name) + " ";
  return s;
}

// Everything addScore wrote on its warnings stream.
struct Warnings {
  Warnings() : file(tmpfile()) {}
  ~Warnings() { fclose(file); }
  std::string text() {
    fflush(file);
    rewind(file);
    std::string s;
    for (int c; (c = fgetc(file)) != EOF;) s += static_cast<char>(c);
    return s;
  }
  FILE* file;
};

class Scores : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    dir_ = makeTempDir("scores");
  }
  void TearDown() override {
    removeTree(dir_);
    GameTest::TearDown();
  }
  std::string table() { return readFile(dir_ + "/scores"); }
  std::string dir_;
};

TEST(ScoreTableText, MergesInOrderKeepsTenAndReadsBackWhatItWrites) {
  ScoreTable t = {};
  // More points first, then the higher level, then the older entry; a tie
  // goes after the entries already there.
  EXPECT_EQ(insertScore(&t, entry(100, 3, "2026-12-07", "a")), 1);
  EXPECT_EQ(insertScore(&t, entry(300, 2, "2026-12-07", "b")), 1);
  EXPECT_EQ(insertScore(&t, entry(100, 4, "2026-12-07", "c")), 2);
  EXPECT_EQ(insertScore(&t, entry(100, 3, "2026-12-01", "d")), 3);
  EXPECT_EQ(insertScore(&t, entry(100, 3, "2026-12-07", "e")), 5);
  EXPECT_EQ(names(t), "b c d a e ");
  for (int i = 0; i < 5; i++) insertScore(&t, entry(50, 1));
  EXPECT_EQ(t.count, 10);
  EXPECT_EQ(insertScore(&t, entry(50, 1)), 0);  // a tie with the last: out
  EXPECT_EQ(insertScore(&t, entry(51, 1, "2026-12-07", "f")), 6);
  EXPECT_EQ(t.count, 10);

  // A name may hold blanks; a recording is named by its file.
  snprintf(t.entries[1].name, sizeof t.entries[1].name, "Ann Marie-Lou");
  snprintf(t.entries[0].recording, sizeof t.entries[0].recording, "20261207-120000.v3drec.gz");
  char text[4096], why[128];
  ASSERT_TRUE(formatScores(t, text, sizeof text));
  EXPECT_EQ(std::string(text).rfind("# velkarra3d scores 2\n"
                                    "300 2 2026-12-07 12:00 20261207-120000.v3drec.gz b\n"
                                    "100 4 2026-12-07 12:00 - Ann Marie-Lou\n",
                                    0),
            0u)
      << text;
  ScoreTable back;
  ScoreDamage damage;
  bool newer = true;
  ASSERT_TRUE(parseScores(text, strlen(text), &back, &newer, &damage, why, sizeof why)) << why;
  EXPECT_FALSE(newer);
  EXPECT_EQ(damage.count, 0);
  EXPECT_EQ(names(back), names(t));
  EXPECT_STREQ(back.entries[0].recording, "20261207-120000.v3drec.gz");
  EXPECT_STREQ(back.entries[1].recording, "");
  EXPECT_TRUE(parseScores("", 0, &back, &newer, &damage, why, sizeof why));
  EXPECT_EQ(back.count, 0);

  // What is not a table, and one of a later version.
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"scores\n", "1: not '# velkarra3d scores 2'"},
      {"# velkarra3d scores 0\n", "1: a table of version 0"},
      {"# velkarra3d scores 3\n", "1: a table of version 3"},
  };
  for (const auto& b : bad) {
    EXPECT_FALSE(
        parseScores(b.first.data(), b.first.size(), &back, &newer, &damage, why, sizeof why));
    EXPECT_EQ(std::string(why).rfind(b.second, 0), 0u) << why;
    EXPECT_EQ(newer, b.second.find("version 3") != std::string::npos);
  }
}

// A damaged line is left out and the good ones kept, in either version:
// each case gives the names read, the lines left out and what the first of
// them lacks.
TEST(ScoreTableText, DamagedLinesAreLeftOutAndTheGoodOnesKept) {
  struct Case {
    std::string text, names, damage;
  };
  const std::string v1 = "# velkarra3d scores 1\n", v2 = "# velkarra3d scores 2\n";
  const std::vector<Case> cases = {
      {v1 + "10 1 2026-12-07 12:00 ann\n20 2 2026-12-07 12:00 bob\n", "bob ann ", ""},
      {v1 + "10 1 2026-12-07 12:00 ann\n1500 9 2026-12-0", "ann ",
       "line 3 (3: expected POINTS LEVEL YYYY-MM-DD HH:MM NAME)"},
      {v1 + "10 1 2026-12-07 12:00\n", "", "line 2 (2: expected POINTS"},
      {v1 + "10 1 2026-12-07 12:00 a b\n", "", "line 2 (2: expected"},
      {v1 + "-5 1 2026-12-07 12:00 a\n", "",
       "line 2 (2: expected POINTS LEVEL YYYY-MM-DD HH:MM NAME (POINTS takes a whole number from 0 "
       "to 2147483647, not '-5'))"},
      {v2 + "10 1 2026-1-07 12:00 - a\n99999999999 1 2026-12-07 12:00 - a\n"
            "7 1 2026-12-07 12:00 - c d\n",
       "c d ", "lines 2 and 3 (2: expected POINTS LEVEL YYYY-MM-DD HH:MM RECORDING NAME)"},
      {v2 + "\nrubbish\n10 1 2026-12-07 12:00 - a\n", "a ", "lines 2 and 3 (2: expected"},
      {v2 + "10 1 2026-12-07 12:00 ../x a\n10 1 2026-12-07 12:00 a\n", "",
       "lines 2 and 3 (2: expected"},
      {v1 + "10 1 2026-12-07 12:00 a" + std::string(1, '\0') + "\n5 1 2026-12-07 12:00 b\n", "b ",
       "line 2 (2: not a line of the table)"},
      {v2 + "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n", "", "lines 2, 3, 4, 5, 6, 7, 8, 9 and 2 more"},
  };
  for (const Case& c : cases) {
    ScoreTable table;
    ScoreDamage damage;
    bool newer = true;
    char why[128], said[1024] = "";
    ASSERT_TRUE(parseScores(c.text.data(), c.text.size(), &table, &newer, &damage, why, sizeof why))
        << c.text;
    EXPECT_EQ(names(table), c.names) << c.text;
    if (damage.count) describeDamage(damage, said, sizeof said);
    EXPECT_EQ(std::string(said).rfind(c.damage, 0), 0u) << said;
    EXPECT_EQ(c.damage.empty(), damage.count == 0) << c.text;
  }
}

// Cleared levels bank their points, the level in play adds its own; a lost
// level played again after N counts no more, and the highest level stays.
TEST_F(Scores, ARunScoresItsClearedLevelsAndTheLevelInPlay) {
  start();
  runFrames(2);
  game.points = 60;
  game.planesLeft = 0;  // cleared at the next frame's rules
  runFrames(2);
  ASSERT_EQ(game.level, 2);
  game.points = 30;
  ScoreEntry e = runEntry(0);
  EXPECT_EQ(e.points, 90);
  EXPECT_EQ(e.level, 2);
  game.lives = 0;  // lost at the next frame
  runFrames(2);
  ASSERT_EQ(game.gameOver, 1);
  EXPECT_EQ(runEntry(0).points, 90);
  EXPECT_EQ(runEntry(0).level, 2);
  replayLevel();
  runFrames(2);
  e = runEntry(0);
  EXPECT_EQ(e.points, 60);
  EXPECT_EQ(e.level, 2);
  EXPECT_STREQ(e.date, "1970-01-01");
  EXPECT_GT(strlen(e.name), 0u);
}

TEST_F(Scores, AddsInPlaceAndLeavesTheFileAloneForARunThatDoesNotMakeIt) {
  Warnings w;
  EXPECT_EQ(addScore((dir_ + "/new/folder").c_str(), entry(10, 1), w.file), 1);
  EXPECT_EQ(readFile(dir_ + "/new/folder/scores"),
            "# velkarra3d scores 2\n10 1 2026-12-07 12:00 - ann\n");
  for (int i = 0; i < 10; i++) EXPECT_EQ(addScore(dir_.c_str(), entry(100 + i, 2), w.file), 1);
  // Level and points as an entry already there: after it.
  EXPECT_EQ(addScore(dir_.c_str(), entry(105, 2, "2026-12-08", "bob"), w.file), 6);
  const std::string before = table();
  EXPECT_EQ(addScore(dir_.c_str(), entry(5, 9), w.file), 0);
  EXPECT_EQ(table(), before);
  EXPECT_EQ(w.text(), "");
}

// Two processes add five entries each at the same moment: all ten are kept.
TEST_F(Scores, TwoGamesEndingAtOnceBothGetTheirEntries) {
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t children[2];
  for (int c = 0; c < 2; c++) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      char byte;
      close(go[1]);
      if (read(go[0], &byte, 1) != 0) _exit(3);  // waits for the pipe to close
      for (int i = 0; i < 5; i++)
        if (addScore(dir_.c_str(), entry(1000 * (c + 1) + i, 1), stderr) < 1) _exit(1);
      _exit(0);
    }
  }
  close(go[0]);
  close(go[1]);  // both start now
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ScoreTable t;
  ScoreDamage damage;
  bool newer;
  char why[128];
  const std::string text = table();
  ASSERT_TRUE(parseScores(text.data(), text.size(), &t, &newer, &damage, why, sizeof why)) << text;
  EXPECT_EQ(damage.count, 0);
  ASSERT_EQ(t.count, 10) << text;
  for (int c = 0; c < 2; c++)
    for (int i = 0; i < 5; i++)
      EXPECT_NE(text.find(std::to_string(1000 * (c + 1) + i) + " 1 "), std::string::npos) << text;
}

// A table with damaged lines (its last line cut, junk in the middle) is
// kept aside once, with one warning naming the lines, and the new table
// keeps its good lines and the new run; one that is no table at all starts
// afresh; one of a later game is left alone; an entry pushed out of the ten
// is handed back.
TEST_F(Scores, ADamagedTableKeepsItsGoodLines) {
  const std::string damaged =
      "# velkarra3d scores 1\n120 2 2026-12-07 12:00 ann\nrubbish\n300 4 2026-12-06 10:00 bob\n"
      "1500 9 2026-12-0";
  writeFile(dir_ + "/scores", damaged);
  Warnings shown, listed;  // --scores lists the good lines and names the others
  printScores(dir_.c_str(), listed.file, shown.file);
  EXPECT_NE(listed.text().find(" 2.      120 points  level 2     2026-12-07 12:00  ann\n"),
            std::string::npos)
      << listed.text();
  EXPECT_EQ(shown.text(), "velkarra3d: " + dir_ +
                              "/scores: lines 3 and 5 (3: expected POINTS LEVEL YYYY-MM-DD HH:MM "
                              "NAME) damaged and left out\n");
  EXPECT_EQ(table(), damaged);
  Warnings w;
  EXPECT_EQ(addScore(dir_.c_str(), entry(7, 1), w.file), 3);
  EXPECT_EQ(table(),
            "# velkarra3d scores 2\n300 4 2026-12-06 10:00 - bob\n120 2 2026-12-07 12:00 - ann\n"
            "7 1 2026-12-07 12:00 - ann\n");
  const std::string said = w.text();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find(dir_ + "/scores: lines 3 and 5 (3: expected POINTS"), std::string::npos)
      << said;
  const size_t at = said.find("kept aside as ");
  ASSERT_NE(at, std::string::npos) << said;
  const std::string aside = said.substr(at + 14, said.find(',', at) - at - 14);
  EXPECT_EQ(aside.rfind(dir_ + "/scores.corrupt-", 0), 0u) << aside;
  EXPECT_EQ(readFile(aside), damaged);
  Warnings again;  // once: the table is whole now
  EXPECT_EQ(addScore(dir_.c_str(), entry(8, 1), again.file), 3);
  EXPECT_EQ(again.text(), "");

  writeFile(dir_ + "/scores", "not a table\n120 2 2026-12-07 12:00 ann\n");
  Warnings fresh;
  EXPECT_EQ(addScore(dir_.c_str(), entry(7, 1), fresh.file), 1);
  EXPECT_EQ(table(), "# velkarra3d scores 2\n7 1 2026-12-07 12:00 - ann\n");
  EXPECT_NE(fresh.text().find("a new table started"), std::string::npos) << fresh.text();

  // The full table loses its last entry, recording and all.
  for (int i = 0; i < 9; i++) ASSERT_GT(addScore(dir_.c_str(), entry(100 + i, 2), w.file), 0);
  ScoreEntry last = entry(5, 1);
  snprintf(last.recording, sizeof last.recording, "last.v3drec.gz");
  ASSERT_EQ(addScore(dir_.c_str(), last, w.file), 0);
  ScoreEntry out;
  EXPECT_EQ(addScore(dir_.c_str(), entry(200, 2), w.file, &out), 1);
  EXPECT_EQ(out.points, 7);
  EXPECT_EQ(addScore(dir_.c_str(), entry(1, 1), w.file, &out), 0);
  EXPECT_EQ(out.points, -1);

  // A table of a later game is left alone, and this run not kept.
  writeFile(dir_ + "/scores", "# velkarra3d scores 3\nwhatever it holds\n");
  Warnings later;
  EXPECT_EQ(addScore(dir_.c_str(), entry(7, 1), later.file), -1);
  EXPECT_EQ(table(), "# velkarra3d scores 3\nwhatever it holds\n");
  EXPECT_NE(later.text().find("a table of version 3"), std::string::npos) << later.text();
}

// The write fails on a full disk (a file size limit stands for one) and in
// a read-only folder (a read-only mount of it where the system allows one,
// else the folder's mode): one line, and the old table exactly as it was,
// with no temporary file left beside it.
TEST_F(Scores, AFailedWriteLeavesTheOldTableAsItWas) {
  Warnings w;
  ASSERT_EQ(addScore(dir_.c_str(), entry(50, 1), w.file), 1);
  const std::string before = table();
  for (const char* how : {"full", "read-only"}) {
    // The child's warnings come through a pipe, which no file size limits.
    int said[2];
    ASSERT_EQ(pipe(said), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(said[0]);
      if (std::string(how) == "full") {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
      } else if (unshare(CLONE_NEWNS) != 0 ||
                 mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                 mount(dir_.c_str(), dir_.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
                 mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
                     0) {
        if (geteuid() == 0) _exit(77);  // the mode alone does not stop root
        chmod(dir_.c_str(), 0555);
      }
      FILE* out = fdopen(said[1], "w");
      const int place = addScore(dir_.c_str(), entry(900, 5), out);
      fclose(out);
      _exit(place == -1 ? 0 : 1);
    }
    close(said[1]);
    int status = 0;
    waitpid(child, &status, 0);
    chmod(dir_.c_str(), 0755);
    std::string text;
    char chunk[512];
    for (ssize_t n; (n = read(said[0], chunk, sizeof chunk)) > 0;) text.append(chunk, n);
    close(said[0]);
    ASSERT_NE(WEXITSTATUS(status), 77) << "no read-only folder can be made here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << how;
    EXPECT_EQ(table(), before) << how;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << how << ": " << text;
    EXPECT_NE(text.find("the table is left as it was"), std::string::npos) << text;
  }
  const ProcessResult left = runProcess({"/bin/ls", dir_});
  EXPECT_EQ(left.out, "scores\nscores.lock\n");
}

// A relative XDG path is ignored: the homes under $HOME stand.
TEST_F(Scores, ARelativeXdgPathIsIgnored) {
  const ProcessResult r = runProcess({VELKARRA_BINARY, "--scores"}, "",
                                     {"XDG_DATA_HOME=relative/data", "HOME=" + dir_});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "No runs kept yet (" + dir_ + "/.local/share/velkarra3d/scores)\n");
  writeFile(dir_ + "/.local/share/velkarra3d/scores", "");
  Warnings w;
  ASSERT_EQ(addScore((dir_ + "/.local/share/velkarra3d").c_str(), entry(42, 3), w.file), 1);
  const ProcessResult shown = runProcess({VELKARRA_BINARY, "--scores"}, "",
                                         {"XDG_DATA_HOME=relative/data", "HOME=" + dir_});
  EXPECT_NE(shown.out.find(" 1.       42 points  level 3     2026-12-07 12:00  ann\n"),
            std::string::npos)
      << shown.out;
  const ProcessResult config =
      runProcess({VELKARRA_BINARY, "--print-config"}, "", {"XDG_CONFIG_HOME=conf", "HOME=" + dir_});
  EXPECT_EQ(config.out.rfind("# configuration file: " + dir_ +
                                 "/.config/velkarra3d/"
                                 "velkarra3d.conf (none there)\n",
                             0),
            0u)
      << config.out;
}

}  // namespace
