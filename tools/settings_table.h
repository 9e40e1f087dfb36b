// settings_table.h: the default tuning of the game, as one annotated table.
// settings.txt is printed from this table and nothing else, so the names,
// units and notes here are the documentation of the file's bare numbers.
#pragma once

#include <ostream>
#include <string>

enum class SettingKind { Float, Int, Word };

struct Setting {
  int read;           // which of the game's 22 formatted reads takes it (1-based)
  SettingKind kind;   // what that read's conversion expects
  const char* name;   // our name for the value
  const char* value;  // the text written to settings.txt
  const char* unit;
  const char* note;
};

// The 90 values, in file order.
const Setting* settingsTable();
int settingsCount();

// The game's read formats, one per read ("%f%f%f%d", "%s", ...).
const char* readFormat(int read);
constexpr int kReadCount = 22;

// Checks the table against the read formats: kinds in the right order,
// numbers that parse as their kind. Returns an empty string when it is
// consistent, otherwise what is wrong.
std::string checkSettingsTable();

// The value text of the named setting; throws std::out_of_range if unknown.
std::string settingValue(const std::string& name);
double settingNumber(const std::string& name);

// settings.txt: the bare values, one read per line.
std::string settingsFileText();

// A human-readable listing of the table (for --table).
void printSettingsTable(std::ostream& out);
