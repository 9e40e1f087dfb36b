// headless.cpp: the headless backend. It renders into an offscreen OpenGL
// context (EGL on Mesa's surfaceless platform, an 800 x 600 pbuffer, desktop
// GL with the compatibility profile so fixed-function code runs unchanged),
// and replaces the window system with a virtual window whose clock, keys,
// cursor and focus are driven by a script or by tests. Sounds are recorded by
// name instead of played. No X server and no sound device are needed. All
// of it reaches platform.cpp through one table, kHeadlessBackend.
#include "platform/headless.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/printable.h"
#include "devices/pads.h"
#include "platform/backend.h"
#include "platform/headless_script.h"
#include "platform/platform.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kLeft = 100;
constexpr int kTop = 50;
constexpr PlatWindow kWindow = 1;
constexpr int kMaxSounds = 1024;
constexpr int kSoundNameSize = 128;
constexpr int kTitleSize = 256;
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

struct OffscreenGl {
  bool ready;
  EGLDisplay display;
  EGLSurface surface;
  EGLContext context;
};

struct Headless {
  uint32_t startMs;
  uint32_t frameMs;
  uint32_t tickMs;
  int frame;

  bool windowMade;
  char title[kTitleSize];
  bool reshaped;
  bool focused;
  bool cursorHidden;
  bool pointerConfined;
  int width, height;  // of the client area; tests can resize it
  int cursorX, cursorY;
  unsigned char held[kKeySlots];
  unsigned char latch[kKeySlots];
  SymKeys syms;  // keys kept by their symbol alone

  void (*display)();
  void (*keyboard)(unsigned char c, int x, int y);
  void (*special)(uint32_t sym);
  void (*reshape)(int width, int height);
  bool timerPending;
  void (*timerFn)(int);
  int timerValue;

  int soundCount;
  char sounds[kMaxSounds][kSoundNameSize];
  int volume;       // percent; at 0 no sound is noted
  bool fullScreen;  // asked for; the virtual window keeps its size
};

OffscreenGl gGl;
Headless gHl;

[[noreturn]] void failGl(const char* what) {
  fprintf(stderr,
          "velkarra3d: cannot create the offscreen OpenGL context (%s failed, EGL error 0x%04x)\n",
          what, static_cast<unsigned>(eglGetError()));
  exit(1);
}

// Makes the one offscreen context of the process current, creating it the
// first time.
void useOffscreenGl() {
  if (gGl.ready) {
    if (!eglMakeCurrent(gGl.display, gGl.surface, gGl.surface, gGl.context))
      failGl("eglMakeCurrent");
    return;
  }
  gGl.display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA,
                                      reinterpret_cast<void*>(EGL_DEFAULT_DISPLAY), nullptr);
  if (gGl.display == EGL_NO_DISPLAY) failGl("eglGetPlatformDisplay(surfaceless)");
  EGLint major = 0, minor = 0;
  if (!eglInitialize(gGl.display, &major, &minor)) failGl("eglInitialize");
  if (!eglBindAPI(EGL_OPENGL_API)) failGl("eglBindAPI(OpenGL)");

  const EGLint configAttribs[] = {EGL_SURFACE_TYPE,
                                  EGL_PBUFFER_BIT,
                                  EGL_RENDERABLE_TYPE,
                                  EGL_OPENGL_BIT,
                                  EGL_RED_SIZE,
                                  8,
                                  EGL_GREEN_SIZE,
                                  8,
                                  EGL_BLUE_SIZE,
                                  8,
                                  EGL_ALPHA_SIZE,
                                  8,
                                  EGL_DEPTH_SIZE,
                                  24,
                                  EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configs = 0;
  if (!eglChooseConfig(gGl.display, configAttribs, &config, 1, &configs) || configs < 1)
    failGl("eglChooseConfig(RGBA8, depth 24, pbuffer)");

  const EGLint surfaceAttribs[] = {EGL_WIDTH, kWidth, EGL_HEIGHT, kHeight, EGL_NONE};
  gGl.surface = eglCreatePbufferSurface(gGl.display, config, surfaceAttribs);
  if (gGl.surface == EGL_NO_SURFACE) failGl("eglCreatePbufferSurface(800x600)");

  // No version asked for: Mesa then gives its newest compatibility context,
  // which keeps every fixed-function feature.
  const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                   EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  gGl.context = eglCreateContext(gGl.display, config, EGL_NO_CONTEXT, contextAttribs);
  if (gGl.context == EGL_NO_CONTEXT) failGl("eglCreateContext(OpenGL compatibility)");
  if (!eglMakeCurrent(gGl.display, gGl.surface, gGl.surface, gGl.context)) failGl("eglMakeCurrent");
  gGl.ready = true;
}

