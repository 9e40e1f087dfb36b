// Tests of the assets: OFF models and their preparation, bounding boxes and
// the settings file.
#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "assets/box.h"
#include "assets/model.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/platform.h"
#include "render/resources.h"

namespace {

// A headless GL context and a temporary folder for model files.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    platInitHeadless(0, 16);
    platCreateWindow("Velkarra3D", 100, 50, 800, 600);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    dir_ = makeTempDir("models");
  }
  void TearDown() override { removeTree(dir_); }
  std::string file(const char* name, const std::string& text) {
    std::string path = dir_ + "/" + name;
    writeFile(path, text);
    return path;
  }
  Model* load(const std::string& text) { return loadOffModel(file("m.off", text).c_str()); }
  std::string dir_;
};

const char* const oneTriangle = "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";

void expectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-6f) {
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
}

TEST_F(ModelTest, OneTriangleLoadsWithItsIndicesAndNormals) {
  Model* m = load(oneTriangle);
  ASSERT_EQ(m->vertexCount, 3);
  ASSERT_EQ(m->triangleCount, 1);
  EXPECT_EQ(m->triangles[0][0], 0);
  EXPECT_EQ(m->triangles[0][1], 1);
  EXPECT_EQ(m->triangles[0][2], 2);
  computeNormals(m, 0);
  for (int i = 0; i < 3; i++) expectVec(m->normals[i], 0, 0, 1);
  computeNormals(m, 1);
  for (int i = 0; i < 3; i++) expectVec(m->normals[i], 0, 0, -1);
  freeModel(m);
}

TEST_F(ModelTest, LayoutAndTheFaceCountDoNotMatter) {
  Model* a = load("OFF 3 1 0 0 0 0 1 0 0 0 1 0 4 0 1 2");
  Model* b = load("OFF\n3\n1\n0\n0 0 0   1 0 0\t0 1 0\n3 0 1 2 trailing words are not read");
  ASSERT_EQ(a->triangleCount, 1);
  ASSERT_EQ(b->triangleCount, 1);
  EXPECT_EQ(memcmp(a->triangles, b->triangles, sizeof(int32_t[3])), 0);
  EXPECT_EQ(memcmp(a->vertices, b->vertices, 3 * sizeof(Vec3)), 0);
  freeModel(a);
  freeModel(b);
}

TEST_F(ModelTest, VertexNormalsAreRenormalisedAfterEveryFace) {
  // Three faces meet at vertex 0 with normals +x, +x, +y, in that order.
  Model* m = load(
      "OFF 6 3 0\n"
      "0 0 0  0 1 0  0 0 1  0 2 0  0 0 2  1 0 0\n"
      "3 0 1 2\n3 0 3 4\n3 0 2 5\n");
  computeNormals(m, 0);
  // unit(unit(a + b) + c), not unit(a + b + c) = (0.894, 0.447, 0).
  expectVec(m->normals[0], 0.70710677f, 0.70710677f, 0);
  expectVec(m->normals[5], 0, 1, 0);
  freeModel(m);
}

TEST_F(ModelTest, DegenerateFacesAndCancellingNormalsGiveZeroNotNaN) {
  // A zero-area face, a vertex no face uses, and two opposite faces.
  Model* m = load(
      "OFF 7 3 0\n"
      "0 0 0  1 1 1  2 2 2  5 5 5  0 0 0  1 0 0  0 1 0\n"
      "3 0 1 2\n3 4 5 6\n3 4 6 5\n");
  computeNormals(m, 0);
  for (int v : {0, 1, 2, 3, 4}) expectVec(m->normals[v], 0, 0, 0);
  // Vertex 5 and 6 also meet both opposite faces: +z, then -z cancels.
  expectVec(m->normals[5], 0, 0, 0);
  freeModel(m);
}

