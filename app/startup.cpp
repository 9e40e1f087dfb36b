// startup.cpp: opening the window, setting up the renderer and the world,
// and every way a run ends.
#include "app/startup.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/comforts.h"
#include "app/ending.h"
#include "app/frame.h"
#include "app/options.h"
#include "app/screens.h"
#include "app/source.h"
#include "app/world_options.h"
#include "assets/data_files.h"
#include "assets/dataset.h"
#include "assets/settings.h"
#include "game/clock.h"
#include "game/input.h"
#include "game/pad.h"
#include "game/setup.h"
#include "game/tally.h"
#include "game/world.h"
#include "platform/platform.h"
#include "render/detail.h"
#include "render/resources.h"
#include "render/text.h"
#include "render/view.h"
#include "session/autoplay.h"
#include "session/replay.h"
#include "session/timedemo.h"
#include "session/trace.h"
#include "sim/sim.h"
#include "terrain/terrain.h"

namespace {

const char* const windowTitle = "Velkarra3D";
const char* const settingsName = dataFileNames[fileSettings];

}  // namespace

void startGame() {
  // 800 x 600 unless the player asked for another size.
  const bool sized = runOptions.windowWidth > 0 && runOptions.windowHeight > 0;
  const int width = sized ? runOptions.windowWidth : 800;
  const int height = sized ? runOptions.windowHeight : 600;
  platCreateWindow(windowTitle, 100, 50, width, height);
  if (runOptions.fullscreen) platFullScreen();
  // A timedemo measures the machine, not the screen's refresh.
  platSyncToRefresh(runOptions.vsync && !runOptions.timedemoFile);
  startComforts();
  worldOptions = runOptions.world;
  chooseDetail(runOptions.detail);
  setFramePacing(runOptions.timedemoFile != nullptr, runOptions.maxFps);
  platDisplayFunc(displayFrame);
  platTimerFunc(1, frameTick, 0);
  platKeyboardFunc(onKey);
  platSpecialKeyFunc(onSpecialKey);
  platReshapeFunc(onReshape);

  camera.pos = {0, 0, 0.5f};
  camera.yaw = 0;
  camera.pitch = 0.1f;
  lookFromCamera();
  setUpRenderer(width, height);

  window = platFindWindow(windowTitle);
  platSetWindowIcon(window, dataFileNames[fileIcon]);
  platHideCursor();
  int left, top, right, bottom;
  platWindowRect(window, &left, &top, &right, &bottom);
  cursorCentre[0] = (left + right) / 2;
  cursorCentre[1] = (top + bottom) / 2;
  if (inputSource() == inputFromReplay) replayStartCentre(cursorCentre);
  startSteadyAim();
  // A replay's hold point is the recorded window's: the pointer stays where
  // the watcher has it.
  if (inputSource() != inputFromReplay) platSetCursorPos(cursorCentre[0], cursorCentre[1]);

  loadSettings();
  startClock(inputStartTick());
  // The recording names the data set its world was built from.
  uint64_t dataHash = 0;
  char why[512];
  hashDataSet(&dataHash, why, sizeof why);
  recordStart(startSeed(), lastTickMs, cursorCentre, dataHash);
  recordWorldOptions();
  startScreens(inputSource() != inputFromReplay);
}

void loadSettings() {
  FILE* file = fopen(settingsName, "r");
  if (!file) {
    printf("%s: cannot open: %s\n", settingsName, strerror(errno));
    fflush(stdout);
    exit(1);
  }
  seedRand(startSeed());
  static SettingsFile read;
  char error[320];
  bool ok = parseSettings(file, &read, error, sizeof error);
  fclose(file);
  if (!ok) {
    printf("%s: %s\n", settingsName, error);
    fflush(stdout);
    exit(1);
  }
  setUpWorld(read);
  compileWorldLists();
}

void resetGame() {
  releaseAssets();
  releaseTerrain();
  releaseRenderer();
  settings = Settings{};
  world = World{};  // the whole state of play
  window = 0;
  setInputSource(inputFromPlatform);
  replayClose();
  timedemoReset();
}
