// verify.cpp: each kept run replayed in a child process, which hands its
// score back through a pipe when it ends, however it ends.
#include "app/verify.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/options.h"
#include "app/source.h"
#include "app/startup.h"
#include "app/world_options.h"
#include "assets/dataset.h"
#include "base/printable.h"
#include "base/program.h"
#include "platform/platform.h"
#include "session/replay.h"
#include "session/scores.h"

namespace {

// The child's end of the pipe: its score goes there at its end.
int resultPipe = -1;

void sendScore() {
  const ScoreEntry entry = runEntry(0);
  char text[64];
  const int length = snprintf(text, sizeof text, "score %d %d\n", entry.points, entry.level);
  if (write(resultPipe, text, static_cast<size_t>(length)) < 0) _exit(3);
}

// Sends one line of why the recording cannot be replayed, and ends.
[[noreturn]] void refuse(const char* why) {
  char text[1200];
  const int length = snprintf(text, sizeof text, "refused %s\n", why);
  if (write(resultPipe, text, static_cast<size_t>(length)) < 0) _exit(3);
  _exit(3);
}

// In the child: the recording at path replayed as --headless --input
// would, with nothing drawn, to its end.
[[noreturn]] void replayInChild(const char* path) {
  const int quiet = open("/dev/null", O_WRONLY);
  if (quiet >= 0) {
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
  }
  char why[1100];
  if (!replayOpen(path, worldOptionRules, why, sizeof why)) refuse(why);
  uint64_t recorded = 0, here = 0;
  char hashWhy[512];
  if (replayDataHash(&recorded) && hashDataSet(&here, hashWhy, sizeof hashWhy) &&
      recorded != here) {
    snprintf(why, sizeof why, "recorded on another data set (%016llx, this one is %016llx)",
             static_cast<unsigned long long>(recorded), static_cast<unsigned long long>(here));
    refuse(why);
  }
  runOptions = RunOptions{};
  runOptions.headless = true;
  runOptions.drawEvery = 1000000000;  // never drawn: the last frame is not -1
  runOptions.hasSeed = true;
  runOptions.seed = replaySeed();
  setInputSource(inputFromReplay);
  takeRecordedWorldOptions();
  platInitHeadless(0, 16);
  atexit(sendScore);
  startGame();
  platMainLoop();
  exit(0);
}

// What the child said, and how it ended: true with the score, or false
// with why in why.
bool replayed(const char* path, int32_t* points, int32_t* level, char* why, int whySize) {
  int ends[2];
  if (pipe(ends) != 0) {
    snprintf(why, whySize, "%s", strerror(errno));
    return false;
  }
  fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    snprintf(why, whySize, "%s", strerror(errno));
    close(ends[0]);
    close(ends[1]);
    return false;
  }
  if (child == 0) {
    close(ends[0]);
    resultPipe = ends[1];
    replayInChild(path);
  }
  close(ends[1]);
  char said[1300];
  size_t got = 0;
  for (ssize_t n;
       got + 1 < sizeof said && (n = read(ends[0], said + got, sizeof said - 1 - got)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    got += static_cast<size_t>(n);
  }
  said[got] = '\0';
  close(ends[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // A replay ends with 0 at its last frame, or with 1 where the recorded
  // game ended itself (Esc, Y, the window closed).
  const bool ended = WIFEXITED(status) && WEXITSTATUS(status) <= 1;
  if (ended && sscanf(said, "score %d %d", points, level) == 2) return true;
  if (strncmp(said, "refused ", 8) == 0) {
    said[strcspn(said, "\n")] = '\0';
    snprintf(why, whySize, "%.*s", whySize > 1 ? whySize - 1 : 0, said + 8);
  } else if (WIFSIGNALED(status)) {
    snprintf(why, whySize, "the replay was ended by signal %d", WTERMSIG(status));
  } else {
    snprintf(why, whySize, "the replay stopped with status %d",
             WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  return false;
}

}  // namespace

int verifyScores(const char* folder, FILE* out, FILE* err) {
  ScoreTable table;
  char why[1024];
  const ScoresRead read = loadScores(folder, &table, why, sizeof why);
  if (read != scoresReadWhole) fprintf(err, "%s: %s\n", programName, why);
  if (read == scoresUnreadable) return 1;
  // A damaged line is an entry that cannot be proved.
  int status = read == scoresReadDamaged ? 1 : 0;
  for (int i = 0; i < table.count; i++) {
    const ScoreEntry& e = table.entries[i];
    fprintf(out, "%2d. %s  %d points  level %d  ", i + 1, e.name, e.points, e.level);
    char path[4200];
    if (!e.recording[0] || !runRecordingPath(folder, e.recording, path, sizeof path) ||
        access(path, F_OK) != 0) {
      fprintf(out, "no recording\n");
      fflush(out);
      continue;
    }
    int32_t points = 0, level = 0;
    if (!replayed(path, &points, &level, why, sizeof why)) {
      fprintf(out, "cannot be replayed: %s\n", why);
      status = 1;
    } else if (points == e.points && level == e.level) {
      fprintf(out, "verified\n");
    } else {
      fprintf(out, "differs: the recording gives %d points, level %d\n", points, level);
      status = 1;
    }
    fflush(out);
  }
  return status;
}
