// bitmap.cpp: loading and converting BMP files.
#include "assets/bitmap.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

#include "assets/data_files.h"
#include "base/program.h"

namespace {

// Whether an uncompressed BMP file is too short to hold the pixel rows its
// header declares. FreeImage allocates and clears the whole picture before
// it finds the data missing, so a file of a few bytes could still cost
// hundreds of megabytes. Compressed bitmaps and headers this cannot read
// are left to FreeImage.
bool shorterThanDeclared(const char* file, uint64_t width, uint64_t height) {
  unsigned char h[34];
  FILE* f = fopen(file, "rb");
  if (!f) return false;
  size_t got = fread(h, 1, sizeof h, f);
  bool sized = fseek(f, 0, SEEK_END) == 0;
  long size = sized ? ftell(f) : -1;
  fclose(f);
  if (got < 26 || size < 0) return false;
  auto le16 = [&](int at) { return static_cast<uint32_t>(h[at] | h[at + 1] << 8); };
  uint32_t infoSize = le16(14) | le16(16) << 16;
  uint32_t bitsPerPixel, compression;
  if (infoSize == 12) {  // the OS/2 header: never compressed
    bitsPerPixel = le16(24);
    compression = 0;
  } else if (infoSize >= 40 && got == sizeof h) {
    bitsPerPixel = le16(28);
    compression = le16(30) | le16(32) << 16;
  } else {
    return false;
  }
  const uint32_t rgb = 0, bitfields = 3, alphaBitfields = 6;
  if (compression != rgb && compression != bitfields && compression != alphaBitfields) return false;
  uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
  return rowBytes * height > static_cast<uint64_t>(size);
}

}  // namespace

FIBITMAP* loadBitmap24(const char* file, int width, int height, bool tallerIsFine,
                       BitmapResult* result) {
  // The header alone first: a file of a few bytes may declare a picture of
  // billions of pixels, which must not be decoded.
  FIBITMAP* header = FreeImage_Load(FIF_BMP, file, FIF_LOAD_NOPIXELS);
  if (!header) {
    struct stat info;
    *result = stat(file, &info) == 0 ? bitmapUnreadable : bitmapMissing;
    return nullptr;
  }
  uint64_t declaredWidth = FreeImage_GetWidth(header);
  uint64_t declaredHeight = FreeImage_GetHeight(header);
  FreeImage_Unload(header);
  if (declaredWidth > maxBitmapSide || declaredHeight > maxBitmapSide ||
      declaredWidth * declaredHeight > maxBitmapPixels) {
    *result = bitmapTooLarge;
    return nullptr;
  }
  if (shorterThanDeclared(file, declaredWidth, declaredHeight)) {
    *result = bitmapTruncated;
    return nullptr;
  }
  FIBITMAP* bitmap = FreeImage_Load(FIF_BMP, file, 0);
  if (!bitmap) {
    *result = bitmapUnreadable;
    return nullptr;
  }
  if (FreeImage_GetBPP(bitmap) != 24) {
    FIBITMAP* converted = FreeImage_ConvertTo24Bits(bitmap);
    FreeImage_Unload(bitmap);
    bitmap = converted;
  }
  if (bitmap) {
    int w = static_cast<int>(FreeImage_GetWidth(bitmap));
    int h = static_cast<int>(FreeImage_GetHeight(bitmap));
    if (w != width || (tallerIsFine ? h < height : h != height)) {
      FIBITMAP* scaled = FreeImage_Rescale(bitmap, width, height, FILTER_BILINEAR);
      FreeImage_Unload(bitmap);
      bitmap = scaled;
    }
  }
  if (!bitmap || FreeImage_GetPitch(bitmap) != static_cast<unsigned>((width * 3 + 3) & ~3)) {
    if (bitmap) FreeImage_Unload(bitmap);
    *result = bitmapUnconvertible;
    return nullptr;
  }
  *result = bitmapLoaded;
  return bitmap;
}

void reportBitmapFailure(const char* role, const char* file, BitmapResult result, int width,
                         int height) {
  unsigned declaredWidth = 0, declaredHeight = 0;
  if (FIBITMAP* header = FreeImage_Load(FIF_BMP, file, FIF_LOAD_NOPIXELS)) {
    declaredWidth = FreeImage_GetWidth(header);
    declaredHeight = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
  }
  char why[200];
  switch (result) {
    case bitmapTooLarge:
      snprintf(why, sizeof why,
               "it declares %u x %u pixels, more than the game loads (at most %u a side, %u in "
               "all)",
               declaredWidth, declaredHeight, maxBitmapSide, maxBitmapPixels);
      break;
    case bitmapTruncated:
      snprintf(why, sizeof why, "the file is too short for the %u x %u pixels it declares",
               declaredWidth, declaredHeight);
      break;
    case bitmapUnreadable:
      snprintf(why, sizeof why, "not a readable BMP bitmap");
      break;
    case bitmapUnconvertible:
      snprintf(why, sizeof why, "cannot convert it to a %d x %d 24-bit bitmap", width, height);
      break;
    case bitmapMissing:
    case bitmapLoaded:
      snprintf(why, sizeof why, "the file is missing");
      break;
  }
  fprintf(stderr, "%s: cannot load the %s '%s': %s\n", programName, role, dataFilePath(file), why);
}
