// game_support.h: running the real game in-process on the headless backend
// for the game tests: fresh worlds, data folders with changed settings,
// frames, and the sounds the frames started.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "support/test_support.h"

// The position (from 0) in "settings.txt" of the value the game's messages
// call name ("planesBase", "bomb model file"), from the game's table; an
// unknown name fails the test and gives -1.
int setting(const std::string& name);

// The default data set written by the build.
std::string defaultDataDir();

// The tokens of the default "settings.txt".
std::vector<std::string> defaultSettings();

// The settings text with the given values replaced, one read per line.
std::string settingsText(const std::map<int, std::string>& changes = {});

// A new temporary copy of the default data set, with its settings changed.
// Removed at the end of the test by GameTest.
std::string makeDataDir(const std::map<int, std::string>& changes = {});

// Starts the game in-process on the headless backend in folder dir.
// The clock reads startMs at start-up and advances frameMs per frame.
void startHeadlessGame(const std::string& dir, uint32_t seed = 1, uint32_t startMs = 1000,
                       uint32_t frameMs = 16);

// Runs n frames through the headless loop.
void runFrames(int n);

// The sounds started since the last clear, oldest first.
std::vector<std::string> sounds();

// A fixture that runs each test in a fresh world and removes the temporary
// folders it made.
class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A temporary data folder that lives until the test ends.
  std::string dataDir(const std::map<int, std::string>& changes = {});
  void start(const std::map<int, std::string>& changes = {}, uint32_t seed = 1,
             uint32_t startMs = 1000, uint32_t frameMs = 16);

 private:
  std::vector<std::string> dirs_;
  std::string cwd_;
};

// Runs the real velkarra3d with the given arguments (headless ones usually).
ProcessResult runGame(const std::vector<std::string>& args, const std::string& cwd = "");
