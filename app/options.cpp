// options.cpp: the table of options, and the command line and --help read
// from it.
#include "app/options.h"

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "base/numbers.h"
#include "base/printable.h"
#include "game/input.h"
#include "platform/platform.h"

RunOptions runOptions;

namespace {

// The type tag of each type a RunOptions field can have.
template <typename T>
constexpr OptionFieldType fieldTypeOf();
template <>
constexpr OptionFieldType fieldTypeOf<bool>() {
  return fieldBool;
}
template <>
constexpr OptionFieldType fieldTypeOf<const char*>() {
  return fieldText;
}
template <>
constexpr OptionFieldType fieldTypeOf<uint32_t>() {
  return fieldUnsigned;
}
template <>
constexpr OptionFieldType fieldTypeOf<int32_t>() {
  return fieldSigned;
}
template <>
constexpr OptionFieldType fieldTypeOf<DetailLevel>() {
  return fieldDetail;
}
template <>
constexpr OptionFieldType fieldTypeOf<float>() {
  return fieldFloat;
}
template <>
constexpr OptionFieldType fieldTypeOf<char[playerNameMax + 1]>() {
  return fieldName;
}

#define FIELD(member) \
  OptionField { offsetof(RunOptions, member), fieldTypeOf<decltype(RunOptions::member)>() }

constexpr OptionField noField = {0, fieldNone};

// One builder per kind, so that each row of the table names only what its
// kind uses.
constexpr OptionRow flagRow(const char* name, OptionField field, const char* help) {
  return {name, "", optionFlag, field, noField, noField, {}, nullptr, help, {}, false, false};
}

constexpr OptionRow textRow(const char* name, const char* form, OptionField field,
                            const char* help) {
  return {name, form, optionText, field, noField, noField, {}, nullptr, help, {}, false, false};
}

constexpr OptionRow wholeRow(const char* name, const char* form, OptionField field,
                             OptionRange range, const char* help, OptionField given = noField) {
  return {name,        form,    optionWhole, field, noField, given,
          {range, {}}, nullptr, help,        {},    false,   false};
}

constexpr OptionRow choiceRow(const char* name, const char* form, OptionField field,
                              const OptionChoice* choices, const char* help) {
  return {name, form, optionChoice, field, noField, noField, {}, choices, help, {}, false, false};
}

constexpr OptionRow windowRow(const char* name, const char* form, OptionField width,
                              OptionField height, OptionRange widths, OptionRange heights,
                              const char* help) {
  return {
      name,  form, optionWindowSize, width, height, noField, {widths, heights}, nullptr, help, {},
      false, false};
}

// A file name that may be given empty, for none.
constexpr OptionRow textOrNoneRow(const char* name, const char* form, OptionField field,
                                  const char* help) {
  OptionRow row = textRow(name, form, field, help);
  row.kind = optionTextOrNone;
  return row;
}

constexpr OptionRow commandRow(const char* name, OptionKind kind, const char* help) {
  return {name, "", kind, noField, noField, noField, {}, nullptr, help, {}, false, false};
}

constexpr OptionRow decimalRow(const char* name, const char* form, OptionField field,
                               OptionSpan span, const char* help) {
  return {name, form,    optionDecimal, field, noField, noField,
          {},   nullptr, help,          span,  false,   false};
}

constexpr OptionRow nameRow(const char* name, const char* form, OptionField field,
                            const char* help) {
  return {name, form, optionName, field, noField, noField, {}, nullptr, help, {}, false, false};
}

// A row that the configuration file may set too.
constexpr OptionRow inFile(OptionRow row) {
  row.inFile = true;
  return row;
}

// A world option: its value changes what the input does to the world, so
// that a recording holds it in its header and in an option line wherever it
// changes. Its field lies in RunOptions::world.
constexpr OptionRow changesWorld(OptionRow row) {
  row.changesWorld = true;
  return row;
}

constexpr OptionChoice detailChoices[] = {{"high", detailHigh}, {"low", detailLow}, {nullptr, 0}};

}  // namespace

