// Tests of the drawing: the texture font, the sky, the HUD and the
// game-over screen, read back from real frames or captured in the GL's
// feedback mode.
#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <set>

#include "app/frame.h"
#include "app/startup.h"
#include "assets/font.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/gl_objects.h"
#include "render/render.h"
#include "render/resources.h"
#include "render/text.h"
#include "render/view.h"

namespace {

void put32(std::string* out, int32_t v) {
  for (int i = 0; i < 4; i++)
    out->push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
}
void putFloat(std::string* out, float f) {
  int32_t bits;
  memcpy(&bits, &f, 4);
  put32(out, bits);
}

// A font file of the given header and glyphs, image texels counting up.
std::string fontFile(int32_t width, int32_t height, int32_t first, int32_t last,
                     const std::vector<Glyph>& glyphs, int32_t junk = 0x7F7F7F7F) {
  std::string out;
  put32(&out, junk);
  put32(&out, width);
  put32(&out, height);
  put32(&out, first);
  put32(&out, last);
  put32(&out, junk);
  for (const Glyph& g : glyphs)
    for (float f : {g.width, g.height, g.s0, g.t0, g.s1, g.t1}) putFloat(&out, f);
  for (int i = 0; i < width * height * 2; i++) out.push_back(static_cast<char>(i & 0xFF));
  return out;
}

const std::vector<Glyph> abGlyphs = {{2, 3, 0, 0, 0.5f, 1}, {1.5f, 2, 0.5f, 0, 1, 1}};

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platInitHeadless(0, 16);
    platCreateWindow("Velkarra3D", 100, 50, 800, 600);
    glGenTextures(1, &texture_);
    dir_ = makeTempDir("font");
    font_ = TextureFont{};
    unbindFont();
  }
  void TearDown() override {
    freeFont(&font_);
    removeTree(dir_);
  }
  bool load(const std::string& bytes) {
    std::string path = dir_ + "/font.glf";
    writeFile(path, bytes);
    char why[200];
    return loadFont(&font_, path.c_str(), texture_, why, sizeof why);
  }
  // The vertices (x, y) that drawText issues, captured in feedback mode
  // with window coordinates equal to object coordinates.
  std::vector<std::pair<float, float>> capture(const char* text, float x, float y) {
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    static GLfloat buffer[4096];
    glFeedbackBuffer(4096, GL_2D, buffer);
    glRenderMode(GL_FEEDBACK);
    drawText(text, x, y, 0);
    GLint n = glRenderMode(GL_RENDER);
    std::vector<std::pair<float, float>> points;
    for (GLint i = 0; i < n;) {
      GLint count = static_cast<GLint>(buffer[i + 1]);
      for (GLint k = 0; k < count; k++)
        points.push_back({buffer[i + 2 + 2 * k], buffer[i + 3 + 2 * k]});
      i += 2 + 2 * count;
    }
    return points;
  }
  GLuint texture_ = 0;
  std::string dir_;
  TextureFont font_;
};

TEST_F(FontTest, HeaderSlotsOfTheNameAndTableAreIgnored) {
  ASSERT_TRUE(load(fontFile(4, 2, 65, 66, abGlyphs)));
  EXPECT_EQ(font_.texture, texture_);
  EXPECT_EQ(font_.width, 4);
  EXPECT_EQ(font_.height, 2);
  EXPECT_EQ(font_.firstChar, 65);
  EXPECT_EQ(font_.lastChar, 66);
  ASSERT_NE(font_.glyphs, nullptr);
  EXPECT_EQ(font_.glyphs[1].width, 1.5f);
  EXPECT_EQ(font_.glyphs[1].s0, 0.5f);
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), texture_);
}

TEST_F(FontTest, GlyphQuadsHangFromThePenLine) {
  ASSERT_TRUE(load(fontFile(4, 2, 65, 66, abGlyphs)));
  bindFont(&font_);
  auto points = capture("AB", 20, 33);
  ASSERT_EQ(points.size() % 4, 0u);
  ASSERT_FALSE(points.empty());
  // Every corner is one of A's (20..22 x 30..33) or B's (22..23.5 x 31..33).
  std::set<std::pair<float, float>> corners;
  for (auto [x, y] : points) corners.insert({roundf(x * 100) / 100, roundf(y * 100) / 100});
  const std::set<std::pair<float, float>> expected = {{20, 30}, {20, 33},    {22, 30},   {22, 33},
                                                      {22, 31}, {23.5f, 31}, {23.5f, 33}};
  EXPECT_EQ(corners, expected);
  unbindFont();
  EXPECT_TRUE(capture("AB", 20, 33).empty()) << "nothing after unbindFont";
}

