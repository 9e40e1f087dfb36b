// main.cpp: program entry of velkarra3d. Reads the command line, chooses the
// platform backend (a window, or headless with a scripted clock and input),
// finds and moves to the data folder, starts the game and enters the main
// loop.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "app/config.h"
#include "app/datadir.h"
#include "app/ending.h"
#include "app/keep.h"
#include "app/options.h"
#include "app/source.h"
#include "app/startup.h"
#include "app/verify.h"
#include "app/watch.h"
#include "app/world_options.h"
#include "assets/data_files.h"
#include "assets/dataset.h"
#include "base/printable.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "session/replay.h"
#include "session/runs.h"
#include "session/scores.h"
#include "session/trace.h"

namespace {

// path made absolute against the working directory; a null path stays null.
bool absolutePath(const char* path, char* out, size_t size) {
  if (!path) return true;
  if (path[0] == '/') return snprintf(out, size, "%s", path) < static_cast<int>(size);
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return false;
  return snprintf(out, size, "%s/%s", cwd, path) < static_cast<int>(size);
}

// One line on stderr that repeats the file name and words of an input file.
void printEscaped(const char* error) {
  static char shown[4096 * 4];
  escapeInto(error, 4096, shown, sizeof shown);
  fprintf(stderr, "%s: %s\n", programName, shown);
}

// --watch-score N: the recording of entry N becomes the file watched.
// False after one line on stderr.
bool findScoreRecording(int place) {
  static char path[4200];
  char folder[4096], why[1024];
  if (!scoresFolder(folder, sizeof folder)) {
    fprintf(stderr, "%s: no score table: neither XDG_DATA_HOME nor HOME is a full path\n",
            programName);
    return false;
  }
  if (!scoreRecording(folder, place, path, sizeof path, why, sizeof why)) {
    fprintf(stderr, "%s: %s\n", programName, why);
    return false;
  }
  runOptions.watchFile = path;
  return true;
}

// A recording that names its data set plays only on that one: on another
// its world would drift from the run. False after one line on stderr.
bool sameDataSet(const char* recording, const char* dataDir) {
  uint64_t recorded = 0, here = 0;
  char why[512];
  // A data set that cannot be read says so itself at start-up.
  if (!replayDataHash(&recorded) || !hashDataSet(&here, why, sizeof why) || recorded == here)
    return true;
  char said[4096 * 2 + 200];
  snprintf(
      said, sizeof said,
      "%.4000s: recorded on another data set (data %016llx; the one in %.4000s is %016llx): its "
      "replay would not be the run",
      recording, static_cast<unsigned long long>(recorded), dataDir,
      static_cast<unsigned long long>(here));
  printEscaped(said);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  char error[4096];
  switch (parseOptions(argc, argv, &runOptions, error, sizeof error)) {
    case parseHelp:
      fputs(usageText(), stdout);
      return 0;
    case parseVersion:
      printf("%s %s\n", programName, programVersion);
      return 0;
    case parseError:
      fprintf(stderr, "%s: %s\n", programName, error);
      return 2;
    case parseRun:
      break;
  }
  // The player's configuration file: the command line wins over it.
  readConfiguration(&runOptions, stderr);
  if (!checkOptions(runOptions, error, sizeof error)) {
    fprintf(stderr, "%s: %s\n", programName, error);
    return 2;
  }
  if (runOptions.printConfig) printConfiguration(runOptions, stdout);
  if (runOptions.printScores) {
    char folder[4096];
    if (scoresFolder(folder, sizeof folder))
      printScores(folder, stdout, stderr);
    else
      fprintf(stderr, "%s: no score table: neither XDG_DATA_HOME nor HOME is a full path\n",
              programName);
  }
  if (runOptions.printConfig || runOptions.printScores) return 0;
  if (runOptions.watchScore > 0 && !findScoreRecording(runOptions.watchScore)) return 2;

  // A timedemo plays its file as --input would: a recorded session on
  // either backend, an event script headless to its last event (or
  // --frames). A watched file is a recorded session or nothing, and
  // headless the watcher's keys come from --input.
  const char* watched = runOptions.watchFile;
  const char* input = watched                   ? watched
                      : runOptions.timedemoFile ? runOptions.timedemoFile
                                                : runOptions.inputFile;
  const char* watcherKeys = watched ? runOptions.inputFile : nullptr;
  for (const char* file : {input, watcherKeys}) {
    if (file && access(file, R_OK) != 0) {
      snprintf(error, sizeof error, "%.4000s: cannot open: %s", file, strerror(errno));
      printEscaped(error);
      return 2;
    }
  }
  const bool replay = input && (watched || isRecordedSession(input));
  if (input && !replay && !runOptions.headless) {
    fprintf(stderr,
            "%s: --timedemo in a window replays a recorded session (--record); an input script "
            "needs --headless\n",
            programName);
    return 2;
  }
  if (runOptions.headless) {
    platInitHeadless(runOptions.startMs, runOptions.frameMs);
    const char* script = replay ? watcherKeys : input;
    if (script && !headlessLoadScript(script, error, sizeof error)) {
      printEscaped(error);
      return 2;
    }
    if (runOptions.timedemoFile && !replay && runOptions.frames < 0)
      runOptions.frames = headlessScriptLastFrame();
  }
  if (replay) {
    if (!replayOpen(input, worldOptionRules, error, sizeof error)) {
      printEscaped(error);
      return 2;
    }
    // The recorded session brings its own seed and clock.
    setInputSource(inputFromReplay);
    runOptions.hasSeed = true;
    runOptions.seed = replaySeed();
    // ...and the options that changed its world, whatever this run's are.
    takeRecordedWorldOptions();
  }
  if (runOptions.autoplay) setInputSource(inputFromAutoplay);

  // Chosen before any window opens, so that a game without data says so at once.
  static char dataDir[4096];
  if (!chooseDataDir(runOptions.dataDir, dataDir, sizeof dataDir, error, sizeof error)) {
    fprintf(stderr, "%s: %s\n", programName, error);
    return runOptions.dataDir ? 2 : 1;
  }
  if (runOptions.printDataDir) {
    printf("%s\n", dataDir);
    return 0;
  }

  // Files named on the command line stay relative to where the game was
  // started, not to the data folder.
  static char tracePath[4096], screenshotPath[4096], recordPath[4096];
  if (!absolutePath(runOptions.traceFile, tracePath, sizeof tracePath) ||
      !absolutePath(runOptions.screenshotFile, screenshotPath, sizeof screenshotPath) ||
      !absolutePath(runOptions.recordFile, recordPath, sizeof recordPath)) {
    fprintf(stderr, "%s: cannot resolve the output file names: %s\n", programName, strerror(errno));
    return 2;
  }
  if (runOptions.traceFile) runOptions.traceFile = tracePath;
  if (runOptions.screenshotFile) runOptions.screenshotFile = screenshotPath;
  if (runOptions.recordFile) runOptions.recordFile = recordPath;

  if (chdir(dataDir) != 0) {
    fprintf(stderr, "%s: cannot use the data folder '%s': %s\n", programName, printable(dataDir),
            strerror(errno));
    // A bad --data is a bad option; a bad VELKARRA3D_DATA is the game's own end.
    return runOptions.dataDir ? 2 : 1;
  }
  // A folder with none of the data files is not a data set with a file
  // missing: say so, rather than name the first file start-up would miss.
  if (!holdsAnyDataFile(".")) {
    fprintf(stderr, "%s: the folder '%s' holds no data set (looked for %s there)\n", programName,
            printable(dataDir), dataFileNames[fileSettings]);
    return runOptions.dataDir ? 2 : 1;
  }
  if (replay && !sameDataSet(input, dataDir)) return 2;
  if (runOptions.verifyScores) {
    char folder[4096];
    if (!scoresFolder(folder, sizeof folder)) {
      fprintf(stderr, "%s: no score table: neither XDG_DATA_HOME nor HOME is a full path\n",
              programName);
      return 1;
    }
    return verifyScores(folder, stdout, stderr);
  }
  if (runOptions.traceFile && !traceOpen(runOptions.traceFile)) {
    fprintf(stderr, "%s: cannot write the trace '%s': %s\n", programName,
            printable(runOptions.traceFile), strerror(errno));
    return 2;
  }
  if (!runOptions.headless && !platInitWindowed(&argc, argv)) return 1;
  if (runOptions.recordFile && !recordOpen(runOptions.recordFile)) {
    fprintf(stderr, "%s: cannot write the recording '%s': %s\n", programName,
            printable(runOptions.recordFile), strerror(errno));
    return 2;
  }
  // Only play in a window with the platform's own input counts towards the
  // score table, whichever way it ends (Y, Esc, the window closed); it is
  // recorded into the runs folder as it is played.
  const bool keepsScore = !runOptions.headless && inputSource() == inputFromPlatform &&
                          !runOptions.timedemoFile && !runOptions.noScores && runOptions.frames < 0;
  if (keepsScore) startKeepingRun();
  if (runOptions.recordFile || keepsScore) {
    // A recording names its seed, so that the replay starts the same world.
    if (!runOptions.hasSeed) runOptions.seed = platTickMs();
    runOptions.hasSeed = true;
  }

  // From here on SIGINT and SIGTERM end the run between two frames, as Esc
  // would, with the recording closed.
  platCatchStopSignals();
  startGame();
  if (watched) startWatching();
  if (keepsScore) atexit(keepRun);
  traceFrame(-1);
  if (runOptions.frames == 0 || replayFinished()) endRun();
  platMainLoop();
  return 0;
}