TEST_F(ModelTest, PretransformMovesThenScalesThenTurns) {
  Model* m = load("OFF 1 0 0\n0 0 0\n");
  pretransformModel(m, 2, 1, 0, 0, 0, 0);
  expectVec(m->vertices[0], 2, 0, 0);
  freeModel(m);
  m = load("OFF 1 0 0\n0 0 0\n");
  pretransformModel(m, 2, 1, 0, 0, 90, 0);
  expectVec(m->vertices[0], 0, 2, 0, 1e-5f);
  freeModel(m);
  // A turn about -y takes +x up to +z.
  m = load("OFF 1 0 0\n1 0 0\n");
  pretransformModel(m, 1, 0, 0, 0, 0, 90);
  expectVec(m->vertices[0], 0, 0, 1, 1e-5f);
  freeModel(m);
}

TEST_F(ModelTest, BombStretchComesAfterTheTurns) {
  Model* m = load("OFF 2 0 0\n1 0 0\n1 1 1\n");
  pretransformBombModel(m, 0.5f, 5, 5, 0, 0, 0, 90, 0);
  expectVec(m->vertices[0], 0, 5, 0, 1e-5f);
  freeModel(m);
  m = load("OFF 1 0 0\n1 1 1\n");
  pretransformBombModel(m, 0.5f, 5, 5, 0, 0, 0, 0, 0);
  expectVec(m->vertices[0], 0.5f, 5, 5);
  freeModel(m);
}

TEST_F(ModelTest, TransformsLeaveTheModelViewMatrixAsTheyFoundIt) {
  glTranslatef(1, 2, 3);
  glRotatef(30, 0, 0, 1);
  float before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  Model* m = load(oneTriangle);
  pretransformModel(m, 3, 1, 1, 1, 45, 10);
  pretransformBombModel(m, 1, 2, 3, 1, 1, 1, 45, 10);
  BoundingBox box, posed;
  boxFromPoints(m->vertices, 3, &box);
  posedBox(&box, 1, 2, 3, 0.5f, 0.2f, &posed);
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  EXPECT_EQ(memcmp(before, after, sizeof before), 0);
  freeModel(m);
}

TEST_F(ModelTest, EmittedListDrawsTheTriangles) {
  Model* m = load(oneTriangle);
  computeNormals(m, 0);
  GLuint list = glGenLists(1);
  compileModel(list, m);
  GLfloat buffer[64];
  glFeedbackBuffer(64, GL_3D, buffer);
  glRenderMode(GL_FEEDBACK);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 2, -1, 2, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glCallList(list);
  GLint values = glRenderMode(GL_RENDER);
  ASSERT_EQ(values, 11);  // one polygon token, a count, three x y z
  EXPECT_EQ(buffer[0], GL_POLYGON_TOKEN);
  EXPECT_EQ(buffer[1], 3);
  freeModel(m);
}

// Each bad file ends the process with "Bad file format" on stdout and one
// line on stderr that names the file, what is wrong and the line, and
// status 1, without reading or writing outside the arrays.
TEST_F(ModelTest, BadFilesAreRefused) {
  const struct {
    const char* text;
    const char* what;
  } bad[] = {
      {"", "the file is empty"},
      {"OFX 3 1 0 0 0 0 1 0 0 0 1 0 3 0 1 2", "it does not start with OFF"},
      {"OFFX 3 1 0 0 0 0 1 0 0 0 1 0 3 0 1 2", "it does not start with OFF"},
      {"off 3 1 0 0 0 0 1 0 0 0 1 0 3 0 1 2", "it does not start with OFF"},  // case matters
      {"OFF 3 1", "OFF is not followed by the counts of vertices, faces and edges"},
      {"OFF 3 1 0 0 0 0 1 0 0", "the file is too short for the 3 vertices and 1 faces it declares"},
      {"OFF 3 2 0 0 0 0 1 0 0 0 1 0 3 0 1 2",
       "the file is too short for the 3 vertices and 2 faces it declares"},
      {"OFF -3 1 0", "it declares -3 vertices [(]at most 1048576[)]"},
      {"OFF 3 -1 0 0 0 0 1 0 0 0 1 0", "it declares -1 faces [(]at most 1048576[)]"},
      {"OFF 2000000000 1 0", "it declares 2000000000 vertices [(]at most 1048576[)]"},
      {"OFF 3 1 0 0 0 0 1 0 0 0 1 0 3 0 1 3", "face 1 names vertex 3, of 0 to 2"},
      {"OFF 3 1 0 0 0 0 1 0 0 0 1 0 3 0 -1 2", "face 1 names vertex -1, of 0 to 2"},
      {"OFF 3 1 0 0 0 0 1 x 0 0 1 0 3 0 1 2", "vertex 2 of 3 is not three numbers"},
  };
  for (const auto& b : bad) {
    std::string path = file("bad.off", b.text);
    EXPECT_EXIT(
        {
          fflush(stdout);
          dup2(2, 1);
          loadOffModel(path.c_str());
        },
        ::testing::ExitedWithCode(1),
        std::string("^Bad file format\nvelkarra3d: /.*/bad.off: ") + b.what + " [(]line 1[)]\n$")
        << b.text;
  }
}

