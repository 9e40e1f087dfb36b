// scores.cpp: the score table: its text, its place in the data folder, the
// locked read-merge-write that keeps it, and this run's entry.
#include "session/scores.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/numbers.h"
#include "base/printable.h"
#include "base/program.h"
#include "base/xdg.h"
#include "game/tally.h"

namespace {

constexpr int kVersion = 2;
constexpr int kOldestVersion = 1;  // POINTS LEVEL DATE TIME LOGIN
const char kHeader[] = "# velkarra3d scores ";
constexpr size_t kMaxFile = 64 * 1024;
constexpr int kMaxLines = 1000;
constexpr int kLockTries = 1000;  // 10 ms apart: ten seconds
constexpr size_t kPathSize = 4200;

// Entry a comes before entry b.
bool before(const ScoreEntry& a, const ScoreEntry& b) {
  if (a.points != b.points) return a.points > b.points;
  if (a.level != b.level) return a.level > b.level;
  const int date = strcmp(a.date, b.date);
  return date != 0 ? date < 0 : strcmp(a.time, b.time) < 0;
}

bool isDigits(const char* s, size_t count) {
  for (size_t i = 0; i < count; i++)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// A whole number from 0 to max, digits only. Where it is not, what says so
// after its name in the line, in parentheses: " (POINTS takes ...)".
bool readNumber(const char* word, const char* name, int32_t max, int32_t* out, char* what,
                int whatSize) {
  int64_t value = 0;
  if (readWhole(word, 0, max, &value)) {
    *out = static_cast<int32_t>(value);
    return true;
  }
  const int said = snprintf(what, whatSize, " (%s ", name);
  if (said < 0 || said + 2 >= whatSize) return false;
  wholeNumberError(what + said, whatSize - said - 1, 0, max, word);
  strcat(what, ")");
  return false;
}

// A character of a version 1 name (one word) and of a version 2 name,
// where blanks may stand inside.
bool wordCharacter(char c) { return c > ' ' && c < 0x7f; }
bool nameCharacter(char c) { return c >= ' ' && c < 0x7f; }

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// A recording's file name: letters, digits, '.', '-' and '_', not starting
// with '.', never a path.
bool goodRecordingName(const char* name) {
  const size_t length = strlen(name);
  if (length == 0 || length > static_cast<size_t>(scoreRecordingMax) || name[0] == '.')
    return false;
  for (const char* c = name; *c; c++)
    if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
          *c == '.' || *c == '-' || *c == '_'))
      return false;
  return true;
}

// Splits up to `count` blank-separated words off the front of line, in
// place; *rest is what follows them, its blanks at both ends cut off.
int splitWords(char* line, char* words[], int count, char** rest) {
  int found = 0;
  char* p = line;
  while (found < count) {
    while (isBlankChar(*p)) p++;
    if (!*p) break;
    words[found++] = p;
    while (*p && !isBlankChar(*p)) p++;
    if (*p) *p++ = '\0';
  }
  while (isBlankChar(*p)) p++;
  char* end = p + strlen(p);
  while (end > p && isBlankChar(end[-1])) *--end = '\0';
  *rest = p;
  return found;
}

// One table line: POINTS LEVEL DATE TIME RECORDING NAME (version 2) or
// POINTS LEVEL DATE TIME NAME (version 1).
bool readEntry(char* line, int version, ScoreEntry* e, char* why, int whySize) {
  *e = ScoreEntry{};
  char* words[5];
  char* rest = nullptr;
  const int wordCount = version == 1 ? 4 : 5;
  const int count = splitWords(line, words, wordCount, &rest);
  const char* date = count > 2 ? words[2] : "";
  const char* time = count > 3 ? words[3] : "";
  const bool dateOk = strlen(date) == 10 && isDigits(date, 4) && date[4] == '-' &&
                      isDigits(date + 5, 2) && date[7] == '-' && isDigits(date + 8, 2);
  const bool timeOk =
      strlen(time) == 5 && isDigits(time, 2) && time[2] == ':' && isDigits(time + 3, 2);
  const char* recording = version == 1 || count < 5 ? "-" : words[4];
  const bool recordingOk = strcmp(recording, "-") == 0 || goodRecordingName(recording);
  bool nameOk = count == wordCount && *rest && strlen(rest) <= static_cast<size_t>(scoreNameMax);
  for (const char* c = rest; nameOk && *c; c++)
    nameOk = version == 1 ? wordCharacter(*c) : nameCharacter(*c);
  const char* form = version == 1 ? "POINTS LEVEL YYYY-MM-DD HH:MM NAME"
                                  : "POINTS LEVEL YYYY-MM-DD HH:MM RECORDING NAME";
  char what[300] = "";
  if (count != wordCount ||
      !readNumber(words[0], "POINTS", INT32_MAX, &e->points, what, sizeof what) ||
      !readNumber(words[1], "LEVEL", INT32_MAX, &e->level, what, sizeof what) || !dateOk ||
      !timeOk || !recordingOk || !nameOk) {
    snprintf(why, whySize, "expected %s%s", form, what);
    return false;
  }
  memcpy(e->date, date, sizeof e->date);
  memcpy(e->time, time, sizeof e->time);
  snprintf(e->name, sizeof e->name, "%s", rest);
  if (strcmp(recording, "-") != 0) snprintf(e->recording, sizeof e->recording, "%s", recording);
  return true;
}

