// startup.h: starting a game: the window, the renderer and the world.
//
// main() calls startGame after it has chosen the platform backend and the
// data folder, then enters the platform's main loop. Tests, benchmarks and
// the soak start fresh games in one process with resetGame.
#pragma once

// Opens the window, registers the callbacks, sets up the renderer (GL state,
// font, textures), hides and centres the cursor and builds the world with
// loadSettings. A missing texture bitmap ends the process with status 1 and
// one line naming it; a bitmap of the wrong size or depth is converted.
void startGame();

// Reads "settings.txt" and builds the world from it: the tuning values, the
// terrain, the seven models with their boxes and display lists, and level 1.
// A missing or broken file ends the process with one line and status 1.
void loadSettings();

// Frees what an earlier game of this process loaded (models, boxes, terrain,
// font) and puts every record of the game back as at program start: the
// world, the settings, the frame clock and the input sources.
void resetGame();
