// platform.h: the game's only door to the operating system, the window
// system and the sound device.
//
// The game (assets/, terrain/, game/, sim/, render/, session/, app/) includes
// this header and nothing of X11, EGL, GLUT or SDL. Two backends stand behind
// it, each a table of calls that platform.cpp forwards to (platform/backend.h):
//   - windowed: a freeglut window on X11, SDL2 audio (devices/audio.h);
//   - headless: an offscreen EGL context on Mesa, a scripted clock, scripted
//     keys, cursor and focus, and sounds recorded instead of played
//     (platform/headless.h has the controls that tools and tests use).
// main() picks the backend once with platInitWindowed or platInitHeadless,
// before anything else here is called; the game cannot tell them apart.
#pragma once

#include <cstdint>

// ---- Choosing the backend (called by main and by tests only) ----

// Windowed backend: freeglut + X11 + SDL2 audio. Returns false after writing
// one line on stderr when no X display can be opened.
bool platInitWindowed(int* argc, char** argv);

// Headless backend: the clock reads startMs at start-up and
// startMs + f * frameMs during frame f (wrapping at 2^32).
void platInitHeadless(uint32_t startMs, uint32_t frameMs);

// ---- Time ----

// Milliseconds, unsigned 32-bit, monotonic and wrapping. The windowed
// backend counts from the system's boot, so every run starts at another value.
uint32_t platTickMs();

// Microseconds of a monotonic clock with an arbitrary start, for measuring
// how long work takes and for pacing frames. The same real clock on both
// backends: the headless backend's tick count stays scripted.
uint64_t platPerfMicros();

// ---- Keys and mouse buttons ----

// Key codes: the upper-case letters 'A'..'Z' name the physical letter keys.
enum PlatKey {
  platLButton = 0x01,
  platRButton = 0x02,
  platF9 = 0x11,
  platF11 = 0x12,
  platF12 = 0x13,
  platAltEnter = 0x14,  // Enter pressed with Alt down; held while both are
  platEscape = 0x1B,
};

// Non-zero while the key is down now, or when it was pressed since the
// previous query of the same key (a press and release between two queries
// counts once). Letters ignore Shift and Caps Lock, and 'a'..'z' name the same
// keys as 'A'..'Z'. Any other code gives 0. The value has 0x8000 set while the
// key is held and 1 set when it was pressed since the last query.
int platKeyState(int key);

// ---- Key symbols ----

// The keys the player binds and the screens read are named by the symbol
// the keyboard layout gives them: X keysyms, on both backends. A printable
// ASCII character is its own symbol (a letter in lower case, which names
// its key with or without Shift); these name the others the game itself
// uses. 0 is no key.
enum PlatKeySym : uint32_t {
  platSymNone = 0,
  platSymBackSpace = 0xff08,
  platSymTab = 0xff09,
  platSymReturn = 0xff0d,
  platSymEscape = 0xff1b,
  platSymHome = 0xff50,
  platSymLeft = 0xff51,
  platSymUp = 0xff52,
  platSymRight = 0xff53,
  platSymDown = 0xff54,
  platSymKeypadEnter = 0xff8d,
  platSymF1 = 0xffbe,
  platSymF9 = 0xffc6,
  platSymF11 = 0xffc8,
  platSymF12 = 0xffc9,
  platSymDelete = 0xffff,
};

// As platKeyState, for the key that gives the symbol sym: non-zero while it
// is down now (0x8000) or when it was pressed since the previous query of
// the same symbol (1). A letter's symbol in either case names the same key,
// and the symbols of the keys platKeyState knows (the letters, Escape, F9,
// F11, F12) share their state with it. 0 for no key.
int platKeySymState(uint32_t sym);

// The symbol of the key that typed the character c in the keyboard
// callback: a letter's in lower case, Return for '\r' and '\n', BackSpace
// for 8, Tab for 9, Escape for 27, Delete for 127, the letter for the other
// control characters (Ctrl+letter), the character itself otherwise.
uint32_t platCharSym(unsigned char c);

