// config.h: the player's configuration file, read through the option table.
//
// main reads it once, after the command line and before anything else
// uses the options: `name = value` lines set the rows of optionRows marked
// inFile, each noted as coming from the file, so that the command line
// always wins; `key-ACTION = NAME` lines bind the player's keys
// (game/bindings.h). A bad line is reported and skipped, a file that is not
// text is reported once and ignored, a missing or unreadable file is
// reported (unless it is the usual file and simply not there) and the
// defaults stand: the file never stops the game. --print-config shows the
// outcome. The screens (app/screens.h) write the settings the player
// changes there back into the same file, keeping every other line as it
// was.
#pragma once

#include <cstdio>

#include "app/options.h"
#include "base/setting_file.h"

// Longest line the file may hold, without its newline.
constexpr int configLineMax = settingLineMax;
// Faulty lines reported one by one; after these, one line says there are more.
constexpr int configWarningsMax = 20;
// A file whose first configTextLines lines (within its first configTextBytes)
// hold a NUL byte or invalid UTF-8 is not text: one warning, and none of it
// is read.
constexpr int configTextLines = 8;
constexpr int configTextBytes = 4096;

// The usual file: $XDG_CONFIG_HOME/velkarra3d/velkarra3d.conf, or under
// ~/.config. False when neither gives an absolute folder.
bool configPath(char* out, int size);

// Reads --config FILE, or the usual file unless --no-config, into options,
// then drops the values from the file that this run cannot use (a window
// size or full screen headless, a frame cap headless or in a timedemo), so
// that a file written for play never stands in the way of a test or a tool.
// Warnings go to `warnings` (stderr in the game), one line each.
void readConfiguration(RunOptions* options, FILE* warnings);

// Reads one file into options. A file that is not there is reported only
// when `mustExist`. On a read error nothing of the file is kept.
void readConfigFile(const char* path, bool mustExist, RunOptions* options, FILE* warnings);

// For --print-config: the file read (or why none was), then every setting
// the file may hold with its value in force and where it came from:
// "default", "FILE:LINE" or "command line".
void printConfiguration(const RunOptions& options, FILE* out);

enum ConfigSave : uint8_t {
  configSaved,
  configNotSaved,  // --no-config: nothing is written
  configFailed,    // why says why, and one line on warnings too
};

// Writes the changes into the file this run reads: --config FILE or the
// usual one (never with --no-config), as rewriteSettingsFile does
// (base/setting_file.h).
ConfigSave saveSettings(const RunOptions& options, const SettingChange* changes, int count,
                        FILE* warnings, char* why, int whySize);
