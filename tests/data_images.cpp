// Tests of the pictures of the default data set, loaded with FreeImage as the
// game loads them: sizes and depths, the height map's heights as the terrain
// samples them, seamless tiling, and the sky pieces meeting without a seam.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "support/test_support.h"

namespace {

const std::string kData = VELKARRA_DATA_DIR;

struct Bitmap {
  std::unique_ptr<FIBITMAP, void (*)(FIBITMAP*)> dib{nullptr, FreeImage_Unload};
  int width = 0, height = 0, bpp = 0;
  // Channel c (0 blue, 1 green, 2 red, 3 alpha on little-endian) of the
  // pixel in column x of scan line y (0 is the bottom line).
  int at(int x, int y, int c) const {
    return FreeImage_GetScanLine(dib.get(), y)[x * (bpp / 8) + c];
  }
  double mean(int x0, int y0, int x1, int y1, int c) const {
    double sum = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) sum += at(x, y, c);
    }
    return sum / ((x1 - x0) * (y1 - y0));
  }
};

Bitmap load(const char* name, FREE_IMAGE_FORMAT format = FIF_BMP) {
  Bitmap b;
  b.dib.reset(FreeImage_Load(format, (kData + "/" + name).c_str(), 0));
  if (b.dib) {
    b.width = static_cast<int>(FreeImage_GetWidth(b.dib.get()));
    b.height = static_cast<int>(FreeImage_GetHeight(b.dib.get()));
    b.bpp = static_cast<int>(FreeImage_GetBPP(b.dib.get()));
  }
  return b;
}

TEST(DataImages, BitmapsHaveTheSizesTheGameUploads) {
  struct Expected {
    const char* name;
    int width, height;
  };
  for (Expected e : {Expected{"ground.bmp", 384, 384}, Expected{"sand.bmp", 256, 256},
                     Expected{"sky.bmp", 1024, 256}, Expected{"sky_up.bmp", 256, 256},
                     Expected{"ground_box.bmp", 64, 64}}) {
    EXPECT_EQ(FreeImage_GetFileType((kData + "/" + e.name).c_str(), 0), FIF_BMP) << e.name;
    Bitmap b = load(e.name);
    ASSERT_TRUE(b.dib) << e.name;
    EXPECT_EQ(b.width, e.width) << e.name;
    EXPECT_EQ(b.height, e.height) << e.name;
    EXPECT_EQ(b.bpp, 24) << e.name;
    EXPECT_EQ(FreeImage_GetPitch(b.dib.get()), static_cast<unsigned>(e.width * 3)) << e.name;
  }
}

// The terrain grid as the game builds it: 49 x 49 vertices, each taking
// byte 0 of the pixel at (trunc(j * s), trunc(i * s)), s = 383 / 48.
class HeightMap : public ::testing::Test {
 protected:
  void SetUp() override {
    map_ = load("ground.bmp");
    ASSERT_TRUE(map_.dib);
    ASSERT_EQ(map_.width, 384);
    std::istringstream settings(readFile(kData + "/settings.txt"));
    settings >> arena_;
    half_ = arena_ * 2.25;
  }
  double height(int i, int j) const {
    const float s = 383.0f / 48;
    return 2.0 - 0.04 * map_.at(static_cast<int>(j * s), static_cast<int>(i * s), 0);
  }
  double coordinate(int k) const { return -half_ + k * 2 * half_ / 48; }
  Bitmap map_;
  double arena_ = 0, half_ = 0;
};

TEST_F(HeightMap, CannonStandsOnLevelGroundJustBelowZero) {
  EXPECT_GE(height(24, 24), -0.6);
  EXPECT_LE(height(24, 24), 0.1);
  // The neighbouring vertices too: a shell fired level bursts on them, a
  // missile launched 1.5 out must clear them, and the view must stay open.
  for (int i = 23; i <= 25; ++i) {
    for (int j = 23; j <= 25; ++j) EXPECT_LE(height(i, j), 0.1) << i << ", " << j;
  }
  for (int y = 0; y < 384; ++y) {
    for (int x = 0; x < 384; ++x) {
      ASSERT_EQ(map_.at(x, y, 0), map_.at(x, y, 1)) << "not grey at " << x << ", " << y;
      ASSERT_EQ(map_.at(x, y, 0), map_.at(x, y, 2)) << "not grey at " << x << ", " << y;
    }
  }
}

TEST_F(HeightMap, RollingArenaAndHillsBeyondIt) {
  double plainLow = 1e9, plainHigh = -1e9, outerLow = 1e9, outerHigh = -1e9;
  for (int i = 0; i <= 48; ++i) {
    for (int j = 0; j <= 48; ++j) {
      double r = std::fmax(std::fabs(coordinate(i)), std::fabs(coordinate(j)));
      double h = height(i, j);
      if (r <= 0.8 * arena_) {
        plainLow = std::fmin(plainLow, h), plainHigh = std::fmax(plainHigh, h);
      } else {
        outerLow = std::fmin(outerLow, h), outerHigh = std::fmax(outerHigh, h);
      }
    }
  }
  // The plain: the hills begin only towards the walls.
  EXPECT_GE(plainLow, -1.2);
  EXPECT_LE(plainHigh, 0.6) << "troopers land on a gentle plain";
  EXPECT_GE(plainHigh - plainLow, 0.3) << "the plain should not be flat";
  EXPECT_GE(outerHigh, 1.5) << "hills towards and beyond the arena's edge";
  EXPECT_LE(outerLow, -1.0) << "valleys between them";
}

