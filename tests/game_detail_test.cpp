// Tests of what the detail levels may change: low draws the same scene as
// high within a small mean difference per pixel, also along any thin band of
// rows, high keeps the exact sand
// filtering, and the one-pass vertex normals equal those of the per-vertex
// search bit for bit on every default model and the terrain.
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/startup.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/detail.h"
#include "render/gl_objects.h"
#include "render/render.h"
#include "render/resources.h"
#include "render/view.h"
#include "terrain/terrain.h"

namespace {

// Vertex normals the way the game first computed them: for each vertex,
// every triangle in index order, renormalising after each face that names
// the vertex.
Vec3 unit(Vec3 n, float sign) {
  float len = static_cast<float>(sqrt(static_cast<double>(n.x * n.x + n.y * n.y + n.z * n.z)));
  float inv = 1 / (sign > 0 ? len : 0 - len);
  Vec3 r = {n.x * inv, n.y * inv, n.z * inv};
  if (!std::isfinite(r.x) || !std::isfinite(r.y) || !std::isfinite(r.z)) return {0, 0, 0};
  return r;
}

std::vector<Vec3> searchedNormals(const Model& m, int flip) {
  std::vector<Vec3> faces(m.triangleCount);
  for (int k = 0; k < m.triangleCount; k++) {
    const Vec3 &v0 = m.vertices[m.triangles[k][0]], &v1 = m.vertices[m.triangles[k][1]],
               &v2 = m.vertices[m.triangles[k][2]];
    Vec3 a = {v1.x - v0.x, v1.y - v0.y, v1.z - v0.z}, b = {v2.x - v0.x, v2.y - v0.y, v2.z - v0.z};
    faces[k] = unit({a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x},
                    flip == 0 ? 1.0f : -1.0f);
  }
  std::vector<Vec3> normals(m.vertexCount);
  for (int j = 0; j < m.vertexCount; j++) {
    Vec3 n = {0, 0, 0};
    for (int k = 0; k < m.triangleCount; k++) {
      const int32_t* t = m.triangles[k];
      if (t[0] != j && t[1] != j && t[2] != j) continue;
      n = unit({n.x + faces[k].x, n.y + faces[k].y, n.z + faces[k].z}, 1.0f);
    }
    normals[j] = n;
  }
  return normals;
}

TEST_F(GameTest, OnePassNormalsEqualTheSearchedOnesBitForBit) {
  start();
  std::vector<std::string> values = defaultSettings();
  struct Case {
    const char* name;
    const Model* model;
    int flipIndex;  // -1: the terrain, always 0
  } cases[] = {{"plane", planes[0].model, setting("plane model flipNormals")},
               {"trooper", troopers[0].model, setting("trooper model flipNormals")},
               {"chute", troopers[0].chuteModel, setting("parachute model flipNormals")},
               {"bomb", bombs[0].model, setting("bomb model flipNormals")},
               {"shell", shells[0].model, setting("shell model flipNormals")},
               {"missile", missile.model, setting("missile model flipNormals")},
               {"cannon", cannon.model, setting("cannon model flipNormals")},
               {"terrain", &terrain.mesh, -1}};
  for (const Case& c : cases) {
    int flip = c.flipIndex < 0 ? 0 : std::stoi(values[c.flipIndex]);
    std::vector<Vec3> expected = searchedNormals(*c.model, flip);
    ASSERT_GT(c.model->vertexCount, 2) << c.name;
    EXPECT_EQ(memcmp(expected.data(), c.model->normals, expected.size() * sizeof(Vec3)), 0)
        << c.name;
  }
}

class DetailPictures : public GameTest {
 protected:
  // The frame the last update set up, drawn at `level`, as RGB bytes.
  std::vector<unsigned char> draw(DetailLevel level) {
    setDetail(level);
    drawFrame();
    std::vector<unsigned char> pixels(800 * 600 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }
  static double meanDifference(const std::vector<unsigned char>& a,
                               const std::vector<unsigned char>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); i++) sum += std::abs(a[i] - b[i]);
    return sum / a.size();
  }
  // The largest mean difference over bands of 10 rows: a thin part of the
  // scene drawn wrongly (the horizon, the fading rim) shows here even when
  // the whole picture's mean stays small.
  static double worstBandDifference(const std::vector<unsigned char>& a,
                                    const std::vector<unsigned char>& b) {
    const size_t band = 10 * 800 * 3;
    double worst = 0;
    for (size_t start = 0; start + band <= a.size(); start += band) {
      std::vector<unsigned char> x(a.begin() + start, a.begin() + start + band);
      std::vector<unsigned char> y(b.begin() + start, b.begin() + start + band);
      worst = std::max(worst, meanDifference(x, y));
    }
    return worst;
  }
  static float sandAnisotropy() {
    GLfloat value = 0;
    glBindTexture(GL_TEXTURE_2D, sandTexture);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
  }
};

// Largest mean difference per colour channel (0..255) between the two
// levels' pictures of one frame, over the whole picture and over its worst
// band of rows (low without the fading rim reaches about 2 there).
constexpr double allowedMeanDifference = 1.0;
constexpr double allowedBandDifference = 1.5;

TEST_F(DetailPictures, LowDrawsTheSameSceneAsHighOnThreeViews) {
  start();
  for (Plane& p : planes) {  // hold the planes where the second view sees them
    p.vel = {0, 0};
    p.turnTimerMs = p.bombTimerMs = p.trooperTimerMs = 1 << 30;
  }
  planes[0].pos = {30, -4, 14};
  planes[1].pos = {26, 5, 18};
  planes[2].pos = {34, 2, 22};
  const char* views[] = {"horizon", "sky with planes", "missile"};
  for (const char* view : views) {
    if (strcmp(view, "sky with planes") == 0) camera.pitch = 0.45f;
    if (strcmp(view, "missile") == 0) {
      camera.pitch = 0.1f;
      headlessKeyTap(platRButton);
      runFrames(12);
      ASSERT_EQ(missile.active, 1);
    }
    runFrames(1);
    std::vector<unsigned char> high = draw(detailHigh);
    EXPECT_EQ(sandAnisotropy(), 4.0f) << view;
    std::vector<unsigned char> low = draw(detailLow);
    EXPECT_EQ(sandAnisotropy(), 1.0f) << view;
    double difference = meanDifference(high, low);
    EXPECT_LE(difference, allowedMeanDifference) << view;
    EXPECT_LE(worstBandDifference(high, low), allowedBandDifference) << view;
    EXPECT_GT(difference, 0) << view << ": low should draw the sand differently";
    std::vector<unsigned char> black(high.size(), 0);
    EXPECT_GT(meanDifference(low, black), 20) << view << ": low drew a picture";
  }
}

}  // namespace
