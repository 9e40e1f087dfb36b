// font.h: the texture font file all on-screen text is drawn with.
//
// The renderer reads "font.glf" at start-up with readFont, uploads the image
// into its font texture (render/text.h) and keeps the glyph table for the
// whole run; freeFont gives it back. Without a font (missing or bad file)
// the game runs and shows no text. The font fuzz target calls readFont.
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

// Reads a font file (little-endian header of six 32-bit slots, the glyph
// table, then the luminance-alpha image): fills the font's sizes, codes and
// glyph table from an open file and hands back the image (width x height
// luminance-alpha pairs) in *image, which the caller frees. Returns false,
// with no glyph table and no image, on a short file or impossible sizes,
// and then, when why is not null, points *why at a few words saying which.
// The texture name is not touched.
bool readFont(FILE* file, TextureFont* font, unsigned char** image, const char** why = nullptr);

void freeFont(TextureFont* font);