// In the order --help lists them.
constexpr OptionRow optionRows[optionCount] = {
    textRow("data", "DIR", FIELD(dataDir), "load the data files from DIR (default: see below)"),
    flagRow("print-data-dir", FIELD(printDataDir),
            "print the data folder that would be used and exit"),
    inFile(windowRow("window", "WxH", FIELD(windowWidth), FIELD(windowHeight), {160, 16384},
                     {120, 16384}, "open a window of W x H pixels instead of 800 x 600")),
    inFile(flagRow("fullscreen", FIELD(fullscreen), "fill the screen")),
    wholeRow("seed", "S", FIELD(seed), {0, UINT32_MAX},
             "seed the random generator with S instead of the clock", FIELD(hasSeed)),
    wholeRow("frames", "N", FIELD(frames), {0, INT32_MAX}, "end after N frames with status 0"),
    textRow("trace", "FILE", FIELD(traceFile),
            "write the world state of every frame to FILE (JSON Lines)"),
    textRow("screenshot", "FILE", FIELD(screenshotFile),
            "after the last frame, save what the window shows as PNG"),
    flagRow("headless", FIELD(headless), "run without a window on an offscreen GL context"),
    wholeRow("frame-ms", "MS", FIELD(frameMs), {0, 3600000},
             "headless clock step per frame (default 16)"),
    wholeRow("start-ms", "T", FIELD(startMs), {0, UINT32_MAX},
             "headless clock at start-up (default 0)"),
    textRow("input", "FILE", FIELD(inputFile),
            "scripted input for a headless run, or a recorded session"),
    textRow("record", "FILE", FIELD(recordFile),
            "write the session's input to FILE, to replay with --input"),
    flagRow("autoplay", FIELD(autoplay), "let the game play itself"),
    wholeRow("shot-every", "N", FIELD(shotEvery), {1, INT32_MAX},
             "with --screenshot, also save FILE-FRAME.png every N frames"),
    textRow("timedemo", "FILE", FIELD(timedemoFile),
            "replay FILE as fast as possible and print frames, seconds,\n"
            "frames/s and the median and 95th-percentile ms of update\n"
            "and draw: an input script (with --headless) or a\n"
            "recorded session (headless or in a window)"),
    inFile(choiceRow("detail", "LEVEL", FIELD(detail), detailChoices,
                     "high: full texture filtering; low: cheaper drawing of the\n"
                     "same scene for software GL (default: low on a software\n"
                     "renderer, high otherwise)")),
    inFile(wholeRow("max-fps", "N", FIELD(maxFps), {1, 100000},
                    "at most N frames a second in a window (default: no cap)")),
    inFile(flagRow("vsync", FIELD(vsync),
                   "in a window, wait for the screen's refresh at each frame\n"
                   "(default: on; --vsync=no turns it off; never in a timedemo)")),
    wholeRow("draw-every", "N", FIELD(drawEvery), {1, 1000000},
             "headless: draw only every Nth frame (and the last; default 1)"),
    changesWorld(
        inFile(decimalRow("mouse-sensitivity", "X", FIELD(world.mouseSensitivity), {0.1f, 10},
                          "multiply the mouse's aim and steering by X, from 0.1 to\n"
                          "10 (default 1)"))),
    changesWorld(
        inFile(flagRow("invert-y", FIELD(world.invertY), "moving the mouse up aims down"))),
    inFile(wholeRow("volume", "N", FIELD(volume), {0, 100},
                    "sound volume in percent, 0 to 100 (default 100)")),
    inFile(flagRow("mute", FIELD(mute), "start with the sound off (M turns it on and off)")),
    changesWorld(inFile(flagRow("pause-on-focus-loss", FIELD(world.pauseOnFocusLoss),
                                "pause when the window loses the focus"))),
    inFile(flagRow("show-fps", FIELD(showFps),
                   "show the frame counter from the start (F9 shows and hides it)")),
    inFile(nameRow("player-name", "NAME", FIELD(playerName),
                   "the name your runs carry in the high scores: up to 16\n"
                   "letters, digits, spaces, '-', '_' and '.' (default: the\n"
                   "login name)")),
    textRow("config", "FILE", FIELD(configFile),
            "read the configuration from FILE instead of the usual file"),
    flagRow("no-config", FIELD(noConfig), "read no configuration file"),
    flagRow("print-config", FIELD(printConfig),
            "print each setting in force and where it came from, and exit"),
    flagRow("scores", FIELD(printScores), "print the table of the ten best runs and exit"),
    flagRow("no-scores", FIELD(noScores), "keep this run out of the table of the best runs"),
    textOrNoneRow("watch", "FILE", FIELD(watchFile),
                  "play the recording FILE (--record, plain or gzip) in the\n"
                  "window at its own pace: Space pauses, +/- change the speed,\n"
                  "Right skips 10 s, Home starts again, Esc ends, F1 helps"),
    wholeRow("watch-score", "N", FIELD(watchScore), {1, 10},
             "watch the recording of entry N of the best runs (--scores)"),
    decimalRow("speed", "X", FIELD(speed), {0.25f, 8},
               "watch at X times the recorded pace: 0.25, 0.5, 1, 2, 4\n"
               "or 8 (default 1)"),
    flagRow("verify-scores", FIELD(verifyScores),
            "replay each kept run of the best runs and say whether it\n"
            "gives the points and level of its entry; status 1 if any\n"
            "differs"),
    commandRow("help", optionHelp, "show this help and exit"),
    commandRow("version", optionVersion, "show the version and exit"),
};