// Mean difference between the strips of `width` texels on either side of a
// line: across the texture's wrap (seam) or across its middle (interior).
double stripStep(const Bitmap& b, bool vertical, bool seam, int width) {
  double sum = 0;
  int lines = vertical ? b.width : b.height, size = vertical ? b.height : b.width;
  int a0 = seam ? size - width : size / 2 - width, b0 = seam ? 0 : size / 2;
  for (int line = 0; line < lines; ++line) {
    for (int c = 0; c < 3; ++c) {
      double a = 0, z = 0;
      for (int k = 0; k < width; ++k) {
        a += vertical ? b.at(line, a0 + k, c) : b.at(a0 + k, line, c);
        z += vertical ? b.at(line, b0 + k, c) : b.at(b0 + k, line, c);
      }
      sum += std::fabs(a - z) / width;
    }
  }
  return sum / (3 * lines);
}

TEST(DataImages, SandTilesWithoutASeam) {
  Bitmap sand = load("sand.bmp");
  ASSERT_TRUE(sand.dib);
  for (bool vertical : {false, true}) {
    EXPECT_LE(stripStep(sand, vertical, true, 4), 1.3 * stripStep(sand, vertical, false, 4) + 0.5)
        << (vertical ? "top and bottom" : "left and right") << " edges differ";
  }
  // Warm sand: red above green above blue, with visible grain.
  double r = sand.mean(0, 0, 256, 256, 2), g = sand.mean(0, 0, 256, 256, 1),
         b = sand.mean(0, 0, 256, 256, 0);
  EXPECT_GT(r, g);
  EXPECT_GT(g, b);
  EXPECT_GT(stripStep(sand, false, false, 1), 3) << "no grain";
}

TEST(DataImages, SkyPiecesMeetWhereTheCylinderJoins) {
  Bitmap wall = load("sky.bmp"), top = load("sky_up.bmp"), bottom = load("ground_box.bmp");
  ASSERT_TRUE(wall.dib && top.dib && bottom.dib);
  // s = 0 and s = 1 meet.
  EXPECT_LE(stripStep(wall, false, true, 4), 1.3 * stripStep(wall, false, false, 4) + 0.5);
  for (int c = 0; c < 3; ++c) {
    // The wall's top rows (t = 0.99 is texel row 253) meet the top cap's
    // border, and its bottom row the bottom cap.
    double capBorder = (top.mean(0, 0, 256, 2, c) + top.mean(0, 254, 256, 256, c) +
                        top.mean(0, 0, 2, 256, c) + top.mean(254, 0, 256, 256, c)) /
                       4;
    EXPECT_NEAR(wall.mean(0, 250, 1024, 254, c), capBorder, 12) << "channel " << c;
    EXPECT_NEAR(wall.mean(0, 0, 1024, 2, c), bottom.mean(0, 0, 64, 64, c), 16) << "channel " << c;
  }
  // Blue above, paler towards the horizon (the middle rows), earth below.
  double topBlue = wall.mean(0, 240, 1024, 250, 0), topRed = wall.mean(0, 240, 1024, 250, 2);
  EXPECT_GT(topBlue, topRed + 60);
  auto brightness = [&](int row) {
    return wall.mean(0, row, 1024, row + 2, 0) + wall.mean(0, row, 1024, row + 2, 1) +
           wall.mean(0, row, 1024, row + 2, 2);
  };
  EXPECT_GT(brightness(135), brightness(245));
  EXPECT_GT(wall.mean(0, 10, 1024, 60, 2), wall.mean(0, 10, 1024, 60, 0)) << "ground below";
  EXPECT_GT(top.mean(0, 0, 256, 256, 0), top.mean(0, 0, 256, 256, 2)) << "top cap is blue";
}

TEST(DataImages, IconIsASightOnTransparentGround) {
  ASSERT_EQ(FreeImage_GetFileType((kData + "/icon.png").c_str(), 0), FIF_PNG);
  Bitmap icon = load("icon.png", FIF_PNG);
  ASSERT_TRUE(icon.dib);
  EXPECT_TRUE(icon.width == 32 || icon.width == 48);
  EXPECT_EQ(icon.width, icon.height);
  ASSERT_EQ(icon.bpp, 32);
  int opaque = 0, clear = 0;
  for (int y = 0; y < icon.height; ++y) {
    for (int x = 0; x < icon.width; ++x) {
      int alpha = icon.at(x, y, FI_RGBA_ALPHA);
      opaque += alpha == 255;
      clear += alpha == 0;
    }
  }
  EXPECT_EQ(icon.at(0, 0, FI_RGBA_ALPHA), 0);
  EXPECT_GT(opaque, icon.width * 2);
  EXPECT_GT(clear, icon.width * icon.height / 3);
}

}  // namespace
