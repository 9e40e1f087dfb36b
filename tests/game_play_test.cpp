// Whole games played through real frames: a level won by aiming with the
// mouse and firing, and a game lost to bombs, answered with N and with Y.
#include <cmath>

#include "app/frame.h"
#include "game/input.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/view.h"

namespace {

class Play : public GameTest {};

// Mouse steps that turn the aim from where it is towards (yaw, pitch):
// moving left raises the yaw, moving up raises the pitch, 0.005 a pixel.
void aimAt(float yaw, float pitch) {
  float dYaw = remainderf(yaw - camera.yaw, static_cast<float>(2 * M_PI));
  int dx = static_cast<int>(lroundf(-dYaw / 0.005f));
  int dy = static_cast<int>(lroundf(-(pitch - camera.pitch) / 0.005f));
  headlessMoveCursor(dx, dy);
}

// Aims ahead of the nearest plane so that a shell fired now meets it.
bool leadNearestPlane() {
  const Plane* target = nullptr;
  float best = 1e9f;
  for (const Plane& p : planes) {
    float d = std::sqrt(p.pos.x * p.pos.x + p.pos.y * p.pos.y + p.pos.z * p.pos.z);
    if (p.active && d < best) best = d, target = &p;
  }
  if (!target) return false;
  Vec3 aim = target->pos;
  for (int i = 0; i < 4; i++) {
    float t = std::sqrt(aim.x * aim.x + aim.y * aim.y + aim.z * aim.z) / settings.shellSpeed;
    aim = {target->pos.x + target->vel.x * t, target->pos.y + target->vel.y * t, target->pos.z};
  }
  aimAt(atan2f(aim.y, aim.x), atan2f(aim.z, std::hypot(aim.x, aim.y)));
  return true;
}

TEST_F(Play, ALevelIsWonByAimingAndFiring) {
  start({}, 3);
  ASSERT_EQ(game.level, 1);
  int planesAtStart = game.planesLeft;
  headlessKeyDown(platLButton);
  int frames = 0;
  while (game.level == 1 && frames < 60 * 60) {  // a minute of play
    leadNearestPlane();
    runFrames(1);
    frames++;
    ASSERT_EQ(game.gameOver, 0) << "lost at frame " << frames;
  }
  headlessKeyUp(platLButton);
  EXPECT_EQ(game.level, 2) << "still at level 1 after " << frames << " frames";
  EXPECT_EQ(game.planesLeft, planesAtStart + 1);
  EXPECT_EQ(game.points, 0) << "points start again at every level";
  std::vector<std::string> heard = sounds();
  int downed = 0;
  for (const std::string& s : heard) downed += s == "s\\exp_plane.wav";
  EXPECT_EQ(downed, planesAtStart);
  EXPECT_EQ(heard.back(), "s\\tada.wav");
}

// Bombs every tenth of a second from every plane: the lives run out fast.
std::map<int, std::string> bombRain() {
  return {{setting("bombDropMin"), "0.1"},    {setting("bombDropMax"), "0.2"},
          {setting("planesBase"), "4"},       {setting("bombSpeed"), "20"},
          {setting("trooperDropMin"), "100"}, {setting("trooperDropMax"), "100"}};
}

TEST_F(Play, LostToBombsThenNReplaysTheLevel) {
  start(bombRain(), 9);
  int frames = 0;
  while (!game.gameOver && frames < 3000) {
    runFrames(1);
    frames++;
  }
  ASSERT_EQ(game.gameOver, 1);
  EXPECT_LE(game.lives, 0);
  EXPECT_EQ(game.level, 0);
  std::vector<std::string> heard = sounds();
  int hits = 0;
  for (const std::string& s : heard) hits += s == "s\\TnkDes.wav";
  EXPECT_GE(hits, settings.livesPerLevel);
  EXPECT_EQ(heard.back(), "s\\game_over.wav");

  headlessKeyTap('N');
  runFrames(1);
  EXPECT_EQ(game.gameOver, 0);
  EXPECT_EQ(game.level, 1);
  EXPECT_EQ(game.lives, settings.livesPerLevel);
  EXPECT_EQ(game.planesLeft, 4);
}

TEST_F(Play, LostToBombsThenYEndsTheGame) {
  std::string dir = dataDir(bombRain());
  writeFile(dir + "/input.txt", "# Y is read only on the game-over screen\n1 down y\n");
  std::string trace = dir + "/trace.jsonl";
  ProcessResult r = runGame({"--headless", "--data", dir, "--seed", "9", "--input",
                             dir + "/input.txt", "--trace", trace, "--frames", "3000"});
  EXPECT_EQ(r.status, 1) << r.err;
  std::string lines = readFile(trace);
  std::string last = lines.substr(lines.rfind("{\"frame\":"));
  EXPECT_NE(last.find("\"gameOver\":1,"), std::string::npos) << last;
  EXPECT_NE(last.find("\"exit\":1}"), std::string::npos) << last;
  EXPECT_NE(lines.find("s\\\\game_over.wav"), std::string::npos);
}

}  // namespace
