// datadir.cpp: finding the data folder at start-up, so that an installed
// game finds its data wherever it is started from, and a game started in a
// data folder (make run, the tests) keeps using that folder.
#include "app/datadir.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/data_files.h"
#include "base/printable.h"

namespace {

constexpr int kPathSize = PATH_MAX;
constexpr const char* kSuffix = "/games/velkarra3d";

// The list of places looked in, for the message when none qualifies.
struct LookedIn {
  char* text;
  int size;
  int used;
  bool full;
};

void noteLookedIn(LookedIn* looked, const char* place) {
  if (looked->full || looked->size <= 0) return;
  const char* separator = looked->used > 0 ? ", " : "";
  const int room = looked->size - looked->used;
  const int n = snprintf(looked->text + looked->used, room, "%s%s", separator, printable(place));
  if (n >= 0 && n < room - 4) {
    looked->used += n;
    return;
  }
  // Too long for the message: end the list with an ellipsis.
  looked->full = true;
  if (looked->size > 4) snprintf(looked->text + looked->size - 4, 4, "...");
}

bool holdsSettings(const char* folder) {
  char file[kPathSize];
  if (snprintf(file, sizeof file, "%s/%s", folder, dataFileNames[fileSettings]) >=
      static_cast<int>(sizeof file))
    return false;
  struct stat info;
  return stat(file, &info) == 0 && S_ISREG(info.st_mode);
}

// The folder, absolute and without symbolic links when it exists.
bool resolved(const char* folder, char* out, int outSize) {
  char real[PATH_MAX];
  const char* chosen = realpath(folder, real) ? real : folder;
  return snprintf(out, outSize, "%s", chosen) < outSize;
}

// Notes `folder` as looked in; true (with the folder in out) when it holds
// the settings file.
bool tryFolder(const char* folder, LookedIn* looked, char* out, int outSize) {
  noteLookedIn(looked, folder);
  return holdsSettings(folder) && resolved(folder, out, outSize);
}

// base + "/games/velkarra3d", when base is an absolute path (relative ones
// are ignored, as the XDG base directory rules ask) and the result fits.
bool xdgCandidate(const char* base, size_t length, char* out) {
  if (length == 0 || base[0] != '/') return false;
  while (length > 1 && base[length - 1] == '/') length--;
  return snprintf(out, kPathSize, "%.*s%s", static_cast<int>(length), base, kSuffix) < kPathSize;
}

// ../share/games/velkarra3d from the folder of the running executable.
bool besideBinary(char* out) {
  char exe[kPathSize];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return false;
  exe[n] = '\0';
  // The link names the real path, so ".." is simply the parent folder.
  for (int strip = 0; strip < 2; strip++) {
    char* slash = strrchr(exe, '/');
    if (!slash) return false;
    *slash = '\0';
  }
  return snprintf(out, kPathSize, "%s/share%s", exe, kSuffix) < kPathSize;
}

}  // namespace

bool chooseDataDir(const char* dataOption, char* out, int outSize, char* error, int errorSize) {
  const char* fromEnvironment = getenv("VELKARRA3D_DATA");
  const char* chosen = dataOption                              ? dataOption
                       : fromEnvironment && fromEnvironment[0] ? fromEnvironment
                                                               : nullptr;
  if (chosen) {
    if (resolved(chosen, out, outSize)) return true;
    snprintf(error, errorSize, "the data folder name is longer than %d bytes", outSize - 1);
    return false;
  }

  char looked[3072];
  LookedIn list = {looked, static_cast<int>(sizeof looked), 0, false};
  looked[0] = '\0';
  char candidate[kPathSize];

  if (getcwd(candidate, sizeof candidate) && tryFolder(candidate, &list, out, outSize)) return true;
  if (besideBinary(candidate) && tryFolder(candidate, &list, out, outSize)) return true;

  // A relative XDG_DATA_HOME is invalid, and counts as unset.
  const char* dataHome = getenv("XDG_DATA_HOME");
  const char* home = getenv("HOME");
  bool hasHome = false;
  if (dataHome && dataHome[0] == '/')
    hasHome = xdgCandidate(dataHome, strlen(dataHome), candidate);
  else if (home && home[0] == '/')
    hasHome = snprintf(candidate, sizeof candidate, "%s/.local/share%s", home, kSuffix) <
              static_cast<int>(sizeof candidate);
  if (hasHome && tryFolder(candidate, &list, out, outSize)) return true;

  const char* dataDirs = getenv("XDG_DATA_DIRS");
  if (!dataDirs || !dataDirs[0]) dataDirs = "/usr/local/share:/usr/share";
  for (const char* entry = dataDirs; *entry;) {
    const char* end = strchr(entry, ':');
    const size_t length = end ? static_cast<size_t>(end - entry) : strlen(entry);
    if (xdgCandidate(entry, length, candidate) && tryFolder(candidate, &list, out, outSize))
      return true;
    entry += length;
    if (*entry == ':') entry++;
  }

  snprintf(error, errorSize,
           "no data folder found (looked for %s in %s); use --data DIR or set "
           "VELKARRA3D_DATA",
           dataFileNames[fileSettings], looked);
  return false;
}
