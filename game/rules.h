// rules.h: the level cycle and the game's modes: the start of a level, the
// game-over and level-cleared rules, the answer N, and the keys that pause
// the game and free the camera.
//
// Start-up starts level 1; the frame loop applies the rules after the
// updates, answers the game-over screen, and hands each key event to
// applyKeyEvent (so does a replay, for each recorded character).
#pragma once

// Sets up the opening position of the next level: lives, a fresh wave of
// planesBase + level planes (capped at the pool size), empty pools, points 0.
void startLevel();

// The lives are gone: the game-over screen waits for Y or N.
void loseGame();

// The last plane of the level is down: the next level starts.
void clearLevel();

// N on the game-over screen: the lost level starts again.
void replayLevel();

// The window's focus in this frame: with the option pause-on-focus-loss
// (game/input.h), a window that goes inactive during play pauses the game,
// and it stays paused until p. The frame loop calls it once a frame,
// before the clock moves.
void noteFocus(bool active);

// What a key event does: p (or P, with Shift or Caps Lock) toggles the
// pause, any key with G down toggles the camera lock.
void applyKeyEvent(unsigned char key, bool gDown);
