// replay_hud.h: the lines a watched recording shows over the picture: one
// line at the top ("Replay 2x 1:23 / 5:10") and, on F1, a box of help
// lines in the middle.
//
// The watcher (app/watch.h) sets the text before each picture; drawFrame
// draws it last, over the world, the overlay and the game-over screen.
// Nothing is drawn while no line is set, so a game that is played shows
// none of it.
#pragma once

constexpr int replayHelpLineCount = 8;

// The top line (null or empty: none), and whether the help box shows.
// The text is copied.
void setReplayHud(const char* line, bool helpShown);

// The help box's lines, for the watcher to set once: each a key and what
// it does, split at a tab into two columns.
void setReplayHelp(const char* const (&lines)[replayHelpLineCount]);

void drawReplayHud();