TEST_F(FontTest, EmptyTextAndCodesWithoutGlyphsDrawNothing) {
  ASSERT_TRUE(load(fontFile(4, 2, 65, 66, abGlyphs)));
  bindFont(&font_);
  EXPECT_TRUE(capture("", 0, 0).empty());
  EXPECT_TRUE(capture("\x01Z\xff\x80", 0, 0).empty()) << "codes outside A..B are skipped";
  auto points = capture(
      "A\xe9"
      "B",
      0, 10);
  float maxX = 0;
  for (auto p : points) maxX = std::max(maxX, p.first);
  EXPECT_NEAR(maxX, 3.5f, 1e-3) << "the skipped code moves the pen not at all";
}

TEST_F(FontTest, EmptyFontBindsItsTextureButDrawsNothing) {
  font_.texture = texture_;
  bindFont(&font_);
  EXPECT_EQ(currentFont, nullptr);
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), texture_);
  EXPECT_TRUE(capture("AB", 0, 0).empty());
}

TEST_F(FontTest, ShortOrImpossibleFilesLoadNothing) {
  std::string good = fontFile(4, 2, 65, 66, abGlyphs);
  const std::string bad[] = {
      "",
      good.substr(0, 20),                       // short header
      good.substr(0, 24 + 30),                  // short glyph table
      good.substr(0, good.size() - 1),          // short image
      fontFile(4, 2, 66, 65, {}),               // negative count
      fontFile(4, 2, 0, 2000000000, abGlyphs),  // absurd count
      fontFile(-4, 2, 65, 66, abGlyphs),        // negative width
      fontFile(4, 100000, 65, 66, abGlyphs),    // absurd height
  };
  for (const std::string& bytes : bad) {
    font_ = TextureFont{};
    EXPECT_FALSE(load(bytes)) << bytes.size();
    EXPECT_EQ(font_.glyphs, nullptr);
    bindFont(&font_);
    EXPECT_EQ(currentFont, nullptr);
  }
  char why[200];
  EXPECT_FALSE(loadFont(&font_, (dir_ + "/none.glf").c_str(), texture_, why, sizeof why));
  EXPECT_STREQ(why, "cannot open: No such file or directory");
}

TEST_F(FontTest, OddWidthFontsUploadWhole) {
  ASSERT_TRUE(load(fontFile(3, 3, 65, 66, abGlyphs)));
  unsigned char texels[3 * 3 * 2];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, texels);
  for (int i = 0; i < 18; i++) EXPECT_EQ(texels[i], i) << "texel byte " << i;
  GLint alignment;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4) << "the GL's setting is restored";
}

// ---- Frames read back ----

class Screen : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    start({{setting("planesBase"), "1"}});
  }
  // Pixel (x, y) counted from the top-left corner, as r g b.
  struct Rgb {
    int r, g, b;
  };
  void grab() {
    pixels_.resize(800 * 600 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());
  }
  Rgb at(int x, int y) const {
    const unsigned char* p = &pixels_[3 * ((599 - y) * 800 + x)];
    return {p[0], p[1], p[2]};
  }
  static bool white(Rgb c) { return c.r > 240 && c.g > 240 && c.b > 240; }
  int whiteIn(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++) n += white(at(x, y));
    return n;
  }
  // Freezes the plane of slot 0 at a spot.
  void parkPlane(Vec3 pos) {
    planes[0].pos = pos;
    planes[0].vel = {0, 0};
    planes[0].turnTimerMs = 1000000;
    planes[0].bombTimerMs = planes[0].trooperTimerMs = 1000000;
  }
  std::vector<unsigned char> pixels_;
};

TEST_F(Screen, GameOverIsWhiteTextOnBlackInThreeRows) {
  game.lives = 0;
  runFrames(1);
  ASSERT_EQ(game.gameOver, 1);
  grab();
  int rowsWithText[600] = {};
  for (int y = 0; y < 600; y++)
    for (int x = 0; x < 800; x++) {
      Rgb c = at(x, y);
      if (c.r == 0 && c.g == 0 && c.b == 0) continue;
      EXPECT_TRUE(c.r == c.g && c.g == c.b) << "grey or white only, at " << x << "," << y;
      rowsWithText[y]++;
      // "The game is over" hangs from 200 px, the question from 260 px, the
      // run so far from 302 px, centred.
      bool firstLine = y >= 198 && y < 242 && x >= 195;
      bool secondLine = y >= 258 && y < 302 && x >= 55;
      bool thirdLine = y >= 302 && y < 340 && x >= 195 && x < 605;
      EXPECT_TRUE(firstLine || secondLine || thirdLine) << "stray pixel at " << x << "," << y;
      if (HasFailure()) return;
    }
  EXPECT_GT(whiteIn(200, 200, 600, 240), 500);
  EXPECT_GT(whiteIn(60, 260, 740, 300), 1000);
  EXPECT_GT(whiteIn(600, 260, 740, 300), 100) << "the question runs on to Y/N";
  EXPECT_GT(whiteIn(200, 305, 600, 340), 500) << "This run: 0 points, level 1";
}

