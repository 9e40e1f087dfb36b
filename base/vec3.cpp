// vec3.cpp: directions from angles and the cross product.
#include "base/vec3.h"

#include <cmath>

Vec3 dirFromAngles(float length, float yaw, float pitch) {
  double cosPitch = cos(static_cast<double>(pitch));
  return {static_cast<float>(length * cosPitch * cos(static_cast<double>(yaw))),
          static_cast<float>(length * cosPitch * sin(static_cast<double>(yaw))),
          static_cast<float>(length * sin(static_cast<double>(pitch)))};
}

Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
