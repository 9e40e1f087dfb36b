// tally.cpp: the run's count, from one look at the world per frame.
#include "game/tally.h"

#include "game/clock.h"
#include "game/world.h"

namespace {

// Folds the world as it is now into w.
void look(RunWatch* w) {
  if (!w->started) {
    *w = RunWatch{true, game.level, game.lives, 0, game.planesLeft, 0, {}};
    w->count.startMs = lastTickMs;
  }
  RunTally& tally = w->count;
  const bool cleared = game.level > w->level && !w->gameOver;
  if (cleared) tally.levelsCleared += game.level - w->level;
  // The level start of a cleared level zeroes the points in the frame that
  // downed its last planes: those planes are counted here.
  if (cleared) tally.clearedPoints += w->points + settings.pointsPerPlane * w->planesLeft;
  if (w->gameOver && !game.gameOver) tally.replayedPoints += w->points;
  if (game.lives < w->lives && game.level <= w->level) tally.livesLost += w->lives - game.lives;
  if (game.level > tally.highestLevel) tally.highestLevel = game.level;
  w->level = game.level;
  w->lives = game.lives;
  w->points = game.points;
  w->planesLeft = game.planesLeft;
  w->gameOver = game.gameOver;
  tally.points = game.points;
}

}  // namespace

void tallyFrame() {
  look(&world.tally);
  world.tally.count.frames++;
}

RunTally runTally() {
  RunTally tally = world.tally.count;
  tally.points = world.tally.points;
  return tally;
}

RunTally runTallyNow() {
  RunWatch now = world.tally;
  look(&now);
  return now.count;
}
