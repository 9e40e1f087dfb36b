// Tests of font.glf, read back in its binary layout: header, glyph table and
// luminance-alpha image, and whether the HUD's lines fit where they are drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

struct Glyph {
  float width, height, s0, t0, s1, t1;
};

class FontFile : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = readFile(std::string(VELKARRA_DATA_DIR) + "/font.glf");
    ASSERT_GE(bytes_.size(), 24u);
    width_ = int32(4), height_ = int32(8), first_ = int32(12), last_ = int32(16);
    ASSERT_EQ(first_, 32);
    ASSERT_EQ(last_, 126);
    ASSERT_GT(width_, 0);
    ASSERT_GT(height_, 0);
    count_ = last_ - first_ + 1;
    ASSERT_EQ(bytes_.size(), 24u + 24u * count_ + 2u * width_ * height_);
    glyphs_.resize(count_);
    std::memcpy(glyphs_.data(), bytes_.data() + 24, 24 * count_);
    image_ = reinterpret_cast<const uint8_t*>(bytes_.data()) + 24 + 24 * count_;
  }
  int32_t int32(size_t at) const {
    int32_t v = 0;
    for (int i = 0; i < 4; ++i)
      v |= static_cast<int32_t>(static_cast<uint8_t>(bytes_[at + i])) << (8 * i);
    return v;
  }
  const Glyph& glyph(char c) const { return glyphs_[c - first_]; }
  int luminance(int x, int y) const { return image_[2 * (y * width_ + x)]; }
  int alpha(int x, int y) const { return image_[2 * (y * width_ + x) + 1]; }
  double textWidth(const char* text) const {
    double w = 0;
    for (const char* c = text; *c; ++c) w += glyph(*c).width;
    return w;
  }
  // A glyph's texel rectangle [x0, x1) x [y0, y1).
  void texels(const Glyph& g, int& x0, int& y0, int& x1, int& y1) const {
    x0 = static_cast<int>(std::lround(g.s0 * width_)),
    x1 = static_cast<int>(std::lround(g.s1 * width_));
    y0 = static_cast<int>(std::lround(g.t0 * height_)),
    y1 = static_cast<int>(std::lround(g.t1 * height_));
  }

  std::string bytes_;
  int width_ = 0, height_ = 0, first_ = 0, last_ = 0, count_ = 0;
  std::vector<Glyph> glyphs_;
  const uint8_t* image_ = nullptr;
};

TEST_F(FontFile, HeaderSlotsAndRowAlignment) {
  EXPECT_EQ(int32(0), 0);
  EXPECT_EQ(int32(20), 0);
  EXPECT_EQ(width_ * 2 % 4, 0) << "rows must meet the GL's 4-byte unpack alignment";
}

TEST_F(FontFile, GlyphRectanglesSitOnTexelEdgesInsideTheAtlas) {
  for (int c = first_; c <= last_; ++c) {
    const Glyph& g = glyphs_[c - first_];
    SCOPED_TRACE(std::string("glyph '") + static_cast<char>(c) + "'");
    for (float v : {g.s0, g.t0, g.s1, g.t1}) {
      EXPECT_GE(v, 0.0f);
      EXPECT_LE(v, 1.0f);
    }
    EXPECT_LT(g.s0, g.s1);
    EXPECT_LT(g.t0, g.t1) << "the top edge has the smaller t";
    EXPECT_NEAR(g.s0 * width_, std::round(g.s0 * width_), 1e-3);
    EXPECT_NEAR(g.s1 * width_, std::round(g.s1 * width_), 1e-3);
    EXPECT_NEAR(g.t0 * height_, std::round(g.t0 * height_), 1e-3);
    EXPECT_NEAR(g.t1 * height_, std::round(g.t1 * height_), 1e-3);
    // Drawn undistorted: the quad has the shape of its texels.
    EXPECT_NEAR(g.width / g.height, (g.s1 - g.s0) * width_ / ((g.t1 - g.t0) * height_), 1e-3);
  }
}

