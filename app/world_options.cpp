// world_options.cpp: the world options through the option table, to and
// from the world record and the recording.
#include "app/world_options.h"

#include <cstdio>

#include "app/options.h"
#include "base/printable.h"
#include "game/input.h"

namespace {

const OptionRow* findWorldOption(const char* name) {
  const OptionRow* row = findOption(name);
  return row && row->changesWorld ? row : nullptr;
}

}  // namespace

bool checkWorldOption(const char* name, const char* value, char* why, int whySize) {
  const OptionRow* row = findWorldOption(name);
  if (!row) {
    char names[256] = "";
    int used = 0;
    for (const OptionRow& r : optionRows)
      if (r.changesWorld && used < static_cast<int>(sizeof names))
        used += snprintf(names + used, sizeof names - used, "%s%s", used ? ", " : "", r.name);
    snprintf(why, whySize, "'%s' is not a world option (%s)", printable(name), names);
    return false;
  }
  RunOptions scratch;
  char reason[512];
  if (applyOption(*row, value, originPlay, &scratch, reason, sizeof reason)) return true;
  snprintf(why, whySize, "%s %s", row->name, reason);
  return false;
}

void changeWorldOption(const char* name, const char* value) {
  const OptionRow* row = findWorldOption(name);
  char error[512];
  if (!row || !applyOption(*row, value, originPlay, &runOptions, error, sizeof error)) return;
  worldOptions = runOptions.world;
  char text[64];
  optionValueText(*row, runOptions, text, sizeof text);
  recordOption(row->name, text);
}

void takeRecordedWorldOptions() {
  for (const OptionRow& row : optionRows)
    if (row.changesWorld) resetOption(row, &runOptions);
  replayHeaderOptions(changeWorldOption);
}

void recordWorldOptions() {
  for (const OptionRow& row : optionRows) {
    if (!row.changesWorld) continue;
    char text[64];
    optionValueText(row, runOptions, text, sizeof text);
    recordOption(row.name, text);
  }
}

const ReplayOptionRules worldOptionRules = {checkWorldOption, changeWorldOption};
