// bindings.cpp: the bindings in force, their labels, and the frame's keys
// sampled from the platform through them.
#include "game/bindings.h"

#include <cstdio>
#include <cstring>

#include "game/rules.h"
#include "game/world.h"

namespace {

KeyBindings current = defaultKeyBindings();

// The labels of the bound keys, made when the bindings change.
constexpr int labelSize = 24;
char labels[keyActionCount][labelSize];
bool labelled;

void makeLabels() {
  for (int a = 0; a < keyActionCount; a++) keyLabel(current.sym[a], labels[a], labelSize);
  labelled = true;
}

// What drives each InputKey besides its action's key: the mouse buttons and
// Alt+Enter, which no binding changes.
constexpr int fixedCode(int key) {
  return key == keyLButton    ? platLButton
         : key == keyRButton  ? platRButton
         : key == keyAltEnter ? platAltEnter
                              : 0;
}

constexpr int actionDriving(int key) {
  for (int a = 0; a < keyActionCount; a++)
    if (keyActions[a].inputKey == key) return a;
  return noAction;
}

// What drives each InputKey, worked out once by the compiler.
struct KeyDriver {
  int fixed;   // a platform code, or 0
  int action;  // an action, or noAction
};
struct KeyDrivers {
  KeyDriver of[inputKeyCount];
};
constexpr KeyDrivers makeDrivers() {
  KeyDrivers d = {};
  for (int k = 0; k < inputKeyCount; k++) d.of[k] = {fixedCode(k), actionDriving(k)};
  return d;
}
constexpr KeyDrivers drivers = makeDrivers();

// The keyboard's words for the keys whose X names say it less plainly.
struct KeyWords {
  const char* name;
  const char* label;
};
constexpr KeyWords keyWords[] = {
    {"Escape", "Esc"},           {"Return", "Enter"},        {"BackSpace", "Backspace"},
    {"space", "Space"},          {"Prior", "Page Up"},       {"Next", "Page Down"},
    {"Shift_L", "Left Shift"},   {"Shift_R", "Right Shift"}, {"Control_L", "Left Ctrl"},
    {"Control_R", "Right Ctrl"}, {"Alt_L", "Left Alt"},      {"Alt_R", "Right Alt"},
    {"Super_L", "Left Super"},   {"Super_R", "Right Super"}, {"ISO_Level3_Shift", "AltGr"},
    {"Caps_Lock", "Caps Lock"},  {"Num_Lock", "Num Lock"},   {"KP_Enter", "Keypad Enter"},
};

}  // namespace

const KeyBindings& keyBindings() { return current; }

void setKeyBindings(const KeyBindings& keys) {
  current = keys;
  makeLabels();
}

int findKeyAction(const char* configName) {
  for (int a = 0; a < keyActionCount; a++)
    if (strcmp(keyActions[a].configName, configName) == 0) return a;
  return noAction;
}

int actionOfKey(const KeyBindings& keys, uint32_t sym) {
  if (sym == 0) return noAction;
  for (int a = 0; a < keyActionCount; a++)
    if (keys.sym[a] == sym) return a;
  return noAction;
}

int bindKey(KeyBindings* keys, int action, uint32_t sym) {
  if (action < 0 || action >= keyActionCount) return noAction;
  const int before = actionOfKey(*keys, sym);
  if (before == action) return noAction;
  if (before != noAction) keys->sym[before] = 0;
  keys->sym[action] = sym;
  return before;
}

void keyLabel(uint32_t sym, char* out, int size) {
  if (sym == 0) {
    snprintf(out, size, "none");
    return;
  }
  if (sym > ' ' && sym < 0x7f) {
    const char c = static_cast<char>(sym >= 'a' && sym <= 'z' ? sym - 'a' + 'A' : sym);
    snprintf(out, size, "%c", c);
    return;
  }
  char name[64];
  if (!platKeySymName(sym, name, sizeof name)) {
    snprintf(out, size, "key 0x%x", static_cast<unsigned>(sym));
    return;
  }
  for (const KeyWords& words : keyWords) {
    if (strcmp(words.name, name) != 0) continue;
    snprintf(out, size, "%s", words.label);
    return;
  }
  if (strncmp(name, "KP_", 3) == 0)
    snprintf(out, size, "Keypad %s", name + 3);
  else
    snprintf(out, size, "%s", name);
}

const char* boundKeyLabel(int action) {
  if (action < 0 || action >= keyActionCount) return "";
  if (!labelled) makeLabels();
  return labels[action];
}

void samplePlatformInput(FrameInput* in) {
  in->tickMs = platTickMs();
  in->active = platActiveWindow() == window && window != 0;
  int x, y;
  platCursorPos(&x, &y);
  in->cursorX = x;
  in->cursorY = y;
  int left, top, right, bottom;
  platClientRect(window, &left, &top, &right, &bottom);
  in->client[0] = left;
  in->client[1] = top;
  in->client[2] = right;
  in->client[3] = bottom;
  in->held = 0;
  in->pressed = 0;
  for (int k = 0; k < inputKeyCount; k++) {
    const int fixed = drivers.of[k].fixed, action = drivers.of[k].action;
    int state = fixed ? platKeyState(fixed) : 0;
    if (action != noAction) state |= platKeySymState(current.sym[action]);
    if (state & 0x8000) in->held |= 1u << k;
    if (state & 1) in->pressed |= 1u << k;
  }
  PendingChars& pending = world.pendingChars;
  in->charCount = pending.count;
  for (int i = 0; i < pending.count; i++) in->chars[i] = pending.chars[i];
  in->charWithG = pending.withG;
  pending.count = 0;
  pending.withG = 0;
}

bool cameraKeyDown() { return platKeySymState(current.sym[actionCameraLock]) != 0; }

void noteKeyPress(uint32_t sym, unsigned char c) {
  unsigned char typed = c;
  const bool pauseKey = sym != 0 && sym == current.sym[actionPause];
  if (pauseKey)
    typed = c == 'p' || c == 'P' ? c : 'p';
  else if (c == 'p' || c == 'P')
    typed = 0;
  // The camera key is read at the key event: holding it and pressing any
  // key toggles the camera lock.
  const bool g = cameraKeyDown();
  if (!typed && g && (c != 0 || sym == current.sym[actionCameraLock])) typed = 'g';
  if (typed) noteGameChar(typed, g);
}

void noteGameChar(unsigned char c, bool gDown) {
  PendingChars& pending = world.pendingChars;
  if (pending.count < maxFrameChars) {
    if (gDown) pending.withG |= 1u << pending.count;
    pending.chars[pending.count++] = c;
  }
  applyKeyEvent(c, gDown);
}
