// options.h: the command line of velkarra3d (run modes for players, tools
// and tests), read through one table of options.
//
// main parses the options before anything else; start-up reads the seed, the
// frame loop the frame limit, and the run's end the screenshot file. Each
// option is one row of optionRows: its name, the form of its value, how the
// value is read and checked, where it goes in RunOptions and its lines in
// --help. The command line goes through applyOption row by row, and so can
// any other source of option values (such as a file of `name = value` lines),
// each value noting where it came from: the configuration file
// (app/config.h) reads the rows marked inFile.
#pragma once

#include <cstdint>

#include "base/program.h"
#include "game/bindings.h"
#include "game/world.h"
#include "render/detail.h"

// Where an option's value came from, lowest rank first: a value from a
// source of lower rank never replaces one of higher rank, so the command
// line wins over a file whichever is read first.
// originPlay is a change made while the game runs (a recording's option
// line, a screen), which wins over everything given at start-up.
enum OptionOrigin : uint8_t { originDefault, originFile, originCommandLine, originPlay };

// The number of rows in optionRows.
constexpr int optionCount = 38;

// The paces a recording can be watched at (--speed), slowest first.
constexpr int watchSpeedCount = 6;
constexpr float watchSpeeds[watchSpeedCount] = {0.25f, 0.5f, 1, 2, 4, 8};

// The longest name a player may give (--player-name).
constexpr int playerNameMax = 16;

// Every field starts at the value a plain run uses, so RunOptions{} is a
// plain run.
struct RunOptions {
  const char* dataDir = nullptr;  // --data: the data folder, or null for the lookup
  bool hasSeed = false;
  uint32_t seed = 0;                // replaces the tick count as the generator's seed
  int32_t frames = -1;              // end after this many frames with status 0; -1: no limit
  const char* traceFile = nullptr;  // JSON Lines trace, or null
  bool headless = false;
  uint32_t frameMs = 16;                 // headless clock step
  uint32_t startMs = 0;                  // headless clock at start-up
  const char* inputFile = nullptr;       // headless input script, or null
  const char* screenshotFile = nullptr;  // PNG written after the last frame, or null
  const char* recordFile = nullptr;      // the session's input records, or null
  bool autoplay = false;                 // the autoplayer plays
  int32_t shotEvery = 0;                 // with screenshotFile: also every N frames; 0: no
  DetailLevel detail = detailAuto;       // --detail, or detailAuto
  uint32_t maxFps = 0;                   // at most this many frames a second; 0: no cap
  bool vsync = true;                     // each swap waits for the screen's refresh
  const char* timedemoFile = nullptr;    // session replayed as fast as possible and timed, or null
  bool printDataDir = false;             // print the data folder that would be used and exit
  int32_t windowWidth = 0;               // client size of the window; 0 x 0: 800 x 600
  int32_t windowHeight = 0;
  bool fullscreen = false;
  uint32_t drawEvery = 1;  // headless: draw frames 1 in this many (and the last)
  // The options that change the world (mouse-sensitivity, invert-y,
  // pause-on-focus-loss): start-up puts them in the world record, and a
  // recording keeps them.
  WorldOptions world;
  uint32_t volume = 100;  // of the sounds, in percent
  bool mute = false;
  bool showFps = false;              // the frame counter shows from the start
  const char* configFile = nullptr;  // --config: read this file instead of the usual one
  bool noConfig = false;             // read no configuration file
  bool printConfig = false;          // print the values in force and their origins, and exit
  bool printScores = false;          // print the score table and exit
  bool noScores = false;             // this run stays out of the score table
  const char* watchFile = nullptr;   // --watch: a recording played in the window, or null
  int32_t watchScore = 0;            // --watch-score: the place in the table to watch; 0: none
  float speed = 1;                   // --speed: the watched recording's pace
  bool verifyScores = false;         // replay every kept run and print what each gives
  // The name the run's score carries; empty: the login name.
  char playerName[playerNameMax + 1] = "";
  // The player's keys (key-... lines of the configuration file).
  KeyBindings keys = defaultKeyBindings();
  // Where each option's value came from, by its row in optionRows.
  OptionOrigin origins[optionCount] = {};
};

extern RunOptions runOptions;

