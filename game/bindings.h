// bindings.h: the player's keys. One table names every action a key can be
// bound to: its name in the configuration file, its words on the Controls
// screen, its default key, the game's key it drives and the mouse and pad
// buttons that do it too. The keys themselves are symbols (platform.h), as
// the player's keyboard layout gives them.
//
// The options (app/options.h) hold the bindings the configuration file asks
// for; start-up makes them the ones in force here, and the Controls screen
// changes them. Each frame's record is sampled through them: a key bound to
// an action reaches the record as the game's key (InputKey) or character,
// so a recording replays the same whatever the bindings.
#pragma once

#include <cstdint>

#include "game/input.h"
#include "platform/platform.h"

enum KeyAction : uint8_t {
  actionUp,
  actionDown,
  actionForward,
  actionBack,
  actionLeft,
  actionRight,
  actionPause,
  actionCameraLock,
  actionEnd,
  actionReplay,
  actionQuit,
  actionFullScreen,
  actionScreenshot,
  actionFps,
  actionMute,
  actionFire,
  actionMissile,
  keyActionCount
};

// No action: an InputKey that no binding drives, or a key nobody holds.
constexpr int noAction = -1;

struct KeyActionRow {
  const char* configName;  // "key-up" in the configuration file
  const char* label;       // the Controls screen's words for it
  uint32_t defaultSym;     // the key it has until the player says otherwise; 0: none
  int inputKey;            // the InputKey its key drives, or -1 (the pause: a character)
  const char* mouse;       // the mouse button that does it too, or null
  const char* pad;         // the pad's button for it, or null
};

// In the order the Controls screen and the configuration file list them.
inline constexpr KeyActionRow keyActions[keyActionCount] = {
    {"key-up", "Free camera up", 'q', keyQ, nullptr, "Right shoulder"},
    {"key-down", "Free camera down", 'e', keyE, nullptr, "Left shoulder"},
    {"key-forward", "Free camera forward", 'w', keyW, nullptr, "D-pad up"},
    {"key-back", "Free camera back", 's', keyS, nullptr, "D-pad down"},
    {"key-left", "Free camera left", 'a', keyA, nullptr, "D-pad left"},
    {"key-right", "Free camera right", 'd', keyD, nullptr, "D-pad right"},
    {"key-pause", "Pause", 'p', -1, nullptr, "Start"},
    {"key-camera-lock", "Free or lock the camera", 'g', keyG, nullptr, "Right-stick click"},
    {"key-end", "Game over: end the game", 'y', keyY, nullptr, "Back"},
    {"key-replay", "Game over: replay the level", 'n', keyN, nullptr, "A"},
    {"key-quit", "Quit", platSymEscape, keyEscape, nullptr, nullptr},
    {"key-fullscreen", "Full screen", platSymF11, keyF11, nullptr, nullptr},
    {"key-screenshot", "Screenshot", platSymF12, keyF12, nullptr, nullptr},
    {"key-fps", "Frame counter", platSymF9, keyF9, nullptr, nullptr},
    {"key-mute", "Sound off and on", 'm', keyM, nullptr, nullptr},
    {"key-fire", "Fire", 0, keyLButton, "Left button", "Right trigger, A"},
    {"key-missile", "Guided missile", 0, keyRButton, "Right button", "Left trigger, B"},
};

// The key symbol of each action; 0 where it has none.
struct KeyBindings {
  uint32_t sym[keyActionCount];
};

constexpr KeyBindings defaultKeyBindings() {
  KeyBindings keys = {};
  for (int a = 0; a < keyActionCount; a++) keys.sym[a] = keyActions[a].defaultSym;
  return keys;
}

// The bindings in force (start-up: the options'; the Controls screen's
// changes).
const KeyBindings& keyBindings();
void setKeyBindings(const KeyBindings& keys);

// The action called `configName` ("key-up"), or noAction.
int findKeyAction(const char* configName);

// The action sym is bound to in keys, or noAction (always for 0).
int actionOfKey(const KeyBindings& keys, uint32_t sym);

// Binds sym to action in keys. The action that had sym before loses it
// (is left with no key); returns that action, or noAction.
int bindKey(KeyBindings* keys, int action, uint32_t sym);

// How the keyboard labels the key of sym, for the screens: a letter in
// upper case ("Z"), a sign as itself ("-"), "Space", "Esc", "Enter", "Up",
// "F5", "Left Shift", ...; "none" for 0.
void keyLabel(uint32_t sym, char* out, int size);

// The label of the key bound to action now (as keyLabel), kept from the
// last setKeyBindings so that drawing asks nothing of the platform.
const char* boundKeyLabel(int action);

// Fills in from the platform: every key once through the bindings in
// force (and the mouse buttons and Alt+Enter, which no binding changes), so
// that a press is seen by the next frame or by none, and the characters
// noted since the last call.
void samplePlatformInput(FrameInput* in);

// Whether the camera-lock key is down (or was pressed since the previous
// query): a key pressed meanwhile toggles the camera lock.
bool cameraKeyDown();

// What a key press does to the record between two frames, when no screen
// takes it: its character, as the keyboard callback typed it (0 for a key
// that types none), is noted for the next record and handed to the key
// rules (game/rules.h). The pause key's press counts as 'p' (the typed
// character where it is p or P); a p or P of another key pauses nothing;
// the camera-lock key's press counts as 'g' with the camera key down.
void noteKeyPress(uint32_t sym, unsigned char c);

// Notes the character c (with the camera key down or not) for the next
// record and hands it to the key rules, as a typed one: the screens resume
// and pause the game so, between two frames.
void noteGameChar(unsigned char c, bool gDown);
