// bitmaps.cpp: the terrain height map, the sand texture and the window icon.
#include "tools/bitmaps.h"

#include <cmath>
#include <filesystem>
#include <string>

#include "tools/data_writer.h"
#include "tools/image_io.h"
#include "tools/noise.h"
#include "tools/settings_file.h"

namespace {

constexpr int kMapSize = 384;  // the game reads exactly this many columns
constexpr int kSandSize = 256;
constexpr int kIconSize = 32;

// The icon's art at size x size pixels. The shapes are laid out on a
// 32-pixel grid and scaled, so every size shows the same sight, and size 32
// is the window icon itself.
Image drawIcon(int size) {
  // A ring with four ticks and a centre dot, drawn in red over a dark
  // outline, 4 x 4 samples per pixel for smooth edges.
  const Rgb red = rgb255(230, 40, 28), outline = rgb255(30, 16, 12);
  const double grid = static_cast<double>(kIconSize) / size;
  auto coverage = [](double px, double py, double grow) {
    double cx = px - kIconSize / 2.0, cy = py - kIconSize / 2.0;
    double r = std::hypot(cx, cy);
    bool ring = std::fabs(r - 10.5) < 1.3 + grow;
    bool dot = r < 1.8 + grow;
    double ax = std::fabs(cx), ay = std::fabs(cy);
    bool tickX = ay < 1.0 + grow && ax > 5 - grow && ax < 15 + grow;
    bool tickY = ax < 1.0 + grow && ay > 5 - grow && ay < 15 + grow;
    return ring || dot || tickX || tickY;
  };
  Image icon(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double ink = 0, edge = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          double px = (x + (sx + 0.5) / 4) * grid, py = (y + (sy + 0.5) / 4) * grid;
          ink += coverage(px, py, 0) ? 1 / 16.0 : 0;
          edge += coverage(px, py, 1.0) ? 1 / 16.0 : 0;
        }
      }
      double alpha = std::fmax(ink, edge);
      Rgb c = alpha > 0 ? mixRgb(outline, red, ink / alpha) : Rgb{0, 0, 0};
      icon.set(x, y, c, alpha);
    }
  }
  return icon;
}

}  // namespace

// Heights in world units. The cannon's square is a flat dip a little below
// 0 (so a shell fired level bursts at once but the view is clear); the arena
// rolls gently; towards its walls hills rise to the map's limit of 2, with
// valleys between them.
double terrainHeightAt(double x, double y, double arenaHalfSize) {
  const double a = arenaHalfSize;
  const double d = std::hypot(x, y) / a;  // 1 at the arena's inscribed circle
  const double warp = fractalNoise(x / a * 1.5, y / a * 1.5, 11, 3);

  const double rolling = fractalNoise(x / a * 2.6, y / a * 2.6, 21, 3) * 0.9 + 0.1;
  const double plain = -0.2 + smoothstep(0.12, 0.45, d) * rolling;

  const double rise = smoothstep(0.9, 1.5, d + 0.25 * warp);
  const double ridges = 1 - std::fabs(fractalNoise(x / a * 1.6, y / a * 1.6, 31, 3));
  const double hills = rise * (0.1 + 2.2 * std::pow(ridges, 3));

  const double sink = smoothstep(0.9, 1.6, d);
  const double valleyNoise = fractalNoise(x / a * 1.2, y / a * 1.2, 41, 3);
  const double valleys = sink * 5.0 * std::fmax(0.0, -valleyNoise - 0.15);

  double h = plain + hills - valleys;
  if (h > 1.2) h = 1.2 + 0.8 * std::tanh((h - 1.2) / 0.8);  // round off the tops below 2
  return h < -8.2 ? -8.2 : h;
}

void writeHeightMap(const DataFolder& folder) {
  const double arena = settingNumber("arenaHalfSize");
  const double half = arena * 2.25;  // the terrain spans +-2.25 arena half sizes
  Image map(kMapSize, kMapSize);
  for (int row = 0; row < kMapSize; ++row) {
    // The picture's bottom row is the game's scan line 0, at y = -half.
    double y = (1.0 - 2.0 * row / (kMapSize - 1)) * half;
    for (int col = 0; col < kMapSize; ++col) {
      double x = (2.0 * col / (kMapSize - 1) - 1.0) * half;
      double value = std::round((2.0 - terrainHeightAt(x, y, arena)) / 0.04) / 255.0;
      map.set(col, row, {value, value, value});
    }
  }
  saveBmp24(map, folder.path("ground.bmp"));
}

void writeSand(const DataFolder& folder) {
  // Periodic noise: the lattice of the coarsest octave has `cells` cells
  // across the texture, so every octave wraps at the texture's edge.
  const int cells = 8;
  const double scale = static_cast<double>(cells) / kSandSize;
  const Rgb light = rgb255(222, 196, 148), dark = rgb255(178, 144, 98);
  Image sand(kSandSize, kSandSize);
  for (int y = 0; y < kSandSize; ++y) {
    for (int x = 0; x < kSandSize; ++x) {
      double u = x * scale, v = y * scale;
      double mottle = fractalNoise(u, v, 51, 4, 0.55, cells, cells);
      // Wind ripples: whole cycles across the tile, bent by the mottling.
      double ripple = std::sin(2 * 3.14159265358979 * (3 * x + 5 * y) / kSandSize + 3.0 * mottle);
      uint32_t h = hash32(static_cast<uint32_t>(y * kSandSize + x) ^ 0x5eedu);
      double grain = (h & 0xff) / 255.0 - 0.5;
      double dark2 = ((h >> 8) & 0xff) < 10 ? 0.25 : 0.0;  // scattered darker grains
      double t = clamp01(0.5 + 0.55 * mottle + 0.08 * ripple + 0.35 * grain + dark2);
      sand.set(x, y, mixRgb(light, dark, t));
    }
  }
  saveBmp24(sand, folder.path("sand.bmp"));
}

void writeIcon(const DataFolder& folder) {
  savePng32(drawIcon(kIconSize), folder.path("icon.png"));
}

void writeDesktopIcons(const std::string& folder) {
  for (int size : kDesktopIconSizes) {
    const std::string side = std::to_string(size);
    const std::filesystem::path apps = std::filesystem::path(folder) / (side + "x" + side) / "apps";
    std::error_code ec;
    std::filesystem::create_directories(apps, ec);
    if (ec) throw WriteError("cannot create folder " + apps.string() + ": " + ec.message());
    savePng32(drawIcon(size), (apps / "velkarra3d.png").string());
  }
}
