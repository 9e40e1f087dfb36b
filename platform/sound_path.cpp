// sound_path.cpp: turns the game's sound names ("s\\tada.wav") into paths.
#include "platform/platform.h"

bool platSoundPath(const char* name, char* out, int size) {
  if (size <= 0) return false;
  int i = 0;
  for (; name[i] != '\0'; i++) {
    if (i + 1 >= size) {
      out[0] = '\0';
      return false;
    }
    out[i] = name[i] == '\\' ? '/' : name[i];
  }
  out[i] = '\0';
  return true;
}
