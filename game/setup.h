// setup.h: the world built from the settings file at start-up, and the
// models given back at the end.
//
// Start-up (app/startup.h) reads "settings.txt" (assets/settings.h) and calls
// setUpWorld; the renderer then compiles the display lists of what it
// loaded. Shutdown and a test's fresh world call releaseModels.
#pragma once

#include "assets/settings.h"

// Takes the tuning values, builds the terrain, loads, places, gives normals
// to and boxes the seven models, hands the model and box pointers to every
// slot of their pools and starts level 1. A missing or broken model or
// height map ends the process with one line and status 1.
void setUpWorld(const SettingsFile& file);

// Frees the seven models and their model-space boxes. The records keep their
// now dangling pointers.
void releaseModels();
