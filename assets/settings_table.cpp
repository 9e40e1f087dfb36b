// settings_table.cpp: the one table of "settings.txt": its 90 values in file
// order, each with its name, type, place in SettingsFile, default, unit and
// note. The reader, the data tool's writer and listing and the tests all go
// through it. It needs nothing but settings.h and the C library, so the data
// tool compiles it as well.
#include <cstring>

#include "assets/settings.h"

namespace {

// Short names for the types, to keep the rows readable.
constexpr SettingType number = settingFloat;
constexpr SettingType whole = settingWhole;
constexpr SettingType seconds = settingSeconds;
constexpr SettingType word = settingWord;
constexpr SettingType ignored = settingIgnored;

}  // namespace

// A model section: the file name on one line, then its placement on the
// next: flipNormals, scale, translation x y z (added before the scale), turn
// about +z and about -y in degrees. Our meshes are built at their final size
// with the nose along +x, so they need no turn. The bomb is the exception:
// the game stretches it after its turns by 0.5 x scale along x and 5 x scale
// along y and z, and bomb.off is built shrunk by that stretch for a scale of
// 0.2 (see tools/models.cpp), so 0.2 shows the bomb at its designed size, 0.8
// long.
// clang-format off
#define MODEL_SECTION(line, label, kind, offFile, fileNote, scaleText, scaleNote)              \
  {line, label " model file", word, offsetof(SettingsFile, models[kind].file), offFile, "",      \
   fileNote},                                                                                  \
  {line + 1, label " model flipNormals", whole, offsetof(SettingsFile, models[kind].flip), "0", \
   "", "0: faces are wound outward"},                                                          \
  {line + 1, label " model scale", number, offsetof(SettingsFile, models[kind].scale),          \
   scaleText, "", scaleNote},                                                                  \
  {line + 1, label " model x offset", number, offsetof(SettingsFile, models[kind].tx), "0",     \
   "model units", ""},                                                                         \
  {line + 1, label " model y offset", number, offsetof(SettingsFile, models[kind].ty), "0",     \
   "model units", ""},                                                                         \
  {line + 1, label " model z offset", number, offsetof(SettingsFile, models[kind].tz), "0",     \
   "model units", ""},                                                                         \
  {line + 1, label " model z turn", number, offsetof(SettingsFile, models[kind].zTurn), "0",    \
   "degrees", ""},                                                                             \
  {line + 1, label " model y turn", number, offsetof(SettingsFile, models[kind].yTurn), "0",    \
   "degrees", ""}

