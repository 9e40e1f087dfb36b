// terrain.cpp: builds the height field from its bitmap, answers height
// queries and draws the mesh.
#include "terrain/terrain.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "assets/bitmap.h"
#include "render/detail.h"
#include "render/material.h"
#include "app/startup.h"

HeightField terrain;

namespace {

// Loads "ground.bmp" as a 24-bit bitmap at least heightMapSize wide and high,
// converting depth and size when the file has another shape.
FIBITMAP* loadHeightMap() {
  const char* name = "ground.bmp";
  BitmapResult result;
  FIBITMAP* bitmap = loadBitmap24(name, heightMapSize, heightMapSize, true, &result);
  if (!bitmap) {
    if (result == bitmapTooLarge || result == bitmapTruncated)
      printBitmapRefusal(name, result);
    else if (result == bitmapUnconvertible)
      printf("%s: cannot convert the height map to a %d x %d 24-bit bitmap\n", name, heightMapSize,
             heightMapSize);
    else
      printf("%s: cannot load the height map (missing or not a BMP file)\n", name);
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

namespace {

// Low detail draws the same triangles from vertex arrays. The per-vertex
// alpha rides in the colour, which tracks the diffuse material (the lit alpha
// is the diffuse alpha), so nothing sets the material per vertex. Cells whose
// three corners are opaque go into the terrain list, drawn before the sky so
// that the depth test turns the sky away behind the ground; the fading rim
// blends over the sky, so the scene draws it every frame after the sky from
// these arrays, kept from the list compile to the next.
struct LowArrays {
  float* texCoords;
  float* colours;
  GLuint* opaque;
  GLuint* rim;
  int32_t opaqueCount;
  int32_t rimCount;
};
LowArrays low;

void releaseLowArrays() {
  free(low.texCoords);
  free(low.colours);
  free(low.opaque);
  free(low.rim);
  low = LowArrays{};
}

void buildLowArrays() {
  releaseLowArrays();
  const Model& mesh = terrain.mesh;
  int32_t count = mesh.vertexCount;
  low.texCoords = static_cast<float*>(calloc(2 * count + 2, sizeof(float)));
  low.colours = static_cast<float*>(calloc(4 * count + 4, sizeof(float)));
  low.opaque = static_cast<GLuint*>(calloc(3 * mesh.triangleCount + 3, sizeof(GLuint)));
  low.rim = static_cast<GLuint*>(calloc(3 * mesh.triangleCount + 3, sizeof(GLuint)));
  if (!low.texCoords || !low.colours || !low.opaque || !low.rim) {
    printf("terrain: out of memory\n");
    fflush(stdout);
    exit(1);
  }
  for (int32_t v = 0; v < count; v++) {
    low.texCoords[2 * v] = mesh.vertices[v].x * 0.1f;
    low.texCoords[2 * v + 1] = mesh.vertices[v].y * 0.1f;
    low.colours[4 * v] = low.colours[4 * v + 1] = low.colours[4 * v + 2] = 1;
    low.colours[4 * v + 3] = terrain.alpha[v];
  }
  for (int32_t k = 0; k < mesh.triangleCount; k++) {
    const int32_t* t = mesh.triangles[k];
    bool solid = terrain.alpha[t[0]] == 1 && terrain.alpha[t[1]] == 1 && terrain.alpha[t[2]] == 1;
    GLuint* out = solid ? low.opaque + 3 * low.opaqueCount++ : low.rim + 3 * low.rimCount++;
    for (int c = 0; c < 3; c++) out[c] = static_cast<GLuint>(t[c]);
  }
}

// Draws `count` triangles of the low arrays with the terrain material and
// the sand, leaving the state as the scene expects it.
void drawLowTriangles(const GLuint* indices, int32_t count, bool blend) {
  terrainMaterial.ambient[3] = terrainMaterial.diffuse[3] = terrainMaterial.specular[3] = 1;
  applyMaterial(&terrainMaterial);
  glColorMaterial(GL_FRONT, GL_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vec3), terrain.mesh.vertices);
  glNormalPointer(GL_FLOAT, sizeof(Vec3), terrain.mesh.normals);
  glTexCoordPointer(2, GL_FLOAT, 0, low.texCoords);
  glColorPointer(4, GL_FLOAT, 0, low.colours);
  glBindTexture(GL_TEXTURE_2D, sandTexture);
  if (blend) glEnable(GL_BLEND);
  glDrawElements(GL_TRIANGLES, 3 * count, GL_UNSIGNED_INT, indices);
  if (blend) glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisable(GL_COLOR_MATERIAL);
  glColor4f(1, 1, 1, 1);
}

}  // namespace

void drawTerrain() {
  if (renderDetail == detailLow) {
    buildLowArrays();
    drawLowTriangles(low.opaque, low.opaqueCount, false);
    return;
  }
  releaseLowArrays();
  glBindTexture(GL_TEXTURE_2D, sandTexture);
  glEnable(GL_BLEND);
  glBegin(GL_TRIANGLES);
  const Model& mesh = terrain.mesh;
  for (int32_t k = 0; k < mesh.triangleCount; k++) {
    for (int c = 0; c < 3; c++) {
      int32_t v = mesh.triangles[k][c];
      float a = terrain.alpha[v];
      terrainMaterial.ambient[3] = a;
      terrainMaterial.diffuse[3] = a;
      terrainMaterial.specular[3] = a;
      applyMaterial(&terrainMaterial);
      glTexCoord2f(mesh.vertices[v].x * 0.1f, mesh.vertices[v].y * 0.1f);
      glNormal3f(mesh.normals[v].x, mesh.normals[v].y, mesh.normals[v].z);
      glVertex3f(mesh.vertices[v].x, mesh.vertices[v].y, mesh.vertices[v].z);
    }
  }
  glEnd();
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void drawTerrainRim() {
  if (renderDetail == detailLow && low.rimCount > 0) drawLowTriangles(low.rim, low.rimCount, true);
}
