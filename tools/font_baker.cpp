// font_baker.cpp: FreeType rendering of the HUD font into a 512 x 256
// luminance-alpha atlas. Each glyph's cell is its pen advance wide and one
// full line (ascent to descent) high, so every glyph of a line hangs from the
// same top edge; a transparent texel separates neighbouring cells so linear
// filtering never bleeds. The ink is white; a dark outline around it,
// nearly opaque for two texels and fading over the third, keeps the white
// text readable over white cloud as well as over blue sky (the HUD shows the
// atlas at about half size, so that is a pixel or more on screen).
#include "tools/font_baker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

#include "tools/data_writer.h"

#ifndef VELKARRA_FONT_FILE
#define VELKARRA_FONT_FILE "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

namespace {

constexpr int kAtlasWidth = 512, kAtlasHeight = 256;
constexpr int kGutter = 1;
constexpr int kLargestPixelSize = 40;
constexpr double kRimRadius = 2.6;  // texels
constexpr double kRimOpacity = 0.9;

struct Cell {
  int x, y, advance;
};

class FreeTypeFace {
 public:
  explicit FreeTypeFace(const std::string& path) : path_(path) {
    if (FT_Init_FreeType(&library_) != 0) fail();
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) fail();
  }
  ~FreeTypeFace() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;

  void setPixelSize(int px) {
    if (FT_Set_Pixel_Sizes(face_, 0, px) != 0) fail();
  }
  int ascent() const { return static_cast<int>((face_->size->metrics.ascender + 63) >> 6); }
  int descent() const { return static_cast<int>((-face_->size->metrics.descender + 63) >> 6); }
  FT_GlyphSlot load(int code) {
    if (FT_Load_Char(face_, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) fail();
    return face_->glyph;
  }
  int advance(int code) { return static_cast<int>((load(code)->advance.x + 32) >> 6); }
  [[noreturn]] void fail() const { throw WriteError("cannot render font " + path_); }

 private:
  std::string path_;
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

// Places cells row by row; false if they do not fit the atlas.
bool layOut(const std::vector<int>& advances, int lineHeight, std::vector<Cell>& cells) {
  cells.clear();
  int x = kGutter, y = kGutter;
  for (int advance : advances) {
    if (x + advance + kGutter > kAtlasWidth) {
      x = kGutter;
      y += lineHeight + kGutter;
    }
    if (y + lineHeight + kGutter > kAtlasHeight) return false;
    cells.push_back({x, y, advance});
    x += advance + kGutter;
  }
  return true;
}

}  // namespace

BakedFont bakeFont(const std::string& fontPath) {
  FreeTypeFace face(fontPath);
  BakedFont font;
  font.width = kAtlasWidth;
  font.height = kAtlasHeight;
  const int count = font.lastChar - font.firstChar + 1;

  // The largest size whose cells all fit.
  std::vector<Cell> cells;
  std::vector<int> advances;
  int px = kLargestPixelSize;
  for (;; --px) {
    if (px < 8) face.fail();
    face.setPixelSize(px);
    advances.clear();
    for (int c = font.firstChar; c <= font.lastChar; ++c) advances.push_back(face.advance(c));
    if (layOut(advances, face.ascent() + face.descent(), cells)) break;
  }
  const int ascent = face.ascent(), lineHeight = ascent + face.descent();
  font.pixelSize = px;
  font.lineHeightTexels = lineHeight;

  // Ink coverage per texel, drawn into each glyph's cell (clipped to it;
  // nudged sideways when the ink overhangs an edge but fits the cell).
  std::vector<double> ink(static_cast<size_t>(kAtlasWidth) * kAtlasHeight, 0.0);
  std::vector<int> owner(ink.size(), -1);
  for (int i = 0; i < count; ++i) {
    const Cell& cell = cells[i];
    for (int y = 0; y < lineHeight; ++y) {
      for (int x = 0; x < cell.advance; ++x) owner[(cell.y + y) * kAtlasWidth + cell.x + x] = i;
    }
    FT_GlyphSlot g = face.load(font.firstChar + i);
    const FT_Bitmap& bm = g->bitmap;
    int left = g->bitmap_left;
    int w = static_cast<int>(bm.width);
    if (w <= cell.advance) left = std::clamp(left, 0, cell.advance - w);
    int top = ascent - g->bitmap_top;
    for (int r = 0; r < static_cast<int>(bm.rows); ++r) {
      for (int c = 0; c < w; ++c) {
        int x = left + c, y = top + r;
        if (x < 0 || x >= cell.advance || y < 0 || y >= lineHeight) continue;
        ink[(cell.y + y) * kAtlasWidth + cell.x + x] = bm.buffer[r * bm.pitch + c] / 255.0;
      }
    }
    font.glyphs.push_back({static_cast<float>(cell.advance) * kLineHeightUnits / lineHeight,
                           kLineHeightUnits, static_cast<float>(cell.x) / kAtlasWidth,
                           static_cast<float>(cell.y) / kAtlasHeight,
                           static_cast<float>(cell.x + cell.advance) / kAtlasWidth,
                           static_cast<float>(cell.y + lineHeight) / kAtlasHeight});
  }

  // The dark outline: ink spread by kRimRadius within the same cell.
  const int reach = static_cast<int>(std::ceil(kRimRadius));
  font.image.assign(static_cast<size_t>(kAtlasWidth) * kAtlasHeight * 2, 0);
  for (size_t i = 0; i < font.image.size(); i += 2) font.image[i] = 255;  // clear is white
  for (int y = 0; y < kAtlasHeight; ++y) {
    for (int x = 0; x < kAtlasWidth; ++x) {
      int i = y * kAtlasWidth + x;
      if (owner[i] < 0) continue;
      double rim = 0;
      for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
          int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= kAtlasWidth || ny >= kAtlasHeight) continue;
          int j = ny * kAtlasWidth + nx;
          if (owner[j] != owner[i]) continue;
          double falloff = std::clamp(kRimRadius + 0.5 - std::hypot(dx, dy), 0.0, 1.0);
          rim = std::max(rim, ink[j] * falloff);
        }
      }
      double alpha = std::max(ink[i], rim * kRimOpacity);
      double luminance = alpha > 0 ? ink[i] / alpha : 1.0;
      font.image[2 * i] = static_cast<uint8_t>(std::lround(luminance * 255));
      font.image[2 * i + 1] = static_cast<uint8_t>(std::lround(alpha * 255));
    }
  }
  return font;
}

std::vector<uint8_t> encodeFont(const BakedFont& font) {
  std::vector<uint8_t> out;
  putInt32(out, 0);  // texture name slot, filled by the game
  putInt32(out, font.width);
  putInt32(out, font.height);
  putInt32(out, font.firstChar);
  putInt32(out, font.lastChar);
  putInt32(out, 0);  // glyph table slot, filled by the game
  for (const BakedGlyph& g : font.glyphs) {
    for (float v : {g.width, g.height, g.s0, g.t0, g.s1, g.t1}) putFloat(out, v);
  }
  out.insert(out.end(), font.image.begin(), font.image.end());
  return out;
}

void writeFont(const DataFolder& folder) {
  writeBytes(folder.path("font.glf"), encodeFont(bakeFont(VELKARRA_FONT_FILE)));
}
