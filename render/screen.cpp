// screen.cpp: the screens' layout and drawing in the plane of the HUD, and
// the free camera's note.
#include "render/screen.h"

#include <GL/gl.h>

#include <cstdio>

#include "game/bindings.h"
#include "game/world.h"
#include "render/text.h"
#include "render/view.h"

ScreenPicture screenPicture;

namespace {

constexpr float margin = 0.04f;      // from the picture's edges
constexpr float titleScale = 0.05f;  // the size of the pause note and the game-over lines
constexpr float menuScale = 0.04f;   // the largest rows of the pause menu
constexpr float listScale = 0.034f;  // the largest rows of the other screens
constexpr float lineFactor = 1.08f;  // a line's pitch, in glyph heights
constexpr float columnGap = 2.5f;    // between columns, in text units
constexpr float widest = 1.9f;       // of the picture's width of 2

// The font's glyph height in its own units (2 for the game's font).
float glyphHeight() {
  return gameFont.glyphs && gameFont.lastChar >= gameFont.firstChar ? gameFont.glyphs[0].height : 2;
}

// The width of text in the font's units, without binding it.
float unitsWide(const char* text) {
  if (!gameFont.glyphs) return 0;
  float width = 0;
  for (const char* c = text; *c; c++) {
    const int code = static_cast<signed char>(*c);  // NOLINT(bugprone-signed-char-misuse)
    if (code >= gameFont.firstChar && code <= gameFont.lastChar)
      width += gameFont.glyphs[code - gameFont.firstChar].width;
  }
  return width;
}

float maxf(float a, float b) { return a > b ? a : b; }
float minf(float a, float b) { return a < b ? a : b; }

// The bottom of the pause note "Paused - press P" (render.h), where the
// pause menu starts: just above the crosshair in play, a line below the
// game-over question.
float pauseNoteBottom() {
  const float top = game.gameOver ? -1.5f : 1.5f + glyphHeight();
  return (top - glyphHeight()) * titleScale;
}

void beginPlane() {
  glPushMatrix();
  glDisable(GL_DEPTH_TEST);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glTranslatef(0, 0, -1);
  glEnable(GL_BLEND);
}

void endPlane() {
  unbindFont();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
}

// A plain rectangle of the plane, in the colour set.
void rectangle(float left, float top, float right, float bottom) {
  glBindTexture(GL_TEXTURE_2D, 0);
  drawPlaneRectangle(left, top, right, bottom);
}

// Text with its top-left corner at (x, top) of the plane, at scale: its
// glyphs' quads, within the one glBegin(GL_QUADS) of all a screen's text
// (a draw call for each of its many short texts costs more on software GL
// than their pixels do).
void textAt(const char* text, float x, float top, float scale) {
  if (!gameFont.glyphs) return;
  for (const char* c = text; *c; c++) {
    const int code = static_cast<signed char>(*c);  // NOLINT(bugprone-signed-char-misuse)
    if (code < gameFont.firstChar || code > gameFont.lastChar) continue;
    const Glyph& g = gameFont.glyphs[code - gameFont.firstChar];
    const float right = x + g.width * scale, bottom = top - g.height * scale;
    if (code == ' ') {  // no ink: only the advance
      x = right;
      continue;
    }
    glTexCoord2f(g.s0, g.t0);
    glVertex3f(x, top, 0);
    glTexCoord2f(g.s0, g.t1);
    glVertex3f(x, bottom, 0);
    glTexCoord2f(g.s1, g.t1);
    glVertex3f(right, bottom, 0);
    glTexCoord2f(g.s1, g.t0);
    glVertex3f(right, top, 0);
    x = right;
  }
}

void centredAt(const char* text, float top, float scale) {
  textAt(text, -unitsWide(text) * scale / 2, top, scale);
}

// The same, made smaller where it would not fit across the picture.
void fittedAt(const char* text, float top, float scale) {
  const float units = unitsWide(text);
  centredAt(text, top, units * scale > widest ? widest / units : scale);
}

}  // namespace

void layoutScreen(const ScreenPicture& p, ScreenLayout* out) {
  *out = ScreenLayout{};
  const float top = p.underPauseNote ? pauseNoteBottom() - 0.01f : aspect - margin;
  const float bottom = -aspect + margin;
  const float titleHeight = p.title[0] ? glyphHeight() * titleScale * 1.3f : 0;
  // Lines at the rows' scale: the subtitle and a gap, the rows, a gap and
  // the status, the hints.
  float lines = static_cast<float>(p.rowCount);
  if (p.subtitle[0]) lines += 1.4f;
  if (p.status[0]) lines += 1.4f;
  if (p.hint[0]) lines += 1.0f;
  const int columns = p.columns < 1                  ? 1
                      : p.columns > screenColumnsMax ? screenColumnsMax
                                                     : p.columns;
  float units[screenColumnsMax] = {};
  for (int r = 0; r < p.rowCount && r < screenRowsMax; r++)
    for (int c = 0; c < columns; c++) units[c] = maxf(units[c], unitsWide(p.rows[r].cells[c]));
  float tableUnits = columnGap * static_cast<float>(columns - 1);
  for (int c = 0; c < columns; c++) tableUnits += units[c];
  // The status and the hints get smaller on their own where they are long.
  const float wideUnits = maxf(tableUnits, unitsWide(p.subtitle));
  const float largest = p.underPauseNote ? menuScale : listScale;
  const float byHeight =
      lines > 0 ? (top - titleHeight - bottom) / (lines * glyphHeight() * lineFactor) : largest;
  const float byWidth = wideUnits > 0 ? widest / wideUnits : largest;
  const float scale = maxf(0.001f, minf(largest, minf(byHeight, byWidth)));
  const float pitch = glyphHeight() * lineFactor * scale;
  out->scale = scale;
  out->pitch = pitch;
  out->titleTop = top;
  float y = top - titleHeight;
  out->subtitleTop = y;
  if (p.subtitle[0]) y -= pitch * 1.4f;
  out->rowsTop = y;
  y -= pitch * static_cast<float>(p.rowCount);
  out->statusTop = y - pitch * 0.4f;
  if (p.status[0]) y -= pitch * 1.4f;
  out->hintTop = y;
  out->left = -tableUnits * scale / 2;
  out->right = tableUnits * scale / 2;
  float x = out->left;
  for (int c = 0; c < columns; c++) {
    out->columnLeft[c] = x;
    out->columnWidth[c] = units[c] * scale;
    x += (units[c] + columnGap) * scale;
  }
}

