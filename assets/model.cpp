// model.cpp: OFF mesh loading, the placement pre-transforms and vertex
// normals.
#include "assets/model.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/data_files.h"
#include "base/matrix.h"
#include "base/printable.h"
#include "base/program.h"

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

// Which line a fault names: the file's first token (the header word), the
// token the reader stopped at (it could not read it), the token it read last
// (its value is wrong), or the last token of a file that ended.
enum FaultLine { firstToken, nextToken, lastToken, atEnd };

// The line of the token that FaultLine names, counted from the start of
// the file up to where the reader stands.
int32_t faultLine(FILE* file, FaultLine which) {
  const long at = which == firstToken ? 0 : ftell(file);
  if (which == firstToken) which = nextToken;
  if (at < 0 || fseek(file, 0, SEEK_SET) != 0) return 1;
  int32_t line = 1, lastTokenLine = 1;
  for (long position = 0;; position++) {
    const int c = fgetc(file);
    if (c == EOF) return lastTokenLine;
    const bool blank = isspace(c) != 0;
    if (position >= at && (which != nextToken || !blank))
      return which == nextToken ? line : lastTokenLine;
    if (!blank) lastTokenLine = line;
    if (c == '\n') line++;
  }
}

__attribute__((format(printf, 4, 5))) Model* refuse(FILE* file, OffFault* fault, FaultLine which,
                                                    const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(fault->what, sizeof fault->what, format, args);
  va_end(args);
  fault->line = faultLine(file, which);
  return nullptr;
}

}  // namespace

Model* readOffModel(FILE* file, OffFault* fault) {
  OffFault ignored;
  if (!fault) fault = &ignored;
  fault->what[0] = '\0';
  fault->line = 1;
  char header[256];
  int32_t vertexCount = 0, triangleCount = 0, edgeCount = 0;
  int got = fscanf(file, "%255s%d%d%d", header, &vertexCount, &triangleCount, &edgeCount);
  if (got < 1 || strcmp(header, "OFF") != 0)
    return refuse(file, fault, got < 1 ? atEnd : firstToken,
                  got < 1 ? "the file is empty" : "it does not start with OFF");
  if (got != 4)
    return refuse(file, fault, nextToken,
                  "OFF is not followed by the counts of vertices, faces and edges");
  if (vertexCount < 0 || vertexCount > maxModelVertices)
    return refuse(file, fault, lastToken, "it declares %d vertices (at most %d)", vertexCount,
                  maxModelVertices);
  if (triangleCount < 0 || triangleCount > maxModelTriangles)
    return refuse(file, fault, lastToken, "it declares %d faces (at most %d)", triangleCount,
                  maxModelTriangles);
  // Every number still to come takes at least two bytes (a blank and a
  // digit): a file too short for its counts is refused before the arrays
  // are allocated. Streams that cannot tell their size skip the check.
  long here = ftell(file);
  if (here >= 0 && fseek(file, 0, SEEK_END) == 0) {
    long end = ftell(file);
    if (fseek(file, here, SEEK_SET) != 0) return refuse(file, fault, atEnd, "cannot be read");
    if (end >= here && (end - here) / 2 < 3 * static_cast<int64_t>(vertexCount) +
                                              4 * static_cast<int64_t>(triangleCount))
      return refuse(file, fault, lastToken,
                    "the file is too short for the %d vertices and %d faces it declares",
                    vertexCount, triangleCount);
  }

  Model* model = static_cast<Model*>(calloc(1, sizeof(Model)));
  if (!model) return refuse(file, fault, lastToken, "not enough memory for it");
  model->vertexCount = vertexCount;
  model->triangleCount = triangleCount;
  // One spare element keeps the allocations non-empty for empty meshes.
  model->vertices = static_cast<Vec3*>(calloc(vertexCount + 1, sizeof(Vec3)));
  model->normals = static_cast<Vec3*>(calloc(vertexCount + 1, sizeof(Vec3)));
  model->triangles = static_cast<int32_t(*)[3]>(calloc(triangleCount + 1, sizeof(int32_t[3])));
  if (!model->vertices || !model->normals || !model->triangles) {
    freeModel(model);
    return refuse(file, fault, lastToken, "not enough memory for it");
  }
  for (int32_t i = 0; i < vertexCount; i++) {
    Vec3& v = model->vertices[i];
    if (fscanf(file, "%f%f%f", &v.x, &v.y, &v.z) == 3) continue;
    freeModel(model);
    if (feof(file))
      return refuse(file, fault, atEnd, "the file ends in vertex %d of %d", i + 1, vertexCount);
    return refuse(file, fault, nextToken, "vertex %d of %d is not three numbers", i + 1,
                  vertexCount);
  }
  for (int32_t i = 0; i < triangleCount; i++) {
    int32_t corners, a, b, c;
    if (fscanf(file, "%d%d%d%d", &corners, &a, &b, &c) != 4) {
      freeModel(model);
      if (feof(file))
        return refuse(file, fault, atEnd, "the file ends in face %d of %d", i + 1, triangleCount);
      return refuse(file, fault, nextToken, "face %d of %d is not four whole numbers", i + 1,
                    triangleCount);
    }
    const int32_t corner[3] = {a, b, c};
    for (int32_t k : corner) {
      if (k >= 0 && k < vertexCount) continue;
      freeModel(model);
      return refuse(file, fault, lastToken, "face %d names vertex %d, of 0 to %d", i + 1, k,
                    vertexCount - 1);
    }
    model->triangles[i][0] = a;
    model->triangles[i][1] = b;
    model->triangles[i][2] = c;
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
  OffFault fault;
  Model* model = readOffModel(file, &fault);
  fclose(file);
  if (!model) {
    printf("Bad file format\n");
    fflush(stdout);
    fprintf(stderr, "%s: %s: %s (line %d)\n", programName, dataFilePath(fileName), fault.what,
            fault.line);
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
