// matrix.h: GL's model-view stack used as a matrix calculator.
//
// Wherever the game places or turns points (the models' placement at load
// time, the boxes posed every frame, the missile's steering), it composes the
// transform with glTranslatef, glRotatef and glScalef between a push and a
// pop, reads the matrix back and applies it by hand, so that every such
// transform rounds exactly as GL computes it. The functions need a current GL
// context in model-view mode and leave the stack as they found it. Called by
// the model and box code (assets/) and the missile (sim/).
#pragma once

#include "base/vec3.h"

// A column-major 4 x 4 matrix as GL reads it back.
struct Matrix {
  float m[16];
};

// Turn yTurn degrees about -y, then zTurn about +z, then scale, then add
// (tx, ty, tz): the matrix that places a model's vertices.
Matrix placementMatrix(float scale, float tx, float ty, float tz, float zTurn, float yTurn);

// The bomb's placement: add (tx, ty, tz), turn zTurn about +z and yTurn about
// -y, then stretch by (sx, sy, sz) along the axes.
Matrix stretchedPlacementMatrix(float sx, float sy, float sz, float tx, float ty, float tz,
                                float zTurn, float yTurn);

// Turn pitch (radians) about -y, then yaw about +z, then move to pos: the
// pose of everything that flies.
Matrix poseMatrix(Vec3 pos, float yaw, float pitch);

// A turn of `degrees` about `axis`.
Matrix rotationMatrix(float degrees, Vec3 axis);

// m applied to the point v (with w = 1).
inline Vec3 transformPoint(const Matrix& matrix, Vec3 v) {
  const float* m = matrix.m;
  return {v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12],
          v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13],
          v.x * m[2] + v.y * m[6] + v.z * m[10] + m[14]};
}