// The table file's path in folder.
bool tablePath(const char* folder, const char* name, char* out) {
  const int written = snprintf(out, kPathSize, "%s/%s", folder, name);
  return written > 0 && static_cast<size_t>(written) < kPathSize;
}

enum ReadResult { readOk, readDamaged, readMissing, readFailed, readBad, readNewer };

// Reads the table at path; why says what is wrong for readFailed (the
// system's reason), readBad/readNewer (the line) and readDamaged (the lines
// left out).
ReadResult readTable(const char* path, ScoreTable* table, char* why, int whySize) {
  static char text[kMaxFile + 1];
  *table = ScoreTable{};
  FILE* file = fopen(path, "rb");
  if (!file) {
    snprintf(why, whySize, "%s", strerror(errno));
    return errno == ENOENT ? readMissing : readFailed;
  }
  const size_t size = fread(text, 1, sizeof text, file);
  const bool failed = ferror(file) != 0;
  const int readErrno = errno;
  fclose(file);
  if (failed) {
    snprintf(why, whySize, "%s", strerror(readErrno));
    return readFailed;
  }
  if (size > kMaxFile) {
    snprintf(why, whySize, "1: the file is larger than %zu bytes", kMaxFile);
    return readBad;
  }
  bool newer = false;
  ScoreDamage damage;
  if (!parseScores(text, size, table, &newer, &damage, why, whySize))
    return newer ? readNewer : readBad;
  if (damage.count == 0) return readOk;
  describeDamage(damage, why, whySize);
  return readDamaged;
}

// Moves the unreadable table aside under a name of its own; false if it
// cannot be.
bool moveAside(const char* folder, const char* path, char* aside) {
  const time_t now = time(nullptr);
  tm when;
  localtime_r(&now, &when);
  char stamp[32];
  strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &when);
  for (int n = 0; n < 100; n++) {
    char name[64];
    snprintf(name, sizeof name, n ? "scores.corrupt-%s-%d" : "scores.corrupt-%s", stamp, n);
    if (!tablePath(folder, name, aside)) return false;
    // link fails on a name already taken, where rename would replace it.
    if (link(path, aside) == 0) return unlink(path) == 0 || errno == ENOENT;
    if (errno != EEXIST) return false;
  }
  return false;
}

// Writes text as the new table: a temporary file beside it, flushed, then
// renamed over it. On failure the old file is untouched and why says why.
bool replaceTable(const char* folder, const char* path, const char* text, char* why, int whySize) {
  char temporary[kPathSize];
  if (!tablePath(folder, "scores.XXXXXX", temporary)) {
    snprintf(why, whySize, "the folder's name is too long");
    return false;
  }
  const int fd = mkstemp(temporary);
  if (fd < 0) {
    snprintf(why, whySize, "%s", strerror(errno));
    return false;
  }
  const size_t length = strlen(text);
  size_t done = 0;
  bool ok = fchmod(fd, 0644) == 0;
  while (ok && done < length) {
    const ssize_t wrote = write(fd, text + done, length - done);
    if (wrote < 0 && errno == EINTR) continue;
    ok = wrote > 0;
    if (ok) done += static_cast<size_t>(wrote);
  }
  if (ok) ok = fsync(fd) == 0;
  const int writeErrno = errno;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temporary, path) == 0;
  if (!ok) {
    snprintf(why, whySize, "%s", strerror(writeErrno ? writeErrno : errno));
    unlink(temporary);
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int dir = open(folder, O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

// Takes the table's lock (a file beside it that is never replaced),
// waiting a while for another game to finish with it. The descriptor, or -1.
int takeLock(const char* folder, char* why, int whySize) {
  char path[kPathSize];
  if (!tablePath(folder, "scores.lock", path)) {
    snprintf(why, whySize, "the folder's name is too long");
    return -1;
  }
  int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  // A lock file already there serves read-only too: the write then says
  // what is wrong.
  if (fd < 0 && (errno == EROFS || errno == EACCES)) fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    snprintf(why, whySize, "%s", strerror(errno));
    return -1;
  }
  for (int tries = 0; tries < kLockTries; tries++) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    usleep(10000);
  }
  snprintf(why, whySize, "%s",
           errno == EWOULDBLOCK ? "another game holds its lock" : strerror(errno));
  close(fd);
  return -1;
}