TEST_F(ModelTest, MissingFileNamesIt) {
  std::string path = dir_ + "/nowhere.off";
  EXPECT_EXIT(
      {
        fflush(stdout);
        dup2(2, 1);
        loadOffModel(path.c_str());
      },
      ::testing::ExitedWithCode(1), "^Cannon open model file: /.*/nowhere.off\n$");
}

// ---- Boxes ----

float minX(const BoundingBox& b) { return b.corners[7].x; }
float maxX(const BoundingBox& b) { return b.corners[0].x; }

BoundingBox box(Vec3 lo, Vec3 hi) {
  Vec3 points[2] = {lo, hi};
  BoundingBox b;
  boxFromPoints(points, 2, &b);
  return b;
}

TEST(Boxes, CornersFollowTheBitOrder) {
  BoundingBox b = box({-1, -2, -3}, {1, 2, 3});
  for (int i = 0; i < 8; i++) {
    EXPECT_EQ(b.corners[i].x, (i & 1) ? -1 : 1);
    EXPECT_EQ(b.corners[i].y, (i & 2) ? -2 : 2);
    EXPECT_EQ(b.corners[i].z, (i & 4) ? -3 : 3);
  }
  Vec3 one = {4, 5, 6};
  BoundingBox single;
  boxFromPoints(&one, 1, &single);
  for (const Vec3& c : single.corners) expectVec(c, 4, 5, 6, 0);
  Vec3 line[3] = {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}};
  BoundingBox b3;
  boxFromPoints(line, 3, &b3);
  EXPECT_EQ(minX(b3), 1);
  EXPECT_EQ(maxX(b3), 3);
}

TEST(Boxes, StartingExtremesStayInPlay) {
  BoundingBox empty;
  boxFromPoints(nullptr, 0, &empty);
  EXPECT_EQ(minX(empty), 1000);
  EXPECT_EQ(maxX(empty), -1000);
  BoundingBox ordinary = box({-999, -999, -999}, {999, 999, 999});
  EXPECT_FALSE(boxesOverlap(&empty, &ordinary));
  EXPECT_FALSE(boxesOverlap(&ordinary, &empty));
  Vec3 far[2] = {{1500, 0, 0}, {1600, 0, 0}};
  BoundingBox b;
  boxFromPoints(far, 2, &b);
  EXPECT_EQ(minX(b), 1000);
  EXPECT_EQ(maxX(b), 1600);
}

TEST(Boxes, TouchingBoxesOverlapAndTheTestIsSymmetric) {
  BoundingBox a = box({0, 0, 0}, {1, 1, 1});
  BoundingBox touching = box({1, 0.5f, 0.5f}, {2, 2, 2});
  BoundingBox apart = box({1.0001f, 0, 0}, {2, 1, 1});
  BoundingBox aboveOnly = box({0, 0, 1.5f}, {1, 1, 2});
  EXPECT_TRUE(boxesOverlap(&a, &touching));
  EXPECT_TRUE(boxesOverlap(&touching, &a));
  EXPECT_FALSE(boxesOverlap(&a, &apart));
  EXPECT_FALSE(boxesOverlap(&apart, &a));
  EXPECT_FALSE(boxesOverlap(&a, &aboveOnly));
  EXPECT_FALSE(boxesOverlap(&aboveOnly, &a));
  BoundingBox nan = box({0, 0, 0}, {1, 1, 1});
  nan.corners[7].x = std::nanf("");
  EXPECT_TRUE(boxesOverlap(&a, &nan)) << "a comparison with NaN never separates";
}

