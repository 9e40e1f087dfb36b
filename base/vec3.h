// vec3.h: the three-float vector every part of the game shares, and the few
// vector helpers the aim, the missile and the shards use.
// The world is right-handed with z up; angles are radians everywhere.
#pragma once

struct Vec3 {
  float x, y, z;
};

// Degrees per radian as the game has always turned angles for GL:
// 180 / 3.141593f, not 180 / pi.
constexpr double degreesPerRadian = 57.29577357044915;

// (length cos(pitch) cos(yaw), length cos(pitch) sin(yaw), length sin(pitch)),
// the sines and cosines in double precision, rounded to float when stored.
Vec3 dirFromAngles(float length, float yaw, float pitch);

Vec3 cross(Vec3 a, Vec3 b);
