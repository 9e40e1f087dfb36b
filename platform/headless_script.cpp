// headless_script.cpp: reads the headless input script (keys, characters,
// cursor moves and focus changes, each tied to a frame number) into a
// fixed-size table sorted by frame, so that a headless run looks up each
// frame's events without allocating anything while it plays.
#include "platform/headless_script.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/numbers.h"
#include "devices/pads.h"
#include "platform/backend.h"
#include "platform/platform.h"

namespace {

constexpr int kMaxLine = 512;
constexpr int kMaxWords = 4;  // "F move DX DY"
constexpr int kMaxMove = 100000;

ScriptEvent gEvents[kMaxScriptEvents];
int gEventCount;

// The frames a script may name.
constexpr int kLastFrame = 1 << 30;

// word as a number from least to most into *out; where it is not, why says
// so after the name it goes by ("'move' DX takes a whole number ...").
bool readNumber(const char* word, const char* name, int least, int most, unsigned syntax, int* out,
                char* why, int whySize) {
  int64_t value = 0;
  if (readWhole(word, least, most, &value, syntax)) {
    *out = static_cast<int>(value);
    return true;
  }
  const int said = snprintf(why, whySize, "%s ", name);
  if (said > 0 && said < whySize) wholeNumberError(why + said, whySize - said, least, most, word);
  return false;
}

// The keys a script names besides the letters: their slot (-1 where the
// backend keeps the key by its symbol alone) and their symbol.
struct NamedKey {
  const char* name;
  int slot;
  uint32_t sym;
};
constexpr NamedKey namedKeys[] = {
    {"esc", platEscape, platSymEscape},
    {"lbutton", platLButton, 0},
    {"rbutton", platRButton, 0},
    {"alt+enter", platAltEnter, 0},
    {"f9", platF9, platSymF9},
    {"f11", platF11, platSymF11},
    {"f12", platF12, platSymF12},
    {"up", -1, platSymUp},
    {"down", -1, platSymDown},
    {"left", -1, platSymLeft},
    {"right", -1, platSymRight},
    {"home", -1, platSymHome},
    {"return", -1, platSymReturn},
    {"backspace", -1, platSymBackSpace},
    {"tab", -1, platSymTab},
    {"space", -1, ' '},
    {"plus", -1, '+'},
    {"minus", -1, '-'},
    {"f1", -1, platSymF1},
    {"f2", -1, platSymF1 + 1},
    {"f3", -1, platSymF1 + 2},
    {"f4", -1, platSymF1 + 3},
    {"f5", -1, platSymF1 + 4},
    {"f6", -1, platSymF1 + 5},
    {"f7", -1, platSymF1 + 6},
    {"f8", -1, platSymF1 + 7},
    {"f10", -1, platSymF1 + 9},
};

// The key called word into e (its slot and symbol); false for none.
bool parseKey(const char* word, ScriptEvent* e) {
  if (word[0] >= 'a' && word[0] <= 'z' && word[1] == '\0') {
    e->key = platKeySlot(word[0]);
    e->sym = static_cast<uint32_t>(word[0]);
    return true;
  }
  for (const NamedKey& k : namedKeys) {
    if (strcmp(word, k.name) != 0) continue;
    e->key = k.slot;
    e->sym = k.sym;
    return true;
  }
  return false;
}

// Splits line in place at blanks; returns the number of words, or
// kMaxWords + 1 when there are more than kMaxWords.
int splitWords(char* line, char* words[kMaxWords]) {
  int count = 0;
  char* p = line;
  while (true) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f') p++;
    if (*p == '\0') return count;
    if (count == kMaxWords) return kMaxWords + 1;
    words[count++] = p;
    while (*p && !(*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f'))
      p++;
    if (*p) *p++ = '\0';
  }
}

// "pad plug", "pad unplug", "pad AXIS VALUE" or "pad BUTTON down|up", with
// SDL's names of axes and buttons.
bool parsePadEvent(char* words[], int count, ScriptEvent* e, char* why, int whySize) {
  const char* what = count >= 3 ? words[2] : "";
  if (count == 3 && (strcmp(what, "plug") == 0 || strcmp(what, "unplug") == 0)) {
    e->verb = what[0] == 'p' ? ScriptVerb::padPlug : ScriptVerb::padUnplug;
    return true;
  }
  const int axis = padsAxisFromName(what);
  const int button = padsButtonFromName(what);
  if (count == 4 && axis >= 0) {
    e->verb = ScriptVerb::padAxis;
    e->key = axis;
    char name[64];
    snprintf(name, sizeof name, "'pad %s'", what);
    return readNumber(words[3], name, -32768, 32767, numberPlain, &e->dx, why, whySize);
  }
  const bool down = count == 4 && strcmp(words[3], "down") == 0;
  if (count == 4 && button >= 0 && (down || strcmp(words[3], "up") == 0)) {
    e->verb = ScriptVerb::padButton;
    e->key = button;
    e->dx = down ? 1 : 0;
    return true;
  }
  snprintf(why, whySize,
           "'pad' takes plug, unplug, an axis and its value (leftx, lefty, rightx, righty, "
           "lefttrigger, righttrigger) or a button and down or up (a, b, back, start, dpup, ...)");
  return false;
}

// Parses one line's words into e; on a fault writes what is wrong into why.
bool parseEvent(char* words[], int count, ScriptEvent* e, char* why, int whySize) {
  if (count > kMaxWords) {
    snprintf(why, whySize, "too many words");
    return false;
  }
  if (!readNumber(words[0], "the frame number", 1, kLastFrame, numberPlain, &e->frame, why,
                  whySize))
    return false;
  if (count < 2) {
    snprintf(why, whySize, "missing verb after the frame number");
    return false;
  }
  const char* verb = words[1];
  e->key = 0;
  e->sym = 0;
  e->dx = 0;
  e->dy = 0;
  if (strcmp(verb, "down") == 0 || strcmp(verb, "up") == 0 || strcmp(verb, "tap") == 0) {
    e->verb = verb[0] == 'd' ? ScriptVerb::down : verb[0] == 'u' ? ScriptVerb::up : ScriptVerb::tap;
    if (count != 3) {
      snprintf(why, whySize, "'%s' takes one key", verb);
      return false;
    }
    if (!parseKey(words[2], e)) {
      snprintf(why, whySize,
               "unknown key '%s' (a..z, esc, lbutton, rbutton, alt+enter, f1..f12, up, down, "
               "left, right, home, return, backspace, tab, space, plus or minus)",
               words[2]);
      return false;
    }
    return true;
  }
  if (strcmp(verb, "char") == 0) {
    e->verb = ScriptVerb::chr;
    const unsigned char c = count == 3 ? static_cast<unsigned char>(words[2][0]) : 0;
    if (count != 3 || words[2][1] != '\0' || c < 0x21 || c > 0x7e) {
      snprintf(why, whySize, "'char' takes exactly one printable, non-blank character");
      return false;
    }
    e->key = c;
    return true;
  }
  if (strcmp(verb, "move") == 0) {
    e->verb = ScriptVerb::move;
    if (count != 4) {
      snprintf(why, whySize, "'move' takes two whole numbers DX DY (at most %d each)", kMaxMove);
      return false;
    }
    // A move may carry either sign: "move +5 -5".
    return readNumber(words[2], "'move' DX", -kMaxMove, kMaxMove, numberPlus, &e->dx, why,
                      whySize) &&
           readNumber(words[3], "'move' DY", -kMaxMove, kMaxMove, numberPlus, &e->dy, why, whySize);
  }
  if (strcmp(verb, "focus") == 0) {
    const bool out = count == 3 && strcmp(words[2], "out") == 0;
    const bool in = count == 3 && strcmp(words[2], "in") == 0;
    if (!out && !in) {
      snprintf(why, whySize, "'focus' takes 'in' or 'out'");
      return false;
    }
    e->verb = out ? ScriptVerb::focusOut : ScriptVerb::focusIn;
    return true;
  }
  if (strcmp(verb, "pad") == 0) return parsePadEvent(words, count, e, why, whySize);
  snprintf(why, whySize, "unknown verb '%s' (down, up, tap, char, move, focus or pad)", verb);
  return false;
}

bool eventBefore(const ScriptEvent& a, const ScriptEvent& b) {
  return a.frame != b.frame ? a.frame < b.frame : a.order < b.order;
}

}  // namespace

void scriptClear() { gEventCount = 0; }

bool scriptParse(const char* text, size_t size, const char* name, char* err, int errSize) {
  scriptClear();
  if (errSize > 0) err[0] = '\0';
  char line[kMaxLine];
  char why[256];
  int lineNo = 0;
  size_t at = 0;
  while (at < size) {
    lineNo++;
    const char* newline = static_cast<const char*>(memchr(text + at, '\n', size - at));
    const size_t length = (newline ? static_cast<size_t>(newline - text) : size) - at;
    if (length > kMaxLine - 2) {
      snprintf(err, errSize, "%s:%d: line is longer than %d characters", name, lineNo,
               kMaxLine - 2);
      scriptClear();
      return false;
    }
    memcpy(line, text + at, length);
    line[length] = '\0';
    at += length + 1;
    char* hash = strchr(line, '#');
    if (hash) *hash = '\0';
    char* words[kMaxWords];
    const int count = splitWords(line, words);
    if (count == 0) continue;
    ScriptEvent event;
    if (!parseEvent(words, count, &event, why, sizeof why)) {
      snprintf(err, errSize, "%s:%d: %s", name, lineNo, why);
      scriptClear();
      return false;
    }
    if (gEventCount == kMaxScriptEvents) {
      snprintf(err, errSize, "%s:%d: too many events (at most %d)", name, lineNo, kMaxScriptEvents);
      scriptClear();
      return false;
    }
    event.order = gEventCount;
    gEvents[gEventCount++] = event;
  }
  std::sort(gEvents, gEvents + gEventCount, eventBefore);
  return true;
}

bool scriptLoad(const char* path, char* err, int errSize) {
  scriptClear();
  FILE* file = fopen(path, "rb");
  if (!file) {
    snprintf(err, errSize, "%s: cannot open: %s", path, strerror(errno));
    return false;
  }
  // The whole file in memory for the parse, and freed after it.
  size_t size = 0, capacity = 4096;
  char* text = static_cast<char*>(malloc(capacity));
  while (text) {
    size += fread(text + size, 1, capacity - size, file);
    if (size < capacity) break;
    char* bigger = static_cast<char*>(realloc(text, capacity * 2));
    if (!bigger) free(text);
    text = bigger;
    capacity *= 2;
  }
  const bool readError = !text || ferror(file);
  const int readErrno = text ? errno : ENOMEM;
  fclose(file);
  bool ok = false;
  if (readError)
    snprintf(err, errSize, "%s: cannot read: %s", path, strerror(readErrno));
  else
    ok = scriptParse(text, size, path, err, errSize);
  free(text);
  return ok;
}

int scriptEventsAt(int frame, const ScriptEvent** first) {
  ScriptEvent key;
  key.frame = frame;
  key.order = -1;
  const ScriptEvent* begin = std::lower_bound(gEvents, gEvents + gEventCount, key, eventBefore);
  const ScriptEvent* end = begin;
  while (end < gEvents + gEventCount && end->frame == frame) end++;
  *first = begin;
  return static_cast<int>(end - begin);
}

int scriptLastFrame() { return gEventCount > 0 ? gEvents[gEventCount - 1].frame : 0; }
