// main.cpp: program entry of velkarra3d. Reads the command line, chooses the
// platform backend (a window, or headless with a scripted clock and input),
// finds and moves to the data folder, starts the game and enters the main
// loop.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/headless.h"
#include "platform/platform.h"
#include "shell/datadir.h"
#include "shell/frame.h"
#include "shell/options.h"
#include "shell/printable.h"
#include "shell/startup.h"
#include "shell/trace.h"

namespace {

// path made absolute against the working directory; a null path stays null.
bool absolutePath(const char* path, char* out, size_t size) {
  if (!path) return true;
  if (path[0] == '/') return snprintf(out, size, "%s", path) < static_cast<int>(size);
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return false;
  return snprintf(out, size, "%s/%s", cwd, path) < static_cast<int>(size);
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

  if (runOptions.headless) {
    platInitHeadless(runOptions.startMs, runOptions.frameMs);
    if (runOptions.inputFile && !headlessLoadScript(runOptions.inputFile, error, sizeof error)) {
      // The line repeats the file name and words of the script.
      char shown[sizeof error * 4];
      escapeInto(error, sizeof error, shown, sizeof shown);
      fprintf(stderr, "%s: %s\n", programName, shown);
      return 2;
    }
  }
  // Files named on the command line stay relative to where the game was
  // started, not to the data folder.
  static char tracePath[4096], screenshotPath[4096];
  if (!absolutePath(runOptions.traceFile, tracePath, sizeof tracePath) ||
      !absolutePath(runOptions.screenshotFile, screenshotPath, sizeof screenshotPath)) {
    fprintf(stderr, "%s: cannot resolve the output file names: %s\n", programName, strerror(errno));
    return 2;
  }
  if (runOptions.traceFile) runOptions.traceFile = tracePath;
  if (runOptions.screenshotFile) runOptions.screenshotFile = screenshotPath;

  if (chdir(dataDir) != 0) {
    fprintf(stderr, "%s: cannot use the data folder '%s': %s\n", programName, printable(dataDir),
            strerror(errno));
    // A bad --data is a bad option; a bad VELKARRA3D_DATA is the game's own end.
    return runOptions.dataDir ? 2 : 1;
  }
  if (runOptions.traceFile && !traceOpen(runOptions.traceFile)) {
    fprintf(stderr, "%s: cannot write the trace '%s': %s\n", programName,
            printable(runOptions.traceFile), strerror(errno));
    return 2;
  }
  if (!runOptions.headless && !platInitWindowed(&argc, argv)) return 1;

  startGame();
  traceFrame(-1);
  if (runOptions.frames == 0) endRun();
  platMainLoop();
  return 0;
}