namespace {

constexpr bool sameText(const char* a, const char* b) {
  while (*a && *a == *b) a++, b++;
  return *a == *b;
}

// The field type each kind writes.
constexpr OptionFieldType fieldTypeFor(OptionKind kind) {
  switch (kind) {
    case optionFlag:
      return fieldBool;
    case optionText:
    case optionTextOrNone:
      return fieldText;
    case optionChoice:
      return fieldDetail;
    case optionWindowSize:
      return fieldSigned;
    case optionDecimal:
      return fieldFloat;
    case optionName:
      return fieldName;
    default:
      return fieldNone;
  }
}

// What the compiler checks of the table: every row filled, names unique,
// each row writing fields of the type its kind stores, ranges that fit
// their fields, and value forms exactly where values are.
constexpr bool tableHolds() {
  for (int i = 0; i < optionCount; i++) {
    const OptionRow& row = optionRows[i];
    if (!row.name || !*row.name || !row.help) return false;
    for (int j = 0; j < i; j++)
      if (sameText(optionRows[j].name, row.name)) return false;
    const bool takesValue =
        row.kind != optionFlag && row.kind != optionHelp && row.kind != optionVersion;
    if (takesValue != (*row.valueForm != '\0')) return false;
    if (row.given.type != fieldNone && row.given.type != fieldBool) return false;
    if (row.kind == optionWhole) {
      if (row.field.type != fieldUnsigned && row.field.type != fieldSigned) return false;
      const OptionRange r = row.range[0];
      if (r.least > r.most || (row.field.type == fieldSigned && r.most > INT32_MAX)) return false;
    } else if (row.field.type != fieldTypeFor(row.kind)) {
      return false;
    }
    if (row.kind == optionDecimal) {
      if (row.field.type != fieldFloat || !(row.span.least > 0) || row.span.least > row.span.most)
        return false;
    } else if (row.kind == optionWindowSize) {
      if (row.second.type != fieldSigned) return false;
      for (const OptionRange& r : row.range)
        if (r.least > r.most || r.most > INT32_MAX) return false;
    }
    if ((row.kind == optionChoice) != (row.choices != nullptr)) return false;
    // A file's text is gone once it is read, and a text option keeps its
    // value as the pointer given.
    if (row.inFile && (row.kind == optionText || row.kind == optionTextOrNone ||
                       (!takesValue && row.kind != optionFlag)))
      return false;
  }
  return true;
}
static_assert(tableHolds(), "a row of optionRows does not fit its kind or its fields");

template <typename T>
T* fieldIn(RunOptions* options, OptionField field) {
  return reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(options) + field.offset);
}

