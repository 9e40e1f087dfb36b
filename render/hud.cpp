// hud.cpp: the overlay drawn over the scene (crosshair, radar, lives,
// points and level), the game-over screen and the note of the pause. All
// are drawn in a plane one unit in front of the eye, where x runs from -1 to
// 1 across the window and y from -aspect to aspect.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "game/bindings.h"
#include "render/frame_counter.h"
#include "render/render.h"
#include "render/screen.h"
#include "render/text.h"
#include "render/view.h"

namespace {

// World units to radar units: 1/105, so the frame spans +-26.25 units.
constexpr float radarScale = 0.00952381f;

void radarDot(const Vec3& pos) { glVertex3f(pos.x * radarScale, pos.y * radarScale, 0); }

bool insideArena(const Vec3& pos) {
  return fabsf(pos.x) < settings.arenaHalfSize && fabsf(pos.y) < settings.arenaHalfSize;
}

// One group of radar dots: the active records of a pool that shown() lets
// through, in slot order.
template <typename Record, int count, typename Shown>
void dots(const Record (&pool)[count], float r, float g, float b, float size, Shown shown) {
  glColor3f(r, g, b);
  glPointSize(size * hudPixelScale());
  glBegin(GL_POINTS);
  for (const Record& thing : pool)
    if (thing.active && shown(thing)) radarDot(thing.pos);
  glEnd();
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
  glRotatef(static_cast<float>(90 - camera.yaw * degreesPerRadian), 0, 0, 1);

  glColor3f(1, 1, 1);
  glBegin(GL_LINE_LOOP);
  glVertex3f(-0.25f, 0.25f, 0);
  glVertex3f(0.25f, 0.25f, 0);
  glVertex3f(0.25f, -0.25f, 0);
  glVertex3f(-0.25f, -0.25f, 0);
  glEnd();

  auto everywhere = [](const auto&) { return true; };
  auto inArena = [](const auto& thing) { return insideArena(thing.pos); };
  dots(planes, 0.3f, 0.3f, 0.3f, 6, everywhere);
  dots(troopers, 0.5f, 1, 0, 4, everywhere);
  dots(bombs, 1, 0, 0.1f, 3, everywhere);
  dots(shells, 0, 0, 0, 3, inArena);

  glColor3f(1, 1, 0);
  glPointSize(5 * hudPixelScale());
  glBegin(GL_POINTS);
  if (missile.active && insideArena(missile.pos)) radarDot(missile.pos);
  glEnd();
  glPopMatrix();
}

void drawCrosshair() {
  glBegin(GL_LINES);
  glVertex3f(-0.05f, 0, 0);
  glVertex3f(0.05f, 0, 0);
  glVertex3f(0, -0.05f, 0);
  glVertex3f(0, 0.05f, 0);
  glEnd();
}

// Ends a text pass and puts back the state the scene relies on (depth test
// and lighting on, blending off, the view restored).
void finishScreen() {
  unbindFont();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
}

// Starts a pass of white text lines in the plane in front of the eye, at
// the size of the game-over screen's lines; finishScreen ends it.
void startLineScreen() {
  glPushMatrix();
  glDisable(GL_DEPTH_TEST);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glTranslatef(0, 0, -1);
  glScalef(0.05f, 0.05f, 0.05f);
  glEnable(GL_BLEND);
  glColor3f(1, 1, 1);
  bindFont(&gameFont);
}

}  // namespace

void drawOverlay() {
  glPushMatrix();
  glDisable(GL_DEPTH_TEST);
  glLoadIdentity();
  glTranslatef(0, 0, -1);
  glDisable(GL_LIGHTING);
  // The white crosshair over a wider dark one, so it reads over cloud too.
  // Widths and dot sizes grow with the window's height (hudPixelScale).
  glLineWidth(3 * hudPixelScale());
  glColor3f(0, 0, 0);
  drawCrosshair();
  glLineWidth(hudPixelScale());
  glColor3f(1, 1, 1);
  drawCrosshair();

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
  if (frameCounterShown()) drawText(frameCounterText(), 24, -29.5f * aspect, 0);  // F9
  finishScreen();
}

void drawGameOver() {
  startLineScreen();
  drawText("The game is over", -10, 5, 0);
  char question[96];
  snprintf(question, sizeof question, "Do you wish to end the game?%s/%s", boundKeyLabel(actionEnd),
           boundKeyLabel(actionReplay));
  drawText(question, -17, 2, 0);
  // The run so far, beneath the two lines and a little smaller, so that the
  // pause note below it keeps its place.
  const char* run = screenPicture.runLine;
  if (run[0]) {
    glPushMatrix();
    glScalef(0.8f, 0.8f, 0.8f);
    drawText(run, -textWidth(run) / 2, -0.1f / 0.8f, 0);
    glPopMatrix();
  }
  finishScreen();
}

void drawPausedNote() {
  // The size of the game-over lines, centred across the picture: in play
  // just above the crosshair (1 text unit high here), which would otherwise
  // run through the words; on the game-over screen a line below the
  // question (whose top is at 2).
  startLineScreen();
  char note[64];
  snprintf(note, sizeof note, "Paused - press %s", boundKeyLabel(actionPause));
  const float top = game.gameOver ? -1.5f : 1.5f + textHeight();
  drawText(note, -textWidth(note) / 2, top, 0);
  finishScreen();
}
