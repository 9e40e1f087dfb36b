// dataset.cpp: the data set's hash over the files the world reads.
#include "assets/dataset.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "assets/data_files.h"
#include "assets/settings.h"
#include "base/printable.h"

namespace {

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

void mix(uint64_t* hash, const unsigned char* bytes, size_t size) {
  uint64_t h = *hash;
  for (size_t i = 0; i < size; i++) h = (h ^ bytes[i]) * kFnvPrime;
  *hash = h;
}

// The file's name, a NUL, its bytes and their count.
bool mixFile(uint64_t* hash, const char* name, char* why, int whySize) {
  FILE* file = fopen(name, "rb");
  if (!file) {
    snprintf(why, whySize, "%s: cannot open: %s", printable(name), strerror(errno));
    return false;
  }
  mix(hash, reinterpret_cast<const unsigned char*>(name), strlen(name) + 1);
  static unsigned char chunk[65536];
  uint64_t length = 0;
  for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0; length += got)
    mix(hash, chunk, got);
  const bool failed = ferror(file) != 0;
  fclose(file);
  if (failed) {
    snprintf(why, whySize, "%s: cannot read: %s", printable(name), strerror(errno));
    return false;
  }
  unsigned char count[8];
  for (int i = 0; i < 8; i++) count[i] = static_cast<unsigned char>(length >> (8 * i));
  mix(hash, count, sizeof count);
  return true;
}

// settings.txt by its values: its words, one blank between each two, so
// that the file's layout does not count.
bool mixSettingWords(uint64_t* hash, const char* name, char* why, int whySize) {
  FILE* file = fopen(name, "r");
  if (!file) {
    snprintf(why, whySize, "%s: cannot open: %s", printable(name), strerror(errno));
    return false;
  }
  mix(hash, reinterpret_cast<const unsigned char*>(name), strlen(name) + 1);
  bool blank = true;
  for (int c; (c = fgetc(file)) != EOF;) {
    const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    if (!space) {
      if (blank) mix(hash, reinterpret_cast<const unsigned char*>(" "), 1);
      const unsigned char byte = static_cast<unsigned char>(c);
      mix(hash, &byte, 1);
    }
    blank = space;
  }
  const bool failed = ferror(file) != 0;
  fclose(file);
  if (failed) snprintf(why, whySize, "%s: cannot read: %s", printable(name), strerror(errno));
  return !failed;
}

}  // namespace

bool hashDataSet(uint64_t* hash, char* why, int whySize) {
  const char* const settingsName = dataFileNames[fileSettings];
  FILE* file = fopen(settingsName, "r");
  if (!file) {
    snprintf(why, whySize, "%s: cannot open: %s", settingsName, strerror(errno));
    return false;
  }
  static SettingsFile read;
  char error[320];
  const bool ok = parseSettings(file, &read, error, sizeof error);
  fclose(file);
  if (!ok) {
    snprintf(why, whySize, "%s: %s", settingsName, error);
    return false;
  }
  *hash = kFnvOffset;
  if (!mixSettingWords(hash, settingsName, why, whySize)) return false;
  for (const ModelSection& model : read.models)
    if (!mixFile(hash, model.file, why, whySize)) return false;
  return mixFile(hash, dataFileNames[fileHeightMap], why, whySize);
}