TEST_F(ModelTest, PosedBoxesTurnAndMove) {
  BoundingBox b = box({-2, -1, 0}, {2, 1, 1});
  BoundingBox out;
  posedBox(&b, 10, 0, 0, static_cast<float>(M_PI / 2), 0, &out);
  expectVec(out.corners[7], 9, -2, 0, 1e-5f);
  expectVec(out.corners[0], 11, 2, 1, 1e-5f);

  BoundingBox cube = box({-1, -1, -1}, {1, 1, 1});
  posedBox(&cube, 0, 0, 0, static_cast<float>(M_PI / 4), 0, &out);
  expectVec(out.corners[0], 1.4142135f, 1.4142135f, 1, 1e-5f);

  BoundingBox rod = box({0, -1, -1}, {4, 1, 1});
  posedBox(&rod, 0, 0, 0, 0, static_cast<float>(M_PI / 2), &out);
  expectVec(out.corners[7], -1, -1, 0, 1e-5f);
  expectVec(out.corners[0], 1, 1, 4, 1e-5f);
}

// ---- Settings ----

class SettingsTest : public GameTest {};

TEST_F(SettingsTest, AnyGroupingOfWhitespaceLoadsTheSameValues) {
  start();
  Settings reference = settings;
  std::vector<std::string> tokens = defaultSettings();
  std::string oneLine, onePerLine, tabs;
  for (const std::string& t : tokens) {
    oneLine += t + " ";
    onePerLine += t + "\n";
    tabs += "\t\r\n  " + t;
  }
  for (const std::string& text : {oneLine, onePerLine, tabs}) {
    std::string dir = dataDir();
    writeFile(dir + "/settings.txt", text);
    startHeadlessGame(dir);
    EXPECT_EQ(memcmp(&settings, &reference, sizeof settings), 0);
  }
}

TEST_F(SettingsTest, SecondsBecomeTruncatedMilliseconds) {
  start({{setting("trooperDropMin"), "0.25"},
         {setting("trooperDropMax"), "1.9999"},
         {setting("bombDropMin"), "0"},
         {setting("chuteOpenDelay"), "0.001"},
         {setting("missileLifetime"), "2.5"}});
  EXPECT_EQ(settings.trooperDropMinMs, 250);
  EXPECT_EQ(settings.trooperDropMaxMs, 1999);
  EXPECT_EQ(settings.bombDropMinMs, 0);
  EXPECT_EQ(settings.chuteOpenDelayMs, 1);
  EXPECT_EQ(settings.missileLifetimeMs, 2500);
}

TEST_F(SettingsTest, IgnoredValuesAndFixedScores) {
  start({{setting("unused value after bombSpeed"), "-123.5"},
         {setting("unused value after missileSpeed"), "1e30"}});
  Settings withOdd = settings;
  Plane firstPlane = planes[0];
  start();
  EXPECT_EQ(memcmp(&settings, &withOdd, sizeof settings), 0);
  EXPECT_EQ(planes[0].pos.x, firstPlane.pos.x);
  EXPECT_EQ(settings.pointsPerPlane, 20);
  EXPECT_EQ(settings.pointsPerTrooper, 10);
  EXPECT_EQ(settings.landingPenalty, 25);
}

TEST_F(SettingsTest, EveryPoolSlotSharesItsKindsModelAndBox) {
  start();
  for (const Plane& p : planes) {
    EXPECT_EQ(p.model, planes[0].model);
    EXPECT_EQ(p.modelBox, planes[0].modelBox);
  }
  for (const Trooper& t : troopers) EXPECT_EQ(t.chuteModel, troopers[0].chuteModel);
  for (const Shell& s : shells) EXPECT_EQ(s.modelBox, shells[0].modelBox);
  EXPECT_NE(planes[0].model, nullptr);
  EXPECT_NE(cannon.model, nullptr);
  EXPECT_NE(missile.modelBox, nullptr);
  EXPECT_NE(bombs[31].model, nullptr);
}

