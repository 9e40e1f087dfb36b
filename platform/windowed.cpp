// windowed.cpp: the windowed backend. A freeglut window on X11 carries the
// game; the X server answers for keys held now, the pointer, the focus and the
// window geometry; freeglut's callbacks latch keys pressed between two
// queries; SDL2's sound device (devices/audio.h) plays the sounds. All of it
// reaches platform.cpp through one table, kWindowedBackend.
#include "platform/windowed.h"

#include <FreeImage.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/printable.h"
#include "devices/audio.h"
#include "devices/pads.h"
#include "platform/backend.h"
#include "platform/platform.h"

namespace {

constexpr int kTitleSize = 256;
constexpr int kPathSize = 1024;
// The icon goes to the window manager in these sizes, each as large as the
// image allows within a square of that side.
constexpr int kIconSides[] = {16, 32, 48, 64};
constexpr int kIconValues = 2 * 4 + 16 * 16 + 32 * 32 + 48 * 48 + 64 * 64;

struct Windowed {
  bool glutReady;
  Display* xDisplay;  // freeglut's own connection
  Window window;
  Window root;
  char title[kTitleSize];
  KeyCode letterCodes[26];
  KeyCode escapeCode;
  Atom frameExtentsAtom;
  Atom iconAtom;
  unsigned char latch[kKeySlots];
  bool grabbed;     // our confining pointer grab is in force
  bool focusTaken;  // the focus was set (or left to a window manager) once mapped
  bool closed;      // freeglut destroyed the window: no more X calls at exit
  bool cursorRead;  // the cursor was read since it was last moved, at cursorReadAt
  int cursorReadAt[2];

  void (*displayFn)();
  void (*keyboardFn)(unsigned char c, int x, int y);
  void (*reshapeFn)(int width, int height);
  void (*timerFn)(int);
  int timerValue;
  int timerGeneration;
};

Windowed gWin;
// _NET_WM_ICON data: for each size, width, height, then ARGB pixels row by
// row from the top.
unsigned long gIconData[kIconValues];

// ---- Keys ----

// freeglut reports characters: map them back to the key codes the game asks
// about. Control codes 1..26 are Ctrl+letter only while Ctrl is down, so that
// Tab, Enter and Backspace (9, 13, 8) do not pass for I, M and H.
int slotFromChar(unsigned char c, bool ctrl) {
  if (c == 27) return platEscape;
  if (ctrl && c >= 1 && c <= 26) return 'A' + c - 1;
  return platKeySlot(c);
}

void onKeyboard(unsigned char c, int x, int y) {
  const int slot = slotFromChar(c, (glutGetModifiers() & GLUT_ACTIVE_CTRL) != 0);
  if (slot >= 0) gWin.latch[slot] = 1;
  if (gWin.keyboardFn) gWin.keyboardFn(c, x, y);
}

void onMouse(int button, int state, int, int) {
  if (state != GLUT_DOWN) return;
  if (button == GLUT_LEFT_BUTTON) gWin.latch[platLButton] = 1;
  if (button == GLUT_RIGHT_BUTTON) gWin.latch[platRButton] = 1;
}

bool keyHeldNow(int slot) {
  if (!gWin.xDisplay) return false;
  if (slot == platLButton || slot == platRButton) {
    Window rootReturn, child;
    int rootX, rootY, x, y;
    unsigned mask = 0;
    XQueryPointer(gWin.xDisplay, gWin.root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask);
    return (mask & (slot == platLButton ? Button1Mask : Button3Mask)) != 0;
  }
  const KeyCode code = slot == platEscape ? gWin.escapeCode : gWin.letterCodes[slot - 'A'];
  if (code == 0) return false;
  char keys[32];
  XQueryKeymap(gWin.xDisplay, keys);
  return (keys[code >> 3] & (1 << (code & 7))) != 0;
}

// ---- Window callbacks ----

void onDisplay() {
  if (gWin.displayFn) gWin.displayFn();
}

void onReshape(int width, int height) {
  if (gWin.reshapeFn)
    gWin.reshapeFn(width, height);
  else
    glViewport(0, 0, width, height);
}

void beforeFrame();

// freeglut cannot cancel a timer, so each arming gets a generation number and
// only the newest one calls the game.
void onTimer(int generation) {
  if (generation != gWin.timerGeneration || !gWin.timerFn) return;
  void (*fn)(int) = gWin.timerFn;
  gWin.timerFn = nullptr;
  beforeFrame();
  fn(gWin.timerValue);
}

// ---- Window geometry and focus ----

bool isDescendant(Window window, Window ancestor, int depth) {
  if (depth > 8) return false;
  Window rootReturn, parent;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(gWin.xDisplay, ancestor, &rootReturn, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; i++)
    found = children[i] == window || isDescendant(window, children[i], depth + 1);
  if (children) XFree(children);
  return found;
}

// Our window's ancestor that is a direct child of the root: the window
// itself, or the frame a window manager put around it.
Window topLevel() {
  Window current = gWin.window;
  for (int depth = 0; depth < 16; depth++) {
    Window rootReturn, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(gWin.xDisplay, current, &rootReturn, &parent, &children, &count)) break;
    if (children) XFree(children);
    if (parent == rootReturn || parent == None) return current;
    current = parent;
  }
  return gWin.window;
}

