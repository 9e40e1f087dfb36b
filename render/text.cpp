// text.cpp: uploading the texture font and drawing text as textured quads.
#include "render/text.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

TextureFont gameFont;
const TextureFont* currentFont;

bool loadFont(TextureFont* font, const char* fileName, uint32_t textureName, char* why,
              size_t whySize) {
  FILE* file = fopen(fileName, "rb");
  if (!file) {
    snprintf(why, whySize, "cannot open: %s", strerror(errno));
    font->glyphs = nullptr;
    font->texture = textureName;
    return false;
  }
  unsigned char* image = nullptr;
  const char* fault = "";
  bool ok = readFont(file, font, &image, &fault);
  fclose(file);
  font->texture = textureName;
  if (!ok) {
    snprintf(why, whySize, "%s", fault);
    return false;
  }

  glBindTexture(GL_TEXTURE_2D, font->texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  // Rows of the image are not padded: upload with byte alignment so that
  // fonts of any width arrive whole, then restore the GL's setting.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, 2, font->width, font->height, 0, GL_LUMINANCE_ALPHA,
               GL_UNSIGNED_BYTE, image);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  free(image);
  return true;
}

void bindFont(const TextureFont* font) {
  currentFont = font->glyphs ? font : nullptr;
  glBindTexture(GL_TEXTURE_2D, font->texture);
}

void unbindFont() { currentFont = nullptr; }

void drawText(const char* text, float x, float y, float z) {
  const TextureFont* font = currentFont;
  if (!font) return;
  size_t length = strlen(text);
  glBegin(GL_QUADS);
  for (size_t i = 0; i < length; i++) {
    // Bytes are read as signed codes, so bytes above 127 fall below
    // firstChar and are skipped.
    int code = static_cast<signed char>(text[i]);  // NOLINT(bugprone-signed-char-misuse)
    if (code < font->firstChar || code > font->lastChar) continue;
    const Glyph& g = font->glyphs[code - font->firstChar];
    glTexCoord2f(g.s0, g.t0);
    glVertex3f(x, y, z);
    glTexCoord2f(g.s0, g.t1);
    glVertex3f(x, y - g.height, z);
    glTexCoord2f(g.s1, g.t1);
    glVertex3f(x + g.width, y - g.height, z);
    glTexCoord2f(g.s1, g.t0);
    glVertex3f(x + g.width, y, z);
    x = x + g.width;
  }
  glEnd();
}

float textWidth(const char* text) {
  const TextureFont* font = currentFont;
  if (!font) return 0;
  float width = 0;
  for (const char* c = text; *c; c++) {
    const int code = static_cast<signed char>(*c);  // NOLINT(bugprone-signed-char-misuse)
    if (code >= font->firstChar && code <= font->lastChar)
      width += font->glyphs[code - font->firstChar].width;
  }
  return width;
}

float textHeight() {
  const TextureFont* font = currentFont;
  return font && font->lastChar >= font->firstChar ? font->glyphs[0].height : 0;
}

void drawPlaneRectangle(float left, float top, float right, float bottom) {
  glBegin(GL_QUADS);
  glVertex3f(left, top, 0);
  glVertex3f(left, bottom, 0);
  glVertex3f(right, bottom, 0);
  glVertex3f(right, top, 0);
  glEnd();
}