void loginName(char* out, size_t size) {
  const passwd* user = getpwuid(getuid());
  const char* name = user && user->pw_name && user->pw_name[0] ? user->pw_name : getenv("LOGNAME");
  if (!name || !name[0]) name = getenv("USER");
  if (!name || !name[0]) name = "player";
  snprintf(out, size, "%s", name);
  // One word of printable ASCII, as the file's lines need.
  for (char* c = out; *c; c++)
    if (!wordCharacter(*c)) *c = '_';
}

// The name and the recording the run's entry carries.
char runName[scoreNameMax + 1];
char runRecording[scoreRecordingMax + 1];

}  // namespace

void setRunName(const char* name) {
  runName[0] = '\0';
  if (!name) return;
  while (isBlankChar(*name)) name++;
  snprintf(runName, sizeof runName, "%s", name);
  char* end = runName + strlen(runName);
  while (end > runName && isBlankChar(end[-1])) *--end = '\0';
  for (char* c = runName; *c; c++)
    if (!nameCharacter(*c)) *c = '_';
}

void setRunRecording(const char* fileName) {
  runRecording[0] = '\0';
  if (fileName && goodRecordingName(fileName))
    snprintf(runRecording, sizeof runRecording, "%s", fileName);
}

int scorePlace(const ScoreTable& table, const ScoreEntry& entry) {
  ScoreTable copy = table;
  return insertScore(&copy, entry);
}

void describeDamage(const ScoreDamage& damage, char* out, int size) {
  int used = snprintf(out, size, "%s", damage.count == 1 ? "line " : "lines ");
  const int shown = damage.count < scoreDamageShown ? damage.count : scoreDamageShown;
  for (int i = 0; i < shown && used >= 0 && used < size; i++) {
    const char* joint = i == 0 ? "" : i + 1 == damage.count ? " and " : ", ";
    used += snprintf(out + used, size - used, "%s%d", joint, damage.lines[i]);
  }
  if (damage.count > shown && used >= 0 && used < size)
    used += snprintf(out + used, size - used, " and %d more", damage.count - shown);
  if (used >= 0 && used < size)
    snprintf(out + used, size - used, " (%d: %s)", damage.lines[0], damage.first);
}

int insertScore(ScoreTable* table, const ScoreEntry& entry) {
  int at = table->count;
  while (at > 0 && before(entry, table->entries[at - 1])) at--;
  if (at >= scoreTableSize) return 0;
  const int last = table->count < scoreTableSize ? table->count : scoreTableSize - 1;
  for (int i = last; i > at; i--) table->entries[i] = table->entries[i - 1];
  table->entries[at] = entry;
  if (table->count < scoreTableSize) table->count++;
  return at + 1;
}

bool parseScores(const char* text, size_t size, ScoreTable* table, bool* newer, ScoreDamage* damage,
                 char* why, int whySize) {
  *table = ScoreTable{};
  *damage = ScoreDamage{};
  *newer = false;
  size_t at = 0;
  int lineNo = 0;
  int version = 0;
  char line[256];
  // A line left out of the table: noted, and the read goes on.
  auto damaged = [damage](int number, const char* what) {
    if (damage->count < scoreDamageShown) damage->lines[damage->count] = number;
    if (damage->count == 0) snprintf(damage->first, sizeof damage->first, "%s", what);
    damage->count++;
  };
  while (at < size) {
    const char* end = static_cast<const char*>(memchr(text + at, '\n', size - at));
    const size_t length = (end ? static_cast<size_t>(end - text) : size) - at;
    lineNo++;
    const bool fits = length < sizeof line && !memchr(text + at, '\0', length);
    if (fits) {
      memcpy(line, text + at, length);
      line[length] = '\0';
    }
    at += length + 1;
    if (lineNo == 1) {
      const size_t n = sizeof kHeader - 1;
      const char* number = line + n;
      // At most five digits: a longer version is no table of ours.
      int64_t read = 0;
      if (!fits || strncmp(line, kHeader, n) != 0 || strlen(number) > 5 ||
          !readWhole(number, 0, 99999, &read)) {
        snprintf(why, whySize, "1: not '%s%d'", kHeader, kVersion);
        return false;
      }
      if (read < kOldestVersion || read > kVersion) {
        *newer = read > kVersion;
        snprintf(why, whySize, "1: a table of version %s; this game keeps version %d", number,
                 kVersion);
        return false;
      }
      version = static_cast<int>(read);
      continue;
    }
    if (length == 0 && at >= size) break;  // the last newline
    if (lineNo > kMaxLines) {
      damaged(lineNo, "too many lines");
      break;
    }
    if (!fits) {
      damaged(lineNo, "not a line of the table");
      continue;
    }
    ScoreEntry entry;
    char what[350];
    if (readEntry(line, version, &entry, what, sizeof what))
      insertScore(table, entry);
    else
      damaged(lineNo, what);
  }
  return true;  // an empty file is an empty table too
}

