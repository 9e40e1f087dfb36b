// pads.cpp: SDL2's game controllers (see pads.h). SDL's event queue tells
// when controllers come and go and which buttons went down; the playing
// pad's axes and buttons are read from SDL's controller state. Mapping lines
// are checked here before SDL sees them, because SDL takes most broken lines
// without a word.
#include "devices/pads.h"

#include <SDL2/SDL.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/printable.h"
#include "base/xdg.h"

namespace {

constexpr int kMaxPads = 8;
constexpr int kNameSize = 128;
constexpr int kPathSize = 1024;
constexpr int kMaxMappingLine = 2048;
constexpr int kShownWarnings = 5;            // bad lines named one by one, per source
constexpr long kMaxMappingFile = 16l << 20;  // SDL's own database is well under 1 MiB
constexpr char kMappingFile[] = "gamecontrollerdb.txt";

constexpr int sdlNumber(int value) { return value; }
static_assert(padLeftX == sdlNumber(SDL_CONTROLLER_AXIS_LEFTX) &&
                  padRightTrigger == sdlNumber(SDL_CONTROLLER_AXIS_TRIGGERRIGHT) &&
                  padAxisCount == sdlNumber(SDL_CONTROLLER_AXIS_MAX),
              "pad axes are numbered as SDL numbers them");
static_assert(padA == sdlNumber(SDL_CONTROLLER_BUTTON_A) &&
                  padStart == sdlNumber(SDL_CONTROLLER_BUTTON_START) &&
                  padRightShoulder == sdlNumber(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) &&
                  padRight == sdlNumber(SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
              "pad buttons are numbered as SDL numbers them");

struct Pad {
  SDL_GameController* controller;
  SDL_JoystickID id;
  char name[kNameSize];
};

struct Pads {
  bool open;
  bool virtualOnly;
  int count;
  Pad pads[kMaxPads];  // in the order they came; the first plays
  uint32_t pressed;
  bool unplugged;
  SDL_Joystick* virtualStick;  // the virtual controller, while plugged in
  SDL_JoystickID virtualId;
};

Pads gPads;

// ---- Mapping lines ----

bool isHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A run of at least one digit at *p, moved past it.
bool skipDigits(const char** p) {
  const char* start = *p;
  while (**p >= '0' && **p <= '9') (*p)++;
  return *p > start;
}

// SDL's binding of an input: bN (button), hN.M (hat), aN with an optional
// '~' (axis, inverted), each after an optional '+' or '-' (half an axis).
bool isBinding(const char* value) {
  const char* p = value;
  if (*p == '+' || *p == '-') p++;
  const char kind = *p++;
  if (kind == 'b') return skipDigits(&p) && *p == '\0';
  if (kind == 'h') return skipDigits(&p) && *p++ == '.' && skipDigits(&p) && *p == '\0';
  if (kind == 'a') return skipDigits(&p) && (*p == '\0' || (p[0] == '~' && p[1] == '\0'));
  return false;
}

// Whether key names one of SDL's buttons or axes (an axis may carry '+' or
// '-' for its half). Other keys (platform, hint, crc, and names of newer
// SDL versions) are left to SDL, which ignores what it does not know.
bool isInputName(const char* key) {
  if (SDL_GameControllerGetButtonFromString(key) != SDL_CONTROLLER_BUTTON_INVALID) return true;
  return SDL_GameControllerGetAxisFromString(key) != SDL_CONTROLLER_AXIS_INVALID;
}

// Checks one mapping, "GUID,NAME,KEY:BINDING,...". On a fault writes why.
// *otherPlatform is set when a platform field names another system.
bool checkMapping(const char* line, bool* otherPlatform, char* why, int whySize) {
  *otherPlatform = false;
  const char* comma = strchr(line, ',');
  int hex = 0;
  while (isHex(line[hex])) hex++;
  if (!comma || hex != 32 || comma != line + 32) {
    snprintf(why, whySize, "it does not start with a GUID of 32 hex digits and a comma");
    return false;
  }
  const char* name = comma + 1;
  comma = strchr(name, ',');
  if (!comma || comma == name) {
    snprintf(why, whySize, "no controller name after the GUID");
    return false;
  }
  int bindings = 0;
  for (const char* at = comma + 1; *at;) {
    const size_t length = strcspn(at, ",");
    char element[256];
    if (length >= sizeof element) {
      snprintf(why, whySize, "an element longer than %d characters",
               static_cast<int>(sizeof element) - 1);
      return false;
    }
    memcpy(element, at, length);
    element[length] = '\0';
    at += length + (at[length] ? 1 : 0);
    if (length == 0) continue;
    char* colon = strchr(element, ':');
    if (!colon || colon == element || colon[1] == '\0') {
      snprintf(why, whySize, "'%s' is not NAME:VALUE", printable(element));
      return false;
    }
    *colon = '\0';
    const char* value = colon + 1;
    if (strcmp(element, "platform") == 0) *otherPlatform = strcmp(value, SDL_GetPlatform()) != 0;
    if (!isInputName(element)) continue;
    if (!isBinding(value)) {
      snprintf(why, whySize, "'%s' is bound to '%s', not to bN, aN or hN.M", printable(element),
               printable(value));
      return false;
    }
    bindings++;
  }
  if (bindings == 0) {
    snprintf(why, whySize, "no button or axis is bound");
    return false;
  }
  return true;
}

void warnMapping(const char* name, int lineNo, const char* why, int* bad) {
  if (++*bad <= kShownWarnings)
    fprintf(stderr, "velkarra3d: %s:%d: bad controller mapping: %s\n", printable(name), lineNo,
            why);
}

// ---- The config folder's mapping file ----

void readMappingFile() {
  char path[kPathSize];
  if (!padsConfigFile(path, sizeof path)) return;
  FILE* file = fopen(path, "rb");
  if (!file) {
    // No file is the usual case; one that is there but cannot be read is said.
    if (errno != ENOENT && errno != ENOTDIR)
      fprintf(stderr, "velkarra3d: cannot read %s: %s\n", printable(path), strerror(errno));
    return;
  }
  char* text = nullptr;
  long size = -1;
  struct stat info;
  if (fstat(fileno(file), &info) == 0 && !S_ISREG(info.st_mode)) {
    fprintf(stderr, "velkarra3d: cannot read %s: not a file\n", printable(path));
    fclose(file);
    return;
  }
  errno = 0;
  if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
  if (size > kMaxMappingFile) {
    fprintf(stderr, "velkarra3d: %s: larger than %ld MiB; no mapping read from it\n",
            printable(path), kMaxMappingFile >> 20);
  } else if (size >= 0 && fseek(file, 0, SEEK_SET) == 0 &&
             (text = static_cast<char*>(malloc(static_cast<size_t>(size) + 1))) != nullptr &&
             fread(text, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size)) {
    padsReadMappings(text, static_cast<size_t>(size), path, true);
  } else {
    fprintf(stderr, "velkarra3d: cannot read %s: %s\n", printable(path),
            strerror(errno ? errno : EIO));
  }
  free(text);
  fclose(file);
}

// ---- Controllers coming and going ----

int findPad(SDL_JoystickID id) {
  for (int i = 0; i < gPads.count; i++)
    if (gPads.pads[i].id == id) return i;
  return -1;
}

void addPad(int deviceIndex) {
  if (gPads.virtualOnly && !SDL_JoystickIsVirtual(deviceIndex)) return;
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (id < 0 || findPad(id) >= 0 || gPads.count == kMaxPads) return;
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (!controller) return;
  Pad& pad = gPads.pads[gPads.count++];
  pad.controller = controller;
  pad.id = id;
  const char* name = SDL_GameControllerName(controller);
  snprintf(pad.name, sizeof pad.name, "%s", name && name[0] ? name : "unnamed controller");
  fprintf(stderr, "velkarra3d: controller connected: %s\n", printable(pad.name));
}

void removePad(SDL_JoystickID id, bool quiet) {
  const int i = findPad(id);
  if (i < 0) return;
  if (!quiet)
    fprintf(stderr, "velkarra3d: controller removed: %s\n", printable(gPads.pads[i].name));
  SDL_GameControllerClose(gPads.pads[i].controller);
  for (int j = i; j + 1 < gPads.count; j++) gPads.pads[j] = gPads.pads[j + 1];
  gPads.count--;
  if (i == 0) {
    gPads.unplugged = !quiet;
    gPads.pressed = 0;
  }
}

// A joystick SDL has no mapping for cannot play: say what to add, once.
void noMapping(int deviceIndex) {
  if (gPads.virtualOnly || SDL_IsGameController(deviceIndex)) return;
  char guid[33];
  SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(deviceIndex), guid, sizeof guid);
  char path[kPathSize];
  if (!padsConfigFile(path, sizeof path)) snprintf(path, sizeof path, "%s", kMappingFile);
  fprintf(stderr,
          "velkarra3d: joystick %s (%s) has no controller mapping; a line for it in %s adds one\n",
          printable(SDL_JoystickNameForIndex(deviceIndex)), guid, printable(path));
}

void closePads() {
  if (!gPads.open) return;
  padsReset();
  gPads.open = false;
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

int virtualDeviceIndex() {
  for (int i = 0; i < SDL_NumJoysticks(); i++)
    if (SDL_JoystickGetDeviceInstanceID(i) == gPads.virtualId) return i;
  return -1;
}

}  // namespace

bool padsOpen(bool virtualOnly) {
  if (gPads.open) return true;
  // As for the sound: Ctrl+C must still stop the game, whose own loop never
  // reads SDL's quit event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (virtualOnly) SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
  gPads.open = true;
  gPads.virtualOnly = virtualOnly;
  // SDL has added these itself; broken lines are only said here.
  const char* hint = getenv("SDL_GAMECONTROLLERCONFIG");
  if (hint) padsReadMappings(hint, strlen(hint), "SDL_GAMECONTROLLERCONFIG", false);
  readMappingFile();
  atexit(closePads);
  return true;
}

void padsPoll() {
  if (!gPads.open) return;
  SDL_Event event;
  bool added = false;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_CONTROLLERDEVICEADDED:
        addPad(event.cdevice.which);
        added = true;
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        removePad(event.cdevice.which, false);
        break;
      case SDL_CONTROLLERBUTTONDOWN:
        if (gPads.count > 0 && event.cbutton.which == gPads.pads[0].id && event.cbutton.button < 32)
          gPads.pressed |= 1u << event.cbutton.button;
        break;
      case SDL_JOYDEVICEADDED:
        noMapping(event.jdevice.which);
        break;
      default:  // the game reads nothing else from SDL
        break;
    }
  }
  // A controller opened just now shows a trigger moved in the same instant
  // only after one more update.
  if (added) SDL_GameControllerUpdate();
}

