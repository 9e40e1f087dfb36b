// headless_script.h: the headless input script as a table of events sorted
// by frame. The headless backend (headless.cpp) is the one caller: it loads
// scripts for headlessLoadScript and headlessParseScript and asks for each
// frame's events. Private to platform/.
#pragma once

#include <cstddef>
#include <cstdint>

enum class ScriptVerb : uint8_t {
  down,
  up,
  tap,
  chr,
  move,
  focusOut,
  focusIn,
  padPlug,    // the virtual controller is plugged in
  padUnplug,  // ...or pulled out
  padAxis,    // key: the axis, dx: its value
  padButton,  // key: the button, dx: 1 down, 0 up
};

struct ScriptEvent {
  int frame;
  int order;  // position in the file, so that one frame's events keep file order
  ScriptVerb verb;
  int key;  // key slot for down/up/tap (-1 for a key kept by its symbol), the character for chr
  uint32_t
      sym;  // down/up/tap: the key's symbol (platform.h), 0 for the mouse buttons and Alt+Enter
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
// The frame of the last event (0 without events).
int scriptLastFrame();
