// startup.h: start-up and shutdown of the game, and the render resources
// start-up creates for the whole run.
//
// main() calls startGame after it has chosen the platform backend and the
// data folder, then enters the platform's main loop. shutdown ends the
// process with status 1 (Esc, or Y on the game-over screen).
#pragma once

#include <cstdint>

// Display lists: one block of eight consecutive names, in this order.
extern uint32_t planeList, cannonList, missileList, shellList, bombList, chuteList, trooperList,
    terrainList;
// Texture objects.
extern uint32_t sandTexture, skyTexture, skyCapTexture, fontTexture, groundBoxTexture;

// Opens the window, registers the callbacks, fixes the GL state, loads the
// font and the four textures, hides and centres the cursor and builds the
// world with loadSettings. A missing texture bitmap ends the process with
// status 1; a bitmap of the wrong size or depth is converted.
void startGame();

// Releases the models, their boxes and the font, and ends the process with
// status 1. Does not return.
[[noreturn]] void shutdown();

// Reads "settings.txt" and builds the world from it: the tuning values, the
// terrain, the seven models with their boxes and display lists, and level 1.
// A missing or broken file ends the process with one line and status 1.
void loadSettings();

// Releases the seven models, their model-space boxes and the font's glyph
// table (display lists, textures and the terrain stay until the process
// ends). The records keep their now dangling pointers.
void releaseAssets();

// Ends the process with the given status, after writing the trace line of
// the frame that ended it (with the status) and the screenshot, if one was
// asked for.
[[noreturn]] void endProcess(int status);

// Saves what the window shows as the screenshot file's name with the frame
// number added ("shot.png" gives "shot-000120.png"); nothing without
// --screenshot.
void saveFrameShot(int32_t frame);

// Ends a run at the frame limit the user asked for: writes the screenshot,
// if one was asked for, and exits with status 0 (1 if the screenshot could
// not be written).
[[noreturn]] void endRun();