// How an option's value is read.
enum OptionKind : uint8_t {
  optionFlag,        // no value on the command line: sets a bool
  optionText,        // any text that is not empty: a folder or file name
  optionTextOrNone,  // the same, or an empty value for none: "--watch=", as a desktop
                     // entry's "--watch=%f" gives it when started without a file
  optionWhole,       // a whole decimal number within range[0]
  optionChoice,      // one of the words in choices
  optionWindowSize,  // WxH, the width within range[0] and the height within range[1]
  optionDecimal,     // a decimal number (digits and a point, no exponent) within span
  optionName,        // a player's name: 1 to playerNameMax letters, digits, spaces, '-', '_', '.'
  optionHelp,        // --help: show the usage and exit
  optionVersion,     // --version: show the version and exit
};

// The type of a RunOptions field that a row writes, so that each write goes
// through the field's own type.
enum OptionFieldType : uint8_t {
  fieldNone,
  fieldBool,
  fieldText,
  fieldUnsigned,
  fieldSigned,
  fieldDetail,
  fieldFloat,
  fieldName  // char[playerNameMax + 1]
};

// A RunOptions field, by its offset.
struct OptionField {
  uint16_t offset;
  OptionFieldType type;
};

struct OptionRange {
  uint32_t least, most;
};

struct OptionSpan {
  float least, most;
};

// A word an optionChoice row takes, and the value it stores.
struct OptionChoice {
  const char* word;
  uint8_t value;
};

struct OptionRow {
  const char* name;       // without the dashes: "frames" is --frames
  const char* valueForm;  // the value as --help and the manual page show it; "" for none
  OptionKind kind;
  OptionField field;   // where the value goes; a window size: the width
  OptionField second;  // a window size: the height
  OptionField given;   // a bool set when the option is given (hasSeed), or none
  OptionRange range[2];
  const OptionChoice* choices;  // an optionChoice row's words, ended by a null word
  const char* help;             // the lines of --help, '\n' between them
  OptionSpan span;              // an optionDecimal row's range
  bool inFile;                  // the configuration file may set it
  bool changesWorld;            // a world option: it changes what the input does to the world,
                                // so a recording holds it (its field is in RunOptions::world)
};

extern const OptionRow optionRows[optionCount];

// The row of the option called name (without the dashes), or null.
const OptionRow* findOption(const char* name);

// Whether text is a name a player may give: 1 to playerNameMax letters,
// digits, spaces, '-', '_' and '.', not starting or ending with a space.
bool goodPlayerName(const char* text);

// Reads value as the option of row (a row of optionRows) and stores it in
// options, noting origin, unless options already holds a value of higher
// rank. A flag takes a null value (on) or a flag word of base/numbers.h
// (true/false, yes/no, on/off, 1/0, in any case); a whole number whose
// default means "not set" (--max-fps's none) takes the word none for it. On a bad value,
// false, and error says what is wrong without the option's name ("takes a
// whole number from 0 to 2147483647, not 'x'"), for the caller to put the
// name first. A text value is kept as the pointer given, so it must outlive
// options.
bool applyOption(const OptionRow& row, const char* value, OptionOrigin origin, RunOptions* options,
                 char* error, int errorSize);

// Whether options holds a value for the option called name from anywhere
// but the defaults.
bool optionGiven(const RunOptions& options, const char* name);

// Puts the option of row back to its default value and origin.
void resetOption(const OptionRow& row, RunOptions* options);

// The value options holds for row as the option's own text would give it
// ("1280x720", "low", "true", "1.5"), or a word for a value no text gives
// ("auto" for the detail the renderer picks, "800x600" for no window size,
// "none" for a number that means "not set").
void optionValueText(const OptionRow& row, const RunOptions& options, char* out, int size);

enum ParseResult { parseRun, parseHelp, parseVersion, parseError };

// Fills options from argv: "--name value", "--name=value", and a flag as
// "--name" (on) or "--name=WORD" ("--mute=false", "--mute=yes"). On
// parseError, error holds one line saying what is wrong (without the
// program name).
ParseResult parseOptions(int argc, char** argv, RunOptions* options, char* error, int errorSize);

// The checks between options that each value alone cannot make (--timedemo
// with --input, --max-fps with --headless, ...), once every source has been
// applied. On a conflict, false and one line in error.
bool checkOptions(const RunOptions& options, char* error, int errorSize);

// The usage text printed by --help.
const char* usageText();

// Whether the frame loop draws frame number `frame`: every frame unless a
// headless run asked for fewer with --draw-every; the last frame of a
// --frames run is always drawn, so that its screenshot shows it.
bool drawsFrame(int32_t frame);

// The seed start-up gives the random generator: --seed, or the tick count.
uint32_t startSeed();
