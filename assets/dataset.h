// dataset.h: the hash that names a data set by the files its world is
// built from: "settings.txt", the seven models it names and "ground.bmp".
//
// A recording (session/replay.h) carries the hash of the data set it was
// played on, and start-up refuses to replay it on another, whose world
// would drift from the run. Textures, sounds and the font change only what
// is seen and heard, so they are not part of it.
#pragma once

#include <cstdint>

// Hashes the files of the data set in the working folder (64-bit FNV-1a,
// in a fixed order, over each file's name and bytes and their count; over
// settings.txt's words, whatever blanks stand between them). False with
// one line in why ("plane.off: cannot open: ...") when one of them cannot
// be read.
bool hashDataSet(uint64_t* hash, char* why, int whySize);
