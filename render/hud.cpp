// hud.cpp: the overlay drawn over the scene (crosshair, radar, lives,
// points and level) and the game-over screen. Both are drawn in a plane one
// unit in front of the eye, where x runs from -1 to 1 across the window and
// y from -aspect to aspect.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "assets/font.h"
#include "platform/platform.h"
#include "render/render.h"
#include "shell/camera.h"

namespace {

// World units to radar units: 1/105, so the frame spans +-26.25 units.
constexpr float radarScale = 0.00952381f;

void radarDot(const Vec3& pos) { glVertex3f(pos.x * radarScale, pos.y * radarScale, 0); }

bool insideArena(const Vec3& pos) {
  return fabsf(pos.x) < settings.arenaHalfSize && fabsf(pos.y) < settings.arenaHalfSize;
}

void drawRadar() {
  glPushMatrix();
  glTranslatef(-0.6f, -0.6f * aspect, 0);
  glScalef(aspect, aspect, aspect);

  // The heading marker points up; the world turns under it.
  glColor3f(1, 0, 0);
  glBegin(GL_POLYGON);
  glVertex3f(-0.01f, 0, 0);
  glVertex3f(0.01f, 0, 0);
  glVertex3f(0, 0.1f, 0);
  glEnd();
  glRotatef(static_cast<float>(90 - camera.yaw * 57.29577357044915), 0, 0, 1);

  glColor3f(1, 1, 1);
  glBegin(GL_LINE_LOOP);
  glVertex3f(-0.25f, 0.25f, 0);
  glVertex3f(0.25f, 0.25f, 0);
  glVertex3f(0.25f, -0.25f, 0);
  glVertex3f(-0.25f, -0.25f, 0);
  glEnd();

  glColor3f(0.3f, 0.3f, 0.3f);
  glPointSize(6);
  glBegin(GL_POINTS);
  for (const Plane& p : planes)
    if (p.active) radarDot(p.pos);
  glEnd();

  glColor3f(0.5f, 1, 0);
  glPointSize(4);
  glBegin(GL_POINTS);
  for (const Trooper& t : troopers)
    if (t.active) radarDot(t.pos);
  glEnd();

  glColor3f(1, 0, 0.1f);
  glPointSize(3);
  glBegin(GL_POINTS);
  for (const Bomb& b : bombs)
    if (b.active) radarDot(b.pos);
  glEnd();

  glColor3f(0, 0, 0);
  glPointSize(3);
  glBegin(GL_POINTS);
  for (const Shell& s : shells)
    if (s.active && insideArena(s.pos)) radarDot(s.pos);
  glEnd();

  glColor3f(1, 1, 0);
  glPointSize(5);
  glBegin(GL_POINTS);
  if (missile.active && insideArena(missile.pos)) radarDot(missile.pos);
  glEnd();
  glPopMatrix();
}

}  // namespace

void drawOverlay() {
  glPushMatrix();
  glDisable(GL_DEPTH_TEST);
  glLoadIdentity();
  glTranslatef(0, 0, -1);
  glDisable(GL_LIGHTING);
  glColor3f(1, 1, 1);

  glBegin(GL_LINES);
  glVertex3f(-0.05f, 0, 0);
  glVertex3f(0.05f, 0, 0);
  glVertex3f(0, -0.05f, 0);
  glVertex3f(0, 0.05f, 0);
  glEnd();

  drawRadar();

  glScalef(0.03f, 0.03f, 0.03f);
  glEnable(GL_BLEND);
  glColor3f(1, 1, 1);
  bindFont(&gameFont);
  char line[64];
  snprintf(line, sizeof line, "Lives: %d", game.lives);
  drawText(line, 20, 33 * aspect, 0);
  snprintf(line, sizeof line, "Points: %d", game.points);
  drawText(line, 20, 30 * aspect, 0);
  snprintf(line, sizeof line, "Level: %d", game.level);
  drawText(line, -30, 33 * aspect, 0);
  unbindFont();

  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
  platSwapBuffers();
}

void drawGameOver() {
  glPushMatrix();
  glDisable(GL_DEPTH_TEST);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glTranslatef(0, 0, -1);
  glScalef(0.05f, 0.05f, 0.05f);
  glEnable(GL_BLEND);
  glColor3f(1, 1, 1);
  bindFont(&gameFont);
  drawText("The game is over", -10, 5, 0);
  drawText("Do you wish to end the game?Y/N", -17, 2, 0);
  unbindFont();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
  platSwapBuffers();
}
