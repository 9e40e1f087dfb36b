// settings_file.h: settings.txt of the default data set and its listing,
// both printed from the game's own table (assets/settings_table.cpp), and
// the defaults by the names the game's messages use. The tool's main writes
// the file and the listing; the model and height map writers look up the
// few defaults they depend on.
#pragma once

#include <ostream>
#include <string>

// The default text of the named value ("arenaHalfSize", "plane model file");
// throws std::out_of_range if the table has no such name.
std::string settingValue(const std::string& name);
double settingNumber(const std::string& name);

// settings.txt: the defaults, each on its row's line, separated by spaces.
std::string settingsFileText();

// A human-readable listing of the table (for --table).
void printSettingsTable(std::ostream& out);