TEST_F(Screen, HudLinesAreWhiteText) {
  camera.pitch = -1.2f;  // sand behind the text, no clouds
  runFrames(1);
  grab();
  EXPECT_EQ(whiteIn(0, 0, 800, 2), 0);
  EXPECT_GT(whiteIn(640, 3, 800, 27), 100) << "Lives";
  EXPECT_GT(whiteIn(640, 30, 800, 54), 100) << "Points";
  EXPECT_GT(whiteIn(40, 3, 200, 27), 100) << "Level";
  EXPECT_EQ(whiteIn(250, 3, 550, 54), 0) << "nothing between the lines";
}

TEST_F(Screen, RadarShowsTheMarkerAndAPlaneWhereItIs) {
  camera.yaw = 0;
  camera.pitch = -1.2f;
  parkPlane({0, 10.5f, 12});  // to the left of the aim
  runFrames(1);
  grab();
  // The radar's centre lies at 20 % of the width and height from the
  // lower-left corner: (160, 480) from the top-left.
  Rgb marker = at(160, 465);
  EXPECT_EQ(marker.r, 255);
  EXPECT_EQ(marker.g, 0);
  EXPECT_EQ(marker.b, 0);
  // World (0, 10.5) is 0.1 radar units; turned to the left of the
  // marker and scaled by the aspect: 30 px left of the centre.
  Rgb dot = at(130, 480);
  EXPECT_NEAR(dot.r, 77, 1);
  EXPECT_NEAR(dot.g, 77, 1);
  EXPECT_NEAR(dot.b, 77, 1);

  // Turning the aim turns the radar: aiming at the plane puts it ahead.
  camera.yaw = static_cast<float>(M_PI / 2);
  runFrames(1);
  grab();
  dot = at(160, 450);
  EXPECT_NEAR(dot.r, 77, 1) << "the plane is now straight ahead on the radar";
}

TEST_F(Screen, RadarDotColoursAndTheArenaRuleForShells) {
  camera.yaw = 0;
  camera.pitch = -1.2f;
  parkPlane({-10.5f, 0, 12});  // behind: 30 px below the centre
  troopers[0].active = 1;
  troopers[0].pos = {10.5f, 0, 30};  // ahead: 30 px above
  troopers[0].dropTime = 0;
  bombs[0].active = 1;
  bombs[0].pos = {0, -10.5f, 30};  // right: 30 px right
  bombs[0].vel = {0, 0, 0};
  shells[0].active = 1;
  shells[0].pos = {settings.arenaHalfSize, 0, 200};  // on the wall: not shown
  shells[0].vel = {0, 0, 0};
  runFrames(1);
  grab();
  Rgb plane = at(160, 510), trooper = at(160, 450), bomb = at(190, 480);
  EXPECT_NEAR(plane.r, 77, 1);
  EXPECT_NEAR(trooper.r, 128, 1);
  EXPECT_EQ(trooper.g, 255);
  EXPECT_EQ(bomb.r, 255);
  EXPECT_NEAR(bomb.b, 26, 1);
  Rgb wall = at(160, 480 - 71);  // 25 units ahead: 71 px
  EXPECT_FALSE(wall.r == 0 && wall.g == 0 && wall.b == 0) << "no shell dot on the wall";
}

// At twice the rows the radar's dots and frame take twice the pixels each
// way, so they keep their share of a larger picture. The 800 x 600 buffer
// holds the lower-left quarter of a 1600 x 1200 view, the radar's corner.
TEST_F(Screen, RadarDotsAndLinesGrowWithTheWindowsHeight) {
  camera.yaw = 0;
  camera.pitch = -1.2f;
  parkPlane({0, 10.5f, 12});
  for (const int scale : {1, 2, 1}) {
    onReshape(800 * scale, 600 * scale);
    runFrames(1);
    grab();
    const int x = 160 * scale, y = 600 - 120 * scale;  // the radar's centre
    int grey = 0;  // the plane's dot, 30 px left of the centre at 600 rows
    for (int dy = -10 * scale; dy <= 10 * scale; dy++)
      for (int dx = -10 * scale; dx <= 10 * scale; dx++) {
        const Rgb c = at(x - 30 * scale + dx, y + dy);
        grey += abs(c.r - 77) <= 1 && abs(c.g - 77) <= 1 && abs(c.b - 77) <= 1;
      }
    EXPECT_EQ(grey, 36 * scale * scale) << "a 6 px dot at 600 rows, at scale " << scale;
    EXPECT_EQ(whiteIn(x - 75 * scale - 5, y, x - 75 * scale + 5, y + 1), scale)
        << "the frame's left side, at scale " << scale;
  }
}