bool pointerOverWindow() {
  Window rootReturn, child = None;
  int rootX, rootY, x, y;
  unsigned mask;
  if (!XQueryPointer(gWin.xDisplay, gWin.root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask))
    return false;  // the pointer is on another screen
  // Without a window manager our window is itself the top level.
  return child != None && (child == gWin.window || child == topLevel());
}

// ---- Focus and the pointer grab ----

bool gXError;

int noteXError(Display*, XErrorEvent*) {
  gXError = true;
  return 0;
}

bool windowViewable() {
  XWindowAttributes attributes;
  return XGetWindowAttributes(gWin.xDisplay, gWin.window, &attributes) &&
         attributes.map_state == IsViewable;
}

// The game window has the keyboard focus, or, with the focus left to the
// pointer (no window manager, nobody took it), the pointer is over it.
bool windowActive() {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(gWin.xDisplay, &focus, &revert);
  if (focus == None) return false;
  if (focus == PointerRoot) return pointerOverWindow();
  return focus == gWin.window || isDescendant(focus, gWin.window, 0);
}

// An ICCCM window manager owns the WM_Sn selection of the screen it manages.
bool windowManagerRuns() {
  char name[32];
  snprintf(name, sizeof name, "WM_S%d", DefaultScreen(gWin.xDisplay));
  const Atom selection = XInternAtom(gWin.xDisplay, name, False);
  return XGetSelectionOwner(gWin.xDisplay, selection) != None;
}

// Without a window manager nobody gives the window the focus, and the
// keyboard would follow the pointer: take the focus once, as soon as the
// window shows, so the game is active as it is under a window manager.
void takeFocusOnceViewable() {
  if (gWin.focusTaken || !gWin.window || !windowViewable()) return;
  gWin.focusTaken = true;
  if (windowManagerRuns()) return;
  // The window can vanish between the test and the request; an X error must
  // not end the game.
  XSync(gWin.xDisplay, False);
  gXError = false;
  XErrorHandler previous = XSetErrorHandler(noteXError);
  XSetInputFocus(gWin.xDisplay, gWin.window, RevertToPointerRoot, CurrentTime);
  XSync(gWin.xDisplay, False);
  XSetErrorHandler(previous);
}

void releasePointer() {
  if (!gWin.grabbed) return;
  gWin.grabbed = false;
  if (gWin.closed) return;
  // A round trip, so the pointer is free once this returns, for every client.
  XUngrabPointer(gWin.xDisplay, CurrentTime);
  XSync(gWin.xDisplay, False);
}

// A window that lost the focus must not keep the pointer, whether or not
// the game has asked for the release yet.
void releaseIfInactive() {
  if (gWin.grabbed && !windowActive()) releasePointer();
}

// Runs before every frame of the game.
void beforeFrame() {
  takeFocusOnceViewable();
  releaseIfInactive();
}

void onWindowStatus(int state) {
  if (state == GLUT_HIDDEN)
    releasePointer();
  else
    takeFocusOnceViewable();
}

void onWindowClosed() {
  releasePointer();
  gWin.closed = true;
}

void releaseAtExit() { releasePointer(); }

// ---- Screenshots ----

struct ChannelMask {
  unsigned long mask;
  int shift, bits;
};

ChannelMask channelMask(unsigned long mask) {
  ChannelMask c = {mask, 0, 0};
  while (mask && !(mask & 1)) {
    mask >>= 1;
    c.shift++;
  }
  while (mask & 1) {
    mask >>= 1;
    c.bits++;
  }
  return c;
}

BYTE channelValue(unsigned long pixel, const ChannelMask& c) {
  if (c.bits == 0) return 0;
  const unsigned long v = (pixel & c.mask) >> c.shift;
  if (c.bits >= 8) return static_cast<BYTE>(v >> (c.bits - 8));
  return static_cast<BYTE>(v * 255 / ((1ul << c.bits) - 1));
}

