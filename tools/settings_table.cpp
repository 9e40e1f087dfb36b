// settings_table.cpp: every tuning value of the game with its name, unit and
// meaning. Edit the value column to retune; the tool checks the table against
// the order in which the game reads settings.txt before writing anything.
#include "tools/settings_table.h"

#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <stdexcept>

namespace {

using K = SettingKind;

// Model sections: file name, flipNormals, scale, translation x y z (added
// before the scale), turn about +z and about -y in degrees. Our meshes are
// built at their final size with the nose along +x, so they need no turn.
// The bomb is the exception: the game stretches it after its turns by
// 0.5 x scale along x and 5 x scale along y and z, and bomb.off is built
// shrunk by that stretch for a scale of 0.2 (see models.cpp), so 0.2 shows
// the bomb at its designed size, 0.8 long.
const Setting kTable[] = {
    {1, K::Float, "arenaHalfSize", "25", "units", "planes bounce at +-this; terrain spans 2.25x"},
    {1, K::Float, "planeMinAltitude", "8", "units", "lowest altitude of a new plane"},
    {1, K::Float, "planeMaxAltitude", "16", "units", "highest altitude; shells vanish above 2x"},
    {1, K::Int, "livesPerLevel", "3", "lives",
     "lives at each level start; a bomb on the cannon takes one"},

    {2, K::Word, "plane.file", "plane.off", "", "plane model"},
    {3, K::Int, "plane.flipNormals", "0", "", "0: faces are wound outward"},
    {3, K::Float, "plane.scale", "1", "", ""},
    {3, K::Float, "plane.x", "0", "model units", ""},
    {3, K::Float, "plane.y", "0", "model units", ""},
    {3, K::Float, "plane.z", "0", "model units", ""},
    {3, K::Float, "plane.turnZ", "0", "degrees", ""},
    {3, K::Float, "plane.turnY", "0", "degrees", ""},

    {4, K::Int, "planesBase", "3", "planes", "level n has planesBase + n - 1 planes"},
    {4, K::Float, "planeSpeed", "5", "units/s", "fast enough that a shell must lead a plane"},
    {4, K::Float, "trooperDropMin", "5", "s", "time between two troopers of one plane"},
    {4, K::Float, "trooperDropMax", "10", "s", ""},
    {4, K::Float, "bombDropMin", "8", "s", "time between two bombs of one plane"},
    {4, K::Float, "bombDropMax", "16", "s", ""},
    {4, K::Float, "planeTurnMin", "3", "s", "time between two heading changes"},
    {4, K::Float, "planeTurnMax", "8", "s", ""},

    {5, K::Word, "trooper.file", "trooper.off", "", "trooper body, feet at the origin"},
    {6, K::Int, "trooper.flipNormals", "0", "", ""},
    {6, K::Float, "trooper.scale", "1", "", ""},
    {6, K::Float, "trooper.x", "0", "model units", ""},
    {6, K::Float, "trooper.y", "0", "model units", ""},
    {6, K::Float, "trooper.z", "0", "model units", ""},
    {6, K::Float, "trooper.turnZ", "0", "degrees", ""},
    {6, K::Float, "trooper.turnY", "0", "degrees", ""},

    {7, K::Word, "chute.file", "chute.off", "", "parachute, canopy about 2 above the feet"},
    {8, K::Int, "chute.flipNormals", "0", "", ""},
    {8, K::Float, "chute.scale", "1", "", ""},
    {8, K::Float, "chute.x", "0", "model units", ""},
    {8, K::Float, "chute.y", "0", "model units", ""},
    {8, K::Float, "chute.z", "0", "model units", ""},
    {8, K::Float, "chute.turnZ", "0", "degrees", ""},
    {8, K::Float, "chute.turnY", "0", "degrees", ""},

    {9, K::Float, "shotFallSpeedLimit", "-12", "units/s",
     "floor of vz once the chute is shot away"},
    {9, K::Float, "chuteFallSpeedLimit", "-1.5", "units/s", "ceiling of vz under the open chute"},
    {9, K::Float, "freeFallAccel", "-9.8", "units/s^2", "vz change without an open chute"},
    {9, K::Float, "chuteAccel", "12", "units/s^2", "vz change under the open chute (brakes)"},
    {9, K::Float, "chuteOpenDelay", "0.8", "s", "free fall before the chute opens"},

    {10, K::Word, "bomb.file", "bomb.off", "", "bomb, built pre-shrunk for the stretch"},
    {11, K::Int, "bomb.flipNormals", "0", "", ""},
    {11, K::Float, "bomb.scale", "0.2", "", "0.2: designed size; stretch 0.1, 1, 1"},
    {11, K::Float, "bomb.x", "0", "model units", ""},
    {11, K::Float, "bomb.y", "0", "model units", ""},
    {11, K::Float, "bomb.z", "0", "model units", ""},
    {11, K::Float, "bomb.turnZ", "0", "degrees", ""},
    {11, K::Float, "bomb.turnY", "0", "degrees", ""},

    {12, K::Float, "bombSpeed", "4", "units/s",
     "about six seconds from a plane to the cannon: time to shoot it"},
    {12, K::Float, "unused1", "0", "", "read and ignored by the game"},

    {13, K::Word, "shell.file", "shell.off", "", "cannon shell"},
    {14, K::Int, "shell.flipNormals", "0", "", ""},
    {14, K::Float, "shell.scale", "1", "", ""},
    {14, K::Float, "shell.x", "0", "model units", ""},
    {14, K::Float, "shell.y", "0", "model units", ""},
    {14, K::Float, "shell.z", "0", "model units", ""},
    {14, K::Float, "shell.turnZ", "0", "degrees", ""},
    {14, K::Float, "shell.turnY", "0", "degrees", ""},

    {15, K::Float, "shellSpeed", "40", "units/s",
     "with the 0.6-long tracer, no target is skipped between frames at 30 fps and more"},

    {16, K::Float, "planeBlastSize", "0.5", "units", "starting shard size"},
    {16, K::Int, "planeBlastCount", "30", "shards", "the pool holds 128"},
    {16, K::Float, "trooperBlastSize", "0.25", "units", ""},
    {16, K::Int, "trooperBlastCount", "14", "shards", ""},
    {16, K::Float, "chuteBlastSize", "0.35", "units", ""},
    {16, K::Int, "chuteBlastCount", "14", "shards", ""},
    {16, K::Float, "impactBlastSize", "0.25", "units", "bombs, shells, missile"},
    {16, K::Int, "impactBlastCount", "10", "shards", ""},

    {17, K::Float, "shardSpeed", "6", "units/s", ""},
    {17, K::Float, "shardGravity", "-5", "units/s^2", ""},
    {17, K::Float, "shardDecay", "0.4", "per s", "size factor per second; shards end below 0.1"},

    {18, K::Word, "missile.file", "missile.off", "", "guided missile"},
    {19, K::Int, "missile.flipNormals", "0", "", ""},
    {19, K::Float, "missile.scale", "1", "", ""},
    {19, K::Float, "missile.x", "0", "model units", ""},
    {19, K::Float, "missile.y", "0", "model units", ""},
    {19, K::Float, "missile.z", "0", "model units", ""},
    {19, K::Float, "missile.turnZ", "0", "degrees", ""},
    {19, K::Float, "missile.turnY", "0", "degrees", ""},

    {20, K::Float, "missileSpeed", "12", "units/s", ""},
    {20, K::Float, "unused2", "0", "", "read and ignored by the game"},
    {20, K::Float, "missileLifetime", "6", "s", ""},

    {21, K::Word, "cannon.file", "cannon.off", "", "the player's cannon, standing on z = 0"},
    {22, K::Int, "cannon.flipNormals", "0", "", ""},
    {22, K::Float, "cannon.scale", "1", "", ""},
    {22, K::Float, "cannon.x", "0", "model units", ""},
    {22, K::Float, "cannon.y", "0", "model units", ""},
    {22, K::Float, "cannon.z", "0", "model units", ""},
    {22, K::Float, "cannon.turnZ", "0", "degrees", ""},
    {22, K::Float, "cannon.turnY", "0", "degrees", ""},
};

const char* const kReadFormats[kReadCount] = {
    "%f%f%f%d",
    "%s",
    "%d%f%f%f%f%f%f",
    "%d%f%f%f%f%f%f%f",
    "%s",
    "%d%f%f%f%f%f%f",
    "%s",
    "%d%f%f%f%f%f%f",
    "%f%f%f%f%f",
    "%s",
    "%d%f%f%f%f%f%f",
    "%f%f",
    "%s",
    "%d%f%f%f%f%f%f",
    "%f",
    "%f%d%f%d%f%d%f%d",
    "%f%f%f",
    "%s",
    "%d%f%f%f%f%f%f",
    "%f%f%f",
    "%s",
    "%d%f%f%f%f%f%f",
};

constexpr int kCount = sizeof(kTable) / sizeof(kTable[0]);

SettingKind kindOf(char conversion) {
  if (conversion == 'd') return K::Int;
  if (conversion == 's') return K::Word;
  return K::Float;
}

bool parsesAs(const char* text, SettingKind kind) {
  if (*text == '\0') return false;
  char* end = nullptr;
  if (kind == K::Int) {
    std::strtol(text, &end, 10);
    return *end == '\0';
  }
  if (kind == K::Float) {
    std::strtod(text, &end);
    return *end == '\0';
  }
  for (const char* c = text; *c; ++c) {
    if (*c == ' ' || *c == '\t' || *c == '\n' || *c == '\r') return false;
  }
  return std::strlen(text) <= 255;
}

const char* kindName(SettingKind kind) {
  return kind == K::Int ? "int" : kind == K::Word ? "word" : "float";
}

}  // namespace

