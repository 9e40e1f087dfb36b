// resources.cpp: the GL state fixed at start-up, the display lists and the
// textures.
#include "render/resources.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>

#include "assets/bitmap.h"
#include "assets/data_files.h"
#include "base/program.h"
#include "game/world.h"
#include "render/gl_objects.h"
#include "render/material.h"
#include "render/render.h"
#include "render/terrain_draw.h"
#include "render/text.h"
#include "render/view.h"
#include "terrain/terrain.h"

namespace {

// Loads a BMP texture into texture object `texture`. A missing file, or one
// that is no readable BMP, ends the process with status 1 and one line.
// Other sizes and depths are converted to the size the game draws with, 24
// bits a pixel.
void loadTexture(const char* file, uint32_t texture, int width, int height, bool mipmaps) {
  BitmapResult result;
  FIBITMAP* bitmap = loadBitmap24(file, width, height, false, &result);
  if (!bitmap) {
    reportBitmapFailure("texture", file, result, width, height);
    fflush(stdout);
    exit(1);
  }
  const unsigned char* bits = FreeImage_GetBits(bitmap);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (mipmaps) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, bits);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    applySandFiltering();
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, bits);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  }
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  FreeImage_Unload(bitmap);
}

}  // namespace

void setUpRenderer(int width, int height) {
  glClearColor(0, 0, 0, 0);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  onReshape(width, height);

  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glMatrixMode(GL_MODELVIEW);

  loadView();

  const GLfloat grey[4] = {0.5f, 0.5f, 0.5f, 1};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, grey);
  glLightfv(GL_LIGHT0, GL_SPECULAR, grey);
  glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, grey);

  planeList = glGenLists(8);
  cannonList = planeList + 1;
  missileList = planeList + 2;
  shellList = planeList + 3;
  bombList = planeList + 4;
  chuteList = planeList + 5;
  trooperList = planeList + 6;
  terrainList = planeList + 7;

  glEnable(GL_TEXTURE_2D);
  GLuint textures[5];
  glGenTextures(5, textures);
  sandTexture = textures[0];
  skyTexture = textures[1];
  skyCapTexture = textures[2];
  fontTexture = textures[3];
  groundBoxTexture = textures[4];

  // Without its font the game plays on, without text; the player is told why.
  char why[200];
  if (!loadFont(&gameFont, dataFileNames[fileFont], fontTexture, why, sizeof why))
    fprintf(stderr, "%s: %s: %s; playing without text\n", programName,
            dataFilePath(dataFileNames[fileFont]), why);

  loadTexture(dataFileNames[fileSand], sandTexture, 256, 256, true);
  loadTexture(dataFileNames[fileSky], skyTexture, 1024, 256, false);
  loadTexture(dataFileNames[fileSkyCap], skyCapTexture, 256, 256, false);
  loadTexture(dataFileNames[fileGroundBox], groundBoxTexture, 64, 64, false);
  glBindTexture(GL_TEXTURE_2D, 0);

  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void compileWorldLists() {
  compileTerrainList();
  compileModel(planeList, planes[0].model);
  compileModel(trooperList, troopers[0].model);
  compileModel(chuteList, troopers[0].chuteModel);
  compileModel(bombList, bombs[0].model);
  compileModel(shellList, shells[0].model);
  compileModel(missileList, missile.model);
  compileModel(cannonList, cannon.model);
}

void releaseRenderer() {
  freeFont(&gameFont);
  gameFont = TextureFont{};
  currentFont = nullptr;
  lastShardMaterial = nullptr;
}

void setDetail(DetailLevel level) {
  renderDetail = level == detailLow ? detailLow : detailHigh;
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glBindTexture(GL_TEXTURE_2D, sandTexture);
  applySandFiltering();
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  if (terrain.mesh.vertices) compileTerrainList();
}

void compileModel(uint32_t list, const Model* model) {
  glNewList(list, GL_COMPILE);
  glBegin(GL_TRIANGLES);
  for (int32_t k = 0; k < model->triangleCount; k++) {
    for (int c = 0; c < 3; c++) {
      int32_t i = model->triangles[k][c];
      glNormal3f(model->normals[i].x, model->normals[i].y, model->normals[i].z);
      glVertex3f(model->vertices[i].x, model->vertices[i].y, model->vertices[i].z);
    }
  }
  glEnd();
  glEndList();
}
