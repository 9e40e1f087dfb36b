// screens.cpp: the pause menu, Options, Controls and High scores: what each
// shows, the keys, the pointer and the pad on them, and what each choice
// does.
#include "app/screens.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/comforts.h"
#include "app/config.h"
#include "app/keep.h"
#include "app/options.h"
#include "app/world_options.h"
#include "game/bindings.h"
#include "game/rules.h"
#include "game/tally.h"
#include "game/world.h"
#include "render/frame_counter.h"
#include "render/resources.h"
#include "render/screen.h"
#include "render/view.h"
#include "session/scores.h"
#include "session/timedemo.h"

namespace {

enum ScreenId : uint8_t { screenPause, screenOptions, screenControls, screenScores };

// What choosing a line of a menu does.
enum MenuAction : uint8_t { doResume, doOptions, doControls, doScores, doQuit, doBack, doDefaults };

struct MenuItem {
  const char* label;
  MenuAction action;
};

// The pause menu, in its order.
constexpr MenuItem pauseItems[] = {
    {"Resume", doResume},      {"Options", doOptions}, {"Controls", doControls},
    {"High scores", doScores}, {"Quit", doQuit},
};

// The lines the High scores screen offers below the table.
constexpr MenuItem scoresItems[] = {{"Back", doBack}};

// The line below the Options screen's settings.
constexpr MenuItem optionsItems[] = {{"Back", doBack}};

// The lines below the Controls screen's actions.
constexpr MenuItem controlsItems[] = {{"Defaults", doDefaults}, {"Back", doBack}};

// What a row of the picture stands for.
enum RowKind : uint8_t { kindText, kindMenu, kindOption, kindAction, kindWatch };
struct RowMeaning {
  RowKind kind;
  int index;  // the MenuAction, the row of optionRows, the KeyAction or the place watched
};

// The window sizes Options steps through (those that fit the screen), the
// smallest first.
struct WindowSize {
  int32_t width, height;
};
constexpr WindowSize windowSizes[] = {{640, 480},  {800, 600},   {1024, 768},
                                      {1280, 720}, {1280, 800},  {1366, 768},
                                      {1600, 900}, {1920, 1080}, {2560, 1440}};

// The frame caps Options steps through; 0 is none.
constexpr uint32_t frameCaps[] = {0, 30, 60, 75, 120, 144, 240};

// How far Left and Right move a whole number (a row without a list).
struct WholeStep {
  const char* name;
  int32_t step;
};
constexpr WholeStep wholeSteps[] = {{"volume", 5}};
constexpr float sensitivityStep = 0.1f;

struct Screens {
  bool playersInput;  // the input is the player's: the screens may open
  ScreenId id;
  int highlight;  // the row highlighted
  bool fromPlay;  // Controls opened by F1 in play: closing it resumes
  bool editing;   // the player's name is being typed
  char name[playerNameMax + 1];
  int binding;  // the action waiting for its new key, or -1
  char status[160];
  uint32_t taken;  // InputKey bits a screen used, left out until they come up
  int32_t pointer[2];
  bool pointerSeen;
  bool quit;
  bool pointerShown;
  RowMeaning meaning[screenRowsMax];
};

Screens screens;

// What the High scores screen shows, read once at start-up.
ScoreTable table;
bool tableWatchable[scoreTableSize];  // by entry: its recording is there to watch
ScoresRead tableRead;
char tableWhy[512];
char loginName[scoreNameMax + 1];
char configShown[4200];  // where Options writes, with ~ for the home folder

// ---- The run and its place ----

struct RunNow {
  int32_t points, level, place;
};

RunNow runNow() {
  const RunTally tally = runTallyNow();
  const int64_t points = static_cast<int64_t>(tally.clearedPoints) + tally.points;
  RunNow run;
  run.points = points > INT32_MAX ? INT32_MAX : points < 0 ? 0 : static_cast<int32_t>(points);
  run.level = tally.highestLevel > 0 ? tally.highestLevel : 1;
  // The run ends after every entry there is: it goes after those of its
  // points and level, as its entry will.
  ScoreEntry entry = {};
  entry.points = run.points;
  entry.level = run.level;
  snprintf(entry.date, sizeof entry.date, "9999-12-31");
  snprintf(entry.time, sizeof entry.time, "23:59");
  run.place = run.points > 0 ? scorePlace(table, entry) : 0;
  return run;
}

// ---- Changing a setting ----

const char* saveWord(ConfigSave saved, const char* why) {
  static char text[200];
  if (saved == configSaved)
    snprintf(text, sizeof text, "Saved in %.180s", configShown);
  else if (saved == configNotSaved && runOptions.noConfig)
    snprintf(text, sizeof text, "not saved (--no-config)");
  else if (saved == configNotSaved)  // nothing changed yet
    snprintf(text, sizeof text, "Changes are saved in %.170s", configShown);
  else
    snprintf(text, sizeof text, "not saved: %.150s", why);
  return text;
}

ConfigSave save(const SettingChange* changes, int count) {
  char why[512] = "";
  const ConfigSave saved = saveSettings(runOptions, changes, count, stderr, why, sizeof why);
  snprintf(screens.status, sizeof screens.status, "%.159s", saveWord(saved, why));
  return saved;
}

// The settings the screens show follow what the keys changed meanwhile
// (M, F9, F11).
void followComforts() {
  runOptions.mute = soundMuted();
  runOptions.showFps = frameCounterShown();
  runOptions.fullscreen = fullScreenNow();
}

void applyWindow() {
  if (runOptions.windowWidth > 0) platResizeWindow(runOptions.windowWidth, runOptions.windowHeight);
}
void applyFullScreen() { setFullScreen(runOptions.fullscreen); }
void applyDetail() { setDetail(runOptions.detail); }
void applyFrameCap() {
  if (!runOptions.timedemoFile) setFramePacing(false, runOptions.maxFps);
}
void applyVolume() { setSoundVolume(static_cast<int>(runOptions.volume)); }
void applyMute() { setSoundMuted(runOptions.mute); }
void applyShowFps() { showFrameCounter(runOptions.showFps); }
void applyName() { setRunName(runOptions.playerName); }

// What a change of each setting does at once (the world options change
// through app/world_options.h).
struct OptionEffect {
  const char* name;
  void (*apply)();
};
constexpr OptionEffect optionEffects[] = {
    {"window", applyWindow},    {"fullscreen", applyFullScreen}, {"detail", applyDetail},
    {"max-fps", applyFrameCap}, {"volume", applyVolume},         {"mute", applyMute},
    {"show-fps", applyShowFps}, {"player-name", applyName},
};

// Sets row to the value text: in the run (and the world, for a world
// option), at once, and in the configuration file.
void changeOption(const OptionRow& row, const char* value) {
  if (row.changesWorld) {
    changeWorldOption(row.name, value);
  } else {
    char why[256];
    if (!applyOption(row, value, originPlay, &runOptions, why, sizeof why)) return;
    for (const OptionEffect& effect : optionEffects)
      if (strcmp(effect.name, row.name) == 0) effect.apply();
  }
  char text[64];
  optionValueText(row, runOptions, text, sizeof text);
  const SettingChange change = {row.name, text};
  save(&change, 1);
}

// The value text one step from the row's value now, or "" for none.
void stepValue(const OptionRow& row, int direction, char* out, int size) {
  out[0] = '\0';
  switch (row.kind) {
    case optionFlag: {
      char now[16];
      optionValueText(row, runOptions, now, sizeof now);
      snprintf(out, size, "%s", strcmp(now, "true") == 0 ? "false" : "true");
      return;
    }
    case optionChoice: {
      int count = 0, at = 0;
      const DetailLevel now = renderDetail;  // auto is the level in force
      for (const OptionChoice* c = row.choices; c->word; c++, count++)
        if (c->value == now) at = count;
      snprintf(out, size, "%s", row.choices[(at + direction + count) % count].word);
      return;
    }
    case optionWindowSize: {
      // The sizes run from the smallest to the largest; the next one is the
      // first past the size now, either way, of those that fit the screen.
      int screenWidth = 0, screenHeight = 0;
      platScreenSize(&screenWidth, &screenHeight);
      const bool sized = runOptions.windowWidth > 0;
      const int64_t area = static_cast<int64_t>(sized ? runOptions.windowWidth : 800) *
                           (sized ? runOptions.windowHeight : 600);
      const WindowSize* pick = nullptr;
      for (const WindowSize& w : windowSizes) {
        const int64_t a = static_cast<int64_t>(w.width) * w.height;
        if (w.width > screenWidth || w.height > screenHeight) continue;
        if (direction > 0 && a > area && !pick) pick = &w;
        if (direction < 0 && a < area) pick = &w;
      }
      if (pick) snprintf(out, size, "%dx%d", pick->width, pick->height);
      return;
    }
    case optionDecimal: {
      const float now = runOptions.world.mouseSensitivity;
      const float next =
          roundf((now + direction * sensitivityStep) / sensitivityStep) * sensitivityStep;
      const float kept = next < row.span.least  ? row.span.least
                         : next > row.span.most ? row.span.most
                                                : next;
      snprintf(out, size, "%.1f", static_cast<double>(kept));
      return;
    }
    case optionWhole: {
      char now[32];
      optionValueText(row, runOptions, now, sizeof now);
      const uint32_t value = strcmp(now, "none") == 0 ? 0 : static_cast<uint32_t>(atol(now));
      if (strcmp(row.name, "max-fps") == 0) {
        // From none (0) up the list, and back down to none.
        const uint32_t* pick = nullptr;
        for (const uint32_t& cap : frameCaps) {
          if (direction > 0 && cap > value && !pick) pick = &cap;
          if (direction < 0 && cap < value) pick = &cap;
        }
        if (pick && *pick == 0) snprintf(out, size, "none");
        if (pick && *pick != 0) snprintf(out, size, "%u", *pick);
        return;
      }
      for (const WholeStep& w : wholeSteps) {
        if (strcmp(w.name, row.name) != 0) continue;
        int64_t next = (static_cast<int64_t>(value) / w.step + direction) * w.step;
        if (direction < 0 && value % w.step) next = value / w.step * w.step;
        if (next < row.range[0].least) next = row.range[0].least;
        if (next > row.range[0].most) next = row.range[0].most;
        snprintf(out, size, "%lld", static_cast<long long>(next));
      }
      return;
    }
    default:
      return;
  }
}

void stepOption(const OptionRow& row, int direction) {
  followComforts();
  char value[64];
  stepValue(row, direction, value, sizeof value);
  char now[64];
  optionValueText(row, runOptions, now, sizeof now);
  if (value[0] && strcmp(value, now) != 0) changeOption(row, value);
}

// ---- Key bindings ----

void takeKey(uint32_t sym);

ConfigSave saveBindings(const int* actions, int count) {
  char values[keyActionCount][64];
  SettingChange changes[keyActionCount];
  for (int i = 0; i < count && i < keyActionCount; i++) {
    const uint32_t sym = runOptions.keys.sym[actions[i]];
    if (!sym || !platKeySymName(sym, values[i], sizeof values[i]))
      snprintf(values[i], sizeof values[i], "none");
    changes[i] = {keyActions[actions[i]].configName, values[i]};
  }
  return save(changes, count);
}

void bindNow(int action, uint32_t sym) {
  const int loser = bindKey(&runOptions.keys, action, sym);
  setKeyBindings(runOptions.keys);
  const int actions[2] = {action, loser};
  const ConfigSave saved = saveBindings(actions, loser == noAction ? 1 : 2);
  if (loser != noAction) {
    // The screen says what the new key left behind (and the file's word
    // where it was not written).
    char word[160];
    snprintf(word, sizeof word, "%s", saved == configSaved ? "" : screens.status);
    snprintf(screens.status, sizeof screens.status, "%s was %s's key: it has none now%s%.90s",
             boundKeyLabel(action), keyActions[loser].label, word[0] ? " - " : "", word);
  }
  takeKey(sym);
}

void defaultBindings() {
  runOptions.keys = defaultKeyBindings();
  setKeyBindings(runOptions.keys);
  int actions[keyActionCount];
  for (int a = 0; a < keyActionCount; a++) actions[a] = a;
  saveBindings(actions, keyActionCount);
}

// ---- Building what a screen shows ----

void cell(ScreenRow* row, int column, const char* text) {
  snprintf(row->cells[column], screenCellSize, "%s", text);
}

// Adds a row to p with its meaning; the row is cleared first.
ScreenRow* addRow(ScreenPicture* p, ScreenRowStyle style, RowKind kind, int index) {
  if (p->rowCount >= screenRowsMax) return nullptr;
  ScreenRow* row = &p->rows[p->rowCount];
  *row = ScreenRow{};
  row->style = style;
  screens.meaning[p->rowCount] = RowMeaning{kind, index};
  p->rowCount++;
  return row;
}

void addItems(ScreenPicture* p, const MenuItem* items, int count) {
  for (int i = 0; i < count; i++)
    if (ScreenRow* row = addRow(p, rowItem, kindMenu, items[i].action))
      cell(row, 0, items[i].label);
}

// "mouse-sensitivity" as "Mouse sensitivity".
void optionLabel(const OptionRow& row, char* out, int size) {
  snprintf(out, size, "%s", row.name);
  for (char* c = out; *c; c++)
    if (*c == '-') *c = ' ';
  if (out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
}

void optionShown(const OptionRow& row, bool highlighted, char* out, int size) {
  char value[64];
  optionValueText(row, runOptions, value, sizeof value);
  if (row.kind == optionFlag)
    snprintf(value, sizeof value, "%s", strcmp(value, "true") == 0 ? "on" : "off");
  if (row.kind == optionChoice)
    snprintf(value, sizeof value, "%s", renderDetail == detailLow ? "low" : "high");
  if (row.kind == optionName) {
    if (highlighted && screens.editing)
      snprintf(value, sizeof value, "%s_", screens.name);
    else if (!runOptions.playerName[0])
      snprintf(value, sizeof value, "%s (login name)", loginName);
    snprintf(out, size, "%.40s", value);
    return;
  }
  snprintf(out, size, highlighted ? "< %.40s >" : "%.40s", value);
}

void buildPause(ScreenPicture* p) {
  p->underPauseNote = true;
  runSoFar(p->subtitle, sizeof p->subtitle);
  addItems(p, pauseItems, sizeof pauseItems / sizeof pauseItems[0]);
}

void buildOptions(ScreenPicture* p) {
  followComforts();
  snprintf(p->title, sizeof p->title, "Options");
  p->columns = 2;
  for (const OptionRow& row : optionRows) {
    if (!row.inFile) continue;
    ScreenRow* line = addRow(p, rowItem, kindOption, static_cast<int>(&row - optionRows));
    if (!line) break;
    char text[screenCellSize];
    optionLabel(row, text, sizeof text);
    cell(line, 0, text);
    optionShown(row, p->rowCount - 1 == screens.highlight, text, sizeof text);
    cell(line, 1, text);
  }
  addItems(p, optionsItems, sizeof optionsItems / sizeof optionsItems[0]);
  snprintf(p->status, sizeof p->status, "%.159s",
           screens.status[0]     ? screens.status
           : runOptions.noConfig ? "not saved (--no-config)"
                                 : saveWord(configNotSaved, ""));
  snprintf(p->hint, sizeof p->hint, "%s",
           screens.editing ? "Type the name, Enter keeps it, Esc goes back to the old one"
                           : "Up/Down: choose   Left/Right: change   Enter: toggle   Esc: back");
}

void buildControls(ScreenPicture* p) {
  snprintf(p->title, sizeof p->title, "Controls");
  p->columns = 3;
  for (int a = 0; a < keyActionCount; a++) {
    ScreenRow* line = addRow(p, rowItem, kindAction, a);
    if (!line) break;
    cell(line, 0, keyActions[a].label);
    char keys[screenCellSize];
    const uint32_t sym = runOptions.keys.sym[a];
    if (screens.binding == a)
      snprintf(keys, sizeof keys, "press a key...");
    else if (keyActions[a].mouse && sym)
      snprintf(keys, sizeof keys, "%s, %s", keyActions[a].mouse, boundKeyLabel(a));
    else
      snprintf(keys, sizeof keys, "%s",
               keyActions[a].mouse && !sym ? keyActions[a].mouse : boundKeyLabel(a));
    cell(line, 1, keys);
    cell(line, 2, keyActions[a].pad ? keyActions[a].pad : "-");
  }
  addItems(p, controlsItems, sizeof controlsItems / sizeof controlsItems[0]);
  if (screens.binding >= 0)
    snprintf(p->status, sizeof p->status, "Press the new key for %s (Esc keeps the old one)",
             keyActions[screens.binding].label);
  else
    snprintf(p->status, sizeof p->status, "%s", screens.status);
  snprintf(p->hint, sizeof p->hint, "Enter: a new key   Esc or F1: back");
}

void buildScores(ScreenPicture* p) {
  snprintf(p->title, sizeof p->title, "High scores");
  p->columns = 6;
  p->align[0] = alignRight;
  p->align[2] = alignRight;
  p->align[3] = alignRight;
  if (ScreenRow* head = addRow(p, rowText, kindText, 0)) {
    cell(head, 1, "Name");
    cell(head, 2, "Points");
    cell(head, 3, "Level");
    cell(head, 4, "Date");
  }
  const RunNow run = runNow();
  const char* name = runOptions.playerName[0] ? runOptions.playerName : loginName;
  int shown = 0;
  char text[screenCellSize];
  for (int place = 1; place <= scoreTableSize; place++) {
    const bool ours = place == run.place;
    if (!ours && shown >= table.count) break;
    ScreenRow* line = addRow(p, ours ? rowMarked : rowText, kindText, 0);
    if (!line) break;
    snprintf(text, sizeof text, "%d.", place);
    cell(line, 0, text);
    if (ours) {
      snprintf(text, sizeof text, "%.20s (this run)", name);
      cell(line, 1, text);
      snprintf(text, sizeof text, "%d", run.points);
      cell(line, 2, text);
      snprintf(text, sizeof text, "%d", run.level);
      cell(line, 3, text);
      cell(line, 4, "now");
      continue;
    }
    // A run with its recording there may be chosen, to be watched; the
    // place shown is the one it keeps once this run has entered too.
    const bool watchable = tableWatchable[shown];
    const ScoreEntry& e = table.entries[shown++];
    if (watchable) {
      line->style = rowItem;
      screens.meaning[p->rowCount - 1] = RowMeaning{kindWatch, place};
      cell(line, 5, "Watch");
    }
    snprintf(text, sizeof text, "%.20s%s", e.name, strlen(e.name) > 20 ? "..." : "");
    cell(line, 1, text);
    snprintf(text, sizeof text, "%d", e.points);
    cell(line, 2, text);
    snprintf(text, sizeof text, "%d", e.level);
    cell(line, 3, text);
    snprintf(text, sizeof text, "%s %s", e.date, e.time);
    cell(line, 4, text);
  }
  if (p->rowCount == 1) {
    if (ScreenRow* none = addRow(p, rowText, kindText, 0)) cell(none, 1, "No runs kept yet");
  }
  addItems(p, scoresItems, sizeof scoresItems / sizeof scoresItems[0]);
  if (tableRead != scoresReadWhole)
    snprintf(p->status, sizeof p->status, "%.150s", tableWhy);
  else if (run.place == 0)
    runSoFar(p->status, sizeof p->status);
  bool watchable = false;
  for (int i = 0; i < table.count; i++) watchable = watchable || tableWatchable[i];
  snprintf(p->hint, sizeof p->hint, "%s",
           watchable ? "Enter: watch the run (ends this game)   Esc: back" : "Esc: back");
}

// The picture of the screen open now (its rows' meanings beside it).
void build(ScreenPicture* p) {
  *p = ScreenPicture{};
  p->highlight = -1;
  p->columns = 1;
  switch (screens.id) {
    case screenPause:
      buildPause(p);
      break;
    case screenOptions:
      buildOptions(p);
      break;
    case screenControls:
      buildControls(p);
      break;
    case screenScores:
      buildScores(p);
      break;
  }
  p->shown = true;
  p->highlight = screens.highlight < p->rowCount ? screens.highlight : -1;
}

bool selectable(int row, const ScreenPicture& p) {
  return row >= 0 && row < p.rowCount && p.rows[row].style == rowItem;
}

// ---- Moving about ----

void open(ScreenId id, int highlight = -1) {
  screens.id = id;
  screens.fromPlay = false;
  screens.editing = false;
  screens.binding = -1;
  screens.status[0] = '\0';
  ScreenPicture p;
  build(&p);
  int first = 0;
  while (first < p.rowCount && !selectable(first, p)) first++;
  screens.highlight = highlight >= 0 ? highlight : first;
}

void move(int direction) {
  ScreenPicture p;
  build(&p);
  for (int step = 1; step <= p.rowCount; step++) {
    const int row = ((screens.highlight + direction * step) % p.rowCount + p.rowCount) % p.rowCount;
    if (selectable(row, p)) {
      screens.highlight = row;
      return;
    }
  }
}

// Back to the pause menu's first line, for the next pause; the pointer and
// the keys still taken are kept.
void reset() {
  Screens fresh = Screens{};
  fresh.pointerShown = screens.pointerShown;
  fresh.taken = screens.taken;
  fresh.pointer[0] = screens.pointer[0];
  fresh.pointer[1] = screens.pointer[1];
  fresh.pointerSeen = screens.pointerSeen;
  fresh.quit = screens.quit;
  fresh.playersInput = screens.playersInput;
  fresh.binding = -1;
  screens = fresh;
}

// Resumes the game with the pause key's 'p': into the record of the frame
// being sampled, or (between frames, in == null) the next.
void resume(FrameInput* in) {
  if (in) {
    if (in->charCount < maxFrameChars) in->chars[in->charCount++] = 'p';
    applyKeyEvent('p', false);
  } else {
    noteGameChar('p', false);
  }
  reset();
}

// Esc, BackSpace, the pad's B, the right button: back one screen. The
// pause menu itself stays.
void back(FrameInput* in) {
  if (screens.id == screenPause) return;
  if (screens.id == screenControls && screens.fromPlay) {
    resume(in);
    return;
  }
  const int item = screens.id == screenOptions ? 1 : screens.id == screenControls ? 2 : 3;
  open(screenPause, item);
}

void choose(FrameInput* in, int direction = 1) {
  ScreenPicture p;
  build(&p);
  if (!selectable(screens.highlight, p)) return;
  const RowMeaning m = screens.meaning[screens.highlight];
  if (m.kind == kindOption) {
    const OptionRow& row = optionRows[m.index];
    if (row.kind == optionName) {
      screens.editing = true;
      snprintf(screens.name, sizeof screens.name, "%s", runOptions.playerName);
    } else {
      stepOption(row, direction);
    }
    return;
  }
  if (m.kind == kindAction) {
    screens.binding = m.index;
    return;
  }
  if (m.kind == kindWatch) {
    // Returns only when the watcher cannot start; the run goes on.
    if (!watchScoreInstead(m.index))
      snprintf(screens.status, sizeof screens.status,
               "The run cannot be watched (see the terminal)");
    return;
  }
  switch (static_cast<MenuAction>(m.index)) {
    case doResume:
      resume(in);
      break;
    case doOptions:
      open(screenOptions);
      break;
    case doControls:
      open(screenControls);
      break;
    case doScores:
      open(screenScores);
      break;
    case doQuit:
      // The frame loop ends the run before the next frame runs.
      screens.quit = true;
      break;
    case doBack:
      back(in);
      break;
    case doDefaults: {
      defaultBindings();
      char saved[160];
      snprintf(saved, sizeof saved, "%s", screens.status);
      snprintf(screens.status, sizeof screens.status, "Every key as it was at first. %.120s",
               saved);
      break;
    }
  }
}

// Left and Right on Options change the highlighted value.
void stepHighlighted(int direction) {
  if (screens.id != screenOptions) return;
  ScreenPicture p;
  build(&p);
  if (!selectable(screens.highlight, p)) return;
  const RowMeaning m = screens.meaning[screens.highlight];
  if (m.kind == kindOption && optionRows[m.index].kind != optionName)
    stepOption(optionRows[m.index], direction);
}

// The keys bound to sym are left out of the records until they come up.
void takeKey(uint32_t sym) {
  const int action = actionOfKey(keyBindings(), sym);
  if (action != noAction && keyActions[action].inputKey >= 0)
    screens.taken |= 1u << keyActions[action].inputKey;
}

bool nameCharacter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
         c == '-' || c == '_' || c == '.';
}

void typeName(uint32_t sym, unsigned char c) {
  const size_t length = strlen(screens.name);
  if (sym == platSymReturn || sym == platSymKeypadEnter) {
    screens.editing = false;
    // Blanks at the ends go; an empty name keeps the old one.
    char kept[playerNameMax + 1];
    const char* from = screens.name;
    while (*from == ' ') from++;
    snprintf(kept, sizeof kept, "%s", from);
    for (size_t end = strlen(kept); end > 0 && kept[end - 1] == ' '; end--) kept[end - 1] = '\0';
    if (kept[0]) changeOption(*findOption("player-name"), kept);
  } else if (sym == platSymEscape) {
    screens.editing = false;
  } else if (sym == platSymBackSpace || sym == platSymDelete) {
    if (length > 0) screens.name[length - 1] = '\0';
  } else if (nameCharacter(c) && length < static_cast<size_t>(playerNameMax)) {
    screens.name[length] = static_cast<char>(c);
    screens.name[length + 1] = '\0';
  }
}

void takeNewKey(uint32_t sym) {
  const int action = screens.binding;
  screens.binding = -1;
  if (sym == platSymEscape) {
    screens.status[0] = '\0';
    return;
  }
  if (sym == platSymF1) {
    snprintf(screens.status, sizeof screens.status, "F1 shows this screen: %s keeps its key",
             keyActions[action].label);
    return;
  }
  bindNow(action, sym);
}

// The point of the plane (render/screen.h) the pointer is at.
void pointerInPlane(const FrameInput& in, float* x, float* y) {
  const float width = static_cast<float>(in.client[2] - in.client[0]);
  const float height = static_cast<float>(in.client[3] - in.client[1]);
  const float half = width > 0 ? width / 2 : 1;
  *x = (static_cast<float>(in.cursorX - in.client[0]) - width / 2) / half;
  *y = (height / 2 - static_cast<float>(in.cursorY - in.client[1])) / half;
}

bool bit(uint32_t bits, int b) { return ((bits >> b) & 1u) != 0; }

}  // namespace

