// model.cpp: OFF mesh loading, the placement pre-transforms and vertex
// normals.
#include "assets/model.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/matrix.h"
#include "base/printable.h"

namespace {

// Replaces every vertex v by M (v, 1).
void applyMatrix(Model* model, const Matrix& m) {
  for (int32_t i = 0; i < model->vertexCount; i++)
    model->vertices[i] = transformPoint(m, model->vertices[i]);
}

// n scaled to unit length; a zero (or non-finite) result becomes (0, 0, 0).
Vec3 unitOrZero(Vec3 n, float inverseSign) {
  // The root is taken in double precision and rounded back to float.
  float len = static_cast<float>(
      sqrt(n.x * n.x + n.y * n.y + n.z * n.z));  // NOLINT(performance-type-promotion-in-math-fn)
  float inv = 1 / (inverseSign > 0 ? len : 0 - len);
  Vec3 r = {n.x * inv, n.y * inv, n.z * inv};
  if (!std::isfinite(r.x) || !std::isfinite(r.y) || !std::isfinite(r.z)) return {0, 0, 0};
  return r;
}

}  // namespace

Model* readOffModel(FILE* file) {
  char header[256];
  int32_t vertexCount = 0, triangleCount = 0, edgeCount = 0;
  int got = fscanf(file, "%255s%d%d%d", header, &vertexCount, &triangleCount, &edgeCount);
  if (got < 1 || strcmp(header, "OFF") != 0) return nullptr;
  if (got != 4 || vertexCount < 0 || triangleCount < 0 || vertexCount > maxModelVertices ||
      triangleCount > maxModelTriangles)
    return nullptr;
  // Every number still to come takes at least two bytes (a blank and a
  // digit): a file too short for its counts is refused before the arrays
  // are allocated. Streams that cannot tell their size skip the check.
  long here = ftell(file);
  if (here >= 0 && fseek(file, 0, SEEK_END) == 0) {
    long end = ftell(file);
    if (fseek(file, here, SEEK_SET) != 0) return nullptr;
    if (end >= here && (end - here) / 2 < 3 * static_cast<int64_t>(vertexCount) +
                                              4 * static_cast<int64_t>(triangleCount))
      return nullptr;
  }

  Model* model = static_cast<Model*>(calloc(1, sizeof(Model)));
  if (!model) return nullptr;
  model->vertexCount = vertexCount;
  model->triangleCount = triangleCount;
  // One spare element keeps the allocations non-empty for empty meshes.
  model->vertices = static_cast<Vec3*>(calloc(vertexCount + 1, sizeof(Vec3)));
  model->normals = static_cast<Vec3*>(calloc(vertexCount + 1, sizeof(Vec3)));
  model->triangles = static_cast<int32_t(*)[3]>(calloc(triangleCount + 1, sizeof(int32_t[3])));
  bool ok = model->vertices && model->normals && model->triangles;
  for (int32_t i = 0; ok && i < vertexCount; i++) {
    Vec3& v = model->vertices[i];
    ok = fscanf(file, "%f%f%f", &v.x, &v.y, &v.z) == 3;
  }
  for (int32_t i = 0; ok && i < triangleCount; i++) {
    int32_t corners, a, b, c;
    ok = fscanf(file, "%d%d%d%d", &corners, &a, &b, &c) == 4 && a >= 0 && b >= 0 && c >= 0 &&
         a < vertexCount && b < vertexCount && c < vertexCount;
    if (!ok) break;
    model->triangles[i][0] = a;
    model->triangles[i][1] = b;
    model->triangles[i][2] = c;
  }
  if (!ok) {
    freeModel(model);
    return nullptr;
  }
  return model;
}

Model* loadOffModel(const char* fileName) {
  FILE* file = fopen(fileName, "r");
  if (!file) {
    printf("Cannon open model file: %s\n", printable(fileName));
    fflush(stdout);
    exit(1);
  }
  Model* model = readOffModel(file);
  fclose(file);
  if (!model) {
    printf("Bad file format\n");
    fflush(stdout);
    exit(1);
  }
  return model;
}

void pretransformModel(Model* model, float scale, float tx, float ty, float tz, float zTurn,
                       float yTurn) {
  applyMatrix(model, placementMatrix(scale, tx, ty, tz, zTurn, yTurn));
}

void pretransformBombModel(Model* model, float sx, float sy, float sz, float tx, float ty, float tz,
                           float zTurn, float yTurn) {
  applyMatrix(model, stretchedPlacementMatrix(sx, sy, sz, tx, ty, tz, zTurn, yTurn));
}

void computeNormals(Model* model, int32_t flip) {
  // One pass over the triangles in index order: each adds its face normal to
  // each of its distinct vertices and renormalises that vertex at once, so
  // every vertex meets its faces in file order and the cost grows with the
  // triangle count alone.
  for (int32_t j = 0; j < model->vertexCount; j++) model->normals[j] = {0, 0, 0};
  float sign = flip == 0 ? 1.0f : -1.0f;
  for (int32_t k = 0; k < model->triangleCount; k++) {
    const int32_t* t = model->triangles[k];
    const Vec3& v0 = model->vertices[t[0]];
    const Vec3& v1 = model->vertices[t[1]];
    const Vec3& v2 = model->vertices[t[2]];
    Vec3 a = {v1.x - v0.x, v1.y - v0.y, v1.z - v0.z};
    Vec3 b = {v2.x - v0.x, v2.y - v0.y, v2.z - v0.z};
    Vec3 face =
        unitOrZero({a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}, sign);
    for (int c = 0; c < 3; c++) {
      int32_t j = t[c];
      if ((c >= 1 && t[0] == j) || (c == 2 && t[1] == j)) continue;  // named twice: counts once
      Vec3& n = model->normals[j];
      n = unitOrZero({n.x + face.x, n.y + face.y, n.z + face.z}, 1.0f);
    }
  }
}

void freeModel(Model* model) {
  if (!model) return;
  free(model->vertices);
  free(model->normals);
  free(model->triangles);
  free(model);
}
