// platform.cpp: forwards every platform.h call to the backend main() chose
// (windowed or headless) through its table of calls, and holds what both
// backends share: key code normalisation, writing the GL image as a PNG and
// the performance clock.
#include "platform/platform.h"

#include <GL/gl.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/printable.h"
#include "devices/pads.h"
#include "platform/backend.h"

namespace {

// Until main() picks a backend, calls land on the headless one, whose state
// starts out as "no window, nothing pressed, clock at 0".
const PlatBackend* gBackend = &kHeadlessBackend;

// Set by SIGINT, SIGTERM or the window's close; read between frames.
volatile sig_atomic_t gStopAsked;

void onStopSignal(int) { gStopAsked = 1; }

}  // namespace

int platKeySlot(int key) {
  if (key >= 'a' && key <= 'z') return key - 'a' + 'A';
  if (key >= 'A' && key <= 'Z') return key;
  if (key == platLButton || key == platRButton || key == platEscape) return key;
  if (key == platF9 || key == platF11 || key == platF12 || key == platAltEnter) return key;
  return -1;
}

int platSymSlot(uint32_t sym) {
  if (sym >= 'a' && sym <= 'z') return static_cast<int>(sym - 'a' + 'A');
  if (sym >= 'A' && sym <= 'Z') return static_cast<int>(sym);
  if (sym == platSymEscape) return platEscape;
  if (sym == platSymF9) return platF9;
  if (sym == platSymF11) return platF11;
  if (sym == platSymF12) return platF12;
  return -1;
}

int symKeyFind(const SymKeys& keys, uint32_t sym) {
  for (int i = 0; i < kSymKeys; i++)
    if (keys.sym[i] == sym && sym != 0) return i;
  return -1;
}

int symKeyTake(SymKeys* keys, uint32_t sym) {
  int at = symKeyFind(*keys, sym);
  for (int i = 0; i < kSymKeys && at < 0; i++)
    if (!keys->held[i] && !keys->latch[i]) at = i;
  if (at < 0) {
    at = keys->next;
    keys->next = (keys->next + 1) % kSymKeys;
  }
  if (keys->sym[at] != sym) keys->held[at] = keys->latch[at] = 0;
  keys->sym[at] = sym;
  return at;
}

uint32_t platCharSym(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
  if (c == '\r' || c == '\n') return platSymReturn;
  if (c == 8) return platSymBackSpace;
  if (c == 9) return platSymTab;
  if (c == 27) return platSymEscape;
  if (c == 127) return platSymDelete;
  if (c >= 1 && c <= 26) return 'a' + c - 1;
  return c;
}

uint32_t platKeySymFromName(const char* name) {
  if (!name || !name[0] || strlen(name) > 63) return 0;
  KeySym sym = XStringToKeysym(name);
  if (sym == NoSymbol && name[0] >= 'a' && name[0] <= 'z') {
    char raised[64];
    snprintf(raised, sizeof raised, "%s", name);
    raised[0] = static_cast<char>(raised[0] - 'a' + 'A');
    sym = XStringToKeysym(raised);
  }
  if (sym == NoSymbol || sym > 0xffffffffu) return 0;
  if (sym >= 'A' && sym <= 'Z') sym = sym - 'A' + 'a';
  return static_cast<uint32_t>(sym);
}

bool platKeySymName(uint32_t sym, char* out, int size) {
  if (size > 0) out[0] = '\0';
  const char* name = sym ? XKeysymToString(static_cast<KeySym>(sym)) : nullptr;
  if (!name || snprintf(out, size, "%s", name) >= size) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return true;
}

FIBITMAP* platOpenShot(const char* file, int width, int height) {
  if (width <= 0 || height <= 0) {
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: the window has no size\n",
            printable(file));
    return nullptr;
  }
  // Try the file first: FreeImage only says that saving failed, not why.
  FILE* probe = fopen(file, "wb");
  if (!probe) {
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: %s\n", printable(file),
            strerror(errno));
    return nullptr;
  }
  fclose(probe);
  FIBITMAP* image = FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                       FI_RGBA_BLUE_MASK);
  if (!image) {
    remove(file);
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: out of memory\n", printable(file));
  }
  return image;
}

bool platSaveShot(const char* file, FIBITMAP* image) {
  const bool saved = FreeImage_Save(FIF_PNG, image, file, PNG_DEFAULT) != FALSE;
  FreeImage_Unload(image);
  if (!saved) {
    remove(file);
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: writing the PNG failed\n",
            printable(file));
  }
  return saved;
}

