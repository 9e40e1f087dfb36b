// platform_headless_gl.cpp: the headless backend's offscreen OpenGL context
// renders the fixed-function way the game relies on (lighting, display lists,
// matrices, feedback, BGR textures with GLU mipmaps), its screenshots are
// real PNGs, and it survives being created again in the same process.
#include <FreeImage.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/headless.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace {

// Started with VELKARRA_PLATFORM_CHILD=egl, this binary only tries to make
// the headless window and reports whether it came back; the EGL failure test
// runs it that way with EGL's driver list pointing nowhere.
int childScenario() {
  const char* mode = getenv("VELKARRA_PLATFORM_CHILD");
  if (!mode || std::string(mode) != "egl") return 0;
  platInitHeadless(0, 16);
  platCreateWindow("Velkarra3D", 0, 0, 800, 600);
  printf("created\n");
  fflush(stdout);
  _exit(0);
}
const int gChild = childScenario();

struct Rgb {
  int r, g, b;
};

Rgb pixelAt(int x, int y) {
  unsigned char p[4] = {0, 0, 0, 0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

::testing::AssertionResult near(Rgb got, Rgb want, int tolerance = 2) {
  if (abs(got.r - want.r) <= tolerance && abs(got.g - want.g) <= tolerance &&
      abs(got.b - want.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << got.r << ", " << got.g << ", " << got.b << "), want (" << want.r << ", "
         << want.g << ", " << want.b << ")";
}

void quad(float x0, float y0, float x1, float y1) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(x0, y0);
  glTexCoord2f(1, 0);
  glVertex2f(x1, y0);
  glTexCoord2f(1, 1);
  glVertex2f(x1, y1);
  glTexCoord2f(0, 1);
  glVertex2f(x0, y1);
  glEnd();
}

class PlatformHeadlessGl : public ::testing::Test {
 protected:
  void SetUp() override {
    platInitHeadless(0, 16);
    platCreateWindow("Velkarra3D", 0, 0, 800, 600);
    // The context lives on from test to test: start from known state.
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, 800, 600);
    glClearColor(0, 0, 0.25f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    dir = makeTempDir("platform-gl");
  }
  void TearDown() override {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    removeTree(dir);
  }
  std::string dir;
};

TEST_F(PlatformHeadlessGl, LightingShadesByTheAngleToTheLight) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  const GLfloat none[] = {0, 0, 0, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  const GLfloat towardsViewer[] = {0, 0, 1, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
  const GLfloat diffuse[] = {0.8f, 0.4f, 0.2f, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);

  glBegin(GL_TRIANGLES);
  glNormal3f(0, 0, 1);  // facing the light: the full diffuse colour
  glVertex2f(-0.9f, -0.5f);
  glVertex2f(-0.1f, -0.5f);
  glVertex2f(-0.5f, 0.5f);
  glNormal3f(0, 0.8f, 0.6f);  // tilted: 0.6 of it
  glVertex2f(0.1f, -0.5f);
  glVertex2f(0.9f, -0.5f);
  glVertex2f(0.5f, 0.5f);
  glEnd();
  glDisable(GL_LIGHT0);
  platSwapBuffers();

  EXPECT_TRUE(near(pixelAt(200, 300), {204, 102, 51}));
  EXPECT_TRUE(near(pixelAt(600, 300), {122, 61, 31}));
  EXPECT_TRUE(near(pixelAt(400, 300), {0, 0, 64}));
  EXPECT_TRUE(near(pixelAt(5, 595), {0, 0, 64}));
}

TEST_F(PlatformHeadlessGl, DisplayListReplaysWhereTheMatrixSays) {
  const GLuint list = glGenLists(1);
  ASSERT_NE(list, 0u);
  glNewList(list, GL_COMPILE);
  glColor3f(0, 1, 0);
  quad(-0.1f, -0.1f, 0.1f, 0.1f);
  glEndList();
  EXPECT_TRUE(near(pixelAt(400, 300), {0, 0, 64}));  // compiling draws nothing

  glCallList(list);
  glTranslatef(0.5f, 0, 0);
  glCallList(list);
  glDeleteLists(list, 1);
  glFinish();
  EXPECT_TRUE(near(pixelAt(400, 300), {0, 255, 0}));
  EXPECT_TRUE(near(pixelAt(600, 300), {0, 255, 0}));
  EXPECT_TRUE(near(pixelAt(500, 300), {0, 0, 64}));
}

TEST_F(PlatformHeadlessGl, ModelviewMatrixReadsBackComposed) {
  glTranslatef(1, 2, 3);
  glRotatef(90, 0, 0, 1);
  glScalef(2, 2, 2);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  const GLfloat want[16] = {0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1};
  for (int i = 0; i < 16; i++) EXPECT_NEAR(m[i], want[i], 1e-5) << "element " << i;
}

TEST_F(PlatformHeadlessGl, FeedbackModeGivesWindowCoordinates) {
  GLfloat buffer[16];
  glFeedbackBuffer(16, GL_2D, buffer);
  glRenderMode(GL_FEEDBACK);
  glBegin(GL_POINTS);
  glVertex2f(0.5f, -0.5f);
  glEnd();
  const GLint values = glRenderMode(GL_RENDER);
  ASSERT_EQ(values, 3);
  EXPECT_EQ(buffer[0], static_cast<GLfloat>(GL_POINT_TOKEN));
  EXPECT_NEAR(buffer[1], 600, 1e-3);
  EXPECT_NEAR(buffer[2], 150, 1e-3);
}

TEST_F(PlatformHeadlessGl, BgrTextureWithGluMipmapsKeepsItsColours) {
  // 2 x 2 texels, blue-green-red, bottom row first: red, green / blue, white.
  const unsigned char texels[12] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, 2, 2, GL_BGR, GL_UNSIGNED_BYTE, texels), 0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnable(GL_TEXTURE_2D);
  quad(-1, -1, 1, 1);
  glDisable(GL_TEXTURE_2D);
  glDeleteTextures(1, &texture);
  glFinish();
  EXPECT_TRUE(near(pixelAt(200, 150), {255, 0, 0}));
  EXPECT_TRUE(near(pixelAt(600, 150), {0, 255, 0}));
  EXPECT_TRUE(near(pixelAt(200, 450), {0, 0, 255}));
  EXPECT_TRUE(near(pixelAt(600, 450), {255, 255, 255}));
}

TEST_F(PlatformHeadlessGl, ScreenshotIsAnUprightPngOfTheWindow) {
  glClearColor(0.2f, 0.4f, 0.6f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glOrtho(0, 800, 0, 600, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glColor3f(1, 0, 0);
  quad(0, 500, 100, 600);  // the top-left corner
  platSwapBuffers();

  const std::string file = dir + "/shot.png";
  ASSERT_TRUE(platSaveScreenshot(file.c_str()));
  ASSERT_EQ(FreeImage_GetFileType(file.c_str(), 0), FIF_PNG);
  FIBITMAP* image = FreeImage_Load(FIF_PNG, file.c_str(), 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(image), 800u);
  EXPECT_EQ(FreeImage_GetHeight(image), 600u);
  // FreeImage counts rows from the bottom, like GL.
  RGBQUAD topLeft, bottomLeft, topRight;
  FreeImage_GetPixelColor(image, 50, 550, &topLeft);
  FreeImage_GetPixelColor(image, 50, 50, &bottomLeft);
  FreeImage_GetPixelColor(image, 799, 599, &topRight);
  FreeImage_Unload(image);
  EXPECT_TRUE(near({topLeft.rgbRed, topLeft.rgbGreen, topLeft.rgbBlue}, {255, 0, 0}, 0));
  EXPECT_TRUE(
      near({bottomLeft.rgbRed, bottomLeft.rgbGreen, bottomLeft.rgbBlue}, {51, 102, 153}, 1));
  EXPECT_TRUE(near({topRight.rgbRed, topRight.rgbGreen, topRight.rgbBlue}, {51, 102, 153}, 1));
}

TEST_F(PlatformHeadlessGl, ScreenshotThatCannotBeWrittenSaysSoOnce) {
  const std::string file = dir + "/no/such/folder/shot.png";
  ::testing::internal::CaptureStderr();
  const bool saved = platSaveScreenshot(file.c_str());
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(saved);
  EXPECT_EQ(err.rfind("velkarra3d: cannot save the screenshot " + file + ": ", 0), 0u) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

TEST_F(PlatformHeadlessGl, SecondWindowStartsAfreshAndStillRenders) {
  platPlaySound("s\\shot.wav");
  headlessKeyDown('A');
  headlessKeyTap(platEscape);
  headlessMoveCursor(40, 40);
  headlessSetFocus(false);
  platHideCursor();
  platTimerFunc(
      16, [](int) {}, 0);

  platCreateWindow("Velkarra3D again", 0, 0, 800, 600);
  EXPECT_EQ(platFindWindow("Velkarra3D"), 0u);
  const PlatWindow window = platFindWindow("Velkarra3D again");
  EXPECT_NE(window, 0u);
  EXPECT_EQ(platActiveWindow(), window);
  EXPECT_EQ(headlessSoundCount(), 0);
  EXPECT_EQ(platKeyState('A'), 0);
  EXPECT_EQ(platKeyState(platEscape), 0);
  EXPECT_FALSE(headlessCursorHidden());
  EXPECT_FALSE(headlessStep());
  int x, y;
  platCursorPos(&x, &y);
  EXPECT_EQ(x, 500);
  EXPECT_EQ(y, 350);

  glClearColor(1, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  platSwapBuffers();
  EXPECT_TRUE(near(pixelAt(400, 300), {255, 255, 0}));
}

TEST(PlatformHeadlessGlFailure, NoEglDriverIsOneLineAndExitStatusOne) {
  ProcessResult run = runProcess(
      {"/proc/self/exe"}, "",
      {"VELKARRA_PLATFORM_CHILD=egl", "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent/egl.json"});
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind("velkarra3d: cannot create the offscreen OpenGL context (", 0), 0u)
      << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

}  // namespace
