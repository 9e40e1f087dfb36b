// comforts.h: the player's own keys, which leave the world alone: F11 and
// Alt+Enter toggle full screen, F12 saves a screenshot, F9 shows or hides
// the frame counter, M turns the sound off and on.
//
// Start-up sets the sound and the counter from the options; the frame loop
// hands every frame's input record to applyComfortKeys, on the game-over
// screen and while paused too. None of it changes the world or its trace.
//
// F12, F11 and Alt+Enter write files or change the desktop, so they act
// only where the player's own hands play (desktopKeysAct, app/source.h); a
// replay, a
// watched recording, the autoplayer or a timedemo repeats what was pressed
// without doing it again. F9 and M act in every run.
#pragma once

#include <cstddef>
#include <ctime>

#include "game/input.h"

// The volume (--volume, or silence with --mute) and the frame counter
// (--show-fps) as the options ask.
void startComforts();

// Counts the frame for the counter and acts on the keys pressed since the
// previous frame: F9 and M always, F12, F11 and Alt+Enter when desktopKeys
// (the frame loop passes desktopKeysAct()).
void applyComfortKeys(const FrameInput& in, bool desktopKeys);

// The same comforts as the Options screen sets them (app/screens.h): the
// sound off or on and its volume, full screen or the window, and whether
// each is so now (M and F11 change them too).
bool soundMuted();
void setSoundMuted(bool muted);
void setSoundVolume(int percent);
bool fullScreenNow();
void setFullScreen(bool on);
// Silence while a watched recording skips ahead (the sound playing stops),
// then the volume in force again.
void holdSound(bool hold);

// Saves what the window shows as
// FOLDER/velkarra3d-YYYYMMDD-HHMMSS[-N].png, FOLDER being the screenshots
// folder under the data home (base/xdg.h), made when missing; N counts up
// from 1 past names already taken, so no file is ever replaced. Prints the
// path as one line on stdout; on failure one line on stderr and false.
bool saveScreenshotNow();

// Creates the first free name of that form in folder for the time `when`,
// as an empty file that nobody else can claim; false when none can be made.
bool claimScreenshotName(const char* folder, const tm& when, char* out, size_t size);
