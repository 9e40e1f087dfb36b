// startup.cpp: opening the window, fixing the GL state, loading the
// textures and building the world; shutdown and the ends of a run.
#include "app/startup.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/frame.h"
#include "app/options.h"
#include "assets/bitmap.h"
#include "assets/box.h"
#include "assets/font.h"
#include "assets/model.h"
#include "assets/settings.h"
#include "game/input.h"
#include "game/world.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/detail.h"
#include "render/render.h"
#include "session/autoplay.h"
#include "session/replay.h"
#include "session/timedemo.h"
#include "session/trace.h"
#include "terrain/terrain.h"

uint32_t planeList, cannonList, missileList, shellList, bombList, chuteList, trooperList,
    terrainList;
uint32_t sandTexture, skyTexture, skyCapTexture, fontTexture, groundBoxTexture;

namespace {

const char* const windowTitle = "Velkarra3D";
const char* const settingsName = "settings.txt";

// Loads a BMP texture into texture object `texture`. A missing file ends the
// process with status 1 and no message; a file that exists but is no
// readable BMP says so. Other sizes and depths are converted to the size the
// game draws with, 24 bits a pixel.
void loadTexture(const char* file, uint32_t texture, int width, int height, bool mipmaps) {
  BitmapResult result;
  FIBITMAP* bitmap = loadBitmap24(file, width, height, false, &result);
  if (!bitmap) {
    if (result == bitmapTooLarge || result == bitmapTruncated)
      printBitmapRefusal(file, result);
    else if (result == bitmapUnreadable)
      printf("%s: not a readable BMP bitmap\n", file);
    else if (result == bitmapUnconvertible)
      printf("%s: cannot convert to a %d x %d 24-bit bitmap\n", file, width, height);
    fflush(stdout);
    exit(1);
  }
  const unsigned char* bits = FreeImage_GetBits(bitmap);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (mipmaps) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, bits);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    applySandFiltering();
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, bits);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  }
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  FreeImage_Unload(bitmap);
}

struct LoadedModel {
  Model* model;
  BoundingBox* box;
};

// Loads, places, gives normals to and boxes one model. The bomb gets its
// own stretch along the world axes after its turns.
LoadedModel prepareModel(const ModelSection& section, bool bomb) {
  Model* model = loadOffModel(section.file);
  float scale = section.scale;
  if (bomb)
    pretransformBombModel(model, static_cast<float>(0.5 * scale), static_cast<float>(5.0 * scale),
                          static_cast<float>(5.0 * scale), section.tx, section.ty, section.tz,
                          section.zTurn, section.yTurn);
  else
    pretransformModel(model, scale, section.tx, section.ty, section.tz, section.zTurn,
                      section.yTurn);
  computeNormals(model, section.flip);
  BoundingBox* box = static_cast<BoundingBox*>(malloc(sizeof(BoundingBox)));
  boxFromPoints(model->vertices, model->vertexCount, box);
  return {model, box};
}

void compileList(uint32_t list, const Model* model) {
  glNewList(list, GL_COMPILE);
  emitModel(model);
  glEndList();
}

}  // namespace

void startGame() {
  // 800 x 600 unless the player asked for another size.
  const bool sized = runOptions.windowWidth > 0 && runOptions.windowHeight > 0;
  const int width = sized ? runOptions.windowWidth : 800;
  const int height = sized ? runOptions.windowHeight : 600;
  platCreateWindow(windowTitle, 100, 50, width, height);
  if (runOptions.fullscreen) platFullScreen();
  chooseDetail(runOptions.detail);
  platDisplayFunc(displayFrame);
  platTimerFunc(1, frameTick, 0);
  platKeyboardFunc(onKey);
  platReshapeFunc(onReshape);
  glClearColor(0, 0, 0, 0);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  onReshape(width, height);

  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glMatrixMode(GL_MODELVIEW);

  camera.pos = {0, 0, 0.5f};
  camera.yaw = 0;
  camera.pitch = 0.1f;
  lightPosition[0] = 7;
  lightPosition[1] = 2;
  lightPosition[2] = 5;
  lightPosition[3] = 0;
  applyCamera();

  const GLfloat grey[4] = {0.5f, 0.5f, 0.5f, 1};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, grey);
  glLightfv(GL_LIGHT0, GL_SPECULAR, grey);
  glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, grey);

  planeList = glGenLists(8);
  cannonList = planeList + 1;
  missileList = planeList + 2;
  shellList = planeList + 3;
  bombList = planeList + 4;
  chuteList = planeList + 5;
  trooperList = planeList + 6;
  terrainList = planeList + 7;

  glEnable(GL_TEXTURE_2D);
  GLuint textures[5];
  glGenTextures(5, textures);
  sandTexture = textures[0];
  skyTexture = textures[1];
  skyCapTexture = textures[2];
  fontTexture = textures[3];
  groundBoxTexture = textures[4];

  loadFont(&gameFont, "font.glf", fontTexture);

  loadTexture("sand.bmp", sandTexture, 256, 256, true);
  loadTexture("sky.bmp", skyTexture, 1024, 256, false);
  loadTexture("sky_up.bmp", skyCapTexture, 256, 256, false);
  loadTexture("ground_box.bmp", groundBoxTexture, 64, 64, false);
  glBindTexture(GL_TEXTURE_2D, 0);

  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  window = platFindWindow(windowTitle);
  platSetWindowIcon(window, "icon.png");
  platHideCursor();
  int left, top, right, bottom;
  platWindowRect(window, &left, &top, &right, &bottom);
  cursorCentre[0] = (left + right) / 2;
  cursorCentre[1] = (top + bottom) / 2;
  if (inputSource() == inputFromReplay) replayStartCentre(cursorCentre);
  platSetCursorPos(cursorCentre[0], cursorCentre[1]);

  loadSettings();
  lastTickMs = inputStartTick();
  lastFrame.now = lastTickMs;  // the start-up line of the trace
  recordStart(startSeed(), lastTickMs, cursorCentre);
}

