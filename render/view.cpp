// view.cpp: loading the view and the projection.
#include "render/view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "game/world.h"

float aspect;

namespace {

// The height the HUD's line widths and point sizes were drawn for.
constexpr int hudRows = 600;
int windowRows = hudRows;

}  // namespace

float hudPixelScale() { return static_cast<float>(windowRows) / hudRows; }

void loadView() {
  const View& v = world.view;
  glLoadIdentity();
  gluLookAt(v.eye[0], v.eye[1], v.eye[2], v.centre[0], v.centre[1], v.centre[2], v.up[0], v.up[1],
            v.up[2]);
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
}

void onReshape(int width, int height) {
  glViewport(0, 0, width, height);
  // A zero-sized window (minimised) keeps the last shape.
  if (width > 0 && height > 0) {
    aspect = static_cast<float>(height) / static_cast<float>(width);
    windowRows = height;
  }
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-0.1, 0.1, -0.1 * aspect, 0.1 * aspect, 0.1, 200);
  glMatrixMode(GL_MODELVIEW);
}
