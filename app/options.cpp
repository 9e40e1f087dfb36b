// options.cpp: parsing the command line.
#include "app/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/printable.h"
#include "platform/platform.h"

RunOptions runOptions;

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

// Parses "WxH" with both sides within the sizes a window may take.
bool parseWindowSize(const char* text, int32_t* width, int32_t* height) {
  const char* cross = strchr(text, 'x');
  if (!cross || cross == text) return false;
  char left[16];
  const size_t length = static_cast<size_t>(cross - text);
  if (length >= sizeof left) return false;
  memcpy(left, text, length);
  left[length] = '\0';
  uint64_t w = 0, h = 0;
  if (!parseUnsigned(left, 16384, &w) || !parseUnsigned(cross + 1, 16384, &h)) return false;
  if (w < 160 || h < 120) return false;
  *width = static_cast<int32_t>(w);
  *height = static_cast<int32_t>(h);
  return true;
}

}  // namespace

const char* usageText() {
  return "Usage: velkarra3d [OPTION]...\n"
         "Man the cannon: shoot down the planes before their bombs and troopers get you.\n"
         "\n"
         "  --data DIR         load the data files from DIR (default: see below)\n"
         "  --print-data-dir   print the data folder that would be used and exit\n"
         "  --window WxH       open a window of W x H pixels instead of 800 x 600\n"
         "  --fullscreen       fill the screen\n"
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
         "  --timedemo FILE    replay FILE as fast as possible and print frames, seconds,\n"
         "                     frames/s and the median and 95th-percentile ms of update\n"
         "                     and draw: an input script (with --headless) or a\n"
         "                     recorded session (headless or in a window)\n"
         "  --detail LEVEL     high: full texture filtering; low: cheaper drawing of the\n"
         "                     same scene for software GL (default: low on a software\n"
         "                     renderer, high otherwise)\n"
         "  --max-fps N        at most N frames a second in a window (default: no cap)\n"
         "  --draw-every N     headless: draw only every Nth frame (and the last; default 1)\n"
         "  --help             show this help and exit\n"
         "  --version          show the version and exit\n"
         "\n"
         "Mouse aims, left button fires, right button launches the guided missile.\n"
         "p pauses, G frees the camera (Q/E/W/S/A/D move it), Esc quits.\n"
         "\n"
         "The data folder is the first of: --data DIR; $VELKARRA3D_DATA; the current\n"
         "folder if it holds settings.txt; ../share/games/velkarra3d beside the binary;\n"
         "games/velkarra3d under $XDG_DATA_HOME (~/.local/share), then under each folder\n"
         "of $XDG_DATA_DIRS (/usr/local/share:/usr/share), the first holding settings.txt.\n";
}

