// watch.cpp: the watcher's clock, controls and line over the replayed
// frames.
#include "app/watch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/comforts.h"
#include "app/ending.h"
#include "app/frame.h"
#include "app/keep.h"
#include "app/options.h"
#include "base/program.h"
#include "game/clock.h"
#include "game/world.h"
#include "platform/platform.h"
#include "render/replay_hud.h"
#include "session/replay.h"
#include "session/trace.h"

namespace {

// Recorded time that Right skips.
constexpr double kSkipMs = 10000;
// Wall time one tick may spend catching up on frames (at a high speed on a
// slow machine) before it draws; the playhead then waits for the frames.
constexpr uint64_t kCatchUpMicros = 40000;
// The longest wait between two ticks: the keys are read this often.
constexpr unsigned kPollMs = 16;

const char* const helpLines[replayHelpLineCount] = {
    "Space\tpause and resume (pad: Start)",
    "+  -\tfaster, slower (Up, Down; pad: shoulders)",
    "Right\t10 seconds ahead (pad: A)",
    "Home\tfrom the start again",
    "M\tsound off and on",
    "Esc\tstop watching (pad: Back)",
    "F1\thide this help",
    "\tspeeds: 1/4, 1/2, 1, 2, 4 and 8 times",
};

struct Watch {
  World start;  // the world before the first frame, for Home
  WorldOptions startOptions;
  int speed;  // index into watchSpeeds
  bool paused;
  bool help;
  bool ticking;       // the first tick has come: clockMs holds the clock
  uint32_t clockMs;   // platTickMs at the last tick
  double playheadMs;  // recorded time due, from the recording's start tick
  char line[96];      // the line the picture shows
  bool shownHelp;
};
Watch watch;

bool pressed(uint32_t sym) { return (platKeySymState(sym) & 1) != 0; }

// Recorded ms from the start to a frame's tick (0 for a tick before it).
double sinceStart(uint32_t tick) {
  const uint32_t since = tick - replayStartMs();
  return since > 0x80000000u ? 0 : since;
}

// "1:23", or "1:02:03" past the hour.
void clockText(double ms, char* out, int size) {
  const long seconds = static_cast<long>(ms / 1000);
  if (seconds >= 3600)
    snprintf(out, size, "%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  else
    snprintf(out, size, "%ld:%02ld", seconds / 60, seconds % 60);
}

// "Replay 2x 1:23 / 5:10", the time being that of the frame shown.
void formatLine(char* out, int size) {
  const float speed = watchSpeeds[watch.speed];
  char pace[16], now[24], length[24];
  if (speed < 1)
    snprintf(pace, sizeof pace, "1/%dx", static_cast<int>(1 / speed + 0.5f));
  else
    snprintf(pace, sizeof pace, "%dx", static_cast<int>(speed));
  clockText(lastFrame.number > 0 ? sinceStart(lastFrame.now) : 0, now, sizeof now);
  clockText(replayLengthMs(), length, sizeof length);
  snprintf(out, size, "Replay %s %s / %s%s%s", pace, now, length, watch.paused ? " - paused" : "",
           watch.help ? "" : "   F1: help");
}

// Home: the world, the world options and the replay as at start-up, and
// the trace's first line again.
void startAgain() {
  world = watch.start;
  runOptions.world = watch.startOptions;
  if (!replayRestart()) {
    fprintf(stderr, "%s: cannot read the recording from its start again: %s\n", programName,
            strerror(errno));
    endProcess(2);
  }
  traceFrame(-1);
  watch.playheadMs = 0;
}

// What the watcher's keys and buttons do.
enum WatchAction : uint8_t {
  watchEnd,
  watchPause,
  watchFaster,
  watchSlower,
  watchSkip,
  watchHome,
  watchHelp,
  watchMute,
  watchActionCount
};

// Each key (by the symbol the layout gives it) and pad button (-1: none)
// of the watcher.
struct WatchKey {
  uint32_t sym;
  int padButton;
  WatchAction action;
};
constexpr WatchKey watchKeys[] = {
    {platSymEscape, platPadBack, watchEnd},
    {' ', platPadStart, watchPause},
    {'+', platPadRightShoulder, watchFaster},
    {'=', -1, watchFaster},  // the '+' key without Shift
    {platSymUp, -1, watchFaster},
    {'-', platPadLeftShoulder, watchSlower},
    {platSymDown, -1, watchSlower},
    {platSymRight, platPadA, watchSkip},
    {platSymHome, -1, watchHome},
    {platSymF1, -1, watchHelp},
    {'m', -1, watchMute},
};

// The watcher's keys and pad since the last tick, each read once. *skip:
// Right or A.
void readControls(bool* skip) {
  PlatPad pad;
  platPadState(&pad);
  bool asked[watchActionCount] = {};
  for (const WatchKey& k : watchKeys) {
    const bool key = pressed(k.sym);
    const bool button = k.padButton >= 0 && ((pad.pressed >> k.padButton) & 1u);
    asked[k.action] = asked[k.action] || key || button;
  }
  if (asked[watchEnd]) endRun();
  if (asked[watchPause]) watch.paused = !watch.paused;
  if (asked[watchFaster] && watch.speed + 1 < watchSpeedCount) watch.speed++;
  if (asked[watchSlower] && watch.speed > 0) watch.speed--;
  if (asked[watchHelp]) watch.help = !watch.help;
  if (asked[watchMute]) setSoundMuted(!soundMuted());
  *skip = asked[watchSkip];
  if (asked[watchHome]) startAgain();
}

// Runs the frames due by the playhead; true when any ran.
bool runDueFrames(bool skipping) {
  const uint64_t began = platPerfMicros();
  bool ran = false;
  uint32_t tick;
  while (replayNextTick(&tick) && sinceStart(tick) <= watch.playheadMs) {
    runFrameDrawn(false);  // the last frame of the recording ends the process
    ran = true;
    if (!skipping && platPerfMicros() - began > kCatchUpMicros) {
      // Behind: the playhead waits here, so that the picture follows.
      watch.playheadMs = sinceStart(lastFrame.now);
      break;
    }
  }
  return ran;
}

}  // namespace

void startWatching() {
  watch.start = world;
  watch.startOptions = runOptions.world;
  watch.speed = 2;
  for (int i = 0; i < watchSpeedCount; i++)
    if (watchSpeeds[i] == runOptions.speed) watch.speed = i;
  setReplayHelp(helpLines);
  formatLine(watch.line, sizeof watch.line);
  setReplayHud(watch.line, false);
  // The watcher's characters do not reach the world: the replay brings the
  // recorded ones.
  platKeyboardFunc([](unsigned char, int, int) {});
  platSpecialKeyFunc([](uint32_t) {});
  platTimerFunc(1, watchTick, 0);
}

void watchTick(int) {
  if (platStopAsked()) stopBetweenFrames();  // SIGINT, SIGTERM or the window closed
  const uint32_t now = platTickMs();
  const uint32_t passed = watch.ticking ? now - watch.clockMs : 0;
  watch.ticking = true;
  watch.clockMs = now;
  bool skip = false;
  readControls(&skip);
  if (!watch.paused) watch.playheadMs += passed * static_cast<double>(watchSpeeds[watch.speed]);
  if (skip) {
    watch.playheadMs += kSkipMs;
    holdSound(true);
  }
  const bool ran = runDueFrames(skip);
  if (skip) holdSound(false);

  char line[sizeof watch.line];
  formatLine(line, sizeof line);
  const bool changed = strcmp(line, watch.line) != 0 || watch.help != watch.shownHelp;
  if ((ran || changed) && platWindowShown()) {
    snprintf(watch.line, sizeof watch.line, "%s", line);
    watch.shownHelp = watch.help;
    setReplayHud(watch.line, watch.help);
    displayFrame();
  }

  // The next tick when the next frame is due, or soon enough to read keys.
  unsigned delay = kPollMs;
  uint32_t tick;
  if (!watch.paused && replayNextTick(&tick)) {
    const double wait =
        (sinceStart(tick) - watch.playheadMs) / static_cast<double>(watchSpeeds[watch.speed]);
    delay = wait < 1 ? 1 : wait < kPollMs ? static_cast<unsigned>(wait + 0.999) : kPollMs;
  }
  platTimerFunc(delay, watchTick, 0);
}
