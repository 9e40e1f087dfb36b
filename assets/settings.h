// settings.h: reading "settings.txt" and building the world from it.
//
// Start-up calls loadSettings once, after the GL context, the display lists
// and the textures exist. It seeds the random generator, reads the tuning
// values in their fixed order (parseSettings), builds the terrain, loads,
// places, boxes and compiles the seven models, hands the model and box
// pointers to every pool slot and starts level 1. parseSettings is the
// reading alone, without GL or files besides the one it is given (the
// settings fuzz target calls it).
#pragma once

#include <cstdint>
#include <cstdio>

#include "game/world.h"

// One model section: the OFF file and its placement.
struct ModelSection {
  char file[256];
  int32_t flip;
  float scale;
  float tx, ty, tz;
  float zTurn, yTurn;  // degrees
};

// The seven model sections, in the order the file gives them.
enum ModelKind { planeKind, trooperKind, chuteKind, bombKind, shellKind, missileKind, cannonKind };
constexpr int modelKindCount = 7;

// Everything "settings.txt" holds.
struct SettingsFile {
  Settings values;  // the fixed points values are filled in too
  ModelSection models[modelKindCount];
};

// Reads the 90 values from file in their fixed order. On a fault returns
// false with one line in error: "value N (NAME) WHAT", where WHAT says the
// file ends early, cannot be read, or the value has the wrong form, is not
// a finite number, is out of range or is longer than 255 characters.
bool parseSettings(FILE* file, SettingsFile* out, char* error, int errorSize);

// Ends the process with one line on stdout naming the file and the value
// that failed, and status 1, when "settings.txt" is missing, unreadable,
// ends early or holds a value of the wrong form.
// (the world is built from it at start-up)