ParseResult parseOptions(int argc, char** argv, RunOptions* options, char* error, int errorSize) {
  bool hasFrameMs = false, hasStartMs = false, hasDrawEvery = false;
  for (int i = 1; i < argc; i++) {
    const char* flag = argv[i];
    if (strcmp(flag, "--help") == 0) return parseHelp;
    if (strcmp(flag, "--version") == 0) return parseVersion;
    if (strcmp(flag, "--headless") == 0) {
      options->headless = true;
      continue;
    }
    if (strcmp(flag, "--print-data-dir") == 0) {
      options->printDataDir = true;
      continue;
    }
    if (strcmp(flag, "--fullscreen") == 0) {
      options->fullscreen = true;
      continue;
    }
    if (strcmp(flag, "--autoplay") == 0) {
      options->autoplay = true;
      continue;
    }
    static const char* const withValue[] = {
        "--data",     "--seed",    "--frames",     "--trace",  "--frame-ms",
        "--start-ms", "--input",   "--screenshot", "--record", "--shot-every",
        "--detail",   "--max-fps", "--timedemo",   "--window", "--draw-every"};
    bool known = false;
    for (const char* name : withValue) known = known || strcmp(flag, name) == 0;
    if (!known) {
      snprintf(error, errorSize, "unknown option '%s' (try --help)", printable(flag));
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
                 "--shot-every takes a whole number from 1 to 2147483647, not '%s'",
                 printable(value));
        return parseError;
      }
      options->shotEvery = static_cast<int32_t>(number);
    } else if (strcmp(flag, "--screenshot") == 0) {
      options->screenshotFile = value;
    } else if (strcmp(flag, "--window") == 0) {
      if (!parseWindowSize(value, &options->windowWidth, &options->windowHeight)) {
        snprintf(error, errorSize,
                 "--window takes WIDTHxHEIGHT from 160x120 to 16384x16384, not '%s'",
                 printable(value));
        return parseError;
      }
    } else if (strcmp(flag, "--timedemo") == 0) {
      options->timedemoFile = value;
    } else if (strcmp(flag, "--detail") == 0) {
      if (strcmp(value, "high") == 0) {
        options->detail = detailHigh;
      } else if (strcmp(value, "low") == 0) {
        options->detail = detailLow;
      } else {
        snprintf(error, errorSize, "--detail takes high or low, not '%s'", printable(value));
        return parseError;
      }
    } else if (strcmp(flag, "--max-fps") == 0) {
      if (!parseUnsigned(value, 100000, &number) || number == 0) {
        snprintf(error, errorSize, "--max-fps takes a whole number from 1 to 100000, not '%s'",
                 printable(value));
        return parseError;
      }
      options->maxFps = static_cast<uint32_t>(number);
    } else if (strcmp(flag, "--seed") == 0) {
      if (!parseUnsigned(value, UINT32_MAX, &number)) {
        snprintf(error, errorSize, "--seed takes a whole number from 0 to 4294967295, not '%s'",
                 printable(value));
        return parseError;
      }
      options->hasSeed = true;
      options->seed = static_cast<uint32_t>(number);
    } else if (strcmp(flag, "--frames") == 0) {
      if (!parseUnsigned(value, INT32_MAX, &number)) {
        snprintf(error, errorSize, "--frames takes a whole number from 0 to 2147483647, not '%s'",
                 printable(value));
        return parseError;
      }
      options->frames = static_cast<int32_t>(number);
    } else if (strcmp(flag, "--frame-ms") == 0) {
      if (!parseUnsigned(value, 3600000, &number)) {
        snprintf(error, errorSize, "--frame-ms takes a whole number from 0 to 3600000, not '%s'",
                 printable(value));
        return parseError;
      }
      options->frameMs = static_cast<uint32_t>(number);
      hasFrameMs = true;
    } else if (strcmp(flag, "--draw-every") == 0) {
      if (!parseUnsigned(value, 1000000, &number) || number == 0) {
        snprintf(error, errorSize, "--draw-every takes a whole number from 1 to 1000000, not '%s'",
                 printable(value));
        return parseError;
      }
      options->drawEvery = static_cast<uint32_t>(number);
      hasDrawEvery = true;
    } else {
      if (!parseUnsigned(value, UINT32_MAX, &number)) {
        snprintf(error, errorSize, "--start-ms takes a whole number from 0 to 4294967295, not '%s'",
                 printable(value));
        return parseError;
      }
      options->startMs = static_cast<uint32_t>(number);
      hasStartMs = true;
    }
  }
  if (options->timedemoFile && options->inputFile) {
    snprintf(error, errorSize, "--timedemo replays its own script: leave out --input");
    return parseError;
  }
  if (options->timedemoFile && options->maxFps) {
    snprintf(error, errorSize, "--timedemo runs as fast as it can: leave out --max-fps");
    return parseError;
  }
  if (options->headless && options->maxFps) {
    // Headless frames follow a scripted clock: there is nothing to pace.
    snprintf(error, errorSize, "--max-fps works only in a window, not with --headless");
    return parseError;
  }
  if (!options->headless) {
    const char* needsHeadless = options->inputFile ? "--input"
                                : hasFrameMs       ? "--frame-ms"
                                : hasStartMs       ? "--start-ms"
                                : hasDrawEvery     ? "--draw-every"
                                                   : nullptr;
    if (needsHeadless) {
      snprintf(error, errorSize, "%s works only with --headless", needsHeadless);
      return parseError;
    }
  } else if (options->windowWidth > 0 || options->fullscreen) {
    // The headless picture is always 800 x 600.
    snprintf(error, errorSize, "%s works only without --headless",
             options->fullscreen ? "--fullscreen" : "--window");
    return parseError;
  }
  if (options->autoplay && options->timedemoFile) {
    snprintf(error, errorSize, "--autoplay and --timedemo cannot be used together");
    return parseError;
  }
  if (options->autoplay && options->inputFile) {
    snprintf(error, errorSize, "--autoplay and --input cannot be used together");
    return parseError;
  }
  return parseRun;
}

bool drawsFrame(int32_t frame) {
  return runOptions.drawEvery <= 1 || frame % runOptions.drawEvery == 0 ||
         frame == runOptions.frames;
}

uint32_t startSeed() { return runOptions.hasSeed ? runOptions.seed : platTickMs(); }
