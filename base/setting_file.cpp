// setting_file.cpp: the lines of a file of settings, read one by one and
// rewritten in place.
#include "base/setting_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/xdg.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// text without the blanks around it, in place.
char* trimmed(char* text) {
  while (isBlank(*text)) text++;
  char* end = text + strlen(text);
  while (end > text && isBlank(end[-1])) *--end = '\0';
  return text;
}

}  // namespace

SettingLine parseSettingLine(char* text, char** name, char** value) {
  if (char* hash = strchr(text, '#')) *hash = '\0';
  char* whole = trimmed(text);
  *name = *value = whole;
  if (!*whole) return settingNothing;
  char* equals = strchr(whole, '=');
  if (!equals) return settingUnsplit;
  *equals = '\0';
  *name = trimmed(whole);
  *value = trimmed(equals + 1);
  return settingSet;
}

namespace {

constexpr size_t settingFileMax = 1 << 20;
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
  if (static_cast<size_t>(st.st_size) > settingFileMax) {
    close(fd);
    return fail(why, whySize, "it is larger than %zu bytes", settingFileMax);
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
  if (length > static_cast<size_t>(settingLineMax) || memchr(line, '\0', length)) return false;
  char text[settingLineMax + 1];
  memcpy(text, line, length);
  text[length] = '\0';
  char *setName, *value;
  return parseSettingLine(text, &setName, &value) == settingSet && strcmp(setName, name) == 0;
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
void addChangedLine(Text* t, const SettingChange& change, const char* old, size_t length,
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

bool rewriteSettingsFile(const char* path, const SettingChange* changes, int count, char* why,
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
