// font.cpp: loading the texture font and drawing text as textured quads.
#include "assets/font.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

TextureFont gameFont;
const TextureFont* currentFont;

namespace {

int32_t readLe32(const unsigned char* p) {
  uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  int32_t out;
  memcpy(&out, &v, sizeof out);
  return out;
}

float readLeFloat(const unsigned char* p) {
  int32_t bits = readLe32(p);
  float out;
  memcpy(&out, &bits, sizeof out);
  return out;
}

}  // namespace

bool readFont(FILE* file, TextureFont* font, unsigned char** image) {
  *image = nullptr;
  unsigned char header[24];
  if (fread(header, 1, sizeof header, file) != sizeof header) return false;
  font->width = readLe32(header + 4);
  font->height = readLe32(header + 8);
  font->firstChar = readLe32(header + 12);
  font->lastChar = readLe32(header + 16);
  font->glyphs = nullptr;
  int64_t count = static_cast<int64_t>(font->lastChar) - font->firstChar + 1;
  if (count < 1 || count > maxFontGlyphs || font->width < 1 || font->height < 1 ||
      font->width > maxFontTexels || font->height > maxFontTexels)
    return false;

  size_t tableBytes = static_cast<size_t>(count) * 24;
  size_t imageBytes = static_cast<size_t>(font->width) * font->height * 2;
  // A file shorter than its header promises is refused before anything is
  // allocated (streams that cannot tell their size find out while reading).
  long here = ftell(file);
  if (here >= 0 && fseek(file, 0, SEEK_END) == 0) {
    long end = ftell(file);
    if (fseek(file, here, SEEK_SET) != 0 || end < here ||
        static_cast<uint64_t>(end - here) < tableBytes + imageBytes)
      return false;
  }
  unsigned char* raw = static_cast<unsigned char*>(malloc(tableBytes));
  Glyph* glyphs = static_cast<Glyph*>(malloc(static_cast<size_t>(count) * sizeof(Glyph)));
  unsigned char* pixels = static_cast<unsigned char*>(malloc(imageBytes));
  bool complete = raw && glyphs && pixels && fread(raw, 1, tableBytes, file) == tableBytes &&
                  fread(pixels, 1, imageBytes, file) == imageBytes;
  if (!complete) {
    free(raw);
    free(glyphs);
    free(pixels);
    return false;
  }
  for (int64_t i = 0; i < count; i++) {
    const unsigned char* r = raw + i * 24;
    glyphs[i] = {readLeFloat(r),      readLeFloat(r + 4),  readLeFloat(r + 8),
                 readLeFloat(r + 12), readLeFloat(r + 16), readLeFloat(r + 20)};
  }
  free(raw);
  font->glyphs = glyphs;
  *image = pixels;
  return true;
}

bool loadFont(TextureFont* font, const char* fileName, uint32_t textureName) {
  FILE* file = fopen(fileName, "rb");
  if (!file) return false;
  unsigned char* image = nullptr;
  bool ok = readFont(file, font, &image);
  fclose(file);
  font->texture = textureName;
  if (!ok) return false;

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

void freeFont(TextureFont* font) {
  free(font->glyphs);
  font->glyphs = nullptr;
}
