// noise.h: deterministic randomness for the generated pictures and sounds:
// an integer hash, a small seeded generator, and value noise with fractal
// sums that can be made periodic so textures tile.
#pragma once

#include <cstdint>

uint32_t hash32(uint32_t x);

// A fixed-seed generator (xorshift with a hashed seed); same sequence on
// every run and machine.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(hash32(seed) | 1u) {}
  uint32_t next();
  double uniform();  // [0, 1)
  double signedUniform() { return uniform() * 2 - 1; }

 private:
  uint32_t state_;
};

// Smooth value noise in [-1, 1] on a unit lattice. With a period above 0
// the lattice wraps after that many cells along that axis.
double valueNoise(double x, double y, uint32_t seed, int periodX = 0, int periodY = 0);

// Sum of octaves of valueNoise, each at twice the frequency and `gain`
// times the amplitude of the one before, normalised to about [-1, 1]. The
// periods apply to the first octave and double with each further one.
double fractalNoise(double x, double y, uint32_t seed, int octaves, double gain = 0.5,
                    int periodX = 0, int periodY = 0);

double smoothstep(double edge0, double edge1, double x);
double mix(double a, double b, double t);
double clamp01(double x);
