// platform.cpp: forwards every platform.h call to the backend main() chose
// (windowed or headless), and holds the helpers both backends share: key code
// normalisation and writing the GL image as a PNG.
#include <GL/gl.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/backend.h"
#include "base/printable.h"

namespace {

enum class Backend : uint8_t { headless, windowed };

// Until main() picks a backend, calls land on the headless one, whose state
// starts out as "no window, nothing pressed, clock at 0".
Backend gBackend = Backend::headless;

bool windowed() { return gBackend == Backend::windowed; }

}  // namespace

int platKeySlot(int key) {
  if (key >= 'a' && key <= 'z') return key - 'a' + 'A';
  if (key >= 'A' && key <= 'Z') return key;
  if (key == platLButton || key == platRButton || key == platEscape) return key;
  return -1;
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
  gBackend = Backend::windowed;
  return true;
}

void platInitHeadless(uint32_t startMs, uint32_t frameMs) {
  gBackend = Backend::headless;
  hlInit(startMs, frameMs);
}

uint32_t platTickMs() { return windowed() ? winTickMs() : hlTickMs(); }

uint64_t platPerfMicros() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000000u + static_cast<uint64_t>(t.tv_nsec) / 1000u;
}

int platKeyState(int key) { return windowed() ? winKeyState(key) : hlKeyState(key); }

PlatWindow platFindWindow(const char* title) {
  return windowed() ? winFindWindow(title) : hlFindWindow(title);
}

PlatWindow platActiveWindow() { return windowed() ? winActiveWindow() : hlActiveWindow(); }

void platWindowRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  if (windowed())
    winWindowRect(window, left, top, right, bottom);
  else
    hlWindowRect(window, left, top, right, bottom);
}

void platClientRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  if (windowed())
    winClientRect(window, left, top, right, bottom);
  else
    hlClientRect(window, left, top, right, bottom);
}

void platConfinePointer(bool on) {
  if (windowed())
    winConfinePointer(on);
  else
    hlConfinePointer(on);
}

void platCursorPos(int* x, int* y) {
  if (windowed())
    winCursorPos(x, y);
  else
    hlCursorPos(x, y);
}

void platSetCursorPos(int x, int y) {
  if (windowed())
    winSetCursorPos(x, y);
  else
    hlSetCursorPos(x, y);
}

void platHideCursor() {
  if (windowed())
    winHideCursor();
  else
    hlHideCursor();
}

void platSetWindowIcon(PlatWindow window, const char* file) {
  // The headless window has no icon to show.
  if (windowed()) winSetWindowIcon(window, file);
}

void platPlaySound(const char* name) {
  if (windowed())
    winPlaySound(name);
  else
    hlPlaySound(name);
}

void platCreateWindow(const char* title, int x, int y, int width, int height) {
  // The headless window is always 800 x 600 at (100, 50).
  if (windowed())
    winCreateWindow(title, x, y, width, height);
  else
    hlCreateWindow(title);
}

void platFullScreen() {
  if (windowed()) winFullScreen();
}

void platDisplayFunc(void (*display)()) {
  if (windowed())
    winDisplayFunc(display);
  else
    hlDisplayFunc(display);
}

void platKeyboardFunc(void (*key)(unsigned char c, int x, int y)) {
  if (windowed())
    winKeyboardFunc(key);
  else
    hlKeyboardFunc(key);
}

void platReshapeFunc(void (*reshape)(int width, int height)) {
  if (windowed())
    winReshapeFunc(reshape);
  else
    hlReshapeFunc(reshape);
}

void platTimerFunc(unsigned ms, void (*fn)(int), int value) {
  // Headless frames follow one another without waiting: ms does not matter.
  if (windowed())
    winTimerFunc(ms, fn, value);
  else
    hlTimerFunc(fn, value);
}

void platSwapBuffers() {
  if (windowed())
    winSwapBuffers();
  else
    hlSwapBuffers();
}

void platMainLoop() {
  if (windowed())
    winMainLoop();
  else
    hlMainLoop();
}

bool platSaveScreenshot(const char* file) {
  return windowed() ? winSaveScreenshot(file) : hlSaveScreenshot(file);
}