void startScreens(bool playersInput) {
  screens = Screens{};
  screens.binding = -1;
  screens.playersInput = playersInput;
  // The login name, for a player who gave none.
  setRunName(nullptr);
  snprintf(loginName, sizeof loginName, "%s", runEntry(time(nullptr)).name);
  setRunName(runOptions.playerName);
  setKeyBindings(runOptions.keys);
  char folder[4096];
  table = ScoreTable{};
  tableRead = scoresReadWhole;
  tableWhy[0] = '\0';
  if (scoresFolder(folder, sizeof folder))
    tableRead = loadScores(folder, &table, tableWhy, sizeof tableWhy);
  for (int i = 0; i < table.count; i++)
    tableWatchable[i] = entryRecordingThere(folder, table.entries[i]);
  char path[4096] = "";
  if (runOptions.configFile)
    snprintf(path, sizeof path, "%s", runOptions.configFile);
  else
    configPath(path, sizeof path);
  const char* home = getenv("HOME");
  const size_t homeLength = home ? strlen(home) : 0;
  if (homeLength > 1 && strncmp(path, home, homeLength) == 0 && path[homeLength] == '/')
    snprintf(configShown, sizeof configShown, "~%s", path + homeLength);
  else
    snprintf(configShown, sizeof configShown, "%s", path);
}