template <typename T>
const T* fieldIn(const RunOptions* options, OptionField field) {
  return reinterpret_cast<const T*>(reinterpret_cast<const unsigned char*>(options) + field.offset);
}

// The default value of a whole-number row, as RunOptions{} holds it.
int64_t wholeDefault(const OptionRow& row) {
  static const RunOptions defaults;
  return row.field.type == fieldSigned ? *fieldIn<int32_t>(&defaults, row.field)
                                       : *fieldIn<uint32_t>(&defaults, row.field);
}

bool readInRange(const char* text, size_t length, OptionRange range, int64_t* out) {
  return readWholeIn(text, length, range.least, range.most, out);
}

// Reads "WxH" with the width within widths and the height within heights.
bool readWindowSize(const char* text, OptionRange widths, OptionRange heights, int64_t* width,
                    int64_t* height) {
  const char* cross = strchr(text, 'x');
  return cross && readInRange(text, static_cast<size_t>(cross - text), widths, width) &&
         readInRange(cross + 1, strlen(cross + 1), heights, height);
}

// Stores a whole number in a field of either signed or unsigned type; the
// table's check keeps the number within the field's type.
void storeWhole(RunOptions* options, OptionField field, int64_t value) {
  if (field.type == fieldSigned)
    *fieldIn<int32_t>(options, field) = static_cast<int32_t>(value);
  else
    *fieldIn<uint32_t>(options, field) = static_cast<uint32_t>(value);
}

// "high or low", or "a, b or c": the words of a choice, for its error.
void listChoices(const OptionChoice* choices, char* out, size_t size) {
  out[0] = '\0';
  size_t used = 0;
  for (int i = 0; choices[i].word; i++) {
    const char* joint = i == 0 ? "" : choices[i + 1].word ? ", " : " or ";
    used += static_cast<size_t>(
        snprintf(out + used, used < size ? size - used : 0, "%s%s", joint, choices[i].word));
    if (used >= size) return;
  }
}

int rowIndex(const OptionRow& row) { return static_cast<int>(&row - optionRows); }

// The help lines after an option's first start under the first.
constexpr const char* helpIndent = "                     ";

// Adds to text (of size bytes, used of them taken); the usage text has a
// fixed size, and outgrowing it is a fault of the table, not of the user.
__attribute__((format(printf, 4, 5))) void append(char* text, size_t size, size_t* used,
                                                  const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int wrote = vsnprintf(text + *used, size - *used, format, args);
  va_end(args);
  if (wrote < 0 || *used + static_cast<size_t>(wrote) >= size) abort();
  *used += static_cast<size_t>(wrote);
}

}  // namespace

const OptionRow* findOption(const char* name) {
  for (const OptionRow& row : optionRows)
    if (strcmp(row.name, name) == 0) return &row;
  return nullptr;
}

bool optionGiven(const RunOptions& options, const char* name) {
  const OptionRow* row = findOption(name);
  return row && options.origins[rowIndex(*row)] != originDefault;
}

bool goodPlayerName(const char* text) {
  const size_t length = strlen(text);
  if (length == 0 || length > static_cast<size_t>(playerNameMax) || text[0] == ' ' ||
      text[length - 1] == ' ')
    return false;
  for (const char* c = text; *c; c++)
    if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
          *c == ' ' || *c == '-' || *c == '_' || *c == '.'))
      return false;
  return true;
}