bool formatScores(const ScoreTable& table, char* out, size_t size) {
  size_t used = 0;
  int wrote = snprintf(out, size, "%s%d\n", kHeader, kVersion);
  for (int i = 0; wrote >= 0 && used + static_cast<size_t>(wrote) < size && i <= table.count; i++) {
    used += static_cast<size_t>(wrote);
    if (i == table.count) return true;
    const ScoreEntry& e = table.entries[i];
    wrote = snprintf(out + used, size - used, "%d %d %s %s %s %s\n", e.points, e.level, e.date,
                     e.time, e.recording[0] ? e.recording : "-", e.name[0] ? e.name : "player");
  }
  return false;
}

bool scoresFolder(char* out, size_t size) { return xdgDataFolder(out, size); }

bool runsFolderIn(const char* folder, char* out, size_t size) {
  const int written = snprintf(out, size, "%s/runs", folder);
  return written > 0 && static_cast<size_t>(written) < size;
}

bool runRecordingPath(const char* folder, const char* name, char* out, size_t size) {
  char runs[kPathSize];
  if (!goodRecordingName(name) || !runsFolderIn(folder, runs, sizeof runs)) return false;
  const int written = snprintf(out, size, "%s/%s", runs, name);
  return written > 0 && static_cast<size_t>(written) < size;
}

bool entryRecordingThere(const char* folder, const ScoreEntry& entry) {
  char path[kPathSize];
  return entry.recording[0] && runRecordingPath(folder, entry.recording, path, sizeof path) &&
         access(path, R_OK) == 0;
}

int keepScore(const char* folder, const ScoreEntry& entry, FILE* warnings) {
  ScoreEntry out;
  const int place = entry.points > 0 ? addScore(folder, entry, warnings, &out) : 0;
  // A run that stays out of the table leaves no recording behind, and one
  // pushed out of the ten takes its recording with it.
  const char* gone = place > 0 ? (out.points >= 0 ? out.recording : "") : entry.recording;
  char path[kPathSize];
  if (gone[0] && runRecordingPath(folder, gone, path, sizeof path) && unlink(path) != 0 &&
      errno != ENOENT)
    fprintf(warnings, "%s: cannot remove the recording %s: %s\n", programName, printable(path),
            strerror(errno));
  return place;
}

int addScore(const char* folder, const ScoreEntry& entry, FILE* warnings, ScoreEntry* pushedOut) {
  char path[kPathSize], why[512];
  if (pushedOut) pushedOut->points = -1;
  if (!tablePath(folder, "scores", path)) {
    fprintf(warnings, "%s: cannot keep the score: the folder's name is too long\n", programName);
    return -1;
  }
  if (!makeFolders(folder)) {
    fprintf(warnings, "%s: cannot keep the score in %s: %s\n", programName, printable(path),
            strerror(errno));
    return -1;
  }
  const int lock = takeLock(folder, why, sizeof why);
  if (lock < 0) {
    fprintf(warnings,
            "%s: cannot keep the score in %s: the lock: %s; the table is left as it was\n",
            programName, printable(path), why);
    return -1;
  }
  ScoreTable table;
  int place = -1;
  const ReadResult read = readTable(path, &table, why, sizeof why);
  // A damaged table is kept aside once, as it was; the new one holds its
  // good lines.
  const bool aside = read == readBad || read == readDamaged;
  char asidePath[kPathSize];
  if (read == readFailed || read == readNewer) {
    fprintf(warnings, "%s: cannot keep the score in %s: %s%s\n", programName, printable(path),
            read == readNewer ? "line " : "", why);
  } else if (aside && !moveAside(folder, path, asidePath)) {
    fprintf(warnings, "%s: %s:%s%s; cannot move it aside (%s), so the score is not kept\n",
            programName, printable(path), read == readDamaged ? " " : "", why, strerror(errno));
  } else {
    if (read == readBad) {
      fprintf(warnings, "%s: %s:%s; kept aside as %s, and a new table started\n", programName,
              printable(path), why, printable(asidePath));
      table = ScoreTable{};
    } else if (read == readDamaged) {
      fprintf(warnings, "%s: %s: %s damaged; kept aside as %s, and the good lines kept\n",
              programName, printable(path), why, printable(asidePath));
    }
    const ScoreEntry last = table.entries[scoreTableSize - 1];
    const bool full = table.count == scoreTableSize;
    place = insertScore(&table, entry);
    if (pushedOut && full && place > 0) *pushedOut = last;
    static char text[4096];
    // A table that does not change is not written again (unless it was
    // moved aside, where the new one must start).
    if ((place > 0 || aside) && formatScores(table, text, sizeof text) &&
        !replaceTable(folder, path, text, why, sizeof why)) {
      fprintf(warnings, "%s: cannot write %s: %s; the table is left as it was\n", programName,
              printable(path), why);
      place = -1;
      if (pushedOut) pushedOut->points = -1;
    }
  }
  close(lock);
  return place;
}