bool padsConnected() { return gPads.count > 0; }

int padsAxis(int axis) {
  if (gPads.count == 0 || axis < 0 || axis >= padAxisCount) return 0;
  return SDL_GameControllerGetAxis(gPads.pads[0].controller,
                                   static_cast<SDL_GameControllerAxis>(axis));
}

uint32_t padsHeld() {
  uint32_t held = 0;
  for (int b = 0; gPads.count > 0 && b < SDL_CONTROLLER_BUTTON_MAX; b++)
    if (SDL_GameControllerGetButton(gPads.pads[0].controller,
                                    static_cast<SDL_GameControllerButton>(b)))
      held |= 1u << b;
  return held;
}

uint32_t padsTakePressed() {
  const uint32_t pressed = gPads.pressed;
  gPads.pressed = 0;
  return pressed;
}

bool padsTakeUnplugged() {
  const bool unplugged = gPads.unplugged;
  gPads.unplugged = false;
  return unplugged;
}

bool padsConfigFile(char* out, int size) {
  char folder[4096];
  if (!xdgConfigFolder(folder, sizeof folder)) return false;
  return snprintf(out, size, "%s/%s", folder, kMappingFile) < size;
}

int padsReadMappings(const char* text, size_t size, const char* name, bool add) {
  char line[kMaxMappingLine + 1];
  char why[512];
  int bad = 0;
  int lineNo = 0;
  for (size_t at = 0; at < size;) {
    lineNo++;
    const char* newline = static_cast<const char*>(memchr(text + at, '\n', size - at));
    const size_t end = newline ? static_cast<size_t>(newline - text) : size;
    const size_t length = end - at;
    const char* start = text + at;
    at = end + 1;
    if (length > kMaxMappingLine) {
      snprintf(why, sizeof why, "the line is longer than %d characters", kMaxMappingLine);
      warnMapping(name, lineNo, why, &bad);
      continue;
    }
    memcpy(line, start, length);
    line[length] = '\0';
    if (strlen(line) != length) {
      warnMapping(name, lineNo, "the line holds a NUL byte", &bad);
      continue;
    }
    // Blanks around the line, and a Windows line end, do not count.
    char* first = line;
    while (*first == ' ' || *first == '\t') first++;
    size_t last = strlen(first);
    while (last > 0 &&
           (first[last - 1] == '\r' || first[last - 1] == ' ' || first[last - 1] == '\t'))
      first[--last] = '\0';
    if (first[0] == '\0' || first[0] == '#') continue;
    bool otherPlatform = false;
    if (!checkMapping(first, &otherPlatform, why, sizeof why)) {
      warnMapping(name, lineNo, why, &bad);
      continue;
    }
    if (!add || otherPlatform) continue;
    if (SDL_GameControllerAddMapping(first) < 0) {
      snprintf(why, sizeof why, "SDL refused it (%s)", printable(SDL_GetError()));
      warnMapping(name, lineNo, why, &bad);
    }
  }
  if (bad > kShownWarnings)
    fprintf(stderr, "velkarra3d: %s: %d more bad controller mappings\n", printable(name),
            bad - kShownWarnings);
  return bad;
}