bool applyOption(const OptionRow& row, const char* value, OptionOrigin origin, RunOptions* options,
                 char* error, int errorSize) {
  // The value is read and checked before the origins are compared, so that
  // a bad value is reported even where a higher source overrides it.
  int64_t number = 0, height = 0;
  bool flag = true;  // a flag given without a value is on
  float decimal = 0;
  const OptionChoice* choice = nullptr;
  if (row.kind == optionHelp || row.kind == optionVersion) {
    snprintf(error, errorSize, "is a command, not a setting");
    return false;
  }
  if (row.kind == optionFlag) {
    if (value && !readFlag(value, &flag)) {
      flagError(error, errorSize, value);
      return false;
    }
  } else if (row.kind == optionTextOrNone && value && !*value) {
    value = nullptr;  // none
  } else if (!value || !*value) {
    snprintf(error, errorSize, "needs a value");
    return false;
  } else if (row.kind == optionWhole) {
    // "none" is the default of a row whose default lies below its range.
    const bool none = strcmp(value, "none") == 0 && wholeDefault(row) < row.range[0].least;
    if (none) {
      number = wholeDefault(row);
    } else if (!readInRange(value, strlen(value), row.range[0], &number)) {
      wholeNumberError(error, errorSize, row.range[0].least, row.range[0].most, value);
      return false;
    }
  } else if (row.kind == optionWindowSize) {
    if (!readWindowSize(value, row.range[0], row.range[1], &number, &height)) {
      snprintf(error, errorSize, "takes WIDTHxHEIGHT from %ux%u to %ux%u, not '%s'",
               row.range[0].least, row.range[1].least, row.range[0].most, row.range[1].most,
               printable(value));
      return false;
    }
  } else if (row.kind == optionDecimal) {
    if (!readDecimal(value, row.span.least, row.span.most, &decimal)) {
      decimalError(error, errorSize, row.span.least, row.span.most, value);
      return false;
    }
  } else if (row.kind == optionName) {
    if (!goodPlayerName(value)) {
      snprintf(error, errorSize,
               "takes up to %d letters, digits, spaces, '-', '_' or '.', not '%s'", playerNameMax,
               printable(value));
      return false;
    }
  } else if (row.kind == optionChoice) {
    for (const OptionChoice* c = row.choices; c->word && !choice; c++)
      if (strcmp(c->word, value) == 0) choice = c;
    if (!choice) {
      char words[128];
      listChoices(row.choices, words, sizeof words);
      snprintf(error, errorSize, "takes %s, not '%s'", words, printable(value));
      return false;
    }
  }

  OptionOrigin& noted = options->origins[rowIndex(row)];
  if (origin < noted) return true;
  noted = origin;
  if (row.given.type == fieldBool) *fieldIn<bool>(options, row.given) = true;
  switch (row.kind) {
    case optionFlag:
      *fieldIn<bool>(options, row.field) = flag;
      break;
    case optionText:
    case optionTextOrNone:
      *fieldIn<const char*>(options, row.field) = value;
      break;
    case optionWhole:
      storeWhole(options, row.field, number);
      break;
    case optionWindowSize:
      storeWhole(options, row.field, number);
      storeWhole(options, row.second, height);
      break;
    case optionChoice:
      *fieldIn<DetailLevel>(options, row.field) = static_cast<DetailLevel>(choice->value);
      break;
    case optionDecimal:
      *fieldIn<float>(options, row.field) = decimal;
      break;
    case optionName:
      snprintf(fieldIn<char>(options, row.field), playerNameMax + 1, "%s", value);
      break;
    case optionHelp:
    case optionVersion:
      break;
  }
  return true;
}

