// font_baker.h: bakes printable ASCII from a TrueType font into the game's
// texture font file, font.glf.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BakedGlyph {
  float width, height;   // quad size and pen advance, in text units
  float s0, t0, s1, t1;  // texture rectangle, t0 at the top edge
};

struct BakedFont {
  int width = 0, height = 0;  // atlas size in texels
  int firstChar = 32, lastChar = 126;
  int pixelSize = 0;         // FreeType size the glyphs were rendered at
  int lineHeightTexels = 0;  // one text line (ascent to descent)
  std::vector<BakedGlyph> glyphs;
  std::vector<uint8_t> image;  // luminance, alpha per texel, first row at t = 0
};

// One text line is this many text units high.
constexpr float kLineHeightUnits = 2.0f;

// Renders the font file; throws WriteError naming the font on failure.
BakedFont bakeFont(const std::string& fontPath);
std::vector<uint8_t> encodeFont(const BakedFont& font);

class DataFolder;
void writeFont(const DataFolder& folder);