// Everything a fresh virtual window starts with.
void resetWindowState() {
  gHl.reshaped = false;
  gHl.focused = true;
  gHl.cursorHidden = false;
  gHl.pointerConfined = false;
  gHl.width = kWidth;
  gHl.height = kHeight;
  gHl.cursorX = kLeft + kWidth / 2;
  gHl.cursorY = kTop + kHeight / 2;
  memset(gHl.held, 0, sizeof gHl.held);
  memset(gHl.latch, 0, sizeof gHl.latch);
  gHl.syms = SymKeys{};
  gHl.timerPending = false;
  gHl.timerFn = nullptr;
  gHl.soundCount = 0;
  gHl.volume = 100;
  gHl.fullScreen = false;
}

int clampToInt(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

void typeChar(unsigned char c) {
  if (gHl.keyboard) gHl.keyboard(c, gHl.cursorX - kLeft, gHl.cursorY - kTop);
}

// A key going down or up: in its slot, or kept by its symbol. A key that
// types no printable character goes to the special-key callback as it goes
// down, as in a window; a letter types only through a "char" event.
void setKey(int slot, uint32_t sym, bool down, bool latch) {
  if (slot >= 0) {
    gHl.held[slot] = down;
    if (latch) gHl.latch[slot] = 1;
  } else if (sym) {
    const int at = symKeyTake(&gHl.syms, sym);
    gHl.syms.held[at] = down;
    if (latch) gHl.syms.latch[at] = 1;
  }
  const bool typesNothing = sym && (sym < 0x20 || sym > 0x7e);
  if (latch && typesNothing && gHl.special) gHl.special(sym);
}

void applyEvent(const ScriptEvent& e) {
  switch (e.verb) {
    case ScriptVerb::down:
      setKey(e.key, e.sym, true, true);
      break;
    case ScriptVerb::up:
      setKey(e.key, e.sym, false, false);
      break;
    case ScriptVerb::tap:  // pressed and released: up afterwards
      setKey(e.key, e.sym, false, true);
      break;
    case ScriptVerb::chr:
      typeChar(static_cast<unsigned char>(e.key));
      break;
    case ScriptVerb::move:
      headlessMoveCursor(e.dx, e.dy);
      break;
    case ScriptVerb::focusOut:
      gHl.focused = false;
      break;
    case ScriptVerb::focusIn:
      gHl.focused = true;
      break;
    case ScriptVerb::padPlug:
      headlessPadPlug();
      break;
    case ScriptVerb::padUnplug:
      headlessPadUnplug();
      break;
    case ScriptVerb::padAxis:
      headlessPadAxis(e.key, e.dx);
      break;
    case ScriptVerb::padButton:
      headlessPadButton(e.key, e.dx != 0);
      break;
  }
}

// ---- The backend's calls (kHeadlessBackend below) ----

uint32_t hlTickMs() { return gHl.tickMs; }

int hlKeyState(int key) {
  const int slot = platKeySlot(key);
  if (slot < 0) return 0;
  const bool latched = gHl.latch[slot] != 0;
  gHl.latch[slot] = 0;
  return platKeyValue(gHl.held[slot] != 0, latched);
}

int hlKeySymState(uint32_t sym) {
  const int slot = platSymSlot(sym);
  if (slot >= 0) return hlKeyState(slot);
  const int at = symKeyFind(gHl.syms, sym);
  if (at < 0) return 0;
  const bool latched = gHl.syms.latch[at] != 0;
  gHl.syms.latch[at] = 0;
  return platKeyValue(gHl.syms.held[at] != 0, latched);
}

PlatWindow hlFindWindow(const char* title) {
  if (!gHl.windowMade || !title || strcmp(title, gHl.title) != 0) return 0;
  return kWindow;
}

PlatWindow hlActiveWindow() { return gHl.windowMade && gHl.focused ? kWindow : 0; }

void hlWindowRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  const bool ours = gHl.windowMade && window == kWindow;
  *left = ours ? kLeft : 0;
  *top = ours ? kTop : 0;
  *right = ours ? kLeft + gHl.width : 0;
  *bottom = ours ? kTop + gHl.height : 0;
}

void hlClientRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  hlWindowRect(window, left, top, right, bottom);
}