const char* usageText() {
  static char text[8192];
  static size_t used = 0;
  if (used) return text;
  append(text, sizeof text, &used,
         "Usage: velkarra3d [OPTION]...\n"
         "Man the cannon: shoot down the planes before their bombs and troopers get you.\n"
         "\n");
  // "  --name FORM" in a column of 17 and two spaces, then the help lines,
  // each after the first under the first.
  for (const OptionRow& row : optionRows) {
    char shown[64];
    snprintf(shown, sizeof shown, "--%s%s%s", row.name, *row.valueForm ? " " : "", row.valueForm);
    append(text, sizeof text, &used, "  %-17s  ", shown);
    // A longer option pushes its help lines right, all of them alike.
    const int wider = static_cast<int>(strlen(shown)) - 17;
    for (const char* line = row.help; *line;) {
      const int length = static_cast<int>(strcspn(line, "\n"));
      append(text, sizeof text, &used, "%s%*s%.*s\n", line == row.help ? "" : helpIndent,
             line == row.help || wider < 0 ? 0 : wider, "", length, line);
      line += length + (line[length] ? 1 : 0);
    }
  }
  append(text, sizeof text, &used,
         "\n"
         "Mouse aims, left button fires, right button launches the guided missile.\n"
         "p pauses, G frees the camera (Q/E/W/S/A/D move it), Esc quits.\n"
         "F11 or Alt+Enter toggles full screen, F12 saves a screenshot, F9 shows the\n"
         "frame counter, M turns the sound off and on. While paused a menu offers\n"
         "Options (written back to the configuration file), Controls (every key can\n"
         "be bound anew), High scores and Quit; F1 shows the controls at any time.\n"
         "\n"
         "Settings are read from $XDG_CONFIG_HOME/velkarra3d/velkarra3d.conf\n"
         "(~/.config/...): one 'name = value' a line, for detail, window, fullscreen,\n"
         "max-fps, vsync, mouse-sensitivity, invert-y, volume, mute,\n"
         "pause-on-focus-loss, show-fps and player-name, and key-ACTION = KEY (an X\n"
         "key name) for the keys, such as key-forward = Up; the command line wins.\n"
         "The ten best runs are kept in $XDG_DATA_HOME/velkarra3d/scores\n"
         "(~/.local/share/...), their recordings (*.v3drec.gz, which --watch-score\n"
         "plays and --verify-scores checks) in its runs folder, screenshots in its\n"
         "screenshots folder.\n"
         "\n"
         "The data folder is the first of: --data DIR; $VELKARRA3D_DATA; the current\n"
         "folder if it holds settings.txt; ../share/games/velkarra3d beside the binary;\n"
         "games/velkarra3d under $XDG_DATA_HOME (~/.local/share), then under each folder\n"
         "of $XDG_DATA_DIRS (/usr/local/share:/usr/share), the first holding settings.txt.\n");
  append(text, sizeof text, &used,
         "\n"
         "A game controller plays too: either stick aims (or steers the missile), the\n"
         "right trigger or A fires, the left trigger or B launches the missile, Start\n"
         "pauses, the right-stick click frees the camera (the d-pad and shoulders move\n"
         "it); on the game-over screen A replays and Back ends. Extra mappings come\n"
         "from SDL_GAMECONTROLLERCONFIG and from gamecontrollerdb.txt in\n"
         "$XDG_CONFIG_HOME/velkarra3d (~/.config/velkarra3d).\n");
  append(text, sizeof text, &used,
         "\n"
         "Watching a recording: Space pauses, + and - (Up, Down) step the speed through\n"
         "1/4, 1/2, 1, 2, 4 and 8, Right skips 10 s, Home starts again, M mutes, F1\n"
         "shows the keys, Esc ends; the pad's Start, A, shoulders and Back do the same.\n");
  return text;
}

