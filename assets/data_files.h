// data_files.h: the files of the data set that the game reads by a fixed
// name (the models are named in settings.txt instead), and the full name a
// message gives a data file.
//
// main moves into the data folder before anything is loaded, so each file
// is opened by its bare name; start-up reads them through this table, and
// main asks holdsAnyDataFile to tell a folder without a data set from one
// with a file missing.
#pragma once

#include <cstddef>
#include <cstdint>

enum DataFile : uint8_t {
  fileSettings,   // the tuning values, and the mark of a data folder
  fileHeightMap,  // the terrain's heights
  fileSand,       // the textures
  fileSky,
  fileSkyCap,
  fileGroundBox,
  fileFont,  // the HUD's text
  fileIcon,  // the window's icon
  dataFileCount
};

extern const char* const dataFileNames[dataFileCount];

// Whether folder holds at least one of the files above.
bool holdsAnyDataFile(const char* folder);

// name as a full path: as it is when it starts with '/', otherwise under the
// working directory (the data folder), with control characters and broken
// UTF-8 escaped (base/printable.h) so that it fits in a one-line message.
// The result lives in one of a few static buffers, reused in turn.
const char* dataFilePath(const char* name);
