// matrix.cpp: composing transforms on the GL model-view stack and applying
// the matrix read back.
#include "base/matrix.h"

#include <GL/gl.h>

namespace {

// Reads the composed matrix and puts the stack back.
Matrix readBack() {
  Matrix out;
  glGetFloatv(GL_MODELVIEW_MATRIX, out.m);
  glPopMatrix();
  return out;
}

void startFromIdentity() {
  glPushMatrix();
  glLoadIdentity();
}

}  // namespace

Matrix placementMatrix(float scale, float tx, float ty, float tz, float zTurn, float yTurn) {
  startFromIdentity();
  glRotatef(yTurn, 0, -1, 0);
  glRotatef(zTurn, 0, 0, 1);
  glScalef(scale, scale, scale);
  glTranslatef(tx, ty, tz);
  return readBack();
}

Matrix stretchedPlacementMatrix(float sx, float sy, float sz, float tx, float ty, float tz,
                                float zTurn, float yTurn) {
  startFromIdentity();
  glScalef(sx, sy, sz);
  glRotatef(yTurn, 0, -1, 0);
  glRotatef(zTurn, 0, 0, 1);
  glTranslatef(tx, ty, tz);
  return readBack();
}

Matrix poseMatrix(Vec3 pos, float yaw, float pitch) {
  startFromIdentity();
  glTranslatef(pos.x, pos.y, pos.z);
  glRotatef(static_cast<float>(yaw * degreesPerRadian), 0, 0, 1);
  glRotatef(static_cast<float>(pitch * degreesPerRadian), 0, -1, 0);
  return readBack();
}

Matrix rotationMatrix(float degrees, Vec3 axis) {
  startFromIdentity();
  glRotatef(degrees, axis.x, axis.y, axis.z);
  return readBack();
}