void hlConfinePointer(bool on) { gHl.pointerConfined = on; }

void hlCursorPos(int* x, int* y) {
  *x = gHl.cursorX;
  *y = gHl.cursorY;
}

void hlSetCursorPos(int x, int y) {
  gHl.cursorX = x;
  gHl.cursorY = y;
}

void hlHideCursor() { gHl.cursorHidden = true; }
void hlShowCursor() { gHl.cursorHidden = false; }

void hlScreenSize(int* width, int* height) {
  *width = kScreenWidth;
  *height = kScreenHeight;
}

// The virtual window keeps its size.
void hlResizeWindow(int, int) {}

// The virtual window is never hidden: every frame draws, as before.
bool hlWindowShown() { return true; }

// The virtual window has no icon to show.
void hlSetWindowIcon(PlatWindow, const char*) {}

void hlPlaySound(const char* name) {
  if (gHl.soundCount >= kMaxSounds || gHl.volume == 0) return;
  snprintf(gHl.sounds[gHl.soundCount], kSoundNameSize, "%s", name ? name : "");
  gHl.soundCount++;
}

// The virtual window is always 800 x 600 at (100, 50), whatever is asked.
void hlCreateWindow(const char* title, int, int, int, int) {
  useOffscreenGl();
  snprintf(gHl.title, sizeof gHl.title, "%s", title ? title : "");
  gHl.windowMade = true;
  resetWindowState();
  glViewport(0, 0, kWidth, kHeight);
}

// The virtual window keeps its size.
void hlFullScreen() { gHl.fullScreen = true; }

void hlToggleFullScreen() { gHl.fullScreen = !gHl.fullScreen; }

void hlSoundVolume(int percent) { gHl.volume = percent < 0 ? 0 : percent > 100 ? 100 : percent; }

// Headless frames never wait for a screen.
bool hlSyncToRefresh(bool) { return false; }

void hlDisplayFunc(void (*display)()) { gHl.display = display; }
void hlKeyboardFunc(void (*key)(unsigned char c, int x, int y)) { gHl.keyboard = key; }
void hlReshapeFunc(void (*reshape)(int width, int height)) { gHl.reshape = reshape; }
void hlSpecialKeyFunc(void (*key)(uint32_t sym)) { gHl.special = key; }

// Headless frames follow one another without waiting: ms does not matter.
void hlTimerFunc(unsigned, void (*fn)(int), int value) {
  gHl.timerPending = fn != nullptr;
  gHl.timerFn = fn;
  gHl.timerValue = value;
}

void hlSwapBuffers() {
  // The pbuffer is single-buffered: what was drawn stays readable.
  glFlush();
}

void hlMainLoop() {
  while (headlessStep()) {
  }
}

bool hlSaveScreenshot(const char* file) {
  if (!gHl.windowMade) {
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: no window\n", printable(file));
    return false;
  }
  glFinish();
  return platWriteGlImage(file, kWidth, kHeight);
}

}  // namespace

// ---- Starting the backend, and its table (see backend.h) ----

void hlInit(uint32_t startMs, uint32_t frameMs) {
  gHl.startMs = startMs;
  gHl.frameMs = frameMs;
  gHl.tickMs = startMs;
  gHl.frame = 0;
  gHl.windowMade = false;
  gHl.title[0] = '\0';
  gHl.display = nullptr;
  gHl.keyboard = nullptr;
  gHl.special = nullptr;
  gHl.reshape = nullptr;
  resetWindowState();
  scriptClear();
  padsReset();
}

const PlatBackend kHeadlessBackend = {
    hlTickMs,            // tickMs
    hlKeyState,          // keyState
    hlFindWindow,        // findWindow
    hlActiveWindow,      // activeWindow
    hlWindowRect,        // windowRect
    hlClientRect,        // clientRect
    hlConfinePointer,    // confinePointer
    hlCursorPos,         // cursorPos
    hlSetCursorPos,      // setCursorPos
    hlHideCursor,        // hideCursor
    hlWindowShown,       // windowShown
    hlSetWindowIcon,     // setWindowIcon
    hlPlaySound,         // playSound
    hlCreateWindow,      // createWindow
    hlFullScreen,        // fullScreen
    hlDisplayFunc,       // displayFunc
    hlKeyboardFunc,      // keyboardFunc
    hlReshapeFunc,       // reshapeFunc
    hlTimerFunc,         // timerFunc
    hlSwapBuffers,       // swapBuffers
    hlMainLoop,          // mainLoop
    hlSaveScreenshot,    // saveScreenshot
    hlToggleFullScreen,  // toggleFullScreen
    hlSoundVolume,       // soundVolume
    hlSyncToRefresh,     // syncToRefresh
    hlKeySymState,       // keySymState
    hlSpecialKeyFunc,    // specialKeyFunc
    hlShowCursor,        // showCursor
    hlScreenSize,        // screenSize
    hlResizeWindow,      // resizeWindow
};

