// pads.h: SDL2's game controllers. The first controller connected (of those
// still connected) plays; controllers come and go at any time, and each one
// connected or removed is named in one line on stderr. Extra mappings come
// from SDL_GAMECONTROLLERCONFIG (read by SDL itself) and from
// gamecontrollerdb.txt in the configuration folder; a bad mapping line is
// named in one warning line.
//
// The platform layer is the caller: the windowed backend opens the pads
// beside the sound device, the headless backend opens them for a script's
// first pad event and plugs in a virtual controller through the calls at
// the end, and platform.cpp reads the playing pad for platPadState. The
// module starts and stops SDL's game-controller subsystem on its own, so it
// lives beside the sound device (devices/audio.h) and needs no SDL window.
#pragma once

#include <cstddef>
#include <cstdint>

// Axes and buttons, numbered as SDL numbers them. Triggers read 0 (released)
// to 32767; sticks -32768 to 32767, with y growing downwards.
enum PadAxis : uint8_t {
  padLeftX,
  padLeftY,
  padRightX,
  padRightY,
  padLeftTrigger,
  padRightTrigger,
  padAxisCount
};
enum PadButton : uint8_t {
  padA,
  padB,
  padX,
  padY,
  padBack,
  padGuide,
  padStart,
  padLeftStick,
  padRightStick,
  padLeftShoulder,
  padRightShoulder,
  padUp,
  padDown,
  padLeft,
  padRight,
  padButtonCount  // SDL has more (paddles, touchpad): the game reads none of them
};

// Starts SDL's game-controller subsystem, checks SDL_GAMECONTROLLERCONFIG and
// adds the mappings of the configuration folder's gamecontrollerdb.txt.
// Returns false, printing nothing, when the subsystem cannot start: every
// call below then reports no pad. With virtualOnly only the virtual
// controller (padsVirtualPlug) counts, so that a headless run cannot be
// steered by a pad that happens to be plugged into the machine. The
// subsystem stops at exit.
bool padsOpen(bool virtualOnly);

// Handles what happened since the last call: controllers connected and
// removed, and the buttons of the playing pad pressed in between. Call once
// per frame, before the queries below.
void padsPoll();

// Whether a controller plays.
bool padsConnected();

// The playing pad's axis (0 without one, or for an axis out of range).
int padsAxis(int axis);

// Bit b: button b of the playing pad is down now.
uint32_t padsHeld();

// Bit b: button b of the playing pad went down since the previous call (a
// press and release in between counts once).
uint32_t padsTakePressed();

// Whether the playing pad was removed since the previous call.
bool padsTakeUnplugged();

// The path of gamecontrollerdb.txt in the configuration folder,
// $XDG_CONFIG_HOME/velkarra3d (~/.config/velkarra3d when XDG_CONFIG_HOME is
// unset or not absolute). False when it cannot be named or does not fit.
bool padsConfigFile(char* out, int size);

// Checks the mapping lines of text (a gamecontrollerdb.txt read into memory,
// or SDL_GAMECONTROLLERCONFIG's value), writes one warning line on stderr
// for each bad one ("velkarra3d: NAME:LINE: bad controller mapping: why",
// the first few of them, then a count) and, when `add`, hands the good ones
// for this platform to SDL. Blank lines and '#' comments are skipped.
// Returns the number of bad lines.
int padsReadMappings(const char* text, size_t size, const char* name, bool add);

// ---- The virtual controller of headless runs and tests ----

// Axis and button numbers of SDL's names ("leftx", "righttrigger", "a",
// "dpup", ...), exactly as SDL writes them; -1 for any other word.
int padsAxisFromName(const char* name);
int padsButtonFromName(const char* name);

// Attaches a virtual controller on the standard layout, named `name`, to
// SDL's joysticks: its device index, or -1. The caller opens it. The
// headless backend's plug below and tests that need a second pad use it.
int padsAttachVirtual(const char* name);

// Plugs in a virtual controller (opening the pads, virtual only, if they are
// not open) with its sticks centred, its triggers released and no button
// down; unplugs it. A second plug while one is in does nothing. False when
// SDL cannot attach one.
bool padsVirtualPlug();
void padsVirtualUnplug();

// Sets an axis (a trigger as 0 to 32767, below 0 counting as 0) or a button
// of the virtual controller; seen from the next padsPoll on.
void padsVirtualAxis(int axis, int value);
void padsVirtualButton(int button, bool down);

// Unplugs the virtual controller and forgets every pad and every pending
// event, without a word: a new headless run starts with no pad.
void padsReset();
