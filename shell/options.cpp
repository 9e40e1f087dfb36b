// options.cpp: parsing the command line.
#include "shell/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

RunOptions runOptions = {nullptr, false,   0,       -1,      nullptr, false, 16,
                         0,       nullptr, nullptr, nullptr, false,   0};

namespace {

// Parses a whole decimal number within [0, max].
bool parseUnsigned(const char* text, uint64_t max, uint64_t* out) {
  if (!text || !*text || *text == '-' || *text == '+') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long value = strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || value > max) return false;
  *out = value;
  return true;
}

}  // namespace

const char* usageText() {
  return "Usage: velkarra3d [OPTION]...\n"
         "Man the cannon: shoot down the planes before their bombs and troopers get you.\n"
         "\n"
         "  --data DIR         load the data files from DIR (default: the current folder)\n"
         "  --seed S           seed the random generator with S instead of the clock\n"
         "  --frames N         end after N frames with status 0\n"
         "  --trace FILE       write the world state of every frame to FILE (JSON Lines)\n"
         "  --screenshot FILE  after the last frame, save what the window shows as PNG\n"
         "  --headless         run without a window on an offscreen GL context\n"
         "  --frame-ms MS      headless clock step per frame (default 16)\n"
         "  --start-ms T       headless clock at start-up (default 0)\n"
         "  --input FILE       scripted input for a headless run, or a recorded session\n"
         "  --record FILE      write the session's input to FILE, to replay with --input\n"
         "  --autoplay         let the game play itself\n"
         "  --shot-every N     with --screenshot, also save FILE-FRAME.png every N frames\n"
         "  --help             show this help and exit\n"
         "  --version          show the version and exit\n"
         "\n"
         "Mouse aims, left button fires, right button launches the guided missile.\n"
         "p pauses, G frees the camera (Q/E/W/S/A/D move it), Esc quits.\n";
}

ParseResult parseOptions(int argc, char** argv, RunOptions* options, char* error, int errorSize) {
  bool hasFrameMs = false, hasStartMs = false;
  for (int i = 1; i < argc; i++) {
    const char* flag = argv[i];
    if (strcmp(flag, "--help") == 0) return parseHelp;
    if (strcmp(flag, "--version") == 0) return parseVersion;
    if (strcmp(flag, "--headless") == 0) {
      options->headless = true;
      continue;
    }
    if (strcmp(flag, "--autoplay") == 0) {
      options->autoplay = true;
      continue;
    }
    static const char* const withValue[] = {"--data",     "--seed",      "--frames", "--trace",
                                            "--frame-ms", "--start-ms",  "--input",  "--screenshot",
                                            "--record",   "--shot-every"};
    bool known = false;
    for (const char* name : withValue) known = known || strcmp(flag, name) == 0;
    if (!known) {
      snprintf(error, errorSize, "unknown option '%s' (try --help)", flag);
      return parseError;
    }
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
      snprintf(error, errorSize, "option '%s' needs a value", flag);
      return parseError;
    }
    const char* value = argv[++i];
    uint64_t number = 0;
    if (strcmp(flag, "--data") == 0) {
      options->dataDir = value;
    } else if (strcmp(flag, "--trace") == 0) {
      options->traceFile = value;
    } else if (strcmp(flag, "--input") == 0) {
      options->inputFile = value;
    } else if (strcmp(flag, "--record") == 0) {
      options->recordFile = value;
    } else if (strcmp(flag, "--shot-every") == 0) {
      if (!parseUnsigned(value, INT32_MAX, &number) || number == 0) {
        snprintf(error, errorSize,
                 "--shot-every takes a whole number from 1 to 2147483647, not '%s'", value);
        return parseError;
      }
      options->shotEvery = static_cast<int32_t>(number);
    } else if (strcmp(flag, "--screenshot") == 0) {
      options->screenshotFile = value;
    } else if (strcmp(flag, "--seed") == 0) {
      if (!parseUnsigned(value, UINT32_MAX, &number)) {
        snprintf(error, errorSize, "--seed takes a whole number from 0 to 4294967295, not '%s'",
                 value);
        return parseError;
      }
      options->hasSeed = true;
      options->seed = static_cast<uint32_t>(number);
    } else if (strcmp(flag, "--frames") == 0) {
      if (!parseUnsigned(value, INT32_MAX, &number)) {
        snprintf(error, errorSize, "--frames takes a whole number from 0 to 2147483647, not '%s'",
                 value);
        return parseError;
      }
      options->frames = static_cast<int32_t>(number);
    } else if (strcmp(flag, "--frame-ms") == 0) {
      if (!parseUnsigned(value, 3600000, &number)) {
        snprintf(error, errorSize, "--frame-ms takes a whole number from 0 to 3600000, not '%s'",
                 value);
        return parseError;
      }
      options->frameMs = static_cast<uint32_t>(number);
      hasFrameMs = true;
    } else {
      if (!parseUnsigned(value, UINT32_MAX, &number)) {
        snprintf(error, errorSize, "--start-ms takes a whole number from 0 to 4294967295, not '%s'",
                 value);
        return parseError;
      }
      options->startMs = static_cast<uint32_t>(number);
      hasStartMs = true;
    }
  }
  if (!options->headless) {
    const char* needsHeadless = options->inputFile ? "--input"
                                : hasFrameMs       ? "--frame-ms"
                                : hasStartMs       ? "--start-ms"
                                                   : nullptr;
    if (needsHeadless) {
      snprintf(error, errorSize, "%s works only with --headless", needsHeadless);
      return parseError;
    }
  }
  if (options->autoplay && options->inputFile) {
    snprintf(error, errorSize, "--autoplay and --input cannot be used together");
    return parseError;
  }
  return parseRun;
}

uint32_t startSeed() { return runOptions.hasSeed ? runOptions.seed : platTickMs(); }