int padsAxisFromName(const char* name) {
  for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; a++) {
    const char* known = SDL_GameControllerGetStringForAxis(static_cast<SDL_GameControllerAxis>(a));
    if (known && name && strcmp(known, name) == 0) return a;
  }
  return -1;
}

int padsButtonFromName(const char* name) {
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; b++) {
    const char* known =
        SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(b));
    if (known && name && strcmp(known, name) == 0) return b;
  }
  return -1;
}

int padsAttachVirtual(const char* name) {
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = name;
  return SDL_JoystickAttachVirtualEx(&desc);
}

bool padsVirtualPlug() {
  if (gPads.virtualStick) return true;
  if (!padsOpen(true)) return false;
  const int index = padsAttachVirtual("Scripted pad");
  if (index < 0) return false;
  gPads.virtualStick = SDL_JoystickOpen(index);
  if (!gPads.virtualStick) {
    SDL_JoystickDetachVirtual(index);
    return false;
  }
  gPads.virtualId = SDL_JoystickInstanceID(gPads.virtualStick);
  // A virtual axis starts at 0, which SDL reads as a half-pulled trigger.
  padsVirtualAxis(padLeftTrigger, 0);
  padsVirtualAxis(padRightTrigger, 0);
  return true;
}

void padsVirtualUnplug() {
  if (!gPads.virtualStick) return;
  const int index = virtualDeviceIndex();
  SDL_JoystickClose(gPads.virtualStick);
  gPads.virtualStick = nullptr;
  if (index >= 0) SDL_JoystickDetachVirtual(index);
}

void padsVirtualAxis(int axis, int value) {
  if (!gPads.virtualStick || axis < 0 || axis >= SDL_CONTROLLER_AXIS_MAX) return;
  if (value < -32768) value = -32768;
  if (value > 32767) value = 32767;
  // The virtual controller's mapping reads a trigger's whole raw range
  // -32768..32767 as 0..32767.
  if (axis == padLeftTrigger || axis == padRightTrigger)
    value = value <= 0 ? -32768 : value * 2 - 32767;
  SDL_JoystickSetVirtualAxis(gPads.virtualStick, axis, static_cast<Sint16>(value));
}

void padsVirtualButton(int button, bool down) {
  if (!gPads.virtualStick || button < 0 || button >= SDL_CONTROLLER_BUTTON_MAX) return;
  SDL_JoystickSetVirtualButton(gPads.virtualStick, button, down ? 1 : 0);
}

void padsReset() {
  if (!gPads.open) return;
  padsVirtualUnplug();
  while (gPads.count > 0) removePad(gPads.pads[0].id, true);
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  gPads.pressed = 0;
  gPads.unplugged = false;
}