bool platWriteGlImage(const char* file, int width, int height) {
  FIBITMAP* image = platOpenShot(file, width, height);
  if (!image) return false;
  // FreeImage keeps rows bottom-up, blue-green-red, padded to 4 bytes: exactly
  // what glReadPixels writes with GL_BGR and a pack alignment of 4, so the
  // pixels go straight into the image. The check guards that assumption.
  if (FreeImage_GetPitch(image) != ((static_cast<unsigned>(width) * 3 + 3) & ~3u)) {
    FreeImage_Unload(image);
    remove(file);
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: unexpected row layout\n",
            printable(file));
    return false;
  }
  GLint oldAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &oldAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, FreeImage_GetBits(image));
  glPixelStorei(GL_PACK_ALIGNMENT, oldAlignment);
  return platSaveShot(file, image);
}

bool platInitWindowed(int* argc, char** argv) {
  if (!winInit(argc, argv)) return false;
  gBackend = &kWindowedBackend;
  return true;
}

void platInitHeadless(uint32_t startMs, uint32_t frameMs) {
  gBackend = &kHeadlessBackend;
  hlInit(startMs, frameMs);
}

void platCatchStopSignals() {
  struct sigaction action = {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  // The first signal only asks; the handler then goes, so a second one ends
  // a game that does not get round to stopping.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool platStopAsked() { return gStopAsked != 0; }

void platAskStop() { gStopAsked = 1; }

uint64_t platPerfMicros() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000000u + static_cast<uint64_t>(t.tv_nsec) / 1000u;
}

// ---- The calls each backend answers in its own way ----

uint32_t platTickMs() { return gBackend->tickMs(); }
int platKeyState(int key) { return gBackend->keyState(key); }
PlatWindow platFindWindow(const char* title) { return gBackend->findWindow(title); }
PlatWindow platActiveWindow() { return gBackend->activeWindow(); }
void platWindowRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  gBackend->windowRect(window, left, top, right, bottom);
}
void platClientRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  gBackend->clientRect(window, left, top, right, bottom);
}
void platConfinePointer(bool on) { gBackend->confinePointer(on); }
void platCursorPos(int* x, int* y) { gBackend->cursorPos(x, y); }
void platSetCursorPos(int x, int y) { gBackend->setCursorPos(x, y); }
void platHideCursor() { gBackend->hideCursor(); }
bool platWindowShown() { return gBackend->windowShown(); }
void platSetWindowIcon(PlatWindow window, const char* file) {
  gBackend->setWindowIcon(window, file);
}
void platPlaySound(const char* name) { gBackend->playSound(name); }
void platCreateWindow(const char* title, int x, int y, int width, int height) {
  gBackend->createWindow(title, x, y, width, height);
}
void platFullScreen() { gBackend->fullScreen(); }
void platDisplayFunc(void (*display)()) { gBackend->displayFunc(display); }
void platKeyboardFunc(void (*key)(unsigned char c, int x, int y)) { gBackend->keyboardFunc(key); }
void platReshapeFunc(void (*reshape)(int width, int height)) { gBackend->reshapeFunc(reshape); }
void platTimerFunc(unsigned ms, void (*fn)(int), int value) { gBackend->timerFunc(ms, fn, value); }
void platSwapBuffers() { gBackend->swapBuffers(); }
void platMainLoop() { gBackend->mainLoop(); }
bool platSaveScreenshot(const char* file) { return gBackend->saveScreenshot(file); }
void platToggleFullScreen() { gBackend->toggleFullScreen(); }
void platSoundVolume(int percent) { gBackend->soundVolume(percent); }
bool platSyncToRefresh(bool on) { return gBackend->syncToRefresh(on); }
int platKeySymState(uint32_t sym) { return gBackend->keySymState(sym); }
void platSpecialKeyFunc(void (*key)(uint32_t sym)) { gBackend->specialKeyFunc(key); }
void platShowCursor() { gBackend->showCursor(); }
void platScreenSize(int* width, int* height) { gBackend->screenSize(width, height); }
void platResizeWindow(int width, int height) { gBackend->resizeWindow(width, height); }

// ---- The game controller: one pad module (devices/pads.h) for both
// backends, which only open it differently ----

static_assert(static_cast<int>(platPadAxisCount) == padAxisCount &&
                  static_cast<int>(platPadRightTrigger) == padRightTrigger &&
                  static_cast<int>(platPadButtonCount) == padButtonCount &&
                  static_cast<int>(platPadStart) == padStart &&
                  static_cast<int>(platPadRight) == padRight,
              "platform.h numbers the pad's axes and buttons as devices/pads.h does");

void platPadState(PlatPad* pad) {
  padsPoll();
  pad->connected = padsConnected();
  pad->unplugged = padsTakeUnplugged();
  for (int a = 0; a < platPadAxisCount; a++) pad->axes[a] = static_cast<int16_t>(padsAxis(a));
  pad->held = padsHeld();
  pad->pressed = padsTakePressed();
}