TEST_F(Screen, OverlayLeavesTheStateAsItFoundIt) {
  runFrames(1);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLint depth;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
  game.lives = 0;
  runFrames(1);
  ASSERT_EQ(game.gameOver, 1);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(Screen, SkyFillsTheHorizonAllAround) {
  camera.pitch = 0.25f;
  for (int k = 0; k < 8; k++) {
    camera.yaw = static_cast<float>(k * M_PI / 4);
    runFrames(1);
    grab();
    for (int x : {10, 400, 790}) {
      Rgb c = at(x, 250);
      EXPECT_GT(c.b, 100) << "yaw " << k << " x " << x;
      EXPECT_GT(c.b, c.r) << "yaw " << k << " x " << x;
    }
  }
}

// The sky's geometry, captured in feedback mode: its centre is 0.7 of the
// viewer's position, the missile's while one flies.
Vec3 skyCentre() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-400, 400, -300, 300, -1000, 1000);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, 800, 600);
  static GLfloat buffer[20000];
  glFeedbackBuffer(20000, GL_3D, buffer);
  glRenderMode(GL_FEEDBACK);
  drawSky();
  GLint n = glRenderMode(GL_RENDER);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  double sx = 0, sy = 0;
  float minZ = 1e9f, maxZ = -1e9f;
  int count = 0;
  for (GLint i = 0; i < n;) {
    GLint vertices = static_cast<GLint>(buffer[i + 1]);
    for (GLint k = 0; k < vertices; k++) {
      const GLfloat* v = &buffer[i + 2 + 3 * k];
      sx += v[0] - 400, sy += v[1] - 300, count++;
      // Window depth from the orthographic range back to object z.
      float z = -(v[2] * 2000 - 1000);
      minZ = std::min(minZ, z), maxZ = std::max(maxZ, z);
    }
    i += 2 + 3 * vertices;
  }
  if (!count) return {NAN, NAN, NAN};
  return {static_cast<float>(sx / count), static_cast<float>(sy / count), (minZ + maxZ) / 2};
}

// Seen from high above the sky's bottom, which follows the viewer at 0.7,
// rises through the ground (at 72 units up it cuts the lowest hollows off,
// at 80 it lies above the whole ground): the ground still shows whole, in
// either detail level, never sunk into the sky's dark bottom.
TEST_F(Screen, TheGroundShowsWholeFromHighAbove) {
  game.cameraLock = 0;
  camera.yaw = 0;
  camera.pitch = -1.55f;     // nearly straight down
  parkPlane({-24, -24, 2});  // out of the way
  for (const DetailLevel level : {detailHigh, detailLow})
    for (const float height : {72.0f, 80.0f}) {
      setDetail(level);
      camera.pos = {10, 10, height};  // the cannon lies off the middle of the picture
      runFrames(1);
      grab();
      int dark = 0;                    // the sky's bottom is a dark brown, the sand far lighter
      for (int y = 330; y < 410; y++)  // beside the crosshair
        for (int x = 430; x < 510; x++) dark += at(x, y).r < 100;
      EXPECT_EQ(dark, 0) << "detail " << static_cast<int>(level) << ", " << height << " units up";
    }
  setDetail(detailHigh);
}

TEST_F(Screen, SkyFollowsTheViewerAtSevenTenths) {
  camera.pos = {0, 0, 0};
  Vec3 c = skyCentre();
  EXPECT_NEAR(c.x, 0, 0.5);
  EXPECT_NEAR(c.y, 0, 0.5);
  EXPECT_NEAR(c.z, 0, 0.5);
  camera.pos = {10, 0, 5};
  c = skyCentre();
  EXPECT_NEAR(c.x, 7, 0.5);
  EXPECT_NEAR(c.z, 3.5, 0.5);
  missile.active = 1;
  missile.pos = {0, 20, 10};
  c = skyCentre();
  EXPECT_NEAR(c.x, 0, 0.5);
  EXPECT_NEAR(c.y, 14, 0.5);
  EXPECT_NEAR(c.z, 7, 0.5);
  missile.active = 0;
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0) << "no texture stays bound";
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(Screen, WithoutAFontTheGameRunsWithoutText) {
  std::string dir = dataDir();
  unlink((dir + "/font.glf").c_str());
  startHeadlessGame(dir);
  camera.pitch = -1.2f;
  runFrames(2);
  grab();
  EXPECT_EQ(whiteIn(640, 3, 800, 54), 0);
  EXPECT_EQ(gameFont.glyphs, nullptr);
}

}  // namespace
