// headless.h: controls of the headless backend, for main() and for tests.
//
// The headless backend runs the game on an offscreen EGL context with no X
// server. Its clock, keys, cursor and focus are scripted and its sounds are
// recorded. Game code never includes this header: it sees only platform.h.
//
// Frames: platMainLoop() (and headlessStep()) run frame 1, 2, ... in turn.
// Before frame f runs, the scripted events for frame f are applied in file
// order and the clock is set to startMs + f * frameMs; then the pending timer
// callback (the game's frame) is called.
//
// The virtual screen is 1920 x 1080; the virtual window on it is 800 x 600
// (and keeps that size whatever is asked) with the outer rectangle (100, 50) to
// (900, 650); the cursor starts at its centre (500, 350); it is active until a
// script or a test says otherwise. Like a window being mapped, the reshape
// callback gets (800, 600) once, just before the first frame; the display
// callback is never called.
//
// The OpenGL context (an EGL pbuffer on Mesa's surfaceless platform) is made
// once per process. A second platCreateWindow reuses it, so GL state set by
// an earlier run carries over, and starts the virtual window afresh: cursor,
// focus, keys, recorded sounds, the pending timer and the reshape. The frame
// counter, the clock and the script start afresh at platInitHeadless.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads an input script. On failure returns false with one line in err:
// "FILE:LINE: what is wrong". Lines:
//   F down KEY | F up KEY | F tap KEY | F char C | F move DX DY
//   F focus out | F focus in
//   F pad plug | F pad unplug | F pad AXIS VALUE | F pad BUTTON down|up
// KEY is a..z, esc, lbutton, rbutton, alt+enter, f1..f12, up, down, left,
// right, home, return, backspace, tab, space, plus or minus (a key that
// types no printable character also calls the special-key callback as it
// goes down); AXIS and
// BUTTON are SDL's names (leftx, righttrigger, a, start, dpup, ...), VALUE
// -32768 to 32767 (a trigger reads 0 to 32767); '#' starts a comment.
bool headlessLoadScript(const char* path, char* err, int errSize);
// The same from a script held in memory; `name` stands for the file in the
// message. Replaces the loaded script; allocates nothing.
bool headlessParseScript(const char* text, size_t size, const char* name, char* err, int errSize);

// The frame of the last event of the loaded script (0 without events).
int headlessScriptLastFrame();

// Runs the next frame. Returns false (running nothing) when no timer is
// pending.
bool headlessStep();

// The number of the frame that ran last (0 before the first).
int headlessFrameNumber();
// Makes `frame` the frame that ran last: the clock and the script go on
// from there, so that a test that puts back a saved world runs the same
// frames again.
void headlessSetFrameNumber(int frame);

// Direct controls for tests. They act at once.
void headlessSetTick(uint32_t ms);
void headlessKeyDown(int key);
void headlessKeyUp(int key);
void headlessKeyTap(int key);
void headlessChar(unsigned char c);  // calls the keyboard callback
// A key by its symbol (platform.h) down, up, or pressed and released; one
// that types no printable character calls the special-key callback as it
// goes down.
void headlessSymDown(uint32_t sym);
void headlessSymUp(uint32_t sym);
void headlessSymTap(uint32_t sym);
void headlessMoveCursor(int dx, int dy);
void headlessSetFocus(bool in);
// The window's client area becomes width x height at the same corner, and
// the reshape callback hears of it; the picture stays 800 x 600.
void headlessResizeWindow(int width, int height);

// Whether the game has hidden the cursor (platHideCursor) in this window.
bool headlessCursorHidden();

// Whether the game asks for the pointer to be confined (platConfinePointer).
bool headlessPointerConfined();

// Whether the game asked for full screen (platFullScreen, then each
// platToggleFullScreen), and the sound volume it set (platSoundVolume; at
// 0 no sound is noted below). Both start afresh with the window.
bool headlessFullScreen();
int headlessSoundVolume();

// Sounds started since the last clear (or since platCreateWindow), oldest
// first, as the game named them. The first 1024 are kept; headlessSoundName
// gives nullptr for an index out of range.
int headlessSoundCount();
const char* headlessSoundName(int index);
void headlessClearSounds();

// The virtual game controller (SDL's, attached in-process): the pad events
// of a script, and the same for tests. The first plug opens SDL's
// game-controller subsystem; a run without pad events opens nothing of SDL.
// A plug starts with the sticks centred, the triggers released and no
// button down; platInitHeadless unplugs it. The game sees each change from
// its next platPadState on. headlessPadPlug returns false when SDL cannot
// attach the controller.
bool headlessPadPlug();
void headlessPadUnplug();
void headlessPadAxis(int axis, int value);      // PlatPadAxis, -32768 to 32767
void headlessPadButton(int button, bool down);  // PlatPadButton, or SDL's others