// ---- The backend's calls (kWindowedBackend below) ----

uint32_t winTickMs() {
  timespec now;
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

int winKeyState(int key) {
  const int slot = platKeySlot(key);
  if (slot < 0) return 0;
  const bool latched = gWin.latch[slot] != 0;
  gWin.latch[slot] = 0;
  return platKeyValue(keyHeldNow(slot), latched);
}

PlatWindow winFindWindow(const char* title) {
  if (!gWin.window || !title || strcmp(title, gWin.title) != 0) return 0;
  return gWin.window;
}

PlatWindow winActiveWindow() {
  if (!gWin.window) return 0;
  if (windowActive()) return gWin.window;
  releasePointer();
  return 0;
}

void winClientRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  *left = *top = *right = *bottom = 0;
  if (!gWin.window || window != gWin.window) return;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(gWin.xDisplay, gWin.window, &attributes)) return;
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(gWin.xDisplay, gWin.window, gWin.root, 0, 0, &x, &y, &child);
  *left = x;
  *top = y;
  *right = x + attributes.width;
  *bottom = y + attributes.height;
}

void winWindowRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  winClientRect(window, left, top, right, bottom);
  if (*right == *left) return;  // not our window, or it cannot be read
  // A window manager's frame: left, right, top, bottom.
  long frame[4] = {0, 0, 0, 0};
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(gWin.xDisplay, gWin.window, gWin.frameExtentsAtom, 0, 4, False,
                         XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
      data) {
    if (type == XA_CARDINAL && format == 32 && items == 4)
      for (int i = 0; i < 4; i++) frame[i] = reinterpret_cast<long*>(data)[i];
    XFree(data);
  }
  *left -= static_cast<int>(frame[0]);
  *top -= static_cast<int>(frame[2]);
  *right += static_cast<int>(frame[1]);
  *bottom += static_cast<int>(frame[3]);
}

void winConfinePointer(bool on) {
  if (!gWin.window || gWin.closed) return;
  if (!on) {
    releasePointer();
    return;
  }
  // Grab only a window that shows and has the focus. Another client's grab
  // makes this fail quietly; the game asks again next frame and gets it once
  // the other grab ends.
  if (gWin.grabbed || !windowActive() || !windowViewable()) return;
  const int result = XGrabPointer(gWin.xDisplay, gWin.window, True,
                                  ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                  GrabModeAsync, GrabModeAsync, gWin.window, None, CurrentTime);
  gWin.grabbed = result == GrabSuccess;
}

void winCursorPos(int* x, int* y) {
  *x = *y = 0;
  if (!gWin.xDisplay) return;
  Window rootReturn, child;
  int windowX, windowY;
  unsigned mask;
  if (!XQueryPointer(gWin.xDisplay, gWin.root, &rootReturn, &child, x, y, &windowX, &windowY,
                     &mask))
    return;
  gWin.cursorRead = true;
  gWin.cursorReadAt[0] = *x;
  gWin.cursorReadAt[1] = *y;
}

void winSetCursorPos(int x, int y) {
  if (!gWin.xDisplay) return;
  // The game reads the cursor and then puts it back at its hold point. A
  // motion that arrives in between must not be wiped out, so the first move
  // after a read goes by the distance from the point read, which keeps that
  // motion for the next read; other moves go straight to the point.
  if (gWin.cursorRead)
    XWarpPointer(gWin.xDisplay, None, None, 0, 0, 0, 0, x - gWin.cursorReadAt[0],
                 y - gWin.cursorReadAt[1]);
  else
    XWarpPointer(gWin.xDisplay, None, gWin.root, 0, 0, 0, 0, x, y);
  gWin.cursorRead = false;
  XFlush(gWin.xDisplay);
}

void winHideCursor() {
  if (gWin.window) glutSetCursor(GLUT_CURSOR_NONE);
}

