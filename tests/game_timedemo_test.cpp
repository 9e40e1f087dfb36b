// Tests of the timed replay (--timedemo) and of the detail levels through
// the real binary: the replay plays the very game of the plain scripted
// run, reports one summary line, and the default detail on this software
// renderer is low, says so once and does not stall.
#include <GL/gl.h>

#include <cstdio>
#include <sstream>

#include "game_support.h"
#include "platform/platform.h"
#include "render/detail.h"

namespace {

class Timedemo : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    dir_ = dataDir();
  }
  ProcessResult headless(std::vector<std::string> args) {
    args.insert(args.begin(), {"--headless", "--data", dir_, "--seed", "7"});
    return runGame(args);
  }
  std::string path(const char* name) { return dir_ + "/" + name; }
  std::string dir_;
};

size_t countOf(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}

TEST_F(Timedemo, ReplaysThePlainRunsGameAndSummarisesItInOneLine) {
  // Firing, the missile and a pause: the frames end at the script's last event.
  writeFile(path("s.txt"),
            "2 move -40 -60\n3 down lbutton\n30 up lbutton\n40 tap rbutton\n45 move 30 -10\n"
            "60 char p\n64 char p\n80 move 0 0\n");
  ProcessResult plain = headless({"--input", path("s.txt"), "--frames", "80", "--trace",
                                  path("plain.jsonl"), "--detail", "high"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  ProcessResult timed =
      headless({"--timedemo", path("s.txt"), "--trace", path("timed.jsonl"), "--detail", "low"});
  ASSERT_EQ(timed.status, 0) << timed.err;
  EXPECT_EQ(readFile(path("plain.jsonl")), readFile(path("timed.jsonl")));
  EXPECT_EQ(plain.out, "");

  int frames = 0;
  double seconds, fps, um, u95, dm, d95;
  ASSERT_EQ(sscanf(timed.out.c_str(),
                   "timedemo: %d frames, %lf s, %lf frames/s; update median %lf ms, p95 %lf ms; "
                   "draw median %lf ms, p95 %lf ms\n",
                   &frames, &seconds, &fps, &um, &u95, &dm, &d95),
            7)
      << timed.out;
  EXPECT_EQ(countOf(timed.out, "\n"), 1u) << timed.out;
  EXPECT_EQ(frames, 79) << "the first frame is left out";
  EXPECT_GT(seconds, 0);
  EXPECT_NEAR(fps, frames / seconds, 0.01 * fps + 0.1);
  EXPECT_LE(um, u95);
  EXPECT_LE(dm, d95);
  EXPECT_GT(dm, 0) << "drawing takes time";

  // --frames still bounds a timedemo; an Esc in the script ends it with
  // status 1 and the summary all the same.
  writeFile(path("esc.txt"), "5 down esc\n50 move 1 1\n");
  ProcessResult esc = headless({"--timedemo", path("esc.txt")});
  EXPECT_EQ(esc.status, 1);
  EXPECT_EQ(esc.out.rfind("timedemo: 3 frames", 0), 0u) << esc.out;
  ProcessResult bounded = headless({"--timedemo", path("esc.txt"), "--frames", "3"});
  EXPECT_EQ(bounded.status, 0);
  EXPECT_EQ(bounded.out.rfind("timedemo: 2 frames", 0), 0u) << bounded.out;
}

// Whether the headless context of this machine is one of Mesa's software
// renderers, as the game will find it.
bool headlessIsSoftware() {
  platInitHeadless(0, 16);
  platCreateWindow("Velkarra3D", 100, 50, 800, 600);
  return softwareRenderer(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}

TEST_F(Timedemo, DefaultDetailIsLowOnSoftwareGlSaidOnceAndAimsAboveTheDunesDoNotStall) {
  // These two moves aim just above the dunes, where high detail's filtering
  // takes seconds to minutes a frame on this renderer.
  writeFile(path("s.txt"), "1 move -1644 -3000\n2 move 0 236\n");
  ProcessResult r = headless({"--input", path("s.txt"), "--frames", "30"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(countOf(r.err, "--detail low"), headlessIsSoftware() ? 1u : 0u) << r.err;
  ProcessResult high = headless({"--frames", "2", "--detail", "high"});
  ASSERT_EQ(high.status, 0) << high.err;
  EXPECT_EQ(high.err.find("--detail low"), std::string::npos) << high.err;
}

}  // namespace