void shutdown() {
  releaseAssets();
  endProcess(1);
}

void releaseAssets() {
  freeModel(planes[0].model);
  free(planes[0].modelBox);
  freeModel(troopers[0].model);
  free(troopers[0].modelBox);
  freeModel(troopers[0].chuteModel);
  free(troopers[0].chuteModelBox);
  freeModel(bombs[0].model);
  free(bombs[0].modelBox);
  freeModel(shells[0].model);
  free(shells[0].modelBox);
  freeModel(cannon.model);
  free(cannon.modelBox);
  freeModel(missile.model);
  free(missile.modelBox);
  freeFont(&gameFont);
}

// What every end does first: the pointer is let go, the recording and the
// autoplayer's summary are finished.
static void finishRun() {
  platConfinePointer(false);
  recordClose();
  if (inputSource() == inputFromAutoplay) printAutoplaySummary();
}

void endProcess(int status) {
  finishRun();
  timedemoReport();
  traceFrame(status);
  traceClose();
  // A run asked for a picture gets the last frame shown, however it ends.
  if (runOptions.screenshotFile) platSaveScreenshot(runOptions.screenshotFile);
  fflush(stdout);
  exit(status);
}

void saveFrameShot(int32_t frame) {
  if (!runOptions.screenshotFile) return;
  const char* file = runOptions.screenshotFile;
  size_t stem = strlen(file);
  if (stem > 4 && strcmp(file + stem - 4, ".png") == 0) stem -= 4;
  char name[4200];
  snprintf(name, sizeof name, "%.*s-%06d.png", static_cast<int>(stem), file, frame);
  platSaveScreenshot(name);
}

void endRun() {
  finishRun();
  timedemoReport();
  if (runOptions.screenshotFile && !platSaveScreenshot(runOptions.screenshotFile)) {
    traceClose();
    exit(1);
  }
  traceClose();
  fflush(stdout);
  exit(0);
}

void loadSettings() {
  FILE* file = fopen(settingsName, "r");
  if (!file) {
    printf("%s: cannot open: %s\n", settingsName, strerror(errno));
    fflush(stdout);
    exit(1);
  }
  seedRand(startSeed());
  static SettingsFile read;
  char error[320];
  bool ok = parseSettings(file, &read, error, sizeof error);
  fclose(file);
  if (!ok) {
    printf("%s: %s\n", settingsName, error);
    fflush(stdout);
    exit(1);
  }
  settings = read.values;
  const Settings& s = settings;
  const ModelSection* sections = read.models;

  buildTerrain(static_cast<float>(s.arenaHalfSize * 1.5), 48,
               static_cast<float>(s.arenaHalfSize * 2.25));
  glNewList(terrainList, GL_COMPILE);
  drawTerrain();
  glEndList();

  LoadedModel plane = prepareModel(sections[planeKind], false);
  for (Plane& p : planes) {
    p.model = plane.model;
    p.modelBox = plane.box;
  }
  compileList(planeList, plane.model);

  LoadedModel trooper = prepareModel(sections[trooperKind], false);
  LoadedModel chute = prepareModel(sections[chuteKind], false);
  for (Trooper& t : troopers) {
    t.model = trooper.model;
    t.modelBox = trooper.box;
    t.chuteModel = chute.model;
    t.chuteModelBox = chute.box;
  }
  compileList(trooperList, trooper.model);
  compileList(chuteList, chute.model);

  LoadedModel bomb = prepareModel(sections[bombKind], true);
  for (Bomb& b : bombs) {
    b.model = bomb.model;
    b.modelBox = bomb.box;
  }
  compileList(bombList, bomb.model);

  LoadedModel shell = prepareModel(sections[shellKind], false);
  for (Shell& sh : shells) {
    sh.model = shell.model;
    sh.modelBox = shell.box;
  }
  compileList(shellList, shell.model);
  lastShotMs = 0;

  LoadedModel missileModel = prepareModel(sections[missileKind], false);
  missile.model = missileModel.model;
  missile.modelBox = missileModel.box;
  compileList(missileList, missileModel.model);

  LoadedModel cannonModel = prepareModel(sections[cannonKind], false);
  cannon.model = cannonModel.model;
  cannon.modelBox = cannonModel.box;
  compileList(cannonList, cannonModel.model);

  game.level = 0;
  startLevel();
}
