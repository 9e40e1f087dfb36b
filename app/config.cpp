// config.cpp: reads the configuration file line by line through the option
// table, and prints the settings in force with their origins.
#include "app/config.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "base/printable.h"
#include "base/program.h"
#include "base/xdg.h"
#include "platform/platform.h"

namespace {

// What the last file read gave: its name, whether it was read, and the line
// that set each row (0: none).
struct ConfigRead {
  char path[4096];
  bool read;
  bool missing;  // the usual file is not there
  bool skipped;  // --no-config
  int lines[optionCount];
  int keyLines[keyActionCount];  // the line that set each key binding (0: none)
};
ConfigRead lastRead;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// text without the blanks around it, in place.
char* trimmed(char* text) {
  while (isBlank(*text)) text++;
  char* end = text + strlen(text);
  while (end > text && isBlank(end[-1])) *--end = '\0';
  return text;
}

struct Warner {
  FILE* out;
  const char* path;
  int count;
};

__attribute__((format(printf, 3, 4))) void warn(Warner* w, int line, const char* format, ...) {
  w->count++;
  if (w->count > configWarningsMax) {
    if (w->count == configWarningsMax + 1)
      fprintf(w->out, "%s: %s: more faulty lines; the rest are skipped without a word\n",
              programName, printable(w->path));
    return;
  }
  char what[1200];
  va_list args;
  va_start(args, format);
  vsnprintf(what, sizeof what, format, args);
  va_end(args);
  fprintf(w->out, "%s: %s:%d: %s\n", programName, printable(w->path), line, what);
}

// A key-ACTION line: an X key name, or none for no key. A key another
// action had is taken from it.
void readKeyLine(int action, const char* value, int line, RunOptions* options, Warner* w) {
  const uint32_t sym = strcmp(value, "none") == 0 ? 0 : platKeySymFromName(value);
  if (sym == 0 && strcmp(value, "none") != 0) {
    warn(w, line,
         "%s takes an X key name ('w', 'Up', 'space', 'F5') or none, not '%s'; line skipped",
         keyActions[action].configName, printable(value));
    return;
  }
  const int loser = bindKey(&options->keys, action, sym);
  lastRead.keyLines[action] = line;
  if (loser != noAction) lastRead.keyLines[loser] = line;
}

// The name and the value of a `name = value` line (its comment cut off), in
// place; false for a line that sets nothing (blank, a comment, no '=').
bool splitSetting(char* text, char** name, char** value) {
  if (char* hash = strchr(text, '#')) *hash = '\0';
  char* whole = trimmed(text);
  char* equals = strchr(whole, '=');
  if (!*whole || !equals) return false;
  *equals = '\0';
  *name = trimmed(whole);
  *value = trimmed(equals + 1);
  return true;
}

// One line of the file, without its comment.
void readLine(char* text, int line, RunOptions* options, Warner* w) {
  if (char* hash = strchr(text, '#')) *hash = '\0';
  char* whole = trimmed(text);
  if (!*whole) return;
  char* equals = strchr(whole, '=');
  if (!equals) {
    warn(w, line, "expected 'name = value', not '%s'; line skipped", printable(whole));
    return;
  }
  *equals = '\0';
  const char* name = trimmed(whole);
  const char* value = trimmed(equals + 1);
  const OptionRow* row = findOption(name);
  const int action = row ? noAction : findKeyAction(name);
  if (action != noAction) {
    readKeyLine(action, value, line, options, w);
    return;
  }
  if (!row) {
    warn(w, line, "unknown setting '%s' (--print-config lists them); line skipped",
         printable(name));
    return;
  }
  if (!row->inFile) {
    warn(w, line, "'%s' is an option of the command line only; line skipped", row->name);
    return;
  }
  char why[600];
  if (!applyOption(*row, value, originFile, options, why, sizeof why)) {
    warn(w, line, "%s %s; line skipped", row->name, why);
    return;
  }
  if (options->origins[row - optionRows] == originFile) lastRead.lines[row - optionRows] = line;
}

// The first usable character of the file: past a UTF-8 byte order mark.
void skipByteOrderMark(FILE* file) {
  unsigned char mark[3] = {};
  if (fread(mark, 1, 3, file) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) return;
  rewind(file);
}

}  // namespace