TEST_F(FontFile, CellsAreSeparatedByClearTexels) {
  for (int a = 0; a < count_; ++a) {
    int ax0, ay0, ax1, ay1;
    texels(glyphs_[a], ax0, ay0, ax1, ay1);
    for (int b = a + 1; b < count_; ++b) {
      int bx0, by0, bx1, by1;
      texels(glyphs_[b], bx0, by0, bx1, by1);
      bool apart = ax1 < bx0 || bx1 < ax0 || ay1 < by0 || by1 < ay0;
      EXPECT_TRUE(apart) << "cells of " << char(first_ + a) << " and " << char(first_ + b)
                         << " touch or overlap";
    }
    // The texels around the cell are transparent, so filtering cannot pull
    // in a neighbour's ink.
    for (int y = ay0 - 1; y <= ay1; ++y) {
      for (int x = ax0 - 1; x <= ax1; ++x) {
        bool border = y == ay0 - 1 || y == ay1 || x == ax0 - 1 || x == ax1;
        if (!border || x < 0 || y < 0 || x >= width_ || y >= height_) continue;
        EXPECT_EQ(alpha(x, y), 0) << "next to " << char(first_ + a) << " at " << x << ", " << y;
      }
    }
  }
}

// White ink in a dark outline: over white cloud only the outline shows the
// letters, so it must be nearly opaque two texels out from the solid ink
// (about a pixel at the HUD's scale) and dark.
TEST_F(FontFile, EveryPrintableGlyphHasWhiteInkInADarkOutline) {
  for (int c = first_; c <= last_; ++c) {
    int x0, y0, x1, y1;
    texels(glyphs_[c - first_], x0, y0, x1, y1);
    int ink = 0, any = 0, dark = 0, thin = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        ink += alpha(x, y) >= 200 && luminance(x, y) >= 250;
        any += alpha(x, y) > 0;
        dark += alpha(x, y) >= 200 && luminance(x, y) <= 40;
        if (alpha(x, y) < 250 || luminance(x, y) < 250) continue;
        for (int d : {-2, 2}) {
          if (x + d >= x0 && x + d < x1) thin += alpha(x + d, y) < 200;
          if (y + d >= y0 && y + d < y1) thin += alpha(x, y + d) < 200;
        }
      }
    }
    SCOPED_TRACE(std::string("glyph '") + static_cast<char>(c) + "'");
    if (c == ' ') {
      EXPECT_EQ(any, 0) << "space must be blank";
    } else {
      EXPECT_GT(ink, 0) << "no ink";
      EXPECT_GT(dark, 0) << "no dark outline";
      EXPECT_EQ(thin, 0) << "outline too thin or too faint";
    }
  }
}

TEST_F(FontFile, LinesHaveOneHeightAndFitTheScreens) {
  for (const Glyph& g : glyphs_) EXPECT_FLOAT_EQ(g.height, glyph('A').height);
  EXPECT_NEAR(glyph('A').height, 2.0, 0.2);
  for (char c : std::string("aeimnoxAMW0")) {
    EXPECT_GE(glyph(c).width, 0.4) << c;
    EXPECT_LE(glyph(c).width, 2.0) << c;
  }
  // HUD (aspect 0.75): "Lives" at y = 24.75 and "Points" at y = 22.5 must
  // not overlap, and a three-digit score must fit before the right edge
  // (1 / 0.03 text units from the centre) from x = 20.
  EXPECT_LE(glyph('L').height, (33 - 30) * 0.75);
  EXPECT_LE(20 + textWidth("Points: 1000"), 1 / 0.03);
  // Game over at scale 0.05: the question starts at x = -17 and must end
  // before x = +20; its two lines, at y = 5 and y = 2, must not overlap.
  EXPECT_LE(textWidth("Do you wish to end the game?Y/N"), 37);
  EXPECT_LE(glyph('T').height, 3);
  EXPECT_LE(-10 + textWidth("The game is over"), 20);
}

}  // namespace
