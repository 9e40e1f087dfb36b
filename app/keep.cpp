// keep.cpp: the kept run's recording between the recorder, the runs folder
// and the score table.
#include "app/keep.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/printable.h"
#include "base/program.h"
#include "session/replay.h"
#include "session/runs.h"
#include "session/scores.h"

namespace {

char keptPath[4300];  // the run's recording, while it has one
bool counts;          // the run counts for the table: startKeepingRun was called

}  // namespace

void startKeepingRun() {
  counts = true;
  char folder[4096], runs[4200], name[scoreRecordingMax + 1];
  if (!scoresFolder(folder, sizeof folder) || !runsFolderIn(folder, runs, sizeof runs)) return;
  removeOrphanRuns(folder, stderr);
  const int fd = claimRunFile(runs, time(nullptr), name, sizeof name);
  if (fd >= 0) snprintf(keptPath, sizeof keptPath, "%s/%s", runs, name);
  if (fd < 0 || !recordKeep(fd, keptPath)) {
    fprintf(stderr, "%s: cannot record this run in %s: %s; it plays unrecorded\n", programName,
            printable(runs), strerror(errno));
    if (fd >= 0) unlink(keptPath);
    keptPath[0] = '\0';
    return;
  }
  setRunRecording(name);
}

void keepRun() {
  static bool kept = false;
  if (kept) return;
  kept = true;
  recordClose();
  if (keptPath[0] && !recordKeptWhole()) {
    // A full disk: the entry goes in without its recording.
    unlink(keptPath);
    setRunRecording(nullptr);
  }
  keepRunScore();
}

bool watchScoreInstead(int place) {
  if (counts)
    keepRun();
  else
    recordClose();
  char data[4096], number[16];
  if (!getcwd(data, sizeof data)) {
    fprintf(stderr, "%s: cannot watch entry %d: %s\n", programName, place, strerror(errno));
    return false;
  }
  snprintf(number, sizeof number, "%d", place);
  char name[] = "velkarra3d", watchOption[] = "--watch-score", dataOption[] = "--data";
  char* const args[] = {name, watchOption, number, dataOption, data, nullptr};
  fflush(nullptr);  // the trace and standard output, which exec would lose
  execv("/proc/self/exe", args);
  fprintf(stderr, "%s: cannot watch entry %d: %s\n", programName, place, strerror(errno));
  return false;
}
