// bench_world.h: the worlds the benchmarks run: the game started headless
// from the default data set, with every pool full or with nothing flying.
#pragma once

#include "game/world.h"

// 32 planes, 32 troopers, 32 bombs, 16 shells, 128 shards and the missile,
// placed so that nothing touches anything (every hit test runs to its end).
extern World full;
// Sky, terrain, cannon and HUD only: every pool empty.
extern World empty;

// Starts the game once per process (headless, seed 1, the default data set)
// and fills both snapshots.
void setUpWorlds();
