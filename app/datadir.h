// datadir.h: choosing the one folder the game reads its data files from.
//
// main calls chooseDataDir once, before any backend is chosen, and changes
// to the folder it gives; every data file is then named relative to it.
#pragma once

// Picks the data folder, in this order: the --data folder (dataOption, when
// not null); the environment variable VELKARRA3D_DATA (when set and not
// empty); the working directory when it holds settings.txt; the folder
// installed beside the binary (../share/games/velkarra3d from the
// executable's real path); then $XDG_DATA_HOME (default ~/.local/share) and
// each folder of $XDG_DATA_DIRS (default /usr/local/share:/usr/share), with
// games/velkarra3d appended, the first that holds settings.txt. The two
// explicit choices are taken as they are, without looking inside.
//
// On success writes the folder (made absolute where it can be resolved) to
// out and returns true. When no place qualifies, or the explicit folder's
// name does not fit in out, writes one line without the program name to
// error (listing the places looked in) and returns false. A looked-up
// candidate that does not fit in out is passed over.
bool chooseDataDir(const char* dataOption, char* out, int outSize, char* error, int errorSize);