const Setting* settingsTable() { return kTable; }
int settingsCount() { return kCount; }
const char* readFormat(int read) { return kReadFormats[read - 1]; }

std::string checkSettingsTable() {
  int row = 0;
  for (int read = 1; read <= kReadCount; ++read) {
    for (const char* f = readFormat(read); *f; f += 2) {
      if (row >= kCount) return "table ends inside read " + std::to_string(read);
      const Setting& s = kTable[row];
      if (s.read != read || s.kind != kindOf(f[1])) {
        return std::string(s.name) + " should be a " + kindName(kindOf(f[1])) + " of read " +
               std::to_string(read);
      }
      if (!parsesAs(s.value, s.kind)) {
        return std::string(s.name) + " = \"" + s.value + "\" is not a " + kindName(s.kind);
      }
      ++row;
    }
  }
  if (row != kCount) return "table has values after the last read";
  return "";
}

std::string settingValue(const std::string& name) {
  for (const Setting& s : kTable) {
    if (name == s.name) return s.value;
  }
  throw std::out_of_range("no setting named " + name);
}

double settingNumber(const std::string& name) {
  return std::strtod(settingValue(name).c_str(), nullptr);
}

std::string settingsFileText() {
  std::string text;
  for (int i = 0; i < kCount; ++i) {
    text += kTable[i].value;
    bool lastOfRead = i + 1 == kCount || kTable[i + 1].read != kTable[i].read;
    text += lastOfRead ? "\n" : " ";
  }
  return text;
}

void printSettingsTable(std::ostream& out) {
  out << "read  name                  value       unit         note\n";
  for (const Setting& s : kTable) {
    std::ostringstream line;
    line << std::left << std::setw(6) << s.read << std::setw(22) << s.name << std::setw(12)
         << s.value << std::setw(13) << s.unit << s.note;
    std::string text = line.str();
    text.erase(text.find_last_not_of(' ') + 1);
    out << text << "\n";
  }
}
