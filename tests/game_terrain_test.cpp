// Tests of the terrain: sampling the height map, the faded rim and the
// nearest-vertex height lookup.
#include <FreeImage.h>
#include <unistd.h>

#include <cmath>

#include "game/world.h"
#include "game_support.h"
#include "terrain/terrain.h"

namespace {

// A 24-bit height map whose pixel (row, column), counted from the bottom
// line, is value(row, column) in all three bytes.
template <typename F>
void writeHeightMap(const std::string& path, int width, int height, F value, int bpp = 24) {
  FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
  for (int row = 0; row < height; row++) {
    BYTE* line = FreeImage_GetScanLine(bitmap, row);
    for (int column = 0; column < width; column++) {
      BYTE v = static_cast<BYTE>(value(row, column));
      line[3 * column] = line[3 * column + 1] = line[3 * column + 2] = v;
    }
  }
  FIBITMAP* out = bpp == 8 ? FreeImage_ConvertTo8Bits(bitmap) : bitmap;
  ASSERT_TRUE(FreeImage_Save(FIF_BMP, out, path.c_str(), 0));
  if (out != bitmap) FreeImage_Unload(out);
  FreeImage_Unload(bitmap);
}

int patternValue(int row, int column) { return (row * 7 + column * 3) % 256; }

class TerrainTest : public GameTest {
 protected:
  float vertexZ(int row, int column) {
    return terrain.mesh.vertices[row * (terrain.cells + 1) + column].z;
  }
};

TEST_F(TerrainTest, SamplesEveryEighthPixelOrSoFromTheBottomLine) {
  std::string dir = dataDir();
  writeHeightMap(dir + "/ground.bmp", 384, 384, patternValue);
  startHeadlessGame(dir);
  ASSERT_EQ(terrain.cells, 48);
  const int sampled[] = {0, 7, 15, 23, 31, 39, 47};
  for (int i = 0; i < 7; i++) {
    EXPECT_FLOAT_EQ(vertexZ(i, 0), static_cast<float>(2.0 - 0.04 * patternValue(sampled[i], 0)));
    EXPECT_FLOAT_EQ(vertexZ(0, i), static_cast<float>(2.0 - 0.04 * patternValue(0, sampled[i])));
  }
  EXPECT_FLOAT_EQ(vertexZ(47, 48), static_cast<float>(2.0 - 0.04 * patternValue(375, 383)));
  EXPECT_FLOAT_EQ(vertexZ(48, 48), static_cast<float>(2.0 - 0.04 * patternValue(383, 383)));
  // Row 0 lies at y = -halfSize, column 0 at x = -halfSize.
  const Vec3& first = terrain.mesh.vertices[0];
  EXPECT_EQ(first.x, -terrain.halfSize);
  EXPECT_EQ(first.y, -terrain.halfSize);
}

TEST_F(TerrainTest, DarkIsHighAndLightIsLow) {
  std::string dir = dataDir();
  writeHeightMap(dir + "/ground.bmp", 384, 384, [](int row, int) { return row < 192 ? 0 : 255; });
  startHeadlessGame(dir);
  EXPECT_FLOAT_EQ(vertexZ(0, 0), 2.0f);
  EXPECT_FLOAT_EQ(vertexZ(48, 0), -8.2f);
  for (int k = 0; k < terrain.mesh.vertexCount; k++) {
    const Vec3& n = terrain.mesh.normals[k];
    EXPECT_GT(n.z, 0) << "normals point up, vertex " << k;
  }
}

TEST_F(TerrainTest, LargeArenaGivesTheFadedRim) {
  start({{setting("arenaHalfSize"), "100"}});
  EXPECT_FLOAT_EQ(terrain.halfSize, 225);
  EXPECT_FLOAT_EQ(terrain.step, 9.375f);
  int side = terrain.cells + 1;
  for (int i = 0; i < side; i++) {
    for (int j = 0; j < side; j++) {
      int k = i * side + j;
      const Vec3& v = terrain.mesh.vertices[k];
      float a = terrain.alpha[k];
      if (fabsf(v.x) <= 150 && fabsf(v.y) <= 150) {
        EXPECT_EQ(a, 1) << k;
      }
      if (fabsf(v.y) < 1e-3f && fabsf(v.x - 187.5f) < 1e-3f) {
        EXPECT_NEAR(a, 0.5f, 1e-5) << k;
      }
      EXPECT_GE(a, 0);
      EXPECT_LE(a, 1);
    }
  }
  EXPECT_EQ(terrain.alpha[0], 0) << "the corner lies on the rim";
}

TEST_F(TerrainTest, HeightIsThatOfTheNearestVertex) {
  std::string dir = dataDir();
  writeHeightMap(dir + "/ground.bmp", 384, 384, patternValue);
  startHeadlessGame(dir);
  float h = terrain.halfSize, step = terrain.step;
  EXPECT_EQ(terrainHeight(0, 0), vertexZ(24, 24));
  EXPECT_EQ(terrainHeight(10 * h, 0), vertexZ(24, 48));
  EXPECT_EQ(terrainHeight(-10 * h, -10 * h), vertexZ(0, 0));
  EXPECT_EQ(terrainHeight(0.4f * step, 0), vertexZ(24, 24));
  EXPECT_EQ(terrainHeight(0.6f * step, 0), vertexZ(24, 25));
  // Exactly halfway between two vertices takes the higher index.
  float halfway = -h + 1.5f * step;
  EXPECT_EQ(terrainHeight(halfway, -h), vertexZ(0, 2));
  EXPECT_EQ(terrainHeight(std::nanf(""), 0), vertexZ(24, 0)) << "no read outside the grid";
}

TEST_F(TerrainTest, OtherShapesAndDepthsAreConverted) {
  std::string dir = dataDir();
  writeHeightMap(
      dir + "/ground.bmp", 100, 60, [](int, int) { return 50; }, 8);
  startHeadlessGame(dir);
  EXPECT_NEAR(terrainHeight(0, 0), 0, 1e-5);
  EXPECT_NEAR(terrainHeight(20, -20), 0, 1e-5);
}

TEST_F(TerrainTest, MissingHeightMapStopsWithAMessage) {
  std::string dir = dataDir();
  unlink((dir + "/ground.bmp").c_str());
  ProcessResult r = runGame({"--headless", "--detail", "low", "--data", dir, "--frames", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "velkarra3d: cannot load the height map '" + dir +
                       "/ground.bmp': the file is missing\n");
}

TEST_F(TerrainTest, TexturesOfAnotherSizeAreConvertedAndMissingOnesEndWithOneLine) {
  std::string dir = dataDir();
  writeHeightMap(
      dir + "/sky.bmp", 300, 100, [](int, int) { return 128; }, 8);
  ProcessResult r = runGame({"--headless", "--data", dir, "--frames", "2"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;

  unlink((dir + "/ground_box.bmp").c_str());
  std::string trace = dir + "/trace.jsonl";
  r = runGame({"--headless", "--data", dir, "--frames", "2", "--trace", trace});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(readFile(trace), "") << "it ends before any frame";

  writeFile(dir + "/ground_box.bmp", "this is no bitmap");
  r = runGame({"--headless", "--detail", "low", "--data", dir, "--frames", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "velkarra3d: cannot load the texture '" + dir +
                       "/ground_box.bmp': not a readable BMP bitmap\n");
}

}  // namespace
