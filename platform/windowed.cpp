// windowed.cpp: the windowed backend. A freeglut window on X11 carries the
// game; the X server answers for keys held now, the pointer, the focus and the
// window geometry; freeglut's callbacks latch keys pressed between two
// queries; SDL2's sound device (devices/audio.h) plays the sounds. All of it
// reaches platform.cpp through one table, kWindowedBackend.
#include "platform/windowed.h"

#include <FreeImage.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <GL/glxext.h>
#include <X11/XKBlib.h>
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
#include "platform/window_fit.h"

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
  KeyCode functionCodes[3];  // F9, F11, F12
  KeyCode enterCodes[3];     // Return, Alt_L, Alt_R
  bool coversScreen;         // full screen without a window manager: our own cover
  int uncovered[4];          // where the window was before: x, y, width, height
  Atom frameExtentsAtom;
  Atom iconAtom;
  unsigned char latch[kKeySlots];
  SymKeys syms;     // keys kept by their symbol alone: their latches (held is asked of X)
  bool grabbed;     // our confining pointer grab is in force
  bool focusTaken;  // the focus was set (or left to a window manager) once mapped
  bool closed;      // freeglut destroyed the window: no more X calls at exit
  bool cursorRead;  // the cursor was read since it was last moved, at cursorReadAt
  int cursorReadAt[2];

  unsigned char charDown[256];     // by keyDownIndex: the key went down and has not come up
  unsigned char specialDown[128];  // by freeglut's special key: went down, not come up
  unsigned char focusClick[3];     // by button slot: held since it took the focus
  bool placed;                     // the window was moved onto the screen, if need be, once mapped
  uint32_t frameAwaitedSinceMs;    // shown under a window manager that has not told its frame yet
  bool fullScreen;                 // the player asked for the whole screen
  bool leftFullScreen;             // ...and gave it back to a window manager, not yet placed again
  int asked[2];                    // the client size start-up asked for
  bool fitSaid;                    // the line about a window made to fit was printed
  PlatArea startArea;              // the work area when the display was first opened
  const char* shotFile;            // while a screenshot is drawn: the swap writes it here
  int shotSize[2];
  bool shotTaken;  // the swap read the picture...
  bool shotSaved;  // ...and wrote the file

  void (*displayFn)();
  void (*keyboardFn)(unsigned char c, int x, int y);
  void (*specialFn)(uint32_t sym);
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