bool configPath(char* out, int size) {
  char folder[4096];
  if (!xdgConfigFolder(folder, sizeof folder)) return false;
  const int written = snprintf(out, size, "%s/velkarra3d.conf", folder);
  return written > 0 && written < size;
}

void readConfigFile(const char* path, bool mustExist, RunOptions* options, FILE* warnings) {
  lastRead = ConfigRead{};
  snprintf(lastRead.path, sizeof lastRead.path, "%s", path);
  FILE* file = fopen(path, "r");
  if (!file) {
    lastRead.missing = errno == ENOENT;
    if (mustExist || errno != ENOENT)
      fprintf(warnings, "%s: cannot read the configuration %s: %s; using the defaults\n",
              programName, printable(path), strerror(errno));
    return;
  }
  skipByteOrderMark(file);
  // Applied to a copy, so that a file that fails half-way leaves nothing.
  RunOptions read = *options;
  Warner w = {warnings, path, 0};
  char text[configLineMax + 2];
  int line = 0;
  bool failed = false;
  while (!failed) {
    // One line, however long; what does not fit is read past.
    int length = 0, c;
    bool nul = false, overlong = false;
    while ((c = fgetc(file)) != EOF && c != '\n') {
      if (c == '\0') nul = true;
      if (length < configLineMax)
        text[length++] = static_cast<char>(c);
      else
        overlong = true;
    }
    failed = ferror(file) != 0;
    if (c == EOF && length == 0 && !overlong) break;
    text[length] = '\0';
    line++;
    if (failed) break;
    if (nul)
      warn(&w, line, "not a text line (a NUL byte); line skipped");
    else if (overlong)
      warn(&w, line, "longer than %d bytes; line skipped", configLineMax);
    else
      readLine(text, line, &read, &w);
    if (c == EOF) break;
  }
  const int readErrno = errno;
  fclose(file);
  if (failed) {
    fprintf(warnings, "%s: cannot read the configuration %s: %s; using the defaults\n", programName,
            printable(path), strerror(readErrno));
    memset(lastRead.lines, 0, sizeof lastRead.lines);
    memset(lastRead.keyLines, 0, sizeof lastRead.keyLines);
    return;
  }
  *options = read;
  lastRead.read = true;
}

void readConfiguration(RunOptions* options, FILE* warnings) {
  if (options->configFile) {
    readConfigFile(options->configFile, true, options, warnings);
  } else if (options->noConfig) {
    lastRead = ConfigRead{};
    lastRead.skipped = true;
  } else {
    char path[4096];
    lastRead = ConfigRead{};
    if (configPath(path, sizeof path)) readConfigFile(path, false, options, warnings);
  }
  // What the file asks for that this run cannot do is left out quietly.
  auto drop = [options](const char* name) {
    const OptionRow* row = findOption(name);
    if (options->origins[row - optionRows] == originFile) {
      resetOption(*row, options);
      lastRead.lines[row - optionRows] = 0;
    }
  };
  if (options->headless) {
    drop("window");
    drop("fullscreen");
  }
  if (options->headless || options->timedemoFile) drop("max-fps");
}

