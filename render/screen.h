// screen.h: drawing the game's own screens (the pause menu, Options,
// Controls, High scores) over the frozen, dimmed scene, and finding the
// line under the pointer.
//
// The screens themselves (app/screens.h) fill screenPicture before every
// drawing: a title, a line under it, a table of rows in up to six columns
// with one row highlighted, a status line and a line of hints, and the
// game-over screen's line about the run. drawFrame (render.h) draws it:
// the pause menu below the note "Paused - press P", the other screens in
// the note's place. Everything is laid out in the plane of the HUD and
// scaled to fit the window's shape, so a screen looks the same from 640 x
// 480 to 2560 x 1440. Nothing here allocates.
#pragma once

#include <cstdint>

constexpr int screenRowsMax = 24;
constexpr int screenColumnsMax = 6;
constexpr int screenCellSize = 48;

enum ScreenRowStyle : uint8_t {
  rowText,    // a line to read
  rowItem,    // a line the player can choose
  rowMarked,  // a line to notice (the run in play among the high scores)
};

enum ScreenAlign : uint8_t { alignLeft, alignRight, alignCentre };

struct ScreenRow {
  ScreenRowStyle style;
  char cells[screenColumnsMax][screenCellSize];
};

struct ScreenPicture {
  bool shown;           // a screen is drawn
  bool underPauseNote;  // the pause menu: below the note, which stays
  char title[48];
  char subtitle[112];
  int columns;  // 1 to screenColumnsMax
  ScreenAlign align[screenColumnsMax];
  int rowCount;
  ScreenRow rows[screenRowsMax];
  int highlight;  // the row highlighted, or -1
  char status[160];
  char hint[128];
  // The game-over screen's line beneath its two, shown or not ("" for none).
  char runLine[112];
};

extern ScreenPicture screenPicture;

// Where the parts of the picture go, in the plane of the HUD (x from -1 to
// 1 across the window, y from -aspect to aspect upward).
struct ScreenLayout {
  float titleTop;
  float subtitleTop;
  float rowsTop;
  float pitch;  // from one row's top to the next
  float scale;  // of the rows, the subtitle, the status and the hints
  float statusTop;
  float hintTop;
  float left, right;  // of the rows
  float columnLeft[screenColumnsMax];
  float columnWidth[screenColumnsMax];
};

// The layout of picture in the window's shape now (render/view.h's aspect).
void layoutScreen(const ScreenPicture& picture, ScreenLayout* layout);

// The row of picture at the point (x, y) of the plane, or -1; *side is -1
// where x lies left of the middle of the row's last column, 1 right of it.
int screenRowAt(const ScreenPicture& picture, float x, float y, int* side);

// The shade of the scene while a screen is drawn: what is drawn between
// the two calls comes out dimmed. Then the screen itself.
void startScreenShade(const ScreenPicture& picture);
void endScreenShade();
void drawScreen(const ScreenPicture& picture);

// "Free camera - press G" at the top of the picture while the camera is
// free, in the pause note's glyphs, smaller.
void drawFreeCameraNote();
