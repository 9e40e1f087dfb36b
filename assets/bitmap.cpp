// bitmap.cpp: loading and converting BMP files.
#include "assets/bitmap.h"

#include <sys/stat.h>

FIBITMAP* loadBitmap24(const char* file, int width, int height, bool tallerIsFine,
                       BitmapResult* result) {
  FIBITMAP* bitmap = FreeImage_Load(FIF_BMP, file, 0);
  if (!bitmap) {
    struct stat info;
    *result = stat(file, &info) == 0 ? bitmapUnreadable : bitmapMissing;
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
