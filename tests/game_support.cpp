// game_support.cpp: helpers for the in-process game tests.
#include "game_support.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "app/frame.h"
#include "app/options.h"
#include "app/source.h"
#include "app/startup.h"
#include "assets/font.h"
#include "assets/settings.h"
#include "game/world.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/view.h"
#include "sim/sim.h"
#include "support/test_support.h"
#include "terrain/terrain.h"

int setting(const std::string& name) {
  int index = findSetting(name.c_str());
  if (index < 0) ADD_FAILURE() << "settings.txt has no value named \"" << name << "\"";
  return index;
}

std::string defaultDataDir() { return VELKARRA_DATA_DIR; }

std::vector<std::string> defaultSettings() {
  std::istringstream in(readFile(defaultDataDir() + "/settings.txt"));
  std::vector<std::string> tokens;
  std::string token;
  while (in >> token) tokens.push_back(token);
  return tokens;
}

std::string settingsText(const std::map<int, std::string>& changes) {
  std::vector<std::string> tokens = defaultSettings();
  for (const auto& change : changes) tokens.at(change.first) = change.second;
  std::string text;
  for (size_t i = 0; i < tokens.size(); i++) text += tokens[i] + (i % 8 == 7 ? "\n" : " ");
  return text + "\n";
}

std::string makeDataDir(const std::map<int, std::string>& changes) {
  std::string dir = makeTempDir("data");
  copyTree(defaultDataDir(), dir);
  writeFile(dir + "/settings.txt", settingsText(changes));
  return dir;
}

void startHeadlessGame(const std::string& dir, uint32_t seed, uint32_t startMs, uint32_t frameMs) {
  resetGame();
  runOptions = RunOptions{};
  runOptions.frames = -1;
  runOptions.hasSeed = true;
  runOptions.seed = seed;
  runOptions.headless = true;
  runOptions.detail = detailHigh;  // the exact texture state; tests of low ask for it
  platInitHeadless(startMs, frameMs);
  ASSERT_EQ(chdir(dir.c_str()), 0) << dir;
  startGame();
  headlessClearSounds();
}

void runFrames(int n) {
  for (int i = 0; i < n; i++) ASSERT_TRUE(headlessStep()) << "no frame pending at frame " << i;
}

std::vector<std::string> sounds() {
  std::vector<std::string> names;
  for (int i = 0; i < headlessSoundCount(); i++) names.push_back(headlessSoundName(i));
  return names;
}

void GameTest::SetUp() {
  char buffer[4096];
  cwd_ = getcwd(buffer, sizeof buffer) ? buffer : ".";
}

void GameTest::TearDown() {
  if (chdir(cwd_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << cwd_;
  for (const std::string& dir : dirs_) removeTree(dir);
}

std::string GameTest::dataDir(const std::map<int, std::string>& changes) {
  dirs_.push_back(makeDataDir(changes));
  return dirs_.back();
}

void GameTest::start(const std::map<int, std::string>& changes, uint32_t seed, uint32_t startMs,
                     uint32_t frameMs) {
  startHeadlessGame(dataDir(changes), seed, startMs, frameMs);
}

ProcessResult runGame(const std::vector<std::string>& args, const std::string& cwd) {
  std::vector<std::string> argv = {VELKARRA_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return runProcess(argv, cwd, {"SDL_AUDIODRIVER=dummy"});
}