bool screensOpen() { return game.paused && screens.playersInput; }

bool screenKey(uint32_t sym, unsigned char c) {
  if (!screens.playersInput) return false;
  if (!screensOpen()) {
    if (sym != platSymF1) return false;
    // F1 in play (or on the game-over screen) pauses and shows Controls;
    // closing it resumes.
    noteGameChar('p', false);
    open(screenControls);
    screens.fromPlay = true;
    return true;
  }
  if (screens.editing) {
    // The name takes what types and the keys that edit; the function keys
    // (F9, F11, F12) do what they always do.
    const bool edits = c != 0 || sym == platSymReturn || sym == platSymKeypadEnter ||
                       sym == platSymEscape || sym == platSymBackSpace || sym == platSymDelete ||
                       sym == platSymLeft || sym == platSymRight || sym == platSymUp ||
                       sym == platSymDown;
    if (!edits) return false;
    takeKey(sym);
    typeName(sym, c);
    return true;
  }
  if (screens.binding >= 0) {
    takeKey(sym);
    takeNewKey(sym);
    return true;
  }
  const bool used = sym == platSymF1 || sym == platSymUp || sym == platSymDown ||
                    sym == platSymLeft || sym == platSymRight || sym == platSymReturn ||
                    sym == platSymKeypadEnter || sym == platSymEscape || sym == platSymBackSpace;
  if (used) takeKey(sym);
  switch (sym) {
    case platSymF1:
      if (screens.id == screenControls)
        back(nullptr);
      else
        open(screenControls);
      return true;
    case platSymUp:
      move(-1);
      return true;
    case platSymDown:
      move(1);
      return true;
    case platSymLeft:
    case platSymRight:
      stepHighlighted(sym == platSymLeft ? -1 : 1);
      return true;
    case platSymReturn:
    case platSymKeypadEnter:
      choose(nullptr);
      return true;
    case platSymEscape:
    case platSymBackSpace:
      back(nullptr);
      return true;
    default:
      // Not the screens' key: the game's (p resumes, G frees the camera,
      // F9, M and F11 do what they always do).
      return false;
  }
}

