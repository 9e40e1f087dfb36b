// bitmap.cpp: loading and converting BMP files.
#include "assets/bitmap.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

#include "shell/printable.h"

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

void printBitmapTooLarge(const char* file) {
  unsigned width = 0, height = 0;
  if (FIBITMAP* header = FreeImage_Load(FIF_BMP, file, FIF_LOAD_NOPIXELS)) {
    width = FreeImage_GetWidth(header);
    height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
  }
  printf("%s: declares %u x %u pixels, more than the game loads (at most %u a side, %u in all)\n",
         printable(file), width, height, maxBitmapSide, maxBitmapPixels);
}