void printConfiguration(const RunOptions& options, FILE* out) {
  if (lastRead.skipped)
    fprintf(out, "# no configuration file (--no-config)\n");
  else if (lastRead.path[0])
    fprintf(out, "# configuration file: %s%s\n", printable(lastRead.path),
            lastRead.read      ? ""
            : lastRead.missing ? " (none there)"
                               : " (not read)");
  else
    fprintf(out, "# no configuration file (neither XDG_CONFIG_HOME nor HOME is a full path)\n");
  for (const OptionRow& row : optionRows) {
    if (!row.inFile) continue;
    const int index = static_cast<int>(&row - optionRows);
    char value[256];
    optionValueText(row, options, value, sizeof value);
    char origin[4200];
    if (options.origins[index] == originCommandLine)
      snprintf(origin, sizeof origin, "command line");
    else if (options.origins[index] == originFile)
      snprintf(origin, sizeof origin, "%s:%d", printable(lastRead.path), lastRead.lines[index]);
    else
      snprintf(origin, sizeof origin, "default");
    fprintf(out, "%-20s %-10s %s\n", row.name, value, origin);
  }
  for (int a = 0; a < keyActionCount; a++) {
    char value[64] = "none";
    if (options.keys.sym[a]) platKeySymName(options.keys.sym[a], value, sizeof value);
    char origin[4200] = "default";
    if (lastRead.keyLines[a])
      snprintf(origin, sizeof origin, "%s:%d", printable(lastRead.path), lastRead.keyLines[a]);
    fprintf(out, "%-20s %-10s %s\n", keyActions[a].configName, value, origin);
  }
}

// ---- Writing the file ----

