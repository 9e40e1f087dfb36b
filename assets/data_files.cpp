// data_files.cpp: the data set's fixed file names, and their full names for
// messages.
#include "assets/data_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "base/printable.h"

const char* const dataFileNames[dataFileCount] = {"settings.txt", "ground.bmp", "sand.bmp",
                                                  "sky.bmp",      "sky_up.bmp", "ground_box.bmp",
                                                  "font.glf",     "icon.png"};

bool holdsAnyDataFile(const char* folder) {
  for (const char* name : dataFileNames) {
    char path[4200];
    struct stat info;
    if (snprintf(path, sizeof path, "%s/%s", folder, name) < static_cast<int>(sizeof path) &&
        stat(path, &info) == 0)
      return true;
  }
  return false;
}

const char* dataFilePath(const char* name) {
  char full[4200];
  char folder[4096];
  if (!name || name[0] == '/' || !getcwd(folder, sizeof folder))
    snprintf(full, sizeof full, "%s", name ? name : "");
  else
    snprintf(full, sizeof full, "%s/%s", folder, name);
  // A folder name may be long: the whole path is kept, escaped.
  static char buffers[3][sizeof full * 4 + 8];
  static int next;
  char* out = buffers[next];
  next = (next + 1) % 3;
  escapeInto(full, sizeof full, out, sizeof buffers[0]);
  return out;
}
