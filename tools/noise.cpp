// noise.cpp: hash, generator and value noise.
#include "tools/noise.h"

#include <cmath>

uint32_t hash32(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352du;
  x ^= x >> 15;
  x *= 0x846ca68bu;
  x ^= x >> 16;
  return x;
}

uint32_t Random::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Random::uniform() { return (next() >> 8) * (1.0 / 16777216.0); }

namespace {

int wrap(int i, int period) {
  if (period <= 0) return i;
  int r = i % period;
  return r < 0 ? r + period : r;
}

double lattice(int x, int y, uint32_t seed) {
  uint32_t h =
      hash32(static_cast<uint32_t>(x) * 0x9e3779b1u ^ hash32(static_cast<uint32_t>(y) + seed));
  return (h >> 8) * (2.0 / 16777216.0) - 1.0;
}

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

double valueNoise(double x, double y, uint32_t seed, int periodX, int periodY) {
  double fx = std::floor(x), fy = std::floor(y);
  int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  double tx = fade(x - fx), ty = fade(y - fy);
  int x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX);
  int y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
  double a = mix(lattice(x0, y0, seed), lattice(x1, y0, seed), tx);
  double b = mix(lattice(x0, y1, seed), lattice(x1, y1, seed), tx);
  return mix(a, b, ty);
}

double fractalNoise(double x, double y, uint32_t seed, int octaves, double gain, int periodX,
                    int periodY) {
  double sum = 0, amplitude = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * valueNoise(x, y, seed + 101u * i, periodX, periodY);
    total += amplitude;
    amplitude *= gain;
    x *= 2;
    y *= 2;
    periodX *= 2;
    periodY *= 2;
  }
  return sum / total;
}

double smoothstep(double edge0, double edge1, double x) {
  double t = clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

double mix(double a, double b, double t) { return a + (b - a) * t; }

double clamp01(double x) { return x < 0 ? 0 : x > 1 ? 1 : x; }
