// config.cpp: reads the configuration file line by line through the option
// table, and prints the settings in force with their origins.
#include "app/config.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "base/printable.h"
#include "base/program.h"
#include "base/setting_file.h"
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

// One line of the file, without its comment.
void readLine(char* text, int line, RunOptions* options, Warner* w) {
  char *name, *value;
  const SettingLine kind = parseSettingLine(text, &name, &value);
  if (kind == settingNothing) return;
  if (kind == settingUnsplit) {
    warn(w, line, "expected 'name = value', not '%s'; line skipped", printable(name));
    return;
  }
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

// Whether the file is text at all: its first lines (within the first
// configTextBytes) hold no NUL byte and only valid UTF-8. A file that
// cannot go back to where it was read from (a pipe) is taken as text, and
// its lines are judged one by one. Reads from the current position and goes
// back to it.
bool startsAsText(FILE* file) {
  const long start = ftell(file);
  if (start < 0) return true;
  char head[configTextBytes];
  const size_t got = fread(head, 1, sizeof head, file);
  if (fseek(file, start, SEEK_SET) != 0) return true;
  size_t checked = got;
  int lines = 0;
  for (size_t i = 0; i < got; i++)
    if (head[i] == '\n' && ++lines == configTextLines) {
      checked = i;
      break;
    }
  if (checked == sizeof head) {
    // Cut inside a line: leave out the character the cut may split.
    while (checked > 0 && (static_cast<unsigned char>(head[checked - 1]) & 0xc0) == 0x80) checked--;
    if (checked > 0 && static_cast<unsigned char>(head[checked - 1]) >= 0xc0) checked--;
  }
  return isUtf8Text(head, checked);
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
  if (!startsAsText(file)) {
    // A picture or a program given by mistake: one line, not one per line.
    fprintf(warnings, "%s: %s: not a text file; ignored\n", programName, printable(path));
    fclose(file);
    return;
  }
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

ConfigSave saveSettings(const RunOptions& options, const SettingChange* changes, int count,
                        FILE* warnings, char* why, int whySize) {
  if (options.noConfig) {
    snprintf(why, whySize, "--no-config");
    return configNotSaved;
  }
  char path[4096];
  if (options.configFile)
    snprintf(path, sizeof path, "%s", options.configFile);
  else if (!configPath(path, sizeof path))
    return snprintf(why, whySize, "neither XDG_CONFIG_HOME nor HOME is a full path"), configFailed;
  if (rewriteSettingsFile(path, changes, count, why, whySize)) return configSaved;
  fprintf(warnings, "%s: cannot write the configuration %s: %s; the change holds for this run\n",
          programName, printable(path), why);
  return configFailed;
}