// The symbol called name, an X keysym name ("w", "Up", "space", "F5"), or
// the name with its first letter raised ("up", "escape", "f5"); a letter in
// either case gives its lower-case symbol. 0 for a name that is none.
uint32_t platKeySymFromName(const char* name);

// The X keysym name of sym ("w", "Up", "space", "F5"); false, with out
// empty, when sym has none.
bool platKeySymName(uint32_t sym, char* out, int size);

// The callback for every press of a key that types no character (the
// arrows, the function keys, Shift, ...), with its symbol; a key held down
// calls it once. Keys that type a character go to the keyboard callback.
void platSpecialKeyFunc(void (*key)(uint32_t sym));

// ---- Window, cursor and icon ----

typedef uintptr_t PlatWindow;  // 0 is "no window"

// The game window if its title is `title`, otherwise 0.
PlatWindow platFindWindow(const char* title);

// The game window while it has the keyboard focus (or a child of it does),
// otherwise 0; compare with platFindWindow's. Without a window manager X
// reports the focus as PointerRoot: the game window then counts as active
// while the pointer is over it.
PlatWindow platActiveWindow();

// Outer rectangle of the game window in screen coordinates, including the
// frame when a window manager publishes one. All zero for any other window.
void platWindowRect(PlatWindow window, int* left, int* top, int* right, int* bottom);

// Client area of the game window (the picture, without any frame) in screen
// coordinates; right and bottom are one past the last pixel. All zero for any
// other window.
void platClientRect(PlatWindow window, int* left, int* top, int* right, int* bottom);

// Confines the pointer to the game window's client area while `on` (the game
// asks for it while it is played in the active window) and releases it
// otherwise. Asking for the state it already has does nothing. The windowed
// backend grabs the pointer only while the window shows and has the focus;
// when another program holds the pointer the request fails quietly and the
// next one tries again. It lets go by itself when the window loses the focus
// or is unmapped, and at exit.
void platConfinePointer(bool on);

// Cursor position in screen coordinates, and moving the cursor. The first
// move after a read goes by the distance from the point read, so a motion
// that arrives between the read and the move is kept for the next read
// instead of being wiped out.
void platCursorPos(int* x, int* y);
void platSetCursorPos(int x, int y);
void platHideCursor();
// Shows the pointer over the window again (the game does while a screen of
// its own is open).
void platShowCursor();

// The size of the screen the window is on, in pixels. The headless screen
// is 1920 x 1080.
void platScreenSize(int* width, int* height);

// Asks for a client area of width x height pixels (the reshape callback
// reports the new size); a window that fills the screen keeps filling it
// and gets the size when it leaves full screen. The headless window keeps
// its size.
void platResizeWindow(int width, int height);

// Whether the window can be seen: it is mapped and not iconified (a window
// covered by others still counts). The frame loop draws nothing while it
// cannot. The headless window always can.
bool platWindowShown();

// Set the window icon from an image file in any format FreeImage reads,
// scaled to fit squares of 16, 32, 48 and 64 pixels (the window manager picks
// one); a missing or unreadable file is ignored.
void platSetWindowIcon(PlatWindow window, const char* file);

// ---- Sound ----

// Starts a .wav file and returns at once; a new sound cuts off the one still
// playing. Names use the backslash as directory separator ("s\\tada.wav") and
// are relative to the working directory at the time of the call. Each file is
// read once and kept. A missing or unreadable file plays nothing (and leaves
// the sound still playing alone); it is not looked for again. Without an
// audio device nothing plays (said once on stderr at start-up).
void platPlaySound(const char* name);

// The volume of the sounds that start from now on, in percent (0 to 100;
// 100 at start). 0 stops the sound playing and plays none until raised.
void platSoundVolume(int percent);

// Maps a sound name to a path: every backslash becomes '/'. Writes at most
// size bytes including the terminating zero; returns false if it did not fit.
bool platSoundPath(const char* name, char* out, int size);

