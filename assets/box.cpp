// box.cpp: bounding boxes, posing them in the world, and the overlap test.
#include "assets/box.h"

#include <GL/gl.h>

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
  float m[16];
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(x, y, z);
  glRotatef(static_cast<float>(yaw * 57.29577357044915), 0, 0, 1);
  glRotatef(static_cast<float>(pitch * 57.29577357044915), 0, -1, 0);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  glPopMatrix();

  Vec3 posed[8];
  for (int i = 0; i < 8; i++) {
    const Vec3& p = modelBox->corners[i];
    posed[i].x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
    posed[i].y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
    posed[i].z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14];
  }
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
