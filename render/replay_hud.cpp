// replay_hud.cpp: the watched recording's top line and its help box, in
// the plane one unit in front of the eye where the overlay is drawn too.
#include "render/replay_hud.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "render/text.h"
#include "render/view.h"

namespace {

// Text units per unit of the plane: the size of the overlay's lines.
constexpr float kLineScale = 0.03f;

char hudLine[96];
bool helpShown;
const char* const* helpLines;

// Starts white text over the scene, scaled to the overlay's lines.
void startText() {
  glPushMatrix();
  glDisable(GL_DEPTH_TEST);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glTranslatef(0, 0, -1);
  glScalef(kLineScale, kLineScale, kLineScale);
  glEnable(GL_BLEND);
}

void endText() {
  unbindFont();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
}

// A dark, half-transparent box behind text, from (left, top) to (right,
// bottom) in text units.
void shade(float left, float top, float right, float bottom) {
  glDisable(GL_TEXTURE_2D);
  glColor4f(0, 0, 0, 0.6f);
  drawPlaneRectangle(left, top, right, bottom);
  glEnable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
}

void drawHelp(float top) {
  const float height = textHeight() * 1.3f;
  char key[64];
  float keyWidth = 0, textWidthMost = 0;
  for (int i = 0; i < replayHelpLineCount; i++) {
    const char* tab = strchr(helpLines[i], '\t');
    if (!tab) continue;
    snprintf(key, sizeof key, "%.*s", static_cast<int>(tab - helpLines[i]), helpLines[i]);
    if (textWidth(key) > keyWidth) keyWidth = textWidth(key);
    if (textWidth(tab + 1) > textWidthMost) textWidthMost = textWidth(tab + 1);
  }
  const float gap = textHeight();
  const float left = -(keyWidth + gap + textWidthMost) / 2;
  shade(left - gap, top + gap / 2, -left + gap, top - height * replayHelpLineCount - gap / 2);
  for (int i = 0; i < replayHelpLineCount; i++) {
    const char* tab = strchr(helpLines[i], '\t');
    const float y = top - height * i;
    if (!tab) {
      drawText(helpLines[i], left, y, 0);
      continue;
    }
    snprintf(key, sizeof key, "%.*s", static_cast<int>(tab - helpLines[i]), helpLines[i]);
    drawText(key, left, y, 0);
    drawText(tab + 1, left + keyWidth + gap, y, 0);
  }
}

}  // namespace

void setReplayHud(const char* line, bool help) {
  snprintf(hudLine, sizeof hudLine, "%s", line ? line : "");
  helpShown = help;
}

void setReplayHelp(const char* const (&lines)[replayHelpLineCount]) { helpLines = lines; }

void drawReplayHud() {
  if (!hudLine[0]) return;
  startText();
  bindFont(&gameFont);
  // The top of the plane is `aspect` up; the overlay's top lines stand at
  // 33 text units times it, so this one goes just below them.
  const float top = 33 * aspect - 1.2f * textHeight();
  const float width = textWidth(hudLine);
  shade(-width / 2 - 0.5f, top + 0.3f, width / 2 + 0.5f, top - textHeight() - 0.3f);
  drawText(hudLine, -width / 2, top, 0);
  if (helpShown && helpLines) drawHelp(top - 4 * textHeight());
  endText();
}
