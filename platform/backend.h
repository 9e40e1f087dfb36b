// backend.h: the table of calls each backend fills in (windowed.cpp,
// headless.cpp) and platform.cpp forwards to, plus the few helpers both
// share. Private to platform/: game code includes platform.h only.
#pragma once

#include <FreeImage.h>

#include <cstdint>

// platform.h's window handle, repeated so that this header needs nothing of
// platform.h, whose own .cpp includes this one. The compiler rejects the two
// if they ever differ.
typedef uintptr_t PlatWindow;

// One backend: a function for each platform.h call that is not the same on
// both (see there for what each does), in this order. Every entry is set, so
// that platform.cpp calls through without checking: a call a backend has no
// use for is a function of its own that does nothing. A table that leaves an
// entry out does not build (-Wextra's missing-field-initializers warning).
struct PlatBackend {
  uint32_t (*tickMs)();
  int (*keyState)(int key);
  PlatWindow (*findWindow)(const char* title);
  PlatWindow (*activeWindow)();
  void (*windowRect)(PlatWindow window, int* left, int* top, int* right, int* bottom);
  void (*clientRect)(PlatWindow window, int* left, int* top, int* right, int* bottom);
  void (*confinePointer)(bool on);
  void (*cursorPos)(int* x, int* y);
  void (*setCursorPos)(int x, int y);
  void (*hideCursor)();
  bool (*windowShown)();
  void (*setWindowIcon)(PlatWindow window, const char* file);
  void (*playSound)(const char* name);
  void (*createWindow)(const char* title, int x, int y, int width, int height);
  void (*fullScreen)();
  void (*displayFunc)(void (*display)());
  void (*keyboardFunc)(void (*key)(unsigned char c, int x, int y));
  void (*reshapeFunc)(void (*reshape)(int width, int height));
  void (*timerFunc)(unsigned ms, void (*fn)(int), int value);
  void (*swapBuffers)();
  void (*mainLoop)();
  bool (*saveScreenshot)(const char* file);
  void (*toggleFullScreen)();
  void (*soundVolume)(int percent);
  bool (*syncToRefresh)(bool on);
  int (*keySymState)(uint32_t sym);
  void (*specialKeyFunc)(void (*key)(uint32_t sym));
  void (*showCursor)();
  void (*screenSize)(int* width, int* height);
  void (*resizeWindow)(int width, int height);
};

// The windowed backend (windowed.cpp). winInit opens the X display for
// freeglut and the sound device; see platInitWindowed.
extern const PlatBackend kWindowedBackend;
bool winInit(int* argc, char** argv);

// The headless backend (headless.cpp). hlInit starts the clock, the frame
// count and the script afresh; see platInitHeadless.
extern const PlatBackend kHeadlessBackend;
void hlInit(uint32_t startMs, uint32_t frameMs);

// ---- Shared helpers (platform.cpp) ----

// Key states are kept in arrays indexed by the normalised code: 'A'..'Z',
// platLButton, platRButton, platEscape, the function keys and Alt+Enter. Lower-case letters name
// the same keys as upper-case ones. Returns -1 for codes the game cannot ask about.
constexpr int kKeySlots = 128;
int platKeySlot(int key);

// The slot of platKeyState's code for the key symbol sym (the letters,
// Escape, F9, F11, F12), or -1 for a symbol the backends keep by itself.
int platSymSlot(uint32_t sym);

// The key symbols a backend keeps apart from the slots: each one pressed
// or held since it was last asked about, up to kSymKeys of them at once.
// A press of a symbol not yet kept takes a slot that holds nothing, or else
// the oldest.
constexpr int kSymKeys = 32;
struct SymKeys {
  uint32_t sym[kSymKeys];
  unsigned char held[kSymKeys];
  unsigned char latch[kSymKeys];
  int next;  // the slot the next new symbol takes when none is free
};
// The slot that keeps sym, or -1.
int symKeyFind(const SymKeys& keys, uint32_t sym);
// The slot for a press or a hold of sym, taken if need be.
int symKeyTake(SymKeys* keys, uint32_t sym);

// The value platKeyState returns: 0x8000 while held, | 1 when it was pressed
// since the previous query (like the system call the game was written for).
inline int platKeyValue(bool held, bool latched) { return (held ? 0x8000 : 0) | (latched ? 1 : 0); }

// Asks the game to stop (platStopAsked): the windowed backend's answer to
// the window being closed.
void platAskStop();

// Screenshots. platOpenShot checks that the file can be written and gives a
// 24-bit image of the size asked; platSaveShot writes it as a PNG and frees
// it. Both write one line on stderr and return false/nullptr on failure.
FIBITMAP* platOpenShot(const char* file, int width, int height);
bool platSaveShot(const char* file, FIBITMAP* image);

// Reads the current GL read buffer (width x height from the lower left
// corner) and writes it as a PNG.
bool platWriteGlImage(const char* file, int width, int height);
