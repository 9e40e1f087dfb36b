// font.cpp: reading the texture font file.
#include "assets/font.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool readFont(FILE* file, TextureFont* font, unsigned char** image, const char** why) {
  const char* ignored;
  if (!why) why = &ignored;
  *image = nullptr;
  unsigned char header[24];
  if (fread(header, 1, sizeof header, file) != sizeof header) {
    *why = "the file is shorter than a font's header";
    return false;
  }
  font->width = readLe32(header + 4);
  font->height = readLe32(header + 8);
  font->firstChar = readLe32(header + 12);
  font->lastChar = readLe32(header + 16);
  font->glyphs = nullptr;
  int64_t count = static_cast<int64_t>(font->lastChar) - font->firstChar + 1;
  if (count < 1 || count > maxFontGlyphs || font->width < 1 || font->height < 1 ||
      font->width > maxFontTexels || font->height > maxFontTexels) {
    *why = "its header declares an impossible size or number of glyphs";
    return false;
  }

  size_t tableBytes = static_cast<size_t>(count) * 24;
  size_t imageBytes = static_cast<size_t>(font->width) * font->height * 2;
  // A file shorter than its header promises is refused before anything is
  // allocated (streams that cannot tell their size find out while reading).
  long here = ftell(file);
  if (here >= 0 && fseek(file, 0, SEEK_END) == 0) {
    long end = ftell(file);
    if (fseek(file, here, SEEK_SET) != 0 || end < here ||
        static_cast<uint64_t>(end - here) < tableBytes + imageBytes) {
      *why = "the file is too short for the glyphs and the image its header declares";
      return false;
    }
  }
  unsigned char* raw = static_cast<unsigned char*>(malloc(tableBytes));
  Glyph* glyphs = static_cast<Glyph*>(malloc(static_cast<size_t>(count) * sizeof(Glyph)));
  unsigned char* pixels = static_cast<unsigned char*>(malloc(imageBytes));
  bool complete = raw && glyphs && pixels && fread(raw, 1, tableBytes, file) == tableBytes &&
                  fread(pixels, 1, imageBytes, file) == imageBytes;
  if (!complete) {
    *why = raw && glyphs && pixels ? "the file ends before its glyphs and image do"
                                   : "not enough memory to read it";
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

void freeFont(TextureFont* font) {
  free(font->glyphs);
  font->glyphs = nullptr;
}