// ---- headless.h ----

bool headlessLoadScript(const char* path, char* err, int errSize) {
  return scriptLoad(path, err, errSize);
}

bool headlessParseScript(const char* text, size_t size, const char* name, char* err, int errSize) {
  return scriptParse(text, size, name, err, errSize);
}

int headlessScriptLastFrame() { return scriptLastFrame(); }

bool headlessStep() {
  if (!gHl.timerPending) return false;
  // Like a window being mapped: the reshape callback runs once before the
  // first frame.
  if (!gHl.reshaped && gHl.windowMade) {
    gHl.reshaped = true;
    if (gHl.reshape) gHl.reshape(kWidth, kHeight);
  }
  const int frame = gHl.frame + 1;
  gHl.frame = frame;
  const ScriptEvent* events = nullptr;
  const int count = scriptEventsAt(frame, &events);
  for (int i = 0; i < count; i++) applyEvent(events[i]);
  gHl.tickMs = gHl.startMs + static_cast<uint32_t>(frame) * gHl.frameMs;
  // A keyboard callback run by a "char" event could have disarmed the timer
  // (platTimerFunc with no function): the frame then ends here.
  if (!gHl.timerPending) return true;
  void (*fn)(int) = gHl.timerFn;
  gHl.timerPending = false;
  gHl.timerFn = nullptr;
  fn(gHl.timerValue);
  return true;
}

int headlessFrameNumber() { return gHl.frame; }

void headlessSetFrameNumber(int frame) {
  gHl.frame = frame;
  gHl.tickMs = gHl.startMs + static_cast<uint32_t>(frame) * gHl.frameMs;
}

void headlessSetTick(uint32_t ms) { gHl.tickMs = ms; }

void headlessKeyDown(int key) {
  const int slot = platKeySlot(key);
  if (slot < 0) return;
  gHl.held[slot] = 1;
  gHl.latch[slot] = 1;
}

void headlessKeyUp(int key) {
  const int slot = platKeySlot(key);
  if (slot >= 0) gHl.held[slot] = 0;
}

void headlessKeyTap(int key) {
  const int slot = platKeySlot(key);
  if (slot < 0) return;
  gHl.held[slot] = 0;
  gHl.latch[slot] = 1;
}

void headlessChar(unsigned char c) { typeChar(c); }

void headlessSymDown(uint32_t sym) { setKey(platSymSlot(sym), sym, true, true); }
void headlessSymUp(uint32_t sym) { setKey(platSymSlot(sym), sym, false, false); }
void headlessSymTap(uint32_t sym) { setKey(platSymSlot(sym), sym, false, true); }

void headlessMoveCursor(int dx, int dy) {
  gHl.cursorX = clampToInt(static_cast<long long>(gHl.cursorX) + dx);
  gHl.cursorY = clampToInt(static_cast<long long>(gHl.cursorY) + dy);
}

void headlessSetFocus(bool in) { gHl.focused = in; }

void headlessResizeWindow(int width, int height) {
  gHl.width = width;
  gHl.height = height;
  if (gHl.reshape) gHl.reshape(width, height);
}

bool headlessCursorHidden() { return gHl.cursorHidden; }

bool headlessPointerConfined() { return gHl.pointerConfined; }

int headlessSoundCount() { return gHl.soundCount; }

const char* headlessSoundName(int index) {
  if (index < 0 || index >= gHl.soundCount) return nullptr;
  return gHl.sounds[index];
}

void headlessClearSounds() { gHl.soundCount = 0; }

bool headlessFullScreen() { return gHl.fullScreen; }

int headlessSoundVolume() { return gHl.volume; }
// The virtual controller: SDL's own, fed into the same pad module
// (devices/pads.h) a window reads, which these open only when first asked.
bool headlessPadPlug() { return padsVirtualPlug(); }
void headlessPadUnplug() { padsVirtualUnplug(); }
void headlessPadAxis(int axis, int value) { padsVirtualAxis(axis, value); }
void headlessPadButton(int button, bool down) { padsVirtualButton(button, down); }
