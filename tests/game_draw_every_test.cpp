// --draw-every: skipping the drawing of frames must change nothing but the
// pixels of the skipped frames; the last frame is drawn all the same.
#include "game_support.h"

namespace {

class DrawEvery : public GameTest {};

TEST_F(DrawEvery, SkippedDrawsLeaveTheGameAndTheLastPictureAlone) {
  std::string dir = dataDir();
  writeFile(dir + "/input.txt", "2 move -40 -60\n3 down lbutton\n20 tap rbutton\n25 move 30 0\n");
  auto run = [&](const char* every, const char* name) {
    std::vector<std::string> args = {"--headless",
                                     "--data",
                                     dir,
                                     "--seed",
                                     "3",
                                     "--frames",
                                     "37",
                                     "--input",
                                     dir + "/input.txt",
                                     "--trace",
                                     dir + "/" + name + ".jsonl",
                                     "--screenshot",
                                     dir + "/" + name + ".png"};
    if (every) args.insert(args.end(), {"--draw-every", every});
    ProcessResult r = runGame(args);
    EXPECT_EQ(r.status, 0) << r.err;
  };
  run(nullptr, "all");
  run("10", "some");
  EXPECT_EQ(readFile(dir + "/all.jsonl"), readFile(dir + "/some.jsonl"));
  EXPECT_EQ(readFile(dir + "/all.png"), readFile(dir + "/some.png"));
  ProcessResult r = runGame({"--draw-every", "5"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "velkarra3d: --draw-every works only with --headless\n");
}

}  // namespace
