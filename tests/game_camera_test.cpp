// Tests of the camera: aim vectors, the locked eye, the views and the
// projection.
#include <GL/gl.h>

#include <cmath>

#include "game/world.h"
#include "game_support.h"
#include "render/view.h"
#include "sim/sim.h"

namespace {

class CameraTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    start();
  }
};

void expectVec(const Vec3& v, float x, float y, float z, const char* what) {
  EXPECT_NEAR(v.x, x, 1e-6) << what;
  EXPECT_NEAR(v.y, y, 1e-6) << what;
  EXPECT_NEAR(v.z, z, 1e-6) << what;
}

// Where the current model-view matrix takes the world point p.
Vec3 toEye(Vec3 p) {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
          m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
          m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

TEST_F(CameraTest, AimAlongYGivesTheTextbookFrameAndEye) {
  camera.yaw = static_cast<float>(M_PI / 2);
  camera.pitch = 0;
  game.cameraLock = 1;
  updateAim();
  expectVec(cannon.forward, 0, 1, 0, "forward");
  expectVec(cannon.right, 1, 0, 0, "right");
  expectVec(cannon.up, 0, 0, 1, "up");
  expectVec(camera.pos, -0.4f, 0, 0.6f, "locked eye");
  EXPECT_EQ(cannon.yaw, camera.yaw);
  EXPECT_EQ(cannon.pitch, camera.pitch);
}

TEST_F(CameraTest, AimingUpTiltsUpBackwards) {
  camera.yaw = 0;
  camera.pitch = 0.5f;
  game.cameraLock = 1;
  updateAim();
  expectVec(cannon.up, -sinf(0.5f), 0, cosf(0.5f), "up");
  expectVec(camera.pos, -0.6f * sinf(0.5f), 0.4f, 0.6f * cosf(0.5f), "locked eye");
}

TEST_F(CameraTest, UnlockedEyeStaysWhereItIs) {
  game.cameraLock = 0;
  camera.pos = {5, 6, 7};
  updateAim();
  loadView();
  expectVec(camera.pos, 5, 6, 7, "free eye");
  // The view still looks along the aim from there.
  Vec3 ahead = toEye({5 + cosf(camera.yaw) * cosf(camera.pitch),
                      6 + sinf(camera.yaw) * cosf(camera.pitch), 7 + sinf(camera.pitch)});
  expectVec(ahead, 0, 0, -1, "one unit along the aim");
}

TEST_F(CameraTest, CannonBoxFollowsTheAim) {
  camera.yaw = 0;
  camera.pitch = 0;
  updateAim();
  BoundingBox along = cannon.worldBox;
  camera.yaw = static_cast<float>(M_PI / 2);
  updateAim();
  // The barrel along +x now points along +y.
  EXPECT_NEAR(cannon.worldBox.corners[0].y, along.corners[0].x, 1e-4);
}

TEST_F(CameraTest, LightStaysFixedInTheWorld) {
  camera.yaw = 1.0f;
  camera.pitch = 0.3f;
  updateAim();
  loadView();
  float eyeLight[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, eyeLight);
  Vec3 origin = toEye({0, 0, 0});
  Vec3 direction = toEye({7, 2, 5});
  EXPECT_NEAR(eyeLight[0], direction.x - origin.x, 1e-4);
  EXPECT_NEAR(eyeLight[1], direction.y - origin.y, 1e-4);
  EXPECT_NEAR(eyeLight[2], direction.z - origin.z, 1e-4);
  EXPECT_EQ(eyeLight[3], 0);
}

TEST_F(CameraTest, MissileViewRidesAboveTheMissile) {
  missile.pos = {3, 4, 10};
  missile.forward = {0, 1, 0};
  missile.right = {1, 0, 0};
  missile.up = {0, 0, 1};
  lookFromMissile();
  loadView();
  expectVec(toEye({3, 4, 10.2f}), 0, 0, 0, "the eye");
  expectVec(toEye({3, 5, 10.2f}), 0, 0, -1, "one unit ahead");
  expectVec(toEye({3, 4, 11.2f}), 0, 1, 0, "up is up on screen");
}

TEST_F(CameraTest, ReshapeSetsAspectAndKeepsItForAnEmptyWindow) {
  onReshape(800, 600);
  EXPECT_EQ(aspect, 0.75f);
  float p[16];
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  EXPECT_NEAR(p[0], 1.0, 1e-6);         // 2 near / (right - left): 90 degrees across
  EXPECT_NEAR(p[5], 0.2 / 0.15, 1e-5);  // top 0.075
  onReshape(0, 0);
  EXPECT_EQ(aspect, 0.75f);
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  for (float v : p) EXPECT_TRUE(std::isfinite(v));
  onReshape(1600, 800);
  EXPECT_EQ(aspect, 0.5f);
  GLint mode;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST(VectorHelpers, DirectionsAndCrossProducts) {
  Vec3 d = dirFromAngles(2, 0, static_cast<float>(M_PI / 2));
  EXPECT_NEAR(d.x, 0, 1e-6);
  EXPECT_NEAR(d.z, 2, 1e-6);
  d = dirFromAngles(3, static_cast<float>(M_PI), 0);
  EXPECT_NEAR(d.x, -3, 1e-6);
  Vec3 c = cross({1, 0, 0}, {0, 1, 0});
  EXPECT_EQ(c.z, 1);
  c = cross({0, 1, 0}, {1, 0, 0});
  EXPECT_EQ(c.z, -1);
}

}  // namespace
