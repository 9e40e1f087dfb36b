// terrain_draw.cpp: the terrain mesh as the scene draws it, in either
// detail level.
#include "render/terrain_draw.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "render/detail.h"
#include "render/gl_objects.h"
#include "render/material.h"
#include "terrain/terrain.h"

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
  applyMaterial(&materials[materialTerrain]);
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
  Material ground = materials[materialTerrain];
  glBegin(GL_TRIANGLES);
  const Model& mesh = terrain.mesh;
  for (int32_t k = 0; k < mesh.triangleCount; k++) {
    for (int c = 0; c < 3; c++) {
      int32_t v = mesh.triangles[k][c];
      float a = terrain.alpha[v];
      ground.ambient[3] = a;
      ground.diffuse[3] = a;
      ground.specular[3] = a;
      applyMaterial(&ground);
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

void compileTerrainList() {
  glNewList(terrainList, GL_COMPILE);
  drawTerrain();
  glEndList();
}
