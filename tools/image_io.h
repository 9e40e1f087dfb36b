// image_io.h: an in-memory picture and its output through FreeImage as a
// 24-bit BMP or a 32-bit PNG. Row 0 is the top of the picture; the writer
// turns it into FreeImage's bottom-up, blue-green-red layout.
#pragma once

#include <string>
#include <vector>

struct Rgb {
  double r, g, b;
};

Rgb mixRgb(Rgb a, Rgb b, double t);
Rgb scaleRgb(Rgb c, double s);
// A colour given as 0..255 components.
Rgb rgb255(int r, int g, int b);

struct Image {
  Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4, 0.0) {}
  int width, height;
  std::vector<double> pixels;  // r, g, b, a in 0..1, rows from the top

  void set(int x, int y, Rgb c, double alpha = 1.0);
  Rgb at(int x, int y) const;
  double alphaAt(int x, int y) const { return pixels[index(x, y) + 3]; }

 private:
  size_t index(int x, int y) const { return (static_cast<size_t>(y) * width + x) * 4; }
};

// Both throw WriteError naming the path when FreeImage cannot save.
void saveBmp24(const Image& image, const std::string& path);
void savePng32(const Image& image, const std::string& path);