void winSetWindowIcon(PlatWindow window, const char* file) {
  if (!gWin.window || window != gWin.window || !file) return;
  FREE_IMAGE_FORMAT format = FreeImage_GetFileType(file, 0);
  if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(file);
  if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) return;
  FIBITMAP* loaded = FreeImage_Load(format, file, 0);
  if (!loaded) return;
  FIBITMAP* image = FreeImage_ConvertTo32Bits(loaded);
  FreeImage_Unload(loaded);
  if (!image) return;
  const int width = static_cast<int>(FreeImage_GetWidth(image));
  const int height = static_cast<int>(FreeImage_GetHeight(image));
  // Each size keeps the image's shape within its square; window managers
  // pick the size that suits the place they show it in.
  unsigned long* out = gIconData;
  for (int side : kIconSides) {
    const int longer = width > height ? width : height;
    const int w = width * side / longer > 0 ? width * side / longer : 1;
    const int h = height * side / longer > 0 ? height * side / longer : 1;
    FIBITMAP* scaled = FreeImage_Rescale(image, w, h, FILTER_BILINEAR);
    if (!scaled) break;
    *out++ = static_cast<unsigned long>(w);
    *out++ = static_cast<unsigned long>(h);
    for (int y = 0; y < h; y++) {
      // FreeImage rows run bottom-up; the icon's run top-down.
      const BYTE* in = FreeImage_GetScanLine(scaled, h - 1 - y);
      for (int x = 0; x < w; x++, in += 4)
        *out++ = static_cast<unsigned long>(in[FI_RGBA_ALPHA]) << 24 |
                 static_cast<unsigned long>(in[FI_RGBA_RED]) << 16 |
                 static_cast<unsigned long>(in[FI_RGBA_GREEN]) << 8 | in[FI_RGBA_BLUE];
    }
    FreeImage_Unload(scaled);
  }
  FreeImage_Unload(image);
  if (out == gIconData) return;
  XChangeProperty(gWin.xDisplay, gWin.window, gWin.iconAtom, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(gIconData), static_cast<int>(out - gIconData));
  XFlush(gWin.xDisplay);
}

void winPlaySound(const char* name) {
  char path[kPathSize];
  if (name && platSoundPath(name, path, sizeof path)) audioPlay(path);
}

void winCreateWindow(const char* title, int x, int y, int width, int height) {
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowPosition(x, y);
  glutInitWindowSize(width, height);
  glutCreateWindow(title);
  snprintf(gWin.title, sizeof gWin.title, "%s", title ? title : "");
  gWin.xDisplay = glXGetCurrentDisplay();
  gWin.window = glXGetCurrentDrawable();
  gWin.root = DefaultRootWindow(gWin.xDisplay);
  for (int i = 0; i < 26; i++)
    gWin.letterCodes[i] = XKeysymToKeycode(gWin.xDisplay, static_cast<KeySym>(XK_a + i));
  gWin.escapeCode = XKeysymToKeycode(gWin.xDisplay, XK_Escape);
  gWin.frameExtentsAtom = XInternAtom(gWin.xDisplay, "_NET_FRAME_EXTENTS", False);
  gWin.iconAtom = XInternAtom(gWin.xDisplay, "_NET_WM_ICON", False);
  memset(gWin.latch, 0, sizeof gWin.latch);
  // Window managers and task bars group and name windows by their class.
  static char resName[] = "velkarra3d", resClass[] = "Velkarra3D";
  XClassHint classHint = {resName, resClass};
  XSetClassHint(gWin.xDisplay, gWin.window, &classHint);
  XFlush(gWin.xDisplay);
  atexit(releaseAtExit);
  glutWindowStatusFunc(onWindowStatus);
  glutCloseFunc(onWindowClosed);
  glutDisplayFunc(onDisplay);
  glutReshapeFunc(onReshape);
  glutKeyboardFunc(onKeyboard);
  glutMouseFunc(onMouse);
}

void winFullScreen() {
  if (!gWin.window) return;
  // A window manager fills the screen when asked. Without one, freeglut puts
  // the window off by its first position, so cover the screen directly.
  Atom check = XInternAtom(gWin.xDisplay, "_NET_SUPPORTING_WM_CHECK", True);
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const bool managed = check != None &&
                       XGetWindowProperty(gWin.xDisplay, gWin.root, check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &items, &after, &data) == Success &&
                       data && items == 1;
  if (data) XFree(data);
  if (managed) {
    glutFullScreen();
    return;
  }
  const int screen = DefaultScreen(gWin.xDisplay);
  XMoveResizeWindow(gWin.xDisplay, gWin.window, 0, 0,
                    static_cast<unsigned>(DisplayWidth(gWin.xDisplay, screen)),
                    static_cast<unsigned>(DisplayHeight(gWin.xDisplay, screen)));
  XFlush(gWin.xDisplay);
}

void winDisplayFunc(void (*display)()) { gWin.displayFn = display; }
void winKeyboardFunc(void (*key)(unsigned char c, int x, int y)) { gWin.keyboardFn = key; }
void winReshapeFunc(void (*reshape)(int width, int height)) { gWin.reshapeFn = reshape; }

void winTimerFunc(unsigned ms, void (*fn)(int), int value) {
  gWin.timerGeneration++;
  gWin.timerFn = fn;
  gWin.timerValue = value;
  if (fn) glutTimerFunc(ms, onTimer, gWin.timerGeneration);
}