int screenRowAt(const ScreenPicture& p, float x, float y, int* side) {
  ScreenLayout l;
  layoutScreen(p, &l);
  *side = 0;
  const float pad = l.pitch * 0.5f;
  if (x < l.left - pad || x > l.right + pad || y > l.rowsTop || l.pitch <= 0) return -1;
  const int row = static_cast<int>((l.rowsTop - y) / l.pitch);
  if (row < 0 || row >= p.rowCount) return -1;
  const int last = (p.columns < 1 ? 1 : p.columns) - 1;
  *side = x < l.columnLeft[last] + l.columnWidth[last] / 2 ? -1 : 1;
  return row;
}

void startScreenShade(const ScreenPicture& p) {
  // Black fog at a near constant share: linear fog from far behind the eye
  // to far ahead leaves (end - z) / (end - start) of each colour at a
  // distance z, which is the same for everything in the arena. The scene
  // comes out dimmed in the same pass, at no cost of its own.
  const float kept = p.underPauseNote ? 0.5f : 0.3f;
  constexpr float far = 1e6f;
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  const GLfloat black[4] = {0, 0, 0, 1};
  glFogfv(GL_FOG_COLOR, black);
  glFogf(GL_FOG_START, far - far / kept);
  glFogf(GL_FOG_END, far);
}

void endScreenShade() { glDisable(GL_FOG); }

void drawScreen(const ScreenPicture& p) {
  ScreenLayout l;
  layoutScreen(p, &l);
  beginPlane();
  if (p.underPauseNote) {
    // A darker panel behind the menu, so that the crosshair and the scene
    // do not run through its words.
    const float half = maxf(l.right, unitsWide(p.subtitle) * l.scale / 2) + l.pitch * 0.6f;
    const float top = p.subtitle[0] ? l.subtitleTop : l.rowsTop;
    glColor4f(0, 0, 0, 0.7f);
    rectangle(-half, top + l.pitch * 0.15f, half,
              l.rowsTop - l.pitch * static_cast<float>(p.rowCount) - l.pitch * 0.15f);
  }
  if (p.highlight >= 0 && p.highlight < p.rowCount) {
    const float top = l.rowsTop - l.pitch * static_cast<float>(p.highlight);
    glColor4f(0.95f, 0.7f, 0.1f, 0.4f);
    rectangle(l.left - l.pitch * 0.4f, top + l.pitch * 0.02f, l.right + l.pitch * 0.4f,
              top - l.pitch * 0.95f);
  }
  bindFont(&gameFont);
  glBegin(GL_QUADS);
  glColor3f(1, 1, 1);
  if (p.title[0]) centredAt(p.title, l.titleTop, titleScale);
  glColor3f(0.85f, 0.95f, 1);
  if (p.subtitle[0]) centredAt(p.subtitle, l.subtitleTop, l.scale);
  const int columns = p.columns < 1                  ? 1
                      : p.columns > screenColumnsMax ? screenColumnsMax
                                                     : p.columns;
  for (int r = 0; r < p.rowCount && r < screenRowsMax; r++) {
    const ScreenRow& row = p.rows[r];
    if (r == p.highlight)
      glColor3f(1, 0.9f, 0.35f);
    else if (row.style == rowMarked)
      glColor3f(0.45f, 1, 0.85f);
    else if (row.style == rowItem)
      glColor3f(1, 1, 1);
    else
      glColor3f(0.8f, 0.8f, 0.8f);
    const float top = l.rowsTop - l.pitch * static_cast<float>(r);
    for (int c = 0; c < columns; c++) {
      const char* text = row.cells[c];
      const float wide = unitsWide(text) * l.scale;
      const float x =
          columns == 1 || p.align[c] == alignCentre
              ? (columns == 1 ? -wide / 2 : l.columnLeft[c] + (l.columnWidth[c] - wide) / 2)
          : p.align[c] == alignRight ? l.columnLeft[c] + l.columnWidth[c] - wide
                                     : l.columnLeft[c];
      textAt(text, x, top, l.scale);
    }
  }
  glColor3f(1, 0.8f, 0.5f);
  if (p.status[0]) fittedAt(p.status, l.statusTop, l.scale);
  glColor3f(0.7f, 0.7f, 0.7f);
  if (p.hint[0]) fittedAt(p.hint, l.hintTop, l.scale * 0.9f);
  glColor3f(1, 1, 1);
  glEnd();
  endPlane();
}

void drawFreeCameraNote() {
  beginPlane();
  bindFont(&gameFont);
  glColor3f(1, 1, 1);
  char note[64];
  snprintf(note, sizeof note, "Free camera - press %s", boundKeyLabel(actionCameraLock));
  glBegin(GL_QUADS);
  centredAt(note, aspect - 0.02f, 0.035f);
  glEnd();
  endPlane();
}