// The three fixed points values (20, 10, 25) are not in the file.
constexpr SettingRow settingRows[settingCount] = {
    {1, "arenaHalfSize", number, offsetof(SettingsFile, values.arenaHalfSize), "25", "units",
     "planes bounce at +-this; terrain spans 2.25x"},
    {1, "planeMinAltitude", number, offsetof(SettingsFile, values.planeMinAltitude), "8", "units",
     "lowest altitude of a new plane"},
    {1, "planeMaxAltitude", number, offsetof(SettingsFile, values.planeMaxAltitude), "16", "units",
     "highest altitude; shells vanish above 2x"},
    {1, "livesPerLevel", whole, offsetof(SettingsFile, values.livesPerLevel), "3", "lives",
     "lives at each level start; a bomb on the cannon takes one"},

    MODEL_SECTION(2, "plane", planeKind, "plane.off", "plane model", "1", ""),

    {4, "planesBase", whole, offsetof(SettingsFile, values.planesBase), "3", "planes",
     "level n has planesBase + n - 1 planes"},
    {4, "planeSpeed", number, offsetof(SettingsFile, values.planeSpeed), "5", "units/s",
     "fast enough that a shell must lead a plane"},
    {4, "trooperDropMin", seconds, offsetof(SettingsFile, values.trooperDropMinMs), "5", "s",
     "time between two troopers of one plane"},
    {4, "trooperDropMax", seconds, offsetof(SettingsFile, values.trooperDropMaxMs), "10", "s", ""},
    {4, "bombDropMin", seconds, offsetof(SettingsFile, values.bombDropMinMs), "8", "s",
     "time between two bombs of one plane"},
    {4, "bombDropMax", seconds, offsetof(SettingsFile, values.bombDropMaxMs), "16", "s", ""},
    {4, "planeTurnMin", seconds, offsetof(SettingsFile, values.planeTurnMinMs), "3", "s",
     "time between two heading changes"},
    {4, "planeTurnMax", seconds, offsetof(SettingsFile, values.planeTurnMaxMs), "8", "s", ""},

    MODEL_SECTION(5, "trooper", trooperKind, "trooper.off", "trooper body, feet at the origin",
                  "1", ""),

    MODEL_SECTION(7, "parachute", chuteKind, "chute.off",
                  "parachute, canopy about 2 above the feet", "1", ""),

    {9, "shotFallSpeedLimit", number, offsetof(SettingsFile, values.shotFallSpeedLimit), "-12",
     "units/s", "floor of vz once the chute is shot away"},
    {9, "chuteFallSpeedLimit", number, offsetof(SettingsFile, values.chuteFallSpeedLimit), "-1.5",
     "units/s", "ceiling of vz under the open chute"},
    {9, "freeFallAccel", number, offsetof(SettingsFile, values.freeFallAccel), "-9.8", "units/s^2",
     "vz change without an open chute"},
    {9, "chuteAccel", number, offsetof(SettingsFile, values.chuteAccel), "12", "units/s^2",
     "vz change under the open chute (brakes)"},
    {9, "chuteOpenDelay", seconds, offsetof(SettingsFile, values.chuteOpenDelayMs), "0.8", "s",
     "free fall before the chute opens"},

    MODEL_SECTION(10, "bomb", bombKind, "bomb.off", "bomb, built pre-shrunk for the stretch",
                  "0.2", "0.2: designed size; stretch 0.1, 1, 1"),

    {12, "bombSpeed", number, offsetof(SettingsFile, values.bombSpeed), "4", "units/s",
     "about six seconds from a plane to the cannon: time to shoot it"},
    {12, "unused value after bombSpeed", ignored, 0, "0", "", "read and ignored by the game"},

    MODEL_SECTION(13, "shell", shellKind, "shell.off", "cannon shell", "1", ""),

    {15, "shellSpeed", number, offsetof(SettingsFile, values.shellSpeed), "40", "units/s",
     "with the 0.6-long tracer, no target is skipped between frames at 30 fps and more"},

    {16, "planeBlastSize", number, offsetof(SettingsFile, values.planeBlastSize), "0.5", "units",
     "starting shard size"},
    {16, "planeBlastCount", whole, offsetof(SettingsFile, values.planeBlastCount), "30", "shards",
     "the pool holds 128"},
    {16, "trooperBlastSize", number, offsetof(SettingsFile, values.trooperBlastSize), "0.25",
     "units", ""},
    {16, "trooperBlastCount", whole, offsetof(SettingsFile, values.trooperBlastCount), "14",
     "shards", ""},
    {16, "chuteBlastSize", number, offsetof(SettingsFile, values.chuteBlastSize), "0.35", "units",
     ""},
    {16, "chuteBlastCount", whole, offsetof(SettingsFile, values.chuteBlastCount), "14", "shards",
     ""},
    {16, "impactBlastSize", number, offsetof(SettingsFile, values.impactBlastSize), "0.25", "units",
     "bombs, shells, missile"},
    {16, "impactBlastCount", whole, offsetof(SettingsFile, values.impactBlastCount), "10", "shards",
     ""},

    {17, "shardSpeed", number, offsetof(SettingsFile, values.shardSpeed), "6", "units/s", ""},
    {17, "shardGravity", number, offsetof(SettingsFile, values.shardGravity), "-5", "units/s^2",
     ""},
    {17, "shardDecay", number, offsetof(SettingsFile, values.shardDecay), "0.4", "per s",
     "size factor per second; shards end below 0.1"},

    MODEL_SECTION(18, "missile", missileKind, "missile.off", "guided missile", "1", ""),

    {20, "missileSpeed", number, offsetof(SettingsFile, values.missileSpeed), "12", "units/s", ""},
    {20, "unused value after missileSpeed", ignored, 0, "0", "", "read and ignored by the game"},
    {20, "missileLifetime", seconds, offsetof(SettingsFile, values.missileLifetimeMs), "6", "s",
     ""},

    MODEL_SECTION(21, "cannon", cannonKind, "cannon.off",
                  "the player's cannon, standing on z = 0", "1", ""),
};
// clang-format on

namespace {

// Bytes a value of this type takes at its place.
constexpr size_t placeSize(SettingType type) {
  return type == settingWord ? sizeof(ModelSection::file) : type == settingIgnored ? 0 : 4;
}

// Every kept value lies inside SettingsFile and no two overlap, so a place
// copied from another row, or a word put where a number is, fails the build.
constexpr bool placesApart() {
  for (int i = 0; i < settingCount; i++) {
    const SettingRow& a = settingRows[i];
    if (a.place + placeSize(a.type) > sizeof(SettingsFile)) return false;
    for (int j = 0; j < i; j++) {
      const SettingRow& b = settingRows[j];
      bool overlap = a.place < b.place + placeSize(b.type) && b.place < a.place + placeSize(a.type);
      if (overlap) return false;
    }
  }
  return true;
}
static_assert(sizeof(float) == 4 && sizeof(int32_t) == 4, "numbers take 4 bytes");
static_assert(placesApart(), "two values of settingRows share a place in SettingsFile");

}  // namespace

int findSetting(const char* name) {
  for (int i = 0; i < settingCount; i++) {
    if (strcmp(settingRows[i].name, name) == 0) return i;
  }
  return -1;
}