void winSwapBuffers() { glutSwapBuffers(); }

void winMainLoop() { glutMainLoop(); }

bool winSaveScreenshot(const char* file) {
  if (!gWin.window) {
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: no window\n", printable(file));
    return false;
  }
  // Mesa's software GLX keeps a stale copy of the front buffer that swaps do
  // not update, so glReadBuffer(GL_FRONT) can read black there. The window's
  // own pixels are what it shows, on every driver: take those.
  glFinish();
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(gWin.xDisplay, gWin.window, &attributes)) return false;
  FIBITMAP* image = platOpenShot(file, attributes.width, attributes.height);
  if (!image) return false;
  XSync(gWin.xDisplay, False);
  gXError = false;
  XErrorHandler previous = XSetErrorHandler(noteXError);
  XImage* pixels = XGetImage(gWin.xDisplay, gWin.window, 0, 0, attributes.width, attributes.height,
                             AllPlanes, ZPixmap);
  XSync(gWin.xDisplay, False);
  XSetErrorHandler(previous);
  if (!pixels || gXError) {
    if (pixels) XDestroyImage(pixels);
    FreeImage_Unload(image);
    remove(file);
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: the window is not visible\n",
            printable(file));
    return false;
  }
  const ChannelMask red = channelMask(pixels->red_mask);
  const ChannelMask green = channelMask(pixels->green_mask);
  const ChannelMask blue = channelMask(pixels->blue_mask);
  for (int y = 0; y < attributes.height; y++) {
    // X rows run top-down, FreeImage's bottom-up.
    BYTE* out = FreeImage_GetScanLine(image, attributes.height - 1 - y);
    for (int x = 0; x < attributes.width; x++, out += 3) {
      const unsigned long pixel = XGetPixel(pixels, x, y);
      out[FI_RGBA_RED] = channelValue(pixel, red);
      out[FI_RGBA_GREEN] = channelValue(pixel, green);
      out[FI_RGBA_BLUE] = channelValue(pixel, blue);
    }
  }
  XDestroyImage(pixels);
  return platSaveShot(file, image);
}

}  // namespace

// ---- Starting the backend, and its table (see backend.h) ----

bool winInit(int* argc, char** argv) {
  if (gWin.glutReady) return true;
  // freeglut prints a terse message and exits when it cannot open the
  // display, so try first and say what to do instead.
  const char* name = getenv("DISPLAY");
  for (int i = 1; argv && i + 1 < *argc; i++)
    if (strcmp(argv[i], "-display") == 0) name = argv[i + 1];
  if (!name || !name[0]) {
    fprintf(stderr,
            "velkarra3d: cannot open the X display (DISPLAY is not set); run it from a desktop "
            "session or use --headless\n");
    return false;
  }
  Display* probe = XOpenDisplay(name);
  if (!probe) {
    fprintf(stderr,
            "velkarra3d: cannot open the X display \"%s\"; run it from a desktop session or use "
            "--headless\n",
            name);
    return false;
  }
  // Closed only once freeglut holds its own connection: a server with no
  // client left resets itself (Xvfb does), and freeglut's connection attempt
  // could land in the middle of that.
  glutInit(argc, argv);
  XCloseDisplay(probe);
  gWin.glutReady = true;
  if (audioOpen()) audioPreload("s");
  padsOpen(false);  // quietly without SDL's game controllers: the mouse still plays
  return true;
}

const PlatBackend kWindowedBackend = {
    winTickMs,         winKeyState,       winFindWindow,   winActiveWindow, winWindowRect,
    winClientRect,     winConfinePointer, winCursorPos,    winSetCursorPos, winHideCursor,
    winSetWindowIcon,  winPlaySound,      winCreateWindow, winFullScreen,   winDisplayFunc,
    winKeyboardFunc,   winReshapeFunc,    winTimerFunc,    winSwapBuffers,  winMainLoop,
    winSaveScreenshot,
};

// ---- windowed.h ----

void windowedPumpEvents() {
  if (gWin.glutReady) glutMainLoopEvent();
}

bool windowedAudioOpen() { return audioIsOpen(); }
void windowedStopSound() { audioStop(); }
uint32_t windowedQueuedAudioBytes() { return audioQueuedBytes(); }
int windowedAudioBytesPerSecond() { return audioBytesPerSecond(); }

long windowedSoundBytes(const char* name) {
  char path[kPathSize];
  if (!name || !platSoundPath(name, path, sizeof path)) return -1;
  return audioSoundBytes(path);
}