ParseResult parseOptions(int argc, char** argv, RunOptions* options, char* error, int errorSize) {
  for (int i = 1; i < argc; i++) {
    const char* flag = argv[i];
    // "--name=value" names the option before the '='.
    const char* equals = strncmp(flag, "--", 2) == 0 ? strchr(flag, '=') : nullptr;
    char name[64] = "";
    if (equals && static_cast<size_t>(equals - flag) < sizeof name + 2)
      snprintf(name, sizeof name, "%.*s", static_cast<int>(equals - flag - 2), flag + 2);
    const OptionRow* row = strncmp(flag, "--", 2) != 0 ? nullptr
                           : equals                    ? findOption(name)
                                                       : findOption(flag + 2);
    if (!row) {
      snprintf(error, errorSize, "unknown option '%s' (try --help)", printable(flag));
      return parseError;
    }
    if (equals && (row->kind == optionHelp || row->kind == optionVersion)) {
      snprintf(error, errorSize, "--%s takes no value", row->name);
      return parseError;
    }
    if (row->kind == optionHelp) return parseHelp;
    if (row->kind == optionVersion) return parseVersion;
    const char* value = equals ? equals + 1 : nullptr;
    if (row->kind != optionFlag && !equals) {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        snprintf(error, errorSize, "option '%s' needs a value", flag);
        return parseError;
      }
      value = argv[++i];
    }
    char why[1024];
    if (!applyOption(*row, value, originCommandLine, options, why, sizeof why)) {
      snprintf(error, errorSize, "--%s %s", row->name, why);
      return parseError;
    }
  }
  return checkOptions(*options, error, errorSize) ? parseRun : parseError;
}

void resetOption(const OptionRow& row, RunOptions* options) {
  static const RunOptions defaults;
  unsigned char* to = reinterpret_cast<unsigned char*>(options);
  const unsigned char* from = reinterpret_cast<const unsigned char*>(&defaults);
  for (const OptionField& field : {row.field, row.second, row.given}) {
    const size_t size = field.type == fieldBool     ? sizeof(bool)
                        : field.type == fieldText   ? sizeof(const char*)
                        : field.type == fieldDetail ? sizeof(DetailLevel)
                        : field.type == fieldName   ? sizeof(RunOptions::playerName)
                        : field.type == fieldNone   ? 0
                                                    : sizeof(uint32_t);
    memcpy(to + field.offset, from + field.offset, size);
  }
  options->origins[rowIndex(row)] = originDefault;
}

void optionValueText(const OptionRow& row, const RunOptions& options, char* out, int size) {
  const RunOptions* held = &options;
  switch (row.kind) {
    case optionFlag:
      snprintf(out, size, "%s", *fieldIn<bool>(held, row.field) ? "true" : "false");
      return;
    case optionText:
    case optionTextOrNone: {
      const char* text = *fieldIn<const char*>(held, row.field);
      snprintf(out, size, "%s", text ? printable(text) : "none");
      return;
    }
    case optionWhole: {
      const uint64_t value = row.field.type == fieldSigned
                                 ? static_cast<uint64_t>(*fieldIn<int32_t>(held, row.field))
                                 : *fieldIn<uint32_t>(held, row.field);
      // A number below the row's range is its "not set".
      if (value < row.range[0].least)
        snprintf(out, size, "none");
      else
        snprintf(out, size, "%llu", static_cast<unsigned long long>(value));
      return;
    }
    case optionWindowSize: {
      const int32_t width = *fieldIn<int32_t>(held, row.field);
      const int32_t height = *fieldIn<int32_t>(held, row.second);
      snprintf(out, size, "%dx%d", width > 0 ? width : 800, width > 0 ? height : 600);
      return;
    }
    case optionDecimal: {
      // The shortest text that reads back as the very same float, so that a
      // recording's option line replays exactly ("1.5", "0.1", "1.23456788").
      const float value = *fieldIn<float>(held, row.field);
      for (int digits = 6; digits <= 9; digits++) {
        snprintf(out, size, "%.*g", digits, static_cast<double>(value));
        if (strtof(out, nullptr) == value) break;
      }
      return;
    }
    case optionName: {
      const char* name = fieldIn<char>(held, row.field);
      snprintf(out, size, "%s", name[0] ? name : "none");
      return;
    }
    case optionChoice: {
      const uint8_t value = *fieldIn<DetailLevel>(held, row.field);
      snprintf(out, size, "auto");
      for (const OptionChoice* c = row.choices; c->word; c++)
        if (c->value == value) snprintf(out, size, "%s", c->word);
      return;
    }
    case optionHelp:
    case optionVersion:
      break;
  }
  snprintf(out, size, "none");
}