// The key a character came from, as far as charDown tells keys apart:
// Shift or Caps Lock can give 'P' down and 'p' up.
int keyDownIndex(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// A key held down reaches the game once. X sends the keyboard's
// auto-repeat as further presses of a key that has not come up (the
// repeat is made detectable at start-up, so no releases come in between),
// and they stop here; freeglut's own filter, which looks at the keyboard
// when each release is handled, lets repeats through when the events are
// handled after the key came up.
void onKeyboard(unsigned char c, int x, int y) {
  if (gWin.charDown[keyDownIndex(c)]) return;
  gWin.charDown[keyDownIndex(c)] = 1;
  const int modifiers = glutGetModifiers();
  const int slot = slotFromChar(c, (modifiers & GLUT_ACTIVE_CTRL) != 0);
  if (slot >= 0)
    gWin.latch[slot] = 1;
  else
    gWin.syms.latch[symKeyTake(&gWin.syms, platCharSym(c))] = 1;
  if ((c == '\r' || c == '\n') && (modifiers & GLUT_ACTIVE_ALT)) gWin.latch[platAltEnter] = 1;
  if (gWin.keyboardFn) gWin.keyboardFn(c, x, y);
}

// The symbol of each of freeglut's special keys, by its code.
struct SpecialKey {
  int glut;
  KeySym sym;
};
constexpr SpecialKey specialKeys[] = {
    {GLUT_KEY_F1, XK_F1},
    {GLUT_KEY_F2, XK_F2},
    {GLUT_KEY_F3, XK_F3},
    {GLUT_KEY_F4, XK_F4},
    {GLUT_KEY_F5, XK_F5},
    {GLUT_KEY_F6, XK_F6},
    {GLUT_KEY_F7, XK_F7},
    {GLUT_KEY_F8, XK_F8},
    {GLUT_KEY_F9, XK_F9},
    {GLUT_KEY_F10, XK_F10},
    {GLUT_KEY_F11, XK_F11},
    {GLUT_KEY_F12, XK_F12},
    {GLUT_KEY_LEFT, XK_Left},
    {GLUT_KEY_UP, XK_Up},
    {GLUT_KEY_RIGHT, XK_Right},
    {GLUT_KEY_DOWN, XK_Down},
    {GLUT_KEY_PAGE_UP, XK_Prior},
    {GLUT_KEY_PAGE_DOWN, XK_Next},
    {GLUT_KEY_HOME, XK_Home},
    {GLUT_KEY_END, XK_End},
    {GLUT_KEY_INSERT, XK_Insert},
    {GLUT_KEY_NUM_LOCK, XK_Num_Lock},
    {GLUT_KEY_BEGIN, XK_Begin},
    {GLUT_KEY_DELETE, XK_Delete},
    {GLUT_KEY_SHIFT_L, XK_Shift_L},
    {GLUT_KEY_SHIFT_R, XK_Shift_R},
    {GLUT_KEY_CTRL_L, XK_Control_L},
    {GLUT_KEY_CTRL_R, XK_Control_R},
    {GLUT_KEY_ALT_L, XK_Alt_L},
    {GLUT_KEY_ALT_R, XK_Alt_R},
    {GLUT_KEY_SUPER_L, XK_Super_L},
    {GLUT_KEY_SUPER_R, XK_Super_R},
};

uint32_t specialSym(int key) {
  for (const SpecialKey& k : specialKeys)
    if (k.glut == key) return static_cast<uint32_t>(k.sym);
  return 0;
}

// The keys that type no character come through freeglut's special keys; a
// held one reaches the game once, as a held character does.
void onSpecial(int key, int, int) {
  const uint32_t sym = specialSym(key);
  if (!sym || key < 0 || key >= 128 || gWin.specialDown[key]) return;
  gWin.specialDown[key] = 1;
  const int slot = platSymSlot(sym);
  if (slot >= 0)
    gWin.latch[slot] = 1;
  else
    gWin.syms.latch[symKeyTake(&gWin.syms, sym)] = 1;
  if (gWin.specialFn) gWin.specialFn(sym);
}

void onSpecialUp(int key, int, int) {
  if (key >= 0 && key < 128) gWin.specialDown[key] = 0;
}

bool takeFocusFromClick();

void onKeyboardUp(unsigned char c, int, int) { gWin.charDown[keyDownIndex(c)] = 0; }

void onMouse(int button, int state, int, int) {
  const int slot = button == GLUT_LEFT_BUTTON    ? platLButton
                   : button == GLUT_RIGHT_BUTTON ? platRButton
                                                 : -1;
  if (slot < 0) return;
  if (state != GLUT_DOWN) {
    gWin.focusClick[slot] = 0;
    return;
  }
  // The click that brings the game back only does that: the button reads up
  // until it is released, so it fires nothing.
  if (takeFocusFromClick()) {
    gWin.focusClick[slot] = 1;
    return;
  }
  gWin.latch[slot] = 1;
}

bool keyHeldNow(int slot) {
  if (!gWin.xDisplay) return false;
  if (slot == platLButton || slot == platRButton) {
    if (gWin.focusClick[slot]) return false;
    Window rootReturn, child;
    int rootX, rootY, x, y;
    unsigned mask = 0;
    XQueryPointer(gWin.xDisplay, gWin.root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask);
    return (mask & (slot == platLButton ? Button1Mask : Button3Mask)) != 0;
  }
  char keys[32];
  XQueryKeymap(gWin.xDisplay, keys);
  auto down = [&keys](KeyCode code) { return code != 0 && (keys[code >> 3] & (1 << (code & 7))); };
  if (slot == platAltEnter)
    return down(gWin.enterCodes[0]) && (down(gWin.enterCodes[1]) || down(gWin.enterCodes[2]));
  if (slot >= kKeySlots) {  // a key by its symbol: slot - kKeySlots is its index in syms
    const KeySym sym = gWin.syms.sym[slot - kKeySlots];
    return sym != 0 && down(XKeysymToKeycode(gWin.xDisplay, sym));
  }
  const KeyCode code = slot == platEscape ? gWin.escapeCode
                       : slot == platF9   ? gWin.functionCodes[0]
                       : slot == platF11  ? gWin.functionCodes[1]
                       : slot == platF12  ? gWin.functionCodes[2]
                                          : gWin.letterCodes[slot - 'A'];
  return down(code);
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

void takeFocus() {
  // The window can vanish between the test and the request; an X error must
  // not end the game.
  XSync(gWin.xDisplay, False);
  gXError = false;
  XErrorHandler previous = XSetErrorHandler(noteXError);
  XSetInputFocus(gWin.xDisplay, gWin.window, RevertToPointerRoot, CurrentTime);
  XSync(gWin.xDisplay, False);
  XSetErrorHandler(previous);
}

// Without a window manager nobody gives the window the focus, and the
// keyboard would follow the pointer: take the focus once, as soon as the
// window shows, so the game is active as it is under a window manager.
void takeFocusOnceViewable() {
  if (gWin.focusTaken || !gWin.window || !windowViewable()) return;
  gWin.focusTaken = true;
  if (!windowManagerRuns()) takeFocus();
}

// Without a window manager a click in the window takes the focus back, as
// a window manager would give it: when the client that had the focus
// closes, X leaves it on the root window, and nothing else would ever bring
// the game back. True when the click did that.
bool takeFocusFromClick() {
  if (!gWin.window || gWin.closed || windowActive() || windowManagerRuns()) return false;
  takeFocus();
  return true;
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
// the game has asked for the release yet; nor does it hear the keys that
// come up meanwhile, so it forgets which were down.
void releaseIfInactive() {
  if (windowActive()) return;
  releasePointer();
  memset(gWin.charDown, 0, sizeof gWin.charDown);
  memset(gWin.specialDown, 0, sizeof gWin.specialDown);
}

void placeOnScreenOnceViewable();

// Runs before every frame of the game.
void beforeFrame() {
  placeOnScreenOnceViewable();
  takeFocusOnceViewable();
  releaseIfInactive();
}

void onWindowStatus(int state) {
  if (state == GLUT_HIDDEN)
    releasePointer();
  else
    takeFocusOnceViewable();
  placeOnScreenOnceViewable();
}

// The player closed the window (through the window manager): the game ends
// its run as on Esc, from the timer that winMainLoop still runs.
void onWindowClosed() {
  releasePointer();
  gWin.closed = true;
  platAskStop();
}

void releaseAtExit() { releasePointer(); }

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

int winKeySymState(uint32_t sym) {
  const int slot = platSymSlot(sym);
  if (slot >= 0) return winKeyState(slot);
  if (!sym) return 0;
  // A key never seen pressed is kept from its first query on, so that X
  // can say whether it is held.
  const int at = symKeyTake(&gWin.syms, sym);
  const bool latched = gWin.syms.latch[at] != 0;
  gWin.syms.latch[at] = 0;
  return platKeyValue(keyHeldNow(kKeySlots + at), latched);
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

// A window manager's frame around our window, as it tells it: left, right,
// top, bottom. False (and no frame) when it has not, or no manager runs.
bool frameExtents(long frame[4]) {
  frame[0] = frame[1] = frame[2] = frame[3] = 0;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  bool told = false;
  if (XGetWindowProperty(gWin.xDisplay, gWin.window, gWin.frameExtentsAtom, 0, 4, False,
                         XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
      data) {
    told = type == XA_CARDINAL && format == 32 && items == 4;
    if (told)
      for (int i = 0; i < 4; i++) frame[i] = reinterpret_cast<long*>(data)[i];
    XFree(data);
  }
  return told;
}

void winWindowRect(PlatWindow window, int* left, int* top, int* right, int* bottom) {
  winClientRect(window, left, top, right, bottom);
  if (*right == *left) return;  // not our window, or it cannot be read
  long frame[4];
  frameExtents(frame);
  *left -= static_cast<int>(frame[0]);
  *top -= static_cast<int>(frame[2]);
  *right += static_cast<int>(frame[1]);
  *bottom += static_cast<int>(frame[3]);
}

// The screen's work area: what the window manager leaves free of panels
// (_NET_WORKAREA, for the desktop in view), within the screen; the whole
// screen when no manager says.
PlatArea readWorkArea(Display* display) {
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  PlatArea area = {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
  long desktop = 0;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const Atom current = XInternAtom(display, "_NET_CURRENT_DESKTOP", True);
  if (current != None &&
      XGetWindowProperty(display, root, current, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                         &after, &data) == Success &&
      data) {
    if (format == 32 && items == 1) desktop = reinterpret_cast<long*>(data)[0];
    XFree(data);
    data = nullptr;
  }
  const Atom workArea = XInternAtom(display, "_NET_WORKAREA", True);
  if (workArea == None || desktop < 0 || desktop > 64 ||
      XGetWindowProperty(display, root, workArea, 4 * desktop, 4, False, XA_CARDINAL, &type,
                         &format, &items, &after, &data) != Success ||
      !data)
    return area;
  if (format == 32 && items == 4) {
    const long* told = reinterpret_cast<long*>(data);
    // Kept within the screen, and only when it leaves something.
    const long left = told[0] > 0 ? told[0] : 0, top = told[1] > 0 ? told[1] : 0;
    const long right = told[0] + told[2] < area.width ? told[0] + told[2] : area.width;
    const long bottom = told[1] + told[3] < area.height ? told[1] + told[3] : area.height;
    if (right - left >= 1 && bottom - top >= 1)
      area = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
              static_cast<int>(bottom - top)};
  }
  XFree(data);
  return area;
}

// Whether the window manager shows the window full screen now.
bool managerShowsFullScreen() {
  const Atom state = XInternAtom(gWin.xDisplay, "_NET_WM_STATE", False);
  const Atom full = XInternAtom(gWin.xDisplay, "_NET_WM_STATE_FULLSCREEN", False);
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  bool shown = false;
  if (XGetWindowProperty(gWin.xDisplay, gWin.window, state, 0, 32, False, XA_ATOM, &type, &format,
                         &items, &after, &data) == Success &&
      data) {
    for (unsigned long i = 0; i < items && format == 32; i++)
      shown = shown || reinterpret_cast<Atom*>(data)[i] == full;
    XFree(data);
  }
  return shown;
}

// Says once, on stderr, that the window asked for is larger than the work
// area and what size it got instead.
void sayFitted(int width, int height, const PlatArea& area) {
  if (gWin.fitSaid) return;
  gWin.fitSaid = true;
  fprintf(stderr,
          "velkarra3d: a window of %d x %d does not fit the screen's work area of %d x %d: using "
          "%d x %d\n",
          gWin.asked[0], gWin.asked[1], area.width, area.height, width, height);
}

// How long a window manager may take, once the window shows, to tell how
// large its frame is (_NET_FRAME_EXTENTS): some tell it only then. After
// that the window is placed by its picture alone.
constexpr uint32_t kFrameAwaitMs = 1000;

// A window manager's frame can push a window that would just fit off the
// screen: openbox's adds a pixel each side, 20 rows above and 5 below. Once
// the window shows, and under a manager once it has told its frame (each
// frame looks again until then), a window asked larger than the work area
// is made to fit it with its frame (keeping its shape, said once on
// stderr), and a window that sticks out is moved so that its frame lies in
// the area, or only its picture where the frame is larger than the area.
// Done once, and again when the window comes back from full screen.
void placeOnScreenOnceViewable() {
  if (gWin.placed || !gWin.window || gWin.closed || !windowViewable()) return;
  long frame[4];
  const bool told = frameExtents(frame);
  // Back from full screen, the manager gives the window its size again
  // when it gets round to it: until then it still fills the screen.
  int left, top, right, bottom;
  winClientRect(gWin.window, &left, &top, &right, &bottom);
  const int screen = DefaultScreen(gWin.xDisplay);
  const bool filled =
      gWin.leftFullScreen &&
      (managerShowsFullScreen() || (right - left == DisplayWidth(gWin.xDisplay, screen) &&
                                    bottom - top == DisplayHeight(gWin.xDisplay, screen)));
  if (!gWin.fullScreen && ((!told && windowManagerRuns()) || filled)) {
    const uint32_t now = winTickMs();
    if (gWin.frameAwaitedSinceMs == 0) gWin.frameAwaitedSinceMs = now ? now : 1;
    if (now - gWin.frameAwaitedSinceMs < kFrameAwaitMs) return;
  }
  gWin.placed = true;
  gWin.leftFullScreen = false;
  if (gWin.fullScreen || filled) return;
  const PlatArea area = readWorkArea(gWin.xDisplay);
  // A window asked larger than the area makes room for its frame too; one
  // that fits keeps its size, its picture on the screen where the frame
  // cannot be.
  int width = right - left, height = bottom - top;
  if (gWin.asked[0] > area.width || gWin.asked[1] > area.height)
    fitWindowSize(right - left, bottom - top, area.width, area.height,
                  static_cast<int>(frame[0] + frame[1]), static_cast<int>(frame[2] + frame[3]),
                  &width, &height);
  if (width < gWin.asked[0] || height < gWin.asked[1]) sayFitted(width, height, area);
  const bool resized = width != right - left || height != bottom - top;
  const int outerLeft = left - static_cast<int>(frame[0]),
            outerTop = top - static_cast<int>(frame[2]);
  const int dx = shiftAlong(outerLeft, left + width + static_cast<int>(frame[1]), left,
                            left + width, area.x, area.width);
  const int dy = shiftAlong(outerTop, top + height + static_cast<int>(frame[3]), top, top + height,
                            area.y, area.height);
  if (dx == 0 && dy == 0 && !resized) return;
  // A window manager places the frame's corner where the window asks to go.
  if (resized)
    XMoveResizeWindow(gWin.xDisplay, gWin.window, outerLeft + dx, outerTop + dy,
                      static_cast<unsigned>(width), static_cast<unsigned>(height));
  else
    XMoveWindow(gWin.xDisplay, gWin.window, outerLeft + dx, outerTop + dy);
  XFlush(gWin.xDisplay);
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

void winShowCursor() {
  if (gWin.window && !gWin.closed) glutSetCursor(GLUT_CURSOR_LEFT_ARROW);
}

void winScreenSize(int* width, int* height) {
  *width = *height = 0;
  if (!gWin.xDisplay) return;
  const int screen = DefaultScreen(gWin.xDisplay);
  *width = DisplayWidth(gWin.xDisplay, screen);
  *height = DisplayHeight(gWin.xDisplay, screen);
}

void winResizeWindow(int width, int height) {
  if (!gWin.window || gWin.closed || width <= 0 || height <= 0) return;
  if (gWin.coversScreen) {  // our own full screen: the size for when it ends
    gWin.uncovered[2] = width;
    gWin.uncovered[3] = height;
    return;
  }
  glutReshapeWindow(width, height);
}

bool winWindowShown() { return gWin.window && !gWin.closed && windowViewable(); }

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
  // Larger than the work area, it opens fitting it; once a window manager
  // has told its frame, placeOnScreenOnceViewable makes room for that too.
  const PlatArea area = gWin.startArea;
  gWin.asked[0] = width;
  gWin.asked[1] = height;
  int fitWidth, fitHeight;
  fitWindowSize(width, height, area.width, area.height, 0, 0, &fitWidth, &fitHeight);
  glutInitWindowPosition(openAlong(x, fitWidth, area.x, area.width),
                         openAlong(y, fitHeight, area.y, area.height));
  glutInitWindowSize(fitWidth, fitHeight);
  // Closing the window ends the run through the game (winMainLoop), not
  // with freeglut's own exit.
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  glutCreateWindow(title);
  // A held key reaches the game once (onKeyboard): the keyboard's
  // auto-repeat would toggle the pause or the camera lock many times over.
  glutIgnoreKeyRepeat(1);
  snprintf(gWin.title, sizeof gWin.title, "%s", title ? title : "");
  gWin.xDisplay = glXGetCurrentDisplay();
  gWin.window = glXGetCurrentDrawable();
  gWin.root = DefaultRootWindow(gWin.xDisplay);
  for (int i = 0; i < 26; i++)
    gWin.letterCodes[i] = XKeysymToKeycode(gWin.xDisplay, static_cast<KeySym>(XK_a + i));
  gWin.escapeCode = XKeysymToKeycode(gWin.xDisplay, XK_Escape);
  const KeySym functionKeys[3] = {XK_F9, XK_F11, XK_F12};
  const KeySym enterKeys[3] = {XK_Return, XK_Alt_L, XK_Alt_R};
  for (int i = 0; i < 3; i++) {
    gWin.functionCodes[i] = XKeysymToKeycode(gWin.xDisplay, functionKeys[i]);
    gWin.enterCodes[i] = XKeysymToKeycode(gWin.xDisplay, enterKeys[i]);
  }
  gWin.frameExtentsAtom = XInternAtom(gWin.xDisplay, "_NET_FRAME_EXTENTS", False);
  gWin.iconAtom = XInternAtom(gWin.xDisplay, "_NET_WM_ICON", False);
  memset(gWin.latch, 0, sizeof gWin.latch);
  memset(gWin.charDown, 0, sizeof gWin.charDown);
  gWin.syms = SymKeys{};
  // Auto-repeat without a release before each repeated press, so that
  // onKeyboard can tell a repeat from a new press.
  XkbSetDetectableAutoRepeat(gWin.xDisplay, True, nullptr);
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
  glutKeyboardUpFunc(onKeyboardUp);
  glutSpecialFunc(onSpecial);
  glutSpecialUpFunc(onSpecialUp);
  glutMouseFunc(onMouse);
}

// A window manager that fills the screen when asked: one publishes itself
// through _NET_SUPPORTING_WM_CHECK.
bool managerFillsScreen() {
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
  return managed;
}

// Without a window manager: the window covers the screen, and what it
// covered before is kept to go back to.
void coverScreen() {
  int left, top, right, bottom;
  winClientRect(gWin.window, &left, &top, &right, &bottom);
  gWin.uncovered[0] = left;
  gWin.uncovered[1] = top;
  gWin.uncovered[2] = right - left;
  gWin.uncovered[3] = bottom - top;
  gWin.coversScreen = true;
  const int screen = DefaultScreen(gWin.xDisplay);
  XMoveResizeWindow(gWin.xDisplay, gWin.window, 0, 0,
                    static_cast<unsigned>(DisplayWidth(gWin.xDisplay, screen)),
                    static_cast<unsigned>(DisplayHeight(gWin.xDisplay, screen)));
  XFlush(gWin.xDisplay);
}

void winFullScreen() {
  if (!gWin.window) return;
  gWin.fullScreen = true;
  // A window manager fills the screen when asked. Without one, freeglut puts
  // the window off by its first position, so cover the screen directly.
  if (managerFillsScreen())
    glutFullScreen();
  else
    coverScreen();
}

void winToggleFullScreen() {
  if (!gWin.window || gWin.closed) return;
  if (managerFillsScreen()) {
    // Given back, the window is fitted to the work area and placed again
    // once the manager has restored it.
    gWin.fullScreen = !managerShowsFullScreen();
    if (!gWin.fullScreen) {
      gWin.leftFullScreen = true;
      gWin.placed = false;
      gWin.frameAwaitedSinceMs = 0;
    }
    // The manager keeps the state and flips it: _NET_WM_STATE_TOGGLE.
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = gWin.window;
    event.xclient.message_type = XInternAtom(gWin.xDisplay, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] =
        static_cast<long>(XInternAtom(gWin.xDisplay, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(gWin.xDisplay, gWin.root, False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(gWin.xDisplay);
    return;
  }
  if (!gWin.coversScreen) {
    gWin.fullScreen = true;
    coverScreen();
    return;
  }
  gWin.coversScreen = false;
  gWin.fullScreen = false;
  // Back where it was, at a size that fits the work area.
  const PlatArea area = readWorkArea(gWin.xDisplay);
  int width, height;
  if (fitWindowSize(gWin.uncovered[2] > 0 ? gWin.uncovered[2] : 800,
                    gWin.uncovered[3] > 0 ? gWin.uncovered[3] : 600, area.width, area.height, 0, 0,
                    &width, &height))
    sayFitted(width, height, area);
  XMoveResizeWindow(gWin.xDisplay, gWin.window,
                    openAlong(gWin.uncovered[0], width, area.x, area.width),
                    openAlong(gWin.uncovered[1], height, area.y, area.height),
                    static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFlush(gWin.xDisplay);
}

void winSoundVolume(int percent) { audioSetVolume(percent); }

// Whether the GLX extension `name` is in the space-separated list.
bool listsExtension(const char* list, const char* name) {
  const size_t length = strlen(name);
  for (const char* at = list; at && (at = strstr(at, name)) != nullptr; at += length)
    if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
  return false;
}

bool winSyncToRefresh(bool on) {
  if (!gWin.window || gWin.closed) return false;
  const char* list = glXQueryExtensionsString(gWin.xDisplay, DefaultScreen(gWin.xDisplay));
  auto address = [](const char* function) {
    return glXGetProcAddress(reinterpret_cast<const GLubyte*>(function));
  };
  const int interval = on ? 1 : 0;
  if (listsExtension(list, "GLX_EXT_swap_control")) {
    auto set = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(address("glXSwapIntervalEXT"));
    if (set) {
      // A refusal comes as an X error, which must not end the game.
      XSync(gWin.xDisplay, False);
      gXError = false;
      XErrorHandler previous = XSetErrorHandler(noteXError);
      set(gWin.xDisplay, gWin.window, interval);
      XSync(gWin.xDisplay, False);
      XSetErrorHandler(previous);
      if (!gXError) return true;
    }
  }
  if (listsExtension(list, "GLX_MESA_swap_control")) {
    auto set = reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(address("glXSwapIntervalMESA"));
    if (set && set(static_cast<unsigned>(interval)) == 0) return true;
  }
  // The oldest of the three takes only intervals of 1 or more.
  if (on && listsExtension(list, "GLX_SGI_swap_control")) {
    auto set = reinterpret_cast<PFNGLXSWAPINTERVALSGIPROC>(address("glXSwapIntervalSGI"));
    if (set && set(interval) == 0) return true;
  }
  return false;
}

void winDisplayFunc(void (*display)()) { gWin.displayFn = display; }
void winKeyboardFunc(void (*key)(unsigned char c, int x, int y)) { gWin.keyboardFn = key; }
void winSpecialKeyFunc(void (*key)(uint32_t sym)) { gWin.specialFn = key; }
void winReshapeFunc(void (*reshape)(int width, int height)) { gWin.reshapeFn = reshape; }

void winTimerFunc(unsigned ms, void (*fn)(int), int value) {
  gWin.timerGeneration++;
  gWin.timerFn = fn;
  gWin.timerValue = value;
  if (fn) glutTimerFunc(ms, onTimer, gWin.timerGeneration);
}

void winSwapBuffers() {
  if (!gWin.shotFile) {
    glutSwapBuffers();
    return;
  }
  // A screenshot: the frame just drawn is in the back buffer, whatever the
  // window shows or hides of it on the screen.
  glReadBuffer(GL_BACK);
  gWin.shotSaved = platWriteGlImage(gWin.shotFile, gWin.shotSize[0], gWin.shotSize[1]);
  gWin.shotTaken = true;
}

void winMainLoop() {
  glutMainLoop();
  // Back here only when the window was closed: the pending frame sees
  // platStopAsked and ends the run.
  void (*fn)(int) = gWin.timerFn;
  gWin.timerFn = nullptr;
  if (fn) fn(gWin.timerValue);
}

bool winSaveScreenshot(const char* file) {
  if (!gWin.window || gWin.closed) {
    fprintf(stderr, "velkarra3d: cannot save the screenshot %s: no window\n", printable(file));
    return false;
  }
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(gWin.xDisplay, gWin.window, &attributes)) return false;
  // The display callback draws the frame again; its swap (winSwapBuffers)
  // reads the back buffer instead of showing it. Reading the window's
  // pixels from the X server instead would lose whatever of it is covered
  // or off the screen, and Mesa's software GLX keeps a stale front buffer.
  gWin.shotFile = file;
  gWin.shotSize[0] = attributes.width;
  gWin.shotSize[1] = attributes.height;
  gWin.shotTaken = gWin.shotSaved = false;
  onDisplay();
  if (!gWin.shotTaken) winSwapBuffers();  // a display callback that does not swap
  gWin.shotFile = nullptr;
  return gWin.shotSaved;
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
  gWin.startArea = readWorkArea(probe);
  XCloseDisplay(probe);
  gWin.glutReady = true;
  if (audioOpen()) audioPreload("s");
  padsOpen(false);  // quietly without SDL's game controllers: the mouse still plays
  return true;
}

const PlatBackend kWindowedBackend = {
    winTickMs,            // tickMs
    winKeyState,          // keyState
    winFindWindow,        // findWindow
    winActiveWindow,      // activeWindow
    winWindowRect,        // windowRect
    winClientRect,        // clientRect
    winConfinePointer,    // confinePointer
    winCursorPos,         // cursorPos
    winSetCursorPos,      // setCursorPos
    winHideCursor,        // hideCursor
    winWindowShown,       // windowShown
    winSetWindowIcon,     // setWindowIcon
    winPlaySound,         // playSound
    winCreateWindow,      // createWindow
    winFullScreen,        // fullScreen
    winDisplayFunc,       // displayFunc
    winKeyboardFunc,      // keyboardFunc
    winReshapeFunc,       // reshapeFunc
    winTimerFunc,         // timerFunc
    winSwapBuffers,       // swapBuffers
    winMainLoop,          // mainLoop
    winSaveScreenshot,    // saveScreenshot
    winToggleFullScreen,  // toggleFullScreen
    winSoundVolume,       // soundVolume
    winSyncToRefresh,     // syncToRefresh
    winKeySymState,       // keySymState
    winSpecialKeyFunc,    // specialKeyFunc
    winShowCursor,        // showCursor
    winScreenSize,        // screenSize
    winResizeWindow,      // resizeWindow
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
