// options.h: the command line of velkarra3d (run modes for players, tools
// and tests).
//
// main parses the options before anything else; start-up reads the seed, the
// frame loop the frame limit, and the run's end the screenshot file.
#pragma once

#include <cstdint>

#include "base/program.h"
#include "render/detail.h"

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
  const char* timedemoFile = nullptr;    // session replayed as fast as possible and timed, or null
  bool printDataDir = false;             // print the data folder that would be used and exit
  int32_t windowWidth = 0;               // client size of the window; 0 x 0: 800 x 600
  int32_t windowHeight = 0;
  bool fullscreen = false;
  uint32_t drawEvery = 1;  // headless: draw frames 1 in this many (and the last)
};

extern RunOptions runOptions;

enum ParseResult { parseRun, parseHelp, parseVersion, parseError };

// Fills options from argv. On parseError, error holds one line saying what
// is wrong (without the program name).
ParseResult parseOptions(int argc, char** argv, RunOptions* options, char* error, int errorSize);

// The usage text printed by --help.
const char* usageText();

// Whether the frame loop draws frame number `frame`: every frame unless a
// headless run asked for fewer with --draw-every; the last frame of a
// --frames run is always drawn, so that its screenshot shows it.
bool drawsFrame(int32_t frame);

// The seed start-up gives the random generator: --seed, or the tick count.
uint32_t startSeed();