namespace {

// Watching plays a recording at one of six paces, and nothing else: no
// other input, no recording of its own, no timedemo.
bool checkWatchOptions(const RunOptions& options, char* error, int errorSize) {
  const bool watching = options.watchFile || options.watchScore > 0;
  if (options.watchFile && options.watchScore > 0) {
    snprintf(error, errorSize, "--watch and --watch-score cannot be used together");
    return false;
  }
  // Headless, --input is the watcher's own keys (a test's script).
  const char* conflict = options.recordFile     ? "--record"
                         : options.timedemoFile ? "--timedemo"
                         : options.autoplay     ? "--autoplay"
                         : options.verifyScores ? "--verify-scores"
                                                : nullptr;
  if (watching && conflict) {
    snprintf(error, errorSize, "%s plays a recording: leave out %s",
             options.watchFile ? "--watch" : "--watch-score", conflict);
    return false;
  }
  if (optionGiven(options, "speed") && !watching) {
    snprintf(error, errorSize, "--speed works only with --watch or --watch-score");
    return false;
  }
  bool known = false;
  for (float speed : watchSpeeds) known |= options.speed == speed;
  if (!known) {
    snprintf(error, errorSize, "--speed takes 0.25, 0.5, 1, 2, 4 or 8, not %g",
             static_cast<double>(options.speed));
    return false;
  }
  return true;
}

}  // namespace

bool checkOptions(const RunOptions& options, char* error, int errorSize) {
  if (options.timedemoFile && options.inputFile) {
    snprintf(error, errorSize, "--timedemo replays its own script: leave out --input");
    return false;
  }
  if (options.timedemoFile && options.maxFps) {
    snprintf(error, errorSize, "--timedemo runs as fast as it can: leave out --max-fps");
    return false;
  }
  if (options.headless && options.maxFps) {
    // Headless frames follow a scripted clock: there is nothing to pace.
    snprintf(error, errorSize, "--max-fps works only in a window, not with --headless");
    return false;
  }
  if (!options.headless) {
    const char* needsHeadless = options.inputFile                    ? "--input"
                                : optionGiven(options, "frame-ms")   ? "--frame-ms"
                                : optionGiven(options, "start-ms")   ? "--start-ms"
                                : optionGiven(options, "draw-every") ? "--draw-every"
                                                                     : nullptr;
    if (needsHeadless) {
      snprintf(error, errorSize, "%s works only with --headless", needsHeadless);
      return false;
    }
  } else if (options.windowWidth > 0 || options.fullscreen) {
    // The headless picture is always 800 x 600.
    snprintf(error, errorSize, "%s works only without --headless",
             options.fullscreen ? "--fullscreen" : "--window");
    return false;
  }
  if (options.autoplay && options.timedemoFile) {
    snprintf(error, errorSize, "--autoplay and --timedemo cannot be used together");
    return false;
  }
  if (options.configFile && options.noConfig) {
    snprintf(error, errorSize, "--config and --no-config cannot be used together");
    return false;
  }
  if (options.autoplay && options.inputFile) {
    snprintf(error, errorSize, "--autoplay and --input cannot be used together");
    return false;
  }
  return checkWatchOptions(options, error, errorSize);
}

bool drawsFrame(int32_t frame) {
  return runOptions.drawEvery <= 1 || frame % runOptions.drawEvery == 0 ||
         frame == runOptions.frames;
}

uint32_t startSeed() { return runOptions.hasSeed ? runOptions.seed : platTickMs(); }