void screenPointerAndPad(FrameInput* in, PlatPad* pad) {
  const bool moved = !screens.pointerSeen || in->cursorX != screens.pointer[0] ||
                     in->cursorY != screens.pointer[1];
  screens.pointer[0] = in->cursorX;
  screens.pointer[1] = in->cursorY;
  screens.pointerSeen = true;
  if (!screensOpen() || !in->active) return;
  ScreenPicture p;
  build(&p);
  float x, y;
  pointerInPlane(*in, &x, &y);
  int side = 0;
  const int row = screenRowAt(p, x, y, &side);
  const bool waiting = screens.editing || screens.binding >= 0;
  if (moved && selectable(row, p) && !waiting) screens.highlight = row;
  if (bit(in->pressed, keyLButton)) {
    screens.taken |= 1u << keyLButton;
    if (selectable(row, p) && !waiting) {
      screens.highlight = row;
      const RowMeaning m = screens.meaning[row];
      // On a value, the left half steps down and the right half up.
      if (m.kind == kindOption && optionRows[m.index].kind != optionFlag &&
          optionRows[m.index].kind != optionName)
        stepOption(optionRows[m.index], side);
      else
        choose(in);
    }
  }
  if (bit(in->pressed, keyRButton)) {
    screens.taken |= 1u << keyRButton;
    if (screens.editing)
      screens.editing = false;
    else if (screens.binding >= 0)
      screens.binding = -1;
    else
      back(in);
  }
  // The pad: the d-pad moves and changes, A chooses, B goes back; Start
  // stays the pause key.
  const uint32_t used = 1u << platPadUp | 1u << platPadDown | 1u << platPadLeft |
                        1u << platPadRight | 1u << platPadA | 1u << platPadB;
  const uint32_t pressed = pad->pressed & used;
  pad->held &= ~used;
  pad->pressed &= ~used;
  if (!pad->connected || !pressed || !screensOpen()) return;
  if (screens.binding >= 0) {
    if (bit(pressed, platPadB)) screens.binding = -1;
    return;
  }
  if (screens.editing) {
    if (bit(pressed, platPadB)) screens.editing = false;
    return;
  }
  if (bit(pressed, platPadUp)) move(-1);
  if (bit(pressed, platPadDown)) move(1);
  if (bit(pressed, platPadLeft)) stepHighlighted(-1);
  if (bit(pressed, platPadRight)) stepHighlighted(1);
  if (bit(pressed, platPadA)) choose(in);
  if (bit(pressed, platPadB) && screensOpen()) back(in);
}

