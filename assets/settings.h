// settings.h: reading "settings.txt" and building the world from it.
//
// Start-up calls loadSettings once, after the GL context, the display lists
// and the textures exist. It seeds the random generator, reads the tuning
// values in their fixed order, builds the terrain, loads, places, boxes and
// compiles the seven models, hands the model and box pointers to every pool
// slot and starts level 1.
#pragma once

// Ends the process with one line on stdout naming the file and the value
// that failed, and status 1, when "settings.txt" is missing, unreadable,
// ends early or holds a value of the wrong form.
void loadSettings();
