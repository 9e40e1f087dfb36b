// keep.h: a run that the score table counts, recorded as it is played into
// the runs folder (session/runs.h), and kept there while its entry is.
//
// main starts keeping a run that keeps its score (played in a window with
// the platform's own input) before start-up writes the recording's header,
// and hands keepRun to atexit, so that however the run ends its recording
// is closed, its entry goes to the table, and the runs folder follows the
// table: the recording stays while the table names it, and goes when the
// run does not enter or is pushed out.
#pragma once

// Removes the recordings left by killed or crashed runs, claims this run's
// file in the runs folder, hands it to the recorder and names it for the
// run's entry. A folder that cannot be written gets one warning on stderr;
// the run then plays unrecorded.
void startKeepingRun();

// Closes the recording and keeps the run's score (session/scores.h); a
// recording that could not be written whole is removed and not named.
// Does the work once however often it is called.
void keepRun();

// For the High scores screen (app/screens.h): ends this run as its end
// would (its recording closed and, for a run that counts, its score kept)
// and puts in its place the same program watching entry `place` of the
// table (--watch-score N with this data folder). Returns only when that
// program cannot be started, false after one line on stderr.
bool watchScoreInstead(int place);
