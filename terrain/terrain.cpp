// terrain.cpp: builds the height field from its bitmap and answers height
// queries.
#include "terrain/terrain.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "assets/bitmap.h"
#include "assets/data_files.h"

HeightField terrain;

namespace {

// Loads "ground.bmp" as a 24-bit bitmap at least heightMapSize wide and high,
// converting depth and size when the file has another shape.
FIBITMAP* loadHeightMap() {
  const char* name = dataFileNames[fileHeightMap];
  BitmapResult result;
  FIBITMAP* bitmap = loadBitmap24(name, heightMapSize, heightMapSize, true, &result);
  if (!bitmap) {
    reportBitmapFailure("height map", name, result, heightMapSize, heightMapSize);
    fflush(stdout);
    exit(1);
  }
  return bitmap;
}

}  // namespace

void buildTerrain(float innerSize, int32_t cells, float halfSize) {
  FIBITMAP* bitmap = loadHeightMap();
  const unsigned char* bits = FreeImage_GetBits(bitmap);
  unsigned width = FreeImage_GetWidth(bitmap);

  int32_t side = cells + 1;
  Model& mesh = terrain.mesh;
  mesh.vertexCount = side * side;
  mesh.triangleCount = 2 * cells * cells;
  mesh.vertices = static_cast<Vec3*>(calloc(mesh.vertexCount, sizeof(Vec3)));
  mesh.normals = static_cast<Vec3*>(calloc(mesh.vertexCount, sizeof(Vec3)));
  mesh.triangles = static_cast<int32_t(*)[3]>(calloc(mesh.triangleCount, sizeof(int32_t[3])));
  terrain.alpha = static_cast<float*>(calloc(mesh.vertexCount, sizeof(float)));

  for (int32_t m = 0; m < cells * cells; m++) {
    int32_t r = m / cells;
    int32_t q = m % cells;
    int32_t a = r * side + q;
    int32_t b = a + side;
    int32_t* t0 = mesh.triangles[2 * m];
    int32_t* t1 = mesh.triangles[2 * m + 1];
    t0[0] = a, t0[1] = a + 1, t0[2] = b + 1;
    t1[0] = a, t1[1] = b + 1, t1[2] = b;
  }

  terrain.step = static_cast<float>(2.0 * halfSize / cells);
  float sample = static_cast<float>(width - 1) / static_cast<float>(cells);
  float y = -halfSize;
  for (int32_t i = 0; i <= cells; i++) {
    float x = -halfSize;
    for (int32_t j = 0; j <= cells; j++) {
      int32_t k = i * side + j;
      float r = fmaxf(fabsf(x), fabsf(y));
      float alpha;
      if (r >= halfSize)
        alpha = 0;
      else if (r <= innerSize)
        alpha = 1;
      else
        alpha = (halfSize - r) / (halfSize - innerSize);
      // Sample rows and columns stay within 0..383 because sample * cells
      // is width - 1 to within rounding; clamp for safety all the same.
      int32_t row = static_cast<int32_t>(static_cast<float>(i) * sample);
      int32_t column = static_cast<int32_t>(static_cast<float>(j) * sample);
      if (row > heightMapSize - 1) row = heightMapSize - 1;
      if (column > heightMapSize - 1) column = heightMapSize - 1;
      unsigned char v = bits[heightMapSize * 3 * row + 3 * column];
      mesh.vertices[k] = {x, y, static_cast<float>(2.0 - 0.04 * v)};
      terrain.alpha[k] = alpha;
      x += terrain.step;
    }
    y += terrain.step;
  }
  terrain.halfSize = halfSize;
  terrain.lowest = terrain.highest = mesh.vertices[0].z;
  for (int32_t k = 1; k < mesh.vertexCount; k++) {
    terrain.lowest = fminf(terrain.lowest, mesh.vertices[k].z);
    terrain.highest = fmaxf(terrain.highest, mesh.vertices[k].z);
  }
  terrain.cells = cells;
  computeNormals(&mesh, 0);
  FreeImage_Unload(bitmap);
}

float terrainHeight(float x, float y) {
  if (!terrain.mesh.vertices) return 0;  // no ground built yet
  float h = terrain.halfSize;
  if (x < -h) x = -h;
  if (x > h) x = h;
  if (y < -h) y = -h;
  if (y > h) y = h;
  double column = floor((static_cast<double>(h) + x) / terrain.step + 0.5);
  double row = floor((static_cast<double>(h) + y) / terrain.step + 0.5);
  // A NaN position or a degenerate grid must still read inside the array.
  int32_t last = terrain.cells;
  int32_t j = column >= 0 ? (column <= last ? static_cast<int32_t>(column) : last) : 0;
  int32_t i = row >= 0 ? (row <= last ? static_cast<int32_t>(row) : last) : 0;
  return terrain.mesh.vertices[i * (last + 1) + j].z;
}

void releaseTerrain() {
  free(terrain.mesh.vertices);
  free(terrain.mesh.normals);
  free(terrain.mesh.triangles);
  free(terrain.alpha);
  terrain = HeightField{};
}
