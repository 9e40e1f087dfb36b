// font.h: the texture font all on-screen text is drawn with.
//
// Start-up loads "font.glf" into fontTexture; the overlay and the game-over
// screen bind it, draw their lines and unbind it; shutdown frees the glyph
// table. Without a font (missing or bad file) the game runs and shows no
// text.
#pragma once

#include <cstdint>
#include <cstdio>

struct Glyph {
  float width;   // quad width and pen advance, in text units
  float height;  // quad height, downward from the pen line
  float s0, t0;  // texture coordinates of the left and top edges
  float s1, t1;  // texture coordinates of the right and bottom edges
};

struct TextureFont {
  uint32_t texture;
  int32_t width;   // texels
  int32_t height;  // texels
  int32_t firstChar;
  int32_t lastChar;
  Glyph* glyphs;  // lastChar - firstChar + 1 glyphs, or null until loaded
};

// Limits beyond which a font file is taken as broken.
constexpr int32_t maxFontTexels = 8192;  // per side
constexpr int32_t maxFontGlyphs = 65536;

extern TextureFont gameFont;
extern const TextureFont* currentFont;

// Reads a font file (little-endian header of six 32-bit slots, the glyph
// table, then the luminance-alpha image) and uploads its image into the
// given texture, which stays bound. Returns false, with the font holding no
// glyph table and nothing uploaded, when the file is missing, short or has
// impossible sizes or glyph counts.
bool loadFont(TextureFont* font, const char* fileName, uint32_t textureName);

// The reading part of loadFont, without GL: fills the font's sizes, codes
// and glyph table from an open file and hands back the image (width x
// height luminance-alpha pairs) in *image, which the caller frees. Returns
// false, with no glyph table and no image, on a short file or impossible
// sizes. The texture name is not touched.
bool readFont(FILE* file, TextureFont* font, unsigned char** image);

// Makes the font current if it has glyphs; binds its texture in any case.
void bindFont(const TextureFont* font);
void unbindFont();

// Draws text with its first glyph's top-left corner at (x, y, z), one quad
// per character; characters without a glyph are skipped. Nothing without a
// current font.
void drawText(const char* text, float x, float y, float z);

void freeFont(TextureFont* font);