namespace {

constexpr size_t configFileMax = 1 << 20;
constexpr int linkDepthMax = 40;

// Where the writer's reasons go: why, one line, without the file's name.
__attribute__((format(printf, 3, 4))) bool fail(char* why, int whySize, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(why, whySize, format, args);
  va_end(args);
  return false;
}

// The file a path names in the end: a symbolic link followed to its target
// (dotfile managers keep these files as links), which need not exist yet.
bool followLinks(const char* path, char* out, size_t size, char* why, int whySize) {
  if (snprintf(out, size, "%s", path) >= static_cast<int>(size))
    return fail(why, whySize, "the file's name is too long");
  for (int depth = 0; depth < linkDepthMax; depth++) {
    struct stat st;
    if (lstat(out, &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    char target[4096];
    const ssize_t length = readlink(out, target, sizeof target - 1);
    if (length < 0) return fail(why, whySize, "%s", strerror(errno));
    target[length] = '\0';
    char next[4096];
    const char* slash = strrchr(out, '/');
    int written;
    if (target[0] == '/' || !slash)
      written = snprintf(next, sizeof next, "%s", target);
    else
      written = snprintf(next, sizeof next, "%.*s/%s", static_cast<int>(slash - out), out, target);
    if (written < 0 || written >= static_cast<int>(sizeof next) ||
        snprintf(out, size, "%s", next) >= static_cast<int>(size))
      return fail(why, whySize, "the link's target's name is too long");
  }
  return fail(why, whySize, "%s", strerror(ELOOP));
}

// The whole file, or an empty text where there is none yet; malloc'd into
// *text (freed by the caller, also on failure).
bool readWhole(const char* path, char** text, size_t* size, mode_t* mode, char* why, int whySize) {
  *text = static_cast<char*>(malloc(1));
  *size = 0;
  *mode = 0644;
  if (!*text) return fail(why, whySize, "%s", strerror(ENOMEM));
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? true : fail(why, whySize, "%s", strerror(errno));
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return fail(why, whySize, "it is not a plain file");
  }
  *mode = st.st_mode & 07777;
  if (static_cast<size_t>(st.st_size) > configFileMax) {
    close(fd);
    return fail(why, whySize, "it is larger than %zu bytes", configFileMax);
  }
  char* grown = static_cast<char*>(realloc(*text, static_cast<size_t>(st.st_size) + 1));
  if (!grown) {
    close(fd);
    return fail(why, whySize, "%s", strerror(ENOMEM));
  }
  *text = grown;
  while (*size < static_cast<size_t>(st.st_size)) {
    const ssize_t got = read(fd, *text + *size, static_cast<size_t>(st.st_size) - *size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // a file that shrank meanwhile: what was read
    *size += static_cast<size_t>(got);
  }
  const int readErrno = errno;
  const bool failed = *size < static_cast<size_t>(st.st_size) && readErrno != 0;
  close(fd);
  return failed ? fail(why, whySize, "%s", strerror(readErrno)) : true;
}

// Whether the line (without its newline) sets name, read as the reader
// reads it: past a byte order mark on the first line.
bool lineSets(const char* line, size_t length, const char* name, bool first) {
  if (first && length >= 3 && memcmp(line, "\xEF\xBB\xBF", 3) == 0) {
    line += 3;
    length -= 3;
  }
  if (length > static_cast<size_t>(configLineMax) || memchr(line, '\0', length)) return false;
  char text[configLineMax + 1];
  memcpy(text, line, length);
  text[length] = '\0';
  char *setName, *value;
  return splitSetting(text, &setName, &value) && strcmp(setName, name) == 0;
}

// Adds bytes to the new text, growing it as need be.
struct Text {
  char* bytes;
  size_t size, capacity;
  bool failed;
};

void add(Text* t, const char* bytes, size_t length) {
  if (t->failed) return;
  if (t->size + length > t->capacity) {
    const size_t capacity = (t->size + length) * 2 + 256;
    char* grown = static_cast<char*>(realloc(t->bytes, capacity));
    if (!grown) {
      t->failed = true;
      return;
    }
    t->bytes = grown;
    t->capacity = capacity;
  }
  memcpy(t->bytes + t->size, bytes, length);
  t->size += length;
}

void addText(Text* t, const char* text) { add(t, text, strlen(text)); }

// The new line for a change, in place of old (without its newline): the
// byte order mark and the comment of the old line are kept, and so is a
// carriage return before the newline.
void addChangedLine(Text* t, const ConfigChange& change, const char* old, size_t length,
                    bool first) {
  if (first && length >= 3 && memcmp(old, "\xEF\xBB\xBF", 3) == 0) add(t, old, 3);
  addText(t, change.name);
  addText(t, " = ");
  addText(t, change.value);
  const char* hash = static_cast<const char*>(memchr(old, '#', length));
  const bool cr = length > 0 && old[length - 1] == '\r';
  if (hash) {
    addText(t, " ");
    add(t, hash, static_cast<size_t>(old + length - hash) - (cr ? 1 : 0));
  }
  if (cr) addText(t, "\r");
}

// Writes text beside target as a temporary file and renames it over
// target.
bool replaceFile(const char* target, const char* text, size_t size, mode_t mode, char* why,
                 int whySize) {
  char temporary[4200];
  const char* slash = strrchr(target, '/');
  const int written = slash ? snprintf(temporary, sizeof temporary, "%.*s/.%s.XXXXXX",
                                       static_cast<int>(slash - target), target, slash + 1)
                            : snprintf(temporary, sizeof temporary, ".%s.XXXXXX", target);
  if (written < 0 || written >= static_cast<int>(sizeof temporary))
    return fail(why, whySize, "the file's name is too long");
  const int fd = mkstemp(temporary);
  if (fd < 0) return fail(why, whySize, "%s", strerror(errno));
  bool ok = fchmod(fd, mode) == 0;
  for (size_t done = 0; ok && done < size;) {
    const ssize_t wrote = write(fd, text + done, size - done);
    if (wrote < 0 && errno == EINTR) continue;
    ok = wrote > 0;
    if (ok) done += static_cast<size_t>(wrote);
  }
  if (ok) ok = fsync(fd) == 0;
  int writeErrno = ok ? 0 : errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    writeErrno = errno;
  }
  if (ok && rename(temporary, target) != 0) {
    ok = false;
    writeErrno = errno;
  }
  if (!ok) {
    unlink(temporary);
    return fail(why, whySize, "%s", strerror(writeErrno ? writeErrno : EIO));
  }
  // The rename itself reaches the disk with the folder.
  char folder[4200];
  snprintf(folder, sizeof folder, "%.*s", slash ? static_cast<int>(slash - target) : 1,
           slash ? target : ".");
  const int dir = open(folder[0] ? folder : "/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace

bool rewriteConfigFile(const char* path, const ConfigChange* changes, int count, char* why,
                       int whySize) {
  char target[4096];
  if (!followLinks(path, target, sizeof target, why, whySize)) return false;
  const char* slash = strrchr(target, '/');
  if (slash && slash > target) {
    char folder[4096];
    snprintf(folder, sizeof folder, "%.*s", static_cast<int>(slash - target), target);
    if (!makeFolders(folder)) return fail(why, whySize, "%s", strerror(errno));
  }
  char* old = nullptr;
  size_t size = 0;
  mode_t mode = 0644;
  if (!readWhole(target, &old, &size, &mode, why, whySize)) {
    free(old);
    return false;
  }
  // Which line each change rewrites: the last that sets its name (-1: none).
  constexpr int changesMax = 64;
  int lineOf[changesMax];
  if (count > changesMax) {
    free(old);
    return fail(why, whySize, "too many settings at once");
  }
  for (int c = 0; c < count; c++) lineOf[c] = -1;
  int line = 0;
  for (size_t at = 0; at < size; line++) {
    const char* end = static_cast<const char*>(memchr(old + at, '\n', size - at));
    const size_t length = (end ? static_cast<size_t>(end - old) : size) - at;
    for (int c = 0; c < count; c++)
      if (lineSets(old + at, length, changes[c].name, line == 0)) lineOf[c] = line;
    at += length + 1;
  }
  Text t = {nullptr, 0, 0, false};
  line = 0;
  for (size_t at = 0; at < size; line++) {
    const char* end = static_cast<const char*>(memchr(old + at, '\n', size - at));
    const size_t length = (end ? static_cast<size_t>(end - old) : size) - at;
    int change = -1;
    for (int c = 0; c < count; c++)
      if (lineOf[c] == line) change = c;
    if (change >= 0)
      addChangedLine(&t, changes[change], old + at, length, line == 0);
    else
      add(&t, old + at, length);
    if (end) addText(&t, "\n");
    at += length + 1;
  }
  for (int c = 0; c < count; c++) {
    if (lineOf[c] >= 0) continue;
    bool again = false;  // the same name twice in one save: the last one stands
    for (int later = c + 1; later < count; later++)
      again = again || strcmp(changes[later].name, changes[c].name) == 0;
    if (again) continue;
    if (t.size > 0 && t.bytes[t.size - 1] != '\n') addText(&t, "\n");
    addText(&t, changes[c].name);
    addText(&t, " = ");
    addText(&t, changes[c].value);
    addText(&t, "\n");
  }
  free(old);
  const bool ok = !t.failed ? replaceFile(target, t.size ? t.bytes : "", t.size, mode, why, whySize)
                            : fail(why, whySize, "%s", strerror(ENOMEM));
  free(t.bytes);
  return ok;
}

ConfigSave saveSettings(const RunOptions& options, const ConfigChange* changes, int count,
                        FILE* warnings, char* why, int whySize) {
  if (options.noConfig) {
    snprintf(why, whySize, "--no-config");
    return configNotSaved;
  }
  char path[4096];
  if (options.configFile)
    snprintf(path, sizeof path, "%s", options.configFile);
  else if (!configPath(path, sizeof path))
    return fail(why, whySize, "neither XDG_CONFIG_HOME nor HOME is a full path"), configFailed;
  if (rewriteConfigFile(path, changes, count, why, whySize)) return configSaved;
  fprintf(warnings, "%s: cannot write the configuration %s: %s; the change holds for this run\n",
          programName, printable(path), why);
  return configFailed;
}