ScoresRead loadScores(const char* folder, ScoreTable* table, char* why, int whySize) {
  char path[kPathSize], reason[512];
  *table = ScoreTable{};
  if (!tablePath(folder, "scores", path)) {
    snprintf(why, whySize, "the folder's name is too long");
    return scoresUnreadable;
  }
  switch (readTable(path, table, reason, sizeof reason)) {
    case readOk:
    case readMissing:
      return scoresReadWhole;
    case readDamaged:
      snprintf(why, whySize, "%s: %s damaged and left out", printable(path), reason);
      return scoresReadDamaged;
    case readFailed:
      snprintf(why, whySize, "cannot read %s: %s", printable(path), reason);
      break;
    case readBad:
    case readNewer:
      snprintf(why, whySize, "cannot read %s: line %s", printable(path), reason);
      break;
  }
  *table = ScoreTable{};
  return scoresUnreadable;
}

void printScores(const char* folder, FILE* out, FILE* warnings) {
  char path[kPathSize], why[1024];
  if (!tablePath(folder, "scores", path)) return;
  ScoreTable table;
  const ScoresRead read = loadScores(folder, &table, why, sizeof why);
  if (read != scoresReadWhole) fprintf(warnings, "%s: %s\n", programName, why);
  if (read == scoresUnreadable) return;
  if (table.count == 0) {
    fprintf(out, "No runs kept yet (%s)\n", printable(path));
    return;
  }
  fprintf(out, "The best runs (%s):\n", printable(path));
  bool recorded = false;
  for (int i = 0; i < table.count; i++) {
    const ScoreEntry& e = table.entries[i];
    // An entry whose recording is there can be watched: --watch-score N.
    const bool there = entryRecordingThere(folder, e);
    recorded |= there;
    fprintf(out, "%2d. %8d points  level %-4d  %s %s  %s%s\n", i + 1, e.points, e.level, e.date,
            e.time, e.name, there ? "  [recorded]" : "");
  }
  if (recorded) fprintf(out, "Watch a [recorded] run with --watch-score N.\n");
}

ScoreEntry runEntry(time_t now) {
  const RunTally tally = runTallyNow();
  ScoreEntry entry = {};
  const int64_t points = static_cast<int64_t>(tally.clearedPoints) + tally.points;
  entry.points = points > INT32_MAX ? INT32_MAX : points < 0 ? 0 : static_cast<int32_t>(points);
  entry.level = tally.highestLevel > 0 ? tally.highestLevel : 1;
  tm when;
  localtime_r(&now, &when);
  strftime(entry.date, sizeof entry.date, "%Y-%m-%d", &when);
  strftime(entry.time, sizeof entry.time, "%H:%M", &when);
  if (runName[0])
    snprintf(entry.name, sizeof entry.name, "%s", runName);
  else
    loginName(entry.name, sizeof entry.name);
  snprintf(entry.recording, sizeof entry.recording, "%s", runRecording);
  return entry;
}

void keepRunScore() {
  static bool kept = false;
  if (kept) return;
  kept = true;
  const ScoreEntry entry = runEntry(time(nullptr));
  char folder[4096];
  if (!scoresFolder(folder, sizeof folder)) {
    fprintf(stderr, "%s: cannot keep the score: neither XDG_DATA_HOME nor HOME is a full path\n",
            programName);
    return;
  }
  const int place = keepScore(folder, entry, stderr);
  if (place > 0) {
    printf("Your run takes place %d in the high scores: %d points, level %d\n", place, entry.points,
           entry.level);
    fflush(stdout);
  }
}
