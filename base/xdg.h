// xdg.h: the player's own folders, as the XDG base-directory rules name them,
// and making a folder with its parents.
//
// The configuration file (app/config.h) and the controller mappings
// (devices/pads.h) live under the config home, the
// score table (session/scores.h) and the screenshots (app/comforts.h) under
// the data home.
#pragma once

#include <cstddef>

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or relative (a
// relative path is ignored, as the rules ask), with "/velkarra3d" appended:
// the game's folder there. False when neither the variable nor $HOME gives
// an absolute path, or the result does not fit in out.
bool xdgConfigFolder(char* out, size_t size);

// The same under $XDG_DATA_HOME, or ~/.local/share.
bool xdgDataFolder(char* out, size_t size);

// Makes the folder and any missing parent (mode 0755 less the umask). False
// with errno set when a part cannot be made or is not a folder.
bool makeFolders(const char* path);
