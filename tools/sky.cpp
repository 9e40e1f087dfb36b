// sky.cpp: the sky cylinder's wall (sky.bmp), top cap (sky_up.bmp) and
// bottom cap (ground_box.bmp). The wall is 100 units in radius and runs from
// 50 below to 50 above the viewer, with t = 0 at the bottom and 0.99 at the
// top, so the horizon is near the middle row; its s runs once around.
#include <cmath>

#include "assets/sky_cap.h"
#include "tools/bitmaps.h"
#include "tools/data_writer.h"
#include "tools/image_io.h"
#include "tools/noise.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWallWidth = 1024, kWallHeight = 256;
constexpr int kCapSize = 256, kBottomSize = 64;
constexpr int kAroundCells = 16;  // noise cells once around the wall

// The colours where the pieces meet.
const Rgb kZenith = rgb255(38, 84, 168);
const Rgb kWallTop = rgb255(62, 114, 190);
const Rgb kHorizon = rgb255(196, 216, 232);
const Rgb kHaze = rgb255(208, 214, 218);
const Rgb kFarHills = rgb255(118, 134, 138);
const Rgb kNearGround = rgb255(132, 116, 84);
const Rgb kBottom = rgb255(66, 54, 38);
const Rgb kCloud = rgb255(248, 248, 250), kCloudShade = rgb255(196, 202, 214);

// Elevation in degrees, seen from the cylinder's axis, of texel row `row`
// counted from the bottom.
double elevationOfRow(int row) {
  double t = (row + 0.5) / kWallHeight;
  double z = t / 0.99 * 100 - 50;
  return std::atan2(z, 100) * 180 / kPi;
}

// Cloud cover, 0..1, at a point of a noise plane whose x wraps after
// `period` cells; `sparse` raises the threshold, fewer octaves give
// smoother edges.
double cloudCover(double u, double v, int period, double sparse, int octaves) {
  double n = fractalNoise(u, v, 61, octaves, 0.5, period, 0);
  return smoothstep(0.05 + sparse, 0.45 + sparse, n);
}

// The point of the top cap at which the texel at (s, t) is drawn: x and y
// in units of the rim's radius, and how far it lies from the centre
// towards the rim, 0 to 1 (which is also its distance from the texture's
// centre towards the square's border: both run along the same fan
// triangle).
struct CapPoint {
  double x, y, towardsRim;
};

CapPoint capPointOf(double s, double t) {
  const double ds = s - 0.5, dt = t - 0.5;
  for (int k = 0; k < skyCapSegments; ++k) {
    // (s, t) = centre + b (P_k - centre) + c (P_k+1 - centre), within the
    // triangle when b, c and b + c lie in 0..1.
    const double s0 = skyCapS[k] - 0.5, t0 = skyCapT[k] - 0.5;
    const double s1 = skyCapS[k + 1] - 0.5, t1 = skyCapT[k + 1] - 0.5;
    const double det = s0 * t1 - s1 * t0;
    const double b = (ds * t1 - s1 * dt) / det, c = (s0 * dt - ds * t0) / det;
    const double eps = 1e-9;
    if (b < -eps || c < -eps || b + c > 1 + eps) continue;
    const double a0 = k * static_cast<double>(skyCapAngleStep);
    const double a1 = (k + 1) * static_cast<double>(skyCapAngleStep);
    // b + c, the distance towards the border in the square's own measure.
    return {b * std::cos(a0) + c * std::cos(a1), b * std::sin(a0) + c * std::sin(a1),
            std::fmax(std::fabs(2 * ds), std::fabs(2 * dt))};
  }
  return {0, 0, 0};  // not reached: the triangles cover the square
}

Rgb cloudColour(double cover, double shadeNoise) {
  return mixRgb(kCloudShade, kCloud, clamp01(0.55 + 0.6 * cover + 0.3 * shadeNoise));
}