void leaveOutTakenKeys(FrameInput* in) {
  const uint32_t taken = screens.taken, held = in->held;
  in->held &= ~taken;
  in->pressed &= ~taken;
  // A key the platform no longer holds is the game's again from the next
  // record on.
  screens.taken = taken & held;
}

bool screenQuitChosen() { return screens.quit; }

void afterScreenFrame() {
  const bool open = screensOpen();
  if (!game.paused) reset();
  if (open == screens.pointerShown) return;
  screens.pointerShown = open;
  if (open)
    platShowCursor();
  else
    platHideCursor();
}

void fillScreenPicture() {
  ScreenPicture& p = screenPicture;
  if (game.paused) {
    build(&p);
  } else {
    p.shown = false;
    p.rowCount = 0;
  }
  // The game-over screen's line; while paused the pause menu shows it
  // under the note instead.
  p.runLine[0] = '\0';
  if (game.gameOver && !game.paused) runSoFar(p.runLine, sizeof p.runLine);
}

bool screenFrameChanged() {
  // What a paused picture is drawn from. Play draws every frame.
  struct Shown {
    ScreenPicture picture;
    GameState game;
    View view;
    bool counter;
    char counterText[32];
    DetailLevel detail;
    float aspect;
  };
  static Shown last;
  static bool lastValid;
  if (!game.paused) {
    lastValid = false;
    return true;
  }
  fillScreenPicture();
  Shown now;
  memset(&now, 0, sizeof now);  // the padding too, for the comparison
  memcpy(&now.picture, &screenPicture, sizeof now.picture);
  memcpy(&now.game, &game, sizeof now.game);
  memcpy(&now.view, &world.view, sizeof now.view);
  now.counter = frameCounterShown();
  snprintf(now.counterText, sizeof now.counterText, "%s", now.counter ? frameCounterText() : "");
  now.detail = renderDetail;
  now.aspect = aspect;
  const bool changed = !lastValid || memcmp(&now, &last, sizeof now) != 0;
  memcpy(&last, &now, sizeof now);
  lastValid = true;
  return changed;
}

void runSoFar(char* out, int size) {
  const RunNow run = runNow();
  if (run.place > 0)
    snprintf(out, size, "This run: %d points, level %d, place %d", run.points, run.level,
             run.place);
  else if (run.points > 0)
    snprintf(out, size, "This run: %d points, level %d, not among the ten best", run.points,
             run.level);
  else
    snprintf(out, size, "This run: %d points, level %d", run.points, run.level);
}
