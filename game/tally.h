// tally.h: what a run has scored so far, counted by watching the world once
// a frame: the levels cleared and the points banked at each, the points of
// lost levels banked when N plays them again, the lives lost, and the
// highest level reached.
//
// The input step (app/source.h) looks once a frame, before the frame
// changes the world; the autoplayer's summary (session/autoplay.h) and the
// score table (session/scores.h) read the count.
#pragma once

#include <cstdint>

#include "game/world.h"

// Compares the world with the last look: a higher level straight from play
// is a cleared level, fewer lives are lives lost; the points of a level are
// banked when it is cleared or replayed.
void tallyFrame();

// The count as of the last look.
RunTally runTally();

// The count with what the world shows now folded in, without a look of its
// own: for the end of a run, which may come after the last look.
RunTally runTallyNow();
