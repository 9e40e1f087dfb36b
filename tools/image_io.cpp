// image_io.cpp: FreeImage output of generated pictures.
#include "tools/image_io.h"

#include <FreeImage.h>

#include <cmath>

#include "tools/data_writer.h"

Rgb mixRgb(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaleRgb(Rgb c, double s) { return {c.r * s, c.g * s, c.b * s}; }

Rgb rgb255(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

void Image::set(int x, int y, Rgb c, double alpha) {
  size_t i = index(x, y);
  pixels[i] = c.r;
  pixels[i + 1] = c.g;
  pixels[i + 2] = c.b;
  pixels[i + 3] = alpha;
}

Rgb Image::at(int x, int y) const {
  size_t i = index(x, y);
  return {pixels[i], pixels[i + 1], pixels[i + 2]};
}

namespace {

BYTE toByte(double v) {
  double c = std::round(v * 255.0);
  return static_cast<BYTE>(c < 0 ? 0 : c > 255 ? 255 : c);
}

void save(const Image& image, const std::string& path, int bpp, FREE_IMAGE_FORMAT format) {
  FIBITMAP* dib = FreeImage_Allocate(image.width, image.height, bpp);
  if (!dib) throw WriteError("cannot write " + path + ": out of memory");
  int step = bpp / 8;
  for (int y = 0; y < image.height; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, image.height - 1 - y);
    for (int x = 0; x < image.width; ++x) {
      Rgb c = image.at(x, y);
      BYTE* p = line + x * step;
      p[FI_RGBA_RED] = toByte(c.r);
      p[FI_RGBA_GREEN] = toByte(c.g);
      p[FI_RGBA_BLUE] = toByte(c.b);
      if (step == 4) p[FI_RGBA_ALPHA] = toByte(image.alphaAt(x, y));
    }
  }
  BOOL ok = FreeImage_Save(format, dib, path.c_str(), 0);
  FreeImage_Unload(dib);
  if (!ok) throw WriteError("cannot write " + path);
}

}  // namespace

void saveBmp24(const Image& image, const std::string& path) { save(image, path, 24, FIF_BMP); }

void savePng32(const Image& image, const std::string& path) { save(image, path, 32, FIF_PNG); }
