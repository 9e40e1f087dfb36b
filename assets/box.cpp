// box.cpp: bounding boxes, posing them in the world, and the overlap test.
#include "assets/box.h"

#include "base/matrix.h"

void boxFromPoints(const Vec3* points, int count, BoundingBox* out) {
  float minX = 1000, minY = 1000, minZ = 1000;
  float maxX = -1000, maxY = -1000, maxZ = -1000;
  for (int i = 0; i < count; i++) {
    const Vec3& p = points[i];
    if (p.x > maxX) maxX = p.x;
    if (p.x < minX) minX = p.x;
    if (p.y > maxY) maxY = p.y;
    if (p.y < minY) minY = p.y;
    if (p.z > maxZ) maxZ = p.z;
    if (p.z < minZ) minZ = p.z;
  }
  for (int i = 0; i < 8; i++) {
    out->corners[i].x = (i & 1) ? minX : maxX;
    out->corners[i].y = (i & 2) ? minY : maxY;
    out->corners[i].z = (i & 4) ? minZ : maxZ;
  }
}

BoundingBox* posedBox(const BoundingBox* modelBox, float x, float y, float z, float yaw,
                      float pitch, BoundingBox* out) {
  const Matrix pose = poseMatrix({x, y, z}, yaw, pitch);
  Vec3 posed[8];
  for (int i = 0; i < 8; i++) posed[i] = transformPoint(pose, modelBox->corners[i]);
  boxFromPoints(posed, 8, out);
  return out;
}

bool boxesOverlap(const BoundingBox* a, const BoundingBox* b) {
  const Vec3& aMax = a->corners[0];
  const Vec3& aMin = a->corners[7];
  const Vec3& bMax = b->corners[0];
  const Vec3& bMin = b->corners[7];
  if (bMin.x > aMax.x) return false;
  if (bMin.y > aMax.y) return false;
  if (bMin.z > aMax.z) return false;
  if (aMin.x > bMax.x) return false;
  if (aMin.y > bMax.y) return false;
  if (aMin.z > bMax.z) return false;
  return true;
}