TEST_F(SettingsTest, BombSectionStretchesAndFlipOnlyTurnsNormals) {
  std::string dir = dataDir(
      {{setting("bomb model file"), "unit.off"},    {setting("bomb model scale"), "1"},
       {setting("bomb model x offset"), "0"},       {setting("bomb model y offset"), "0"},
       {setting("bomb model z offset"), "0"},       {setting("bomb model z turn"), "0"},
       {setting("bomb model y turn"), "0"},         {setting("shell model file"), "unit.off"},
       {setting("shell model flipNormals"), "1"},   {setting("shell model scale"), "1"},
       {setting("shell model x offset"), "0"},      {setting("shell model y offset"), "0"},
       {setting("shell model z offset"), "0"},      {setting("shell model z turn"), "0"},
       {setting("shell model y turn"), "0"},        {setting("missile model file"), "unit.off"},
       {setting("missile model flipNormals"), "0"}, {setting("missile model scale"), "1"},
       {setting("missile model x offset"), "0"},    {setting("missile model y offset"), "0"},
       {setting("missile model z offset"), "0"},    {setting("missile model z turn"), "0"},
       {setting("missile model y turn"), "0"}});
  writeFile(dir + "/unit.off", "OFF 3 1 0\n0 0 0\n1 0 0\n1 1 1\n3 0 1 2\n");
  startHeadlessGame(dir);
  expectVec(bombs[0].model->vertices[2], 0.5f, 5, 5);
  const Model* flipped = shells[0].model;
  const Model* plain = missile.model;
  for (int v = 0; v < 3; v++) {
    expectVec(flipped->vertices[v], plain->vertices[v].x, plain->vertices[v].y,
              plain->vertices[v].z, 0);
    expectVec(flipped->normals[v], -plain->normals[v].x, -plain->normals[v].y,
              -plain->normals[v].z);
  }
  EXPECT_EQ(memcmp(shells[0].modelBox, missile.modelBox, sizeof(BoundingBox)), 0);
}

// Broken settings files end the real game with one line naming the file and
// the value, and status 1.
TEST_F(SettingsTest, BrokenFilesAreReportedWithTheValueThatFailed) {
  struct Case {
    std::string text;
    std::string message;
  };
  std::vector<std::string> tokens = defaultSettings();
  std::string first20;
  for (int i = 0; i < 20; i++) first20 += tokens[i] + " ";
  const Case cases[] = {
      {"", "settings.txt: value 1 (arenaHalfSize) is missing: the file ends early\n"},
      {first20, "settings.txt: value 21 (trooper model file) is missing: the file ends early\n"},
      {settingsText({{setting("livesPerLevel"), "three"}}),
       "settings.txt: value 4 (livesPerLevel) is not a whole number\n"},
      {settingsText({{setting("livesPerLevel"), "3.5"}}),
       "settings.txt: value 4 (livesPerLevel) is not a whole number\n"},
      {settingsText({{setting("planeSpeed"), "4x"}}),
       "settings.txt: value 14 (planeSpeed) is not a number\n"},
      {settingsText({{setting("planesBase"), "99999999999"}}),
       "settings.txt: value 13 (planesBase) is out of range\n"},
      {settingsText({{setting("missileLifetime"), "1e10"}}),
       "settings.txt: value 82 (missileLifetime) is out of range\n"},
  };
  for (const Case& c : cases) {
    std::string dir = dataDir();
    writeFile(dir + "/settings.txt", c.text);
    ProcessResult r = runGame({"--headless", "--data", dir, "--frames", "1"});
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.out, c.message);
  }
  std::string dir = dataDir();
  unlink((dir + "/settings.txt").c_str());
  ProcessResult r = runGame({"--headless", "--data", dir, "--frames", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "settings.txt: cannot open: No such file or directory\n");
}

TEST_F(SettingsTest, MissingModelNamesTheFile) {
  std::string dir = dataDir({{setting("shell model file"), "no_such_shell.off"}});
  ProcessResult r = runGame({"--headless", "--data", dir, "--frames", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Cannon open model file: no_such_shell.off\n");
}

}  // namespace
