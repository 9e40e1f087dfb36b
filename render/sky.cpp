// sky.cpp: the sky, a textured cylinder with a top and a bottom cap drawn
// first in every scene frame, unlit. It follows the viewer at 0.7 of the
// viewer's movement so it seems far away but still shifts a little.
#include <GL/gl.h>

#include <cmath>

#include "assets/sky_cap.h"
#include "render/gl_objects.h"
#include "render/render.h"
#include "terrain/terrain.h"

namespace {

constexpr int segments = skyCapSegments;
constexpr float angleStep = skyCapAngleStep;
constexpr float wallRadius = 100;
constexpr float capRadius = 101;
constexpr float skyTop = 50;
constexpr float skyBottom = -50;
constexpr float follow = 0.7f;

float rimX(int k, float radius) {
  return static_cast<float>(radius * cos(static_cast<double>(k * angleStep)));
}
float rimY(int k, float radius) {
  return static_cast<float>(radius * sin(static_cast<double>(k * angleStep)));
}

void drawCap(float z) {
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < segments; i++) {
    glTexCoord2f(0.5f, 0.5f);
    glVertex3f(0, 0, z);
    glTexCoord2f(skyCapS[i + 1], skyCapT[i + 1]);
    glVertex3f(rimX(i + 1, capRadius), rimY(i + 1, capRadius), z);
    glTexCoord2f(skyCapS[i], skyCapT[i]);
    glVertex3f(rimX(i, capRadius), rimY(i, capRadius), z);
  }
  glEnd();
}

// The distance from the wall's axis to the middle of its flat sides: the
// wall is a prism of `segments` sides, not a true cylinder.
const float wallInnerRadius = static_cast<float>(wallRadius * cos(angleStep / 2.0));

}  // namespace

bool skyMeetsTheGround() {
  if (!terrain.mesh.vertices) return false;
  const Vec3& viewer = missile.active ? missile.pos : camera.pos;
  const float cx = follow * viewer.x, cy = follow * viewer.y, cz = follow * viewer.z;
  if (cz + skyBottom >= terrain.lowest || cz + skyTop <= terrain.highest) return true;
  // The ground's farthest corner from the wall's axis.
  const float h = terrain.halfSize;
  const float dx = fabsf(cx) + h, dy = fabsf(cy) + h;
  return dx * dx + dy * dy >= wallInnerRadius * wallInnerRadius;
}

void drawSky() {
  glColor3f(1, 1, 1);
  glDisable(GL_LIGHTING);
  glBindTexture(GL_TEXTURE_2D, skyTexture);
  glPushMatrix();
  const Vec3& viewer = missile.active ? missile.pos : camera.pos;
  glTranslatef(follow * viewer.x, follow * viewer.y, follow * viewer.z);

  glBegin(GL_QUADS);
  for (int i = 0; i < segments; i++) {
    float s0 = i * 0.0625f, s1 = (i + 1) * 0.0625f;
    glTexCoord2f(s1, 0);
    glVertex3f(rimX(i + 1, wallRadius), rimY(i + 1, wallRadius), skyBottom);
    glTexCoord2f(s0, 0);
    glVertex3f(rimX(i, wallRadius), rimY(i, wallRadius), skyBottom);
    glTexCoord2f(s0, 0.99f);
    glVertex3f(rimX(i, wallRadius), rimY(i, wallRadius), skyTop);
    glTexCoord2f(s1, 0.99f);
    glVertex3f(rimX(i + 1, wallRadius), rimY(i + 1, wallRadius), skyTop);
  }
  glEnd();

  glBindTexture(GL_TEXTURE_2D, skyCapTexture);
  drawCap(skyTop);
  glBindTexture(GL_TEXTURE_2D, groundBoxTexture);
  drawCap(skyBottom);

  glBindTexture(GL_TEXTURE_2D, 0);
  glEnable(GL_LIGHTING);
  glPopMatrix();
}
