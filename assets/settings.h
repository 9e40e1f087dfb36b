// settings.h: the tuning file "settings.txt", its one table of values and
// its reader.
//
// The file is a fixed sequence of 90 whitespace-separated values without
// keys: a value's meaning is its position. settingRows (settings_table.cpp)
// lists them in that order, once, with the name the reader's messages use,
// the type, the place in SettingsFile, the default, unit and note.
//
// Start-up (app/) calls parseSettings and builds the world from what it
// read; the settings fuzz target calls it too. The data tool (tools/) writes
// the default file and its --table listing from settingRows, and the tests
// find a value's position by name with findSetting. Nothing here needs GL or
// a folder above assets/, so the data tool compiles settings_table.cpp too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Every tuning value, filled once from "settings.txt" at start-up.
struct Settings {
  float arenaHalfSize;
  float planeMinAltitude;
  float planeMaxAltitude;
  int32_t livesPerLevel;
  int32_t planesBase;
  float planeSpeed;
  int32_t trooperDropMinMs, trooperDropMaxMs;
  int32_t bombDropMinMs, bombDropMaxMs;
  int32_t planeTurnMinMs, planeTurnMaxMs;
  float shotFallSpeedLimit;   // floor of vz once the chute is shot away
  float chuteFallSpeedLimit;  // ceiling of vz under the open chute
  float freeFallAccel;
  float chuteAccel;
  int32_t chuteOpenDelayMs;
  float bombSpeed;
  float shellSpeed;
  float planeBlastSize;
  int32_t planeBlastCount;
  float trooperBlastSize;
  int32_t trooperBlastCount;
  float chuteBlastSize;
  int32_t chuteBlastCount;
  float impactBlastSize;
  int32_t impactBlastCount;
  float shardSpeed;
  float shardGravity;
  float shardDecay;
  float missileSpeed;
  int32_t missileLifetimeMs;
  int32_t pointsPerPlane;    // 20, fixed
  int32_t pointsPerTrooper;  // 10, fixed
  int32_t landingPenalty;    // 25, fixed
};

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

// How the reader takes a value and where it keeps it.
enum SettingType {
  settingFloat,    // a finite float
  settingWhole,    // a whole number in the int32 range
  settingSeconds,  // a float in seconds, kept as int32 milliseconds: x 1000 truncated
  settingWord,     // a model file name of at most 255 characters
  settingIgnored,  // read and checked as a float, then dropped
};

// One value of "settings.txt".
struct SettingRow {
  int line;          // the line of the default file it is written on, from 1
  const char* name;  // as the reader's messages give it
  SettingType type;
  size_t place;             // byte offset into SettingsFile (0 for settingIgnored)
  const char* defaultText;  // the default data set's text
  const char* unit;
  const char* note;
};

// The 90 values, in file order.
constexpr int settingCount = 90;
extern const SettingRow settingRows[settingCount];

// The position (from 0) of the value named name, or -1 when there is none.
int findSetting(const char* name);

// Reads the 90 values from file in their fixed order. On a fault returns
// false with one line in error: "value N (NAME) WHAT", where WHAT says the
// file ends early, cannot be read, or the value has the wrong form, is not
// a finite number, is out of range or is longer than 255 characters.
bool parseSettings(FILE* file, SettingsFile* out, char* error, int errorSize);
