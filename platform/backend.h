// backend.h: what the dispatch in platform.cpp needs from the two backends
// (windowed.cpp and headless.cpp), plus the few helpers both share. Private
// to platform/: game code includes platform.h only.
#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// ---- Shared helpers (platform.cpp) ----

// Key states are kept in arrays indexed by the normalised code: 'A'..'Z',
// platLButton, platRButton or platEscape. Lower-case letters name the same
// keys as upper-case ones. Returns -1 for codes the game cannot ask about.
constexpr int kKeySlots = 128;
int platKeySlot(int key);

// The value platKeyState returns: 0x8000 while held, | 1 when it was pressed
// since the previous query (like the system call the game was written for).
inline int platKeyValue(bool held, bool latched) { return (held ? 0x8000 : 0) | (latched ? 1 : 0); }

// Screenshots. platOpenShot checks that the file can be written and gives a
// 24-bit image of the size asked; platSaveShot writes it as a PNG and frees
// it. Both write one line on stderr and return false/nullptr on failure.
FIBITMAP* platOpenShot(const char* file, int width, int height);
bool platSaveShot(const char* file, FIBITMAP* image);

// Reads the current GL read buffer (width x height from the lower left
// corner) and writes it as a PNG.
bool platWriteGlImage(const char* file, int width, int height);

// ---- Windowed backend (windowed.cpp) ----

bool winInit(int* argc, char** argv);
uint32_t winTickMs();
int winKeyState(int key);
PlatWindow winFindWindow(const char* title);
PlatWindow winActiveWindow();
void winWindowRect(PlatWindow window, int* left, int* top, int* right, int* bottom);
void winClientRect(PlatWindow window, int* left, int* top, int* right, int* bottom);
void winConfinePointer(bool on);
void winCursorPos(int* x, int* y);
void winSetCursorPos(int x, int y);
void winHideCursor();
void winSetWindowIcon(PlatWindow window, const char* file);
void winPlaySound(const char* name);
void winCreateWindow(const char* title, int x, int y, int width, int height);
void winDisplayFunc(void (*display)());
void winKeyboardFunc(void (*key)(unsigned char c, int x, int y));
void winReshapeFunc(void (*reshape)(int width, int height));
void winTimerFunc(unsigned ms, void (*fn)(int), int value);
void winSwapBuffers();
void winMainLoop();
bool winSaveScreenshot(const char* file);

// ---- Headless backend (headless.cpp) ----

void hlInit(uint32_t startMs, uint32_t frameMs);
uint32_t hlTickMs();
int hlKeyState(int key);
PlatWindow hlFindWindow(const char* title);
PlatWindow hlActiveWindow();
void hlWindowRect(PlatWindow window, int* left, int* top, int* right, int* bottom);
void hlClientRect(PlatWindow window, int* left, int* top, int* right, int* bottom);
void hlConfinePointer(bool on);
void hlCursorPos(int* x, int* y);
void hlSetCursorPos(int x, int y);
void hlHideCursor();
void hlPlaySound(const char* name);
void hlCreateWindow(const char* title);
void hlDisplayFunc(void (*display)());
void hlKeyboardFunc(void (*key)(unsigned char c, int x, int y));
void hlReshapeFunc(void (*reshape)(int width, int height));
void hlTimerFunc(void (*fn)(int), int value);
void hlSwapBuffers();
void hlMainLoop();
bool hlSaveScreenshot(const char* file);

// ---- Headless input script (headless_script.cpp) ----

enum class ScriptVerb : uint8_t { down, up, tap, chr, move, focusOut, focusIn };

struct ScriptEvent {
  int frame;
  int order;  // position in the file, so that one frame's events keep file order
  ScriptVerb verb;
  int key;  // key slot for down/up/tap, the character for chr
  int dx, dy;
};

// Largest number of events one script may hold.
constexpr int kMaxScriptEvents = 65536;

bool scriptLoad(const char* path, char* err, int errSize);
bool scriptParse(const char* text, size_t size, const char* name, char* err, int errSize);
void scriptClear();
// The events of `frame` in file order: returns how many and points *first at
// the first of them.
int scriptEventsAt(int frame, const ScriptEvent** first);