Rgb wallColour(int x, int row) {
  const double e = elevationOfRow(row);
  const double u = static_cast<double>(x) / kWallWidth * kAroundCells;
  if (e >= 0) {
    Rgb sky = mixRgb(kHorizon, kWallTop, std::pow(smoothstep(0, 26.8, e), 0.6));
    // Clouds flatten towards the horizon; none in the top rows, so the
    // wall meets the top cap's plain border.
    double band = smoothstep(1.0, 4.0, e) * (1 - smoothstep(18.0, 25.0, e));
    double cover = cloudCover(u, e / 5.5, kAroundCells, 0.04, 5) * band;
    double shade = fractalNoise(u * 2, e / 3, 67, 3, 0.5, kAroundCells * 2, 0);
    sky = mixRgb(sky, cloudColour(cover, shade), 0.9 * cover);
    return mixRgb(sky, kHaze, 1 - smoothstep(0, 2.5, e));
  }
  // Below the horizon: far hills fading into the haze, then ground.
  double depth = -e;  // degrees below the horizon
  Rgb ground = mixRgb(kNearGround, kBottom, std::pow(smoothstep(1.0, 26.6, depth), 0.7));
  double texture = fractalNoise(u * 4, depth / 1.5, 73, 3, 0.5, kAroundCells * 4, 0);
  ground = scaleRgb(ground, 1 + 0.08 * texture);
  return mixRgb(ground, kFarHills, 1 - smoothstep(0.3, 2.0, depth));
}

}  // namespace

void writeSky(const DataFolder& folder) {
  Image wall(kWallWidth, kWallHeight);
  for (int y = 0; y < kWallHeight; ++y) {
    int row = kWallHeight - 1 - y;  // counted from the bottom
    for (int x = 0; x < kWallWidth; ++x) wall.set(x, y, wallColour(x, row));
  }
  // Far hills rise just above the horizon, drawn over the haze.
  for (int x = 0; x < kWallWidth; ++x) {
    double u = static_cast<double>(x) / kWallWidth * kAroundCells;
    double hill = 0.5 + 0.5 * fractalNoise(u * 1.5, 0.5, 71, 4, 0.5, kAroundCells * 3 / 2, 0);
    double topDegrees = 0.2 + 2.6 * std::pow(hill, 1.6);
    for (int row = 0; row < kWallHeight; ++row) {
      double e = elevationOfRow(row);
      if (e < 0 || e > topDegrees + 0.5) continue;
      double inside = clamp01((topDegrees - e) / 0.4 + 0.5);  // soft top edge
      int y = kWallHeight - 1 - row;
      Rgb hills = mixRgb(kFarHills, kHaze, 0.25 * smoothstep(0, topDegrees, e));
      wall.set(x, y, mixRgb(wall.at(x, y), hills, inside));
    }
  }
  saveBmp24(wall, folder.path("sky.bmp"));

  // Top cap: its border runs round the cylinder's top rim, its centre is
  // overhead. Deeper blue overhead, a few clouds, plain at the border. The
  // fan of triangles the cap is drawn with folds the square picture at its
  // seams, so each texel's clouds are those of the point of the cap it is
  // drawn at: drawn, they run on across the seams.
  Image cap(kCapSize, kCapSize);
  for (int y = 0; y < kCapSize; ++y) {
    for (int x = 0; x < kCapSize; ++x) {
      // Texture coordinates: t runs up from the picture's bottom row.
      const CapPoint p = capPointOf((x + 0.5) / kCapSize, (kCapSize - y - 0.5) / kCapSize);
      Rgb c = mixRgb(kZenith, kWallTop, std::pow(p.towardsRim, 1.8));
      const double r = std::hypot(p.x, p.y);
      double cover =
          cloudCover(p.x * 3 + 5, p.y * 3 + 2, 0, 0.12, 4) * (1 - smoothstep(0.45, 0.75, r));
      double shade = fractalNoise(p.x * 6, p.y * 6, 67, 3);
      cap.set(x, y, mixRgb(c, cloudColour(cover, shade), 0.9 * cover));
    }
  }
  saveBmp24(cap, folder.path("sky_up.bmp"));

  // Bottom cap: far below the viewer, the colour of the wall's bottom edge.
  Image bottom(kBottomSize, kBottomSize);
  for (int y = 0; y < kBottomSize; ++y) {
    for (int x = 0; x < kBottomSize; ++x) {
      double n = fractalNoise(x / 8.0, y / 8.0, 81, 3, 0.5, 8, 8);
      bottom.set(x, y, scaleRgb(kBottom, 1 + 0.08 * n));
    }
  }
  saveBmp24(bottom, folder.path("ground_box.bmp"));
}
