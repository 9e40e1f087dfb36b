// xdg.cpp: the game's folders under the XDG config and data homes, and
// making a folder with its parents.
#include "base/xdg.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// variable's value when absolute, otherwise $HOME + fallback; then the
// game's own folder under it.
bool gameFolder(const char* variable, const char* fallback, char* out, size_t size) {
  const char* base = getenv(variable);
  int written;
  if (base && base[0] == '/') {
    written = snprintf(out, size, "%s/velkarra3d", base);
  } else {
    const char* home = getenv("HOME");
    if (!home || home[0] != '/') return false;
    written = snprintf(out, size, "%s/%s/velkarra3d", home, fallback);
  }
  return written > 0 && static_cast<size_t>(written) < size;
}

}  // namespace

bool xdgConfigFolder(char* out, size_t size) {
  return gameFolder("XDG_CONFIG_HOME", ".config", out, size);
}

bool xdgDataFolder(char* out, size_t size) {
  return gameFolder("XDG_DATA_HOME", ".local/share", out, size);
}

bool makeFolders(const char* path) {
  char part[4096];
  const size_t length = strlen(path);
  if (length == 0 || length >= sizeof part) {
    errno = ENAMETOOLONG;
    return false;
  }
  memcpy(part, path, length + 1);
  // Each prefix that ends before a '/', then the whole path.
  for (size_t i = 1; i <= length; i++) {
    if (part[i] != '/' && part[i] != '\0') continue;
    const char kept = part[i];
    part[i] = '\0';
    struct stat info;
    if (stat(part, &info) != 0) {
      // Another process may make the same folder at the same moment.
      if (mkdir(part, 0755) != 0 && errno != EEXIST) return false;
      if (stat(part, &info) != 0) return false;
    }
    if (!S_ISDIR(info.st_mode)) {
      errno = ENOTDIR;
      return false;
    }
    part[i] = kept;
  }
  return true;
}
