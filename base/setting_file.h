// setting_file.h: a file of settings, one `name = value` a line, `#`
// starting a comment: each line read as the configuration file's reader
// reads it (app/config.h), and the file rewritten with some settings
// changed and every other line kept as it was (the screens' changes,
// app/screens.h).
#pragma once

#include <cstddef>

// Longest line a file of settings may hold, without its newline.
constexpr int settingLineMax = 1023;

enum SettingLine {
  settingNothing,  // blank, or a comment alone
  settingUnsplit,  // text without '=' (*name points at it)
  settingSet,      // *name and *value, without the blanks around them
};

// Reads one line (without its newline) in place: the comment cut off, the
// name and the value split at the first '='.
SettingLine parseSettingLine(char* text, char** name, char** value);

// One setting to write: its name and its value's text.
struct SettingChange {
  const char* name;
  const char* value;
};

// Writes the changes into the file at path. The last line that sets a
// change's name (as parseSettingLine reads it, past a byte order mark on
// the first line) is rewritten in place, keeping its comment, the byte
// order mark and a carriage return; a name that no line sets is appended;
// every other byte stays as it was. The new text goes to a temporary file
// in the same folder, which is renamed over the old one; a symbolic link
// is followed to its target, and a missing folder is made. False, with the
// reason in why (one line without the file's name), when the file cannot
// be read or written; it is then left as it was. May allocate.
bool rewriteSettingsFile(const char* path, const SettingChange* changes, int count, char* why,
                         int whySize);
