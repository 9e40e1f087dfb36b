// world_options.h: the world options (the rows of optionRows marked as
// changing the world) between the run's options, the world record and the
// recording.
//
// Start-up puts them in the world and writes each into the recording's
// header; a replay takes its recording's header in their place and applies
// each option line of the recording from the frame after it, through the
// same calls. Each goes through the option table by name and value text, so
// that a new world option is one row of the table and nothing else.
#pragma once

#include "session/replay.h"

// Whether `value` is a good value of the world option called `name`. On a
// fault, false and the reason in why ("mouse-sensitivity takes a number from
// 0.1 to 10, not '11'"). The replay's reader checks every option line so.
bool checkWorldOption(const char* name, const char* value, char* why, int whySize);

// Sets the world option called name (checked already) for the rest of the
// run: in the run's options, in the world record at once, and in the
// recording, when one is open, as an option line before the next frame's.
// Called between two frames, so that it applies from the next frame on.
void changeWorldOption(const char* name, const char* value);

// The recording's header options in place of the run's own: every world
// option back to its default, then each of the header's in turn. For a
// replay, before start-up.
void takeRecordedWorldOptions();

// Writes every world option in force into the recording (its header, at
// start-up).
void recordWorldOptions();

// The rules a replay reads its option lines by: checkWorldOption and
// changeWorldOption.
extern const ReplayOptionRules worldOptionRules;
