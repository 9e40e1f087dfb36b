// settings_file.cpp: the default settings.txt and the --table listing,
// written from the game's table of settings.
#include "tools/settings_file.h"

#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <stdexcept>

#include "assets/settings.h"

namespace {

const char* typeName(SettingType type) {
  switch (type) {
    case settingFloat:
      return "float";
    case settingWhole:
      return "whole";
    case settingSeconds:
      return "seconds";
    case settingWord:
      return "word";
    case settingIgnored:
      return "ignored";
  }
  return "?";
}

}  // namespace

std::string settingValue(const std::string& name) {
  int index = findSetting(name.c_str());
  if (index < 0) throw std::out_of_range("no setting named " + name);
  return settingRows[index].defaultText;
}

double settingNumber(const std::string& name) {
  return std::strtod(settingValue(name).c_str(), nullptr);
}

std::string settingsFileText() {
  std::string text;
  for (int i = 0; i < settingCount; ++i) {
    text += settingRows[i].defaultText;
    bool lastOnLine = i + 1 == settingCount || settingRows[i + 1].line != settingRows[i].line;
    text += lastOnLine ? "\n" : " ";
  }
  return text;
}

void printSettingsTable(std::ostream& out) {
  out << "line  name                            type     default     unit         note\n";
  for (const SettingRow& row : settingRows) {
    std::ostringstream line;
    line << std::left << std::setw(6) << row.line << std::setw(32) << row.name << std::setw(9)
         << typeName(row.type) << std::setw(12) << row.defaultText << std::setw(13) << row.unit
         << row.note;
    std::string text = line.str();
    text.erase(text.find_last_not_of(' ') + 1);
    out << text << "\n";
  }
}