// ---- The window-system loop (the GLUT services a headless run replaces) ----

// Creates the window with an RGB, double-buffered, depth-buffered GL context
// at screen position (x, y) with a client area of width x height pixels, and
// makes its context current.
void platCreateWindow(const char* title, int x, int y, int width, int height);

// Asks for the window to fill the screen (the reshape callback reports the
// new size). The headless window keeps its size.
void platFullScreen();

// Leaves full screen when the window fills the screen, and fills it
// otherwise: through the window manager when one runs, else by covering the
// screen and putting the window back where it was. The reshape callback
// reports the new size. The headless window keeps its size and notes the
// state (platform/headless.h).
void platToggleFullScreen();

void platDisplayFunc(void (*display)());
void platKeyboardFunc(void (*key)(unsigned char c, int x, int y));
void platReshapeFunc(void (*reshape)(int width, int height));

// One-shot timer: calls fn(value) once, ms milliseconds from now. Arming it
// again replaces a pending call. (Headless: the next frame calls it.)
void platTimerFunc(unsigned ms, void (*fn)(int), int value);

void platSwapBuffers();

// Asks the GL driver to wait for the screen's refresh at each buffer swap
// (vertical sync) when on, or not to wait when off, through whichever of
// GLX_EXT_swap_control, GLX_MESA_swap_control and GLX_SGI_swap_control the
// driver offers (the last cannot turn it off). Returns whether the driver
// took the request. Call it once the window exists. The headless backend
// never waits, and returns false.
bool platSyncToRefresh(bool on);

// Runs the event loop; does not return while the window lives. When the
// player closes the window (platStopAsked), the pending timer still runs
// once, so that the game can end its run.
void platMainLoop();

// Writes what the window shows now as a PNG file, at the window's size.
// The picture comes from the GL framebuffer, not from the window system, so
// a window that is covered or partly off the screen still gives all of it:
// the windowed backend calls the display callback again and reads the frame
// it draws instead of showing it. Returns false after a one-line message on
// stderr when the file cannot be written.
bool platSaveScreenshot(const char* file);

// ---- Being asked to stop ----

// From now on SIGINT and SIGTERM do not end the process: each one asks the
// game to stop, which platStopAsked reports. A second signal of the same
// kind ends the process as usual, should the game not get round to it.
// main calls this once; tests do not, so that Ctrl+C still ends them.
void platCatchStopSignals();

// SIGINT or SIGTERM arrived (after platCatchStopSignals), or the player
// closed the window (its close button, or Alt+F4 through the window
// manager).
bool platStopAsked();
// ---- Game controller ----

// The axes and buttons of a controller on the standard layout, in SDL's
// order. Triggers read 0 (released) to 32767; sticks -32768 to 32767, with
// y growing downwards.
enum PlatPadAxis {
  platPadLeftX,
  platPadLeftY,
  platPadRightX,
  platPadRightY,
  platPadLeftTrigger,
  platPadRightTrigger,
  platPadAxisCount
};
enum PlatPadButton {
  platPadA,
  platPadB,
  platPadX,
  platPadY,
  platPadBack,
  platPadGuide,
  platPadStart,
  platPadLeftStick,
  platPadRightStick,
  platPadLeftShoulder,
  platPadRightShoulder,
  platPadUp,
  platPadDown,
  platPadLeft,
  platPadRight,
  platPadButtonCount
};

struct PlatPad {
  bool connected;  // a controller plays: the first connected of those still in
  bool unplugged;  // the controller that played was removed since the last query
  int16_t axes[platPadAxisCount];
  uint32_t held;     // bit b: button b is down now
  uint32_t pressed;  // bit b: button b went down since the last query
};

// The playing controller as it is now; each query also takes in the
// controllers connected and removed since the one before. Without a
// controller, or without SDL's game-controller subsystem, all is zero. The
// windowed backend watches every controller from the start; a headless run
// has only the virtual controller of its script (headless.h) and opens
// nothing of SDL without one.
void platPadState(PlatPad* pad);
