// autoplay.h: a player made of code. It takes the mouse and the game-over
// keys of the frame's input record (game/input.h) and plays: it leads the
// nearest bomb with the cannon, else the nearest plane, fires when the aim is
// on the lead point, launches the missile at far planes and steers it, and
// answers N on the game-over screen. The other keys stay the platform's, so
// p pauses and Esc quits as usual.
#pragma once

#include "game/input.h"

// Replaces the cursor, both buttons and the N and Y keys of the record.
void autoplayInput(FrameInput* in);

// How the autoplayer's game went so far, from the run's count
// (game/tally.h), the points of every level played included.
struct AutoplayScore {
  int32_t levelsCleared;
  int32_t points;  // of every level played, the current one included
  int32_t livesLost;
  int32_t frames;
};
AutoplayScore autoplayScore();

// One line on stdout: levels cleared, points, lives lost, frames and the
// game time in seconds.
void printAutoplaySummary();
