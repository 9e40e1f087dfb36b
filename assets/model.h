// model.h: triangle meshes read from OFF files, their placement and normals.
//
// Setting up the world (game/setup.h) drives these steps once per model at
// start-up: loadOffModel, a pre-transform, computeNormals, then the box; the
// renderer compiles the result into the model's display list. The terrain
// builder uses the same Model layout and computeNormals. Nothing here runs
// during play.
#pragma once

#include <cstdint>
#include <cstdio>

#include "base/vec3.h"

struct Model {
  Vec3* vertices;           // vertexCount positions, pre-transformed in place
  Vec3* normals;            // vertexCount unit normals, from computeNormals
  int32_t (*triangles)[3];  // triangleCount vertex index triples
  int32_t vertexCount;
  int32_t triangleCount;
};

// Largest counts a model file may declare; anything above is a bad file.
constexpr int32_t maxModelVertices = 1 << 20;
constexpr int32_t maxModelTriangles = 1 << 20;

// What is wrong with an OFF file that readOffModel refused: a few words and
// the line they are about (from 1).
struct OffFault {
  char what[160];
  int32_t line;
};

// Reads an OFF file. A file that cannot be opened ends the process with
// "Cannon open model file: NAME" on stdout; a bad header, bad counts, a short
// file or an index out of range end it with "Bad file format" on stdout and
// one line on stderr, "velkarra3d: FOLDER/NAME: WHAT (line N)". Status 1.
Model* loadOffModel(const char* fileName);

// Reads an OFF mesh from an open file; null (with nothing left allocated)
// for a bad header, bad counts, a short file or an index out of range, and
// then, when fault is not null, says which and where. The caller closes the
// file and frees the model with freeModel.
Model* readOffModel(FILE* file, OffFault* fault = nullptr);

// Each vertex: add (tx, ty, tz), multiply by scale, turn zTurn degrees about
// +z, then yTurn degrees about -y.
void pretransformModel(Model* model, float scale, float tx, float ty, float tz, float zTurn,
                       float yTurn);

// Each vertex: add (tx, ty, tz), turn about +z, turn about -y, then stretch
// by (sx, sy, sz) along the world axes.
void pretransformBombModel(Model* model, float sx, float sy, float sz, float tx, float ty, float tz,
                           float zTurn, float yTurn);

// Face normals (negated when flip is not 0), then per-vertex normals
// renormalised after every face that touches the vertex. Degenerate faces
// and normals that sum to zero give (0, 0, 0), never NaN.
void computeNormals(Model* model, int32_t flip);

// Releases the record and its arrays.
void freeModel(Model* model);
