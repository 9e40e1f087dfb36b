// options.h: the command line of velkarra3d (run modes for players, tools
// and tests).
//
// main parses the options before anything else; start-up reads the seed, the
// frame loop the frame limit, and the run's end the screenshot file.
#pragma once

#include <cstdint>

extern const char* const programName;
extern const char* const programVersion;

struct RunOptions {
  const char* dataDir;  // folder to change to before loading, or null
  bool hasSeed;
  uint32_t seed;          // replaces the tick count as the generator's seed
  int32_t frames;         // end after this many frames with status 0; -1: no limit
  const char* traceFile;  // JSON Lines trace, or null
  bool headless;
  uint32_t frameMs;            // headless clock step
  uint32_t startMs;            // headless clock at start-up
  const char* inputFile;       // headless input script, or null
  const char* screenshotFile;  // PNG written after the last frame, or null
  const char* recordFile;      // the session's input records, or null
  bool autoplay;               // the autoplayer plays
  int32_t shotEvery;           // with screenshotFile: also every N frames; 0: no
};

extern RunOptions runOptions;

enum ParseResult { parseRun, parseHelp, parseVersion, parseError };

// Fills options from argv. On parseError, error holds one line saying what
// is wrong (without the program name).
ParseResult parseOptions(int argc, char** argv, RunOptions* options, char* error, int errorSize);

// The usage text printed by --help.
const char* usageText();

// The seed start-up gives the random generator: --seed, or the tick count.
uint32_t startSeed();
