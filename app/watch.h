// watch.h: watching a recording in the window (--watch, --watch-score) at
// its own pace, with the watcher's controls, none of which reaches the
// world.
//
// main opens the recording as a replay (session/replay.h), as for
// --headless --input, and after start-up hands the frame timer to the
// watcher with startWatching. Each tick then reads the watcher's keys and
// pad, moves the playhead on by the time passed at the chosen speed, runs
// every recorded frame that is due through the frame loop (app/frame.h),
// drawing only the last, and sets the line and the help that the picture
// shows (render/replay_hud.h). The frames are the replay's, so the world
// and its trace are exactly those of the headless replay.
//
// Keys: Space pauses and resumes; + and - (Up and Down) step the speed
// through watchSpeeds; Right skips 10 s of recorded time (its frames run
// undrawn and unheard); Home starts again from the first frame, the world
// as it was then; M turns the sound off and on; F1 shows the help; Esc
// ends with status 0. The pad: Start pauses, A skips, the shoulders step
// the speed, Back ends.
#pragma once

// Keeps the world of start-up for Home, takes the keyboard away from the
// world and arms the first tick, at the speed of --speed.
void startWatching();

// The timer callback while watching.
void watchTick(int value);
