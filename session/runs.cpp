// runs.cpp: claiming a kept run's file under its lock, the sweep of the
// recordings nobody keeps, and the recording an entry of the table names.
#include "session/runs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/printable.h"
#include "base/program.h"
#include "base/xdg.h"
#include "session/scores.h"

namespace {

constexpr size_t kPathSize = 4200;

bool joinPath(const char* folder, const char* name, char* out, size_t size) {
  const int written = snprintf(out, size, "%s/%s", folder, name);
  return written > 0 && static_cast<size_t>(written) < size;
}

bool endsWith(const char* text, const char* end) {
  const size_t length = strlen(text), endLength = strlen(end);
  return length > endLength && strcmp(text + length - endLength, end) == 0;
}

// Whether the table kept in folder names the recording `name`; false too
// when the table cannot be read whole (*whole then false).
bool tableNames(const char* folder, const char* name, bool* whole) {
  ScoreTable table;
  char why[512];
  *whole = loadScores(folder, &table, why, sizeof why) == scoresReadWhole;
  for (int i = 0; i < table.count; i++)
    if (strcmp(table.entries[i].recording, name) == 0) return true;
  return false;
}

}  // namespace

int claimRunFile(const char* runsFolder, time_t now, char* name, size_t size) {
  char claim[kPathSize];
  if (!makeFolders(runsFolder)) return -1;
  if (!joinPath(runsFolder, ".claim-XXXXXX", claim, sizeof claim)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  // Locked before it takes its name, so that no sweep ever sees it unlocked.
  const int fd = mkstemp(claim);
  if (fd < 0) return -1;
  fchmod(fd, 0644);
  if (flock(fd, LOCK_EX) != 0) {
    const int error = errno;
    close(fd);
    unlink(claim);
    errno = error;
    return -1;
  }
  tm when;
  localtime_r(&now, &when);
  char stamp[32];
  strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &when);
  int result = -1;
  for (int n = 0; n < 1000 && result < 0; n++) {
    char suffix[16] = "";
    if (n > 0) snprintf(suffix, sizeof suffix, "-%d", n);
    const int written = snprintf(name, size, "%s%s%s", stamp, suffix, runFileSuffix);
    char path[kPathSize];
    if (written < 0 || static_cast<size_t>(written) >= size ||
        !joinPath(runsFolder, name, path, sizeof path)) {
      errno = ENAMETOOLONG;
      break;
    }
    // link fails on a name already taken, where rename would replace it.
    if (link(claim, path) == 0)
      result = dup(fd);
    else if (errno != EEXIST)
      break;
  }
  const int error = errno;
  unlink(claim);
  // fd stays open, unused, to the process's end: it holds the lock.
  if (result < 0) {
    close(fd);
    errno = error;
  }
  return result;
}

int removeOrphanRuns(const char* folder, FILE* warnings) {
  char runs[kPathSize];
  bool whole = false;
  if (!runsFolderIn(folder, runs, sizeof runs)) return 0;
  tableNames(folder, "", &whole);
  if (!whole) return 0;
  DIR* dir = opendir(runs);
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    char path[kPathSize];
    if (name[0] == '.' || !endsWith(name, runFileSuffix) ||
        !joinPath(runs, name, path, sizeof path))
      continue;
    if (tableNames(folder, name, &whole) || !whole) continue;
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    // A game in play holds its file's lock; once it has ended, the table
    // it wrote is read again before its file goes.
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && !tableNames(folder, name, &whole) && whole) {
      if (unlink(path) == 0)
        removed++;
      else
        fprintf(warnings, "%s: cannot remove the recording %s: %s\n", programName, printable(path),
                strerror(errno));
    }
    close(fd);
  }
  closedir(dir);
  return removed;
}

bool scoreRecording(const char* folder, int place, char* path, size_t size, char* why,
                    int whySize) {
  ScoreTable table;
  char reason[1024];
  if (loadScores(folder, &table, reason, sizeof reason) == scoresUnreadable) {
    snprintf(why, whySize, "%s", reason);
    return false;
  }
  if (place < 1 || place > table.count) {
    snprintf(why, whySize, "the table of the best runs has no entry %d (it holds %d)", place,
             table.count);
    return false;
  }
  const ScoreEntry& e = table.entries[place - 1];
  if (!e.recording[0] || !runRecordingPath(folder, e.recording, path, size)) {
    snprintf(why, whySize, "entry %d of the best runs (%d points, %s) has no recording", place,
             e.points, e.name);
    return false;
  }
  if (access(path, R_OK) != 0) {
    snprintf(why, whySize, "the recording of entry %d of the best runs, %s, is missing: %s", place,
             printable(path), strerror(errno));
    return false;
  }
  return true;
}
