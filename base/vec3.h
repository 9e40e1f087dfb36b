// vec3.h: the three-float vector every part of the game shares.
// The world is right-handed with z up; angles are radians everywhere.
#pragma once

struct Vec3 {
  float x, y, z;
};
