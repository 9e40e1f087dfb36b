// Tests of the velkarra-data tool itself: it writes the complete data set,
// the same bytes every time, replaces what is there, and stops with a clear
// message when it cannot write.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kTool = VELKARRA_DATA_TOOL;

// Every file below root (relative name to content).
std::map<std::string, std::string> contents(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).string()] = readFile(entry.path().string());
    }
  }
  return files;
}

class DataTool : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = makeTempDir("data-tool"); }
  void TearDown() override { removeTree(dir_); }
  ProcessResult run(const std::string& target) {
    return runProcess({kTool, target}, "", {}, 30000);
  }
  std::string dir_;
};

TEST_F(DataTool, WritesTheSameCompleteSetEveryTime) {
  ProcessResult first = run(dir_ + "/a");
  ProcessResult second = run(dir_ + "/b");
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_FALSE(first.timedOut);
  auto a = contents(dir_ + "/a");
  const char* const expected[] = {
      "settings.txt",    "plane.off",         "trooper.off",    "chute.off",      "bomb.off",
      "shell.off",       "missile.off",       "cannon.off",     "ground.bmp",     "sand.bmp",
      "sky.bmp",         "sky_up.bmp",        "ground_box.bmp", "font.glf",       "icon.png",
      "s/exp_plane.wav", "s/exp_trooper.wav", "s/exp_can.wav",  "s/exp_bomb.wav", "s/TnkDes.wav",
      "s/game_over.wav", "s/tada.wav"};
  for (const char* name : expected) EXPECT_EQ(a.count(name), 1u) << name << " missing";
  EXPECT_EQ(a.size(), std::size(expected)) << "unexpected extra files";
  EXPECT_TRUE(a == contents(dir_ + "/b")) << "two runs wrote different bytes";
  // The build's own data set came from the same tool.
  EXPECT_TRUE(a == contents(VELKARRA_DATA_DIR)) << "build/data is stale or differs";
}

TEST_F(DataTool, ReplacesExistingFiles) {
  ASSERT_EQ(run(dir_ + "/fresh").status, 0);
  fs::create_directories(dir_ + "/old/s");
  writeFile(dir_ + "/old/settings.txt",
            "stale settings that are much longer than the new ones " + std::string(4000, 'x'));
  writeFile(dir_ + "/old/s/tada.wav", "not a sound");
  ProcessResult result = run(dir_ + "/old");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(readFile(dir_ + "/old/settings.txt"), readFile(dir_ + "/fresh/settings.txt"));
  EXPECT_EQ(readFile(dir_ + "/old/s/tada.wav"), readFile(dir_ + "/fresh/s/tada.wav"));
}

TEST_F(DataTool, FailsWithOneLineNamingWhatItCouldNotWrite) {
  // A folder that cannot be made: its parent is a file. (Tests may run as
  // root, so permissions alone would not stop the tool.)
  writeFile(dir_ + "/blocker", "");
  ProcessResult result = run(dir_ + "/blocker/data");
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.err.find("blocker"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;

  // A file that cannot be written: a folder stands in its place.
  fs::create_directories(dir_ + "/data/settings.txt");
  result = run(dir_ + "/data");
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.err.find("settings.txt"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
}

TEST_F(DataTool, HelpAndWrongUse) {
  ProcessResult help = runProcess({kTool, "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage"), std::string::npos);
  EXPECT_NE(runProcess({kTool}).status, 0);
  EXPECT_NE(runProcess({kTool, "--bogus"}).status, 0);
  EXPECT_NE(runProcess({kTool, "a", "b"}).status, 0);
  EXPECT_TRUE(fs::is_empty(dir_)) << "wrong use must write nothing";
}

TEST_F(DataTool, TableListsEveryValueOfSettingsTxt) {
  ProcessResult table = runProcess({kTool, "--table"});
  ASSERT_EQ(table.status, 0);
  EXPECT_NE(table.out.find("arenaHalfSize"), std::string::npos);
  EXPECT_NE(table.out.find("missileLifetime"), std::string::npos);
  // One line per value, plus a heading.
  size_t lines = 0;
  for (char c : table.out) lines += c == '\n';
  EXPECT_EQ(lines, 91u);
}

}  // namespace
