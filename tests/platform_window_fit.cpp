// platform_window_fit.cpp: the window-size rule without a display: a window
// larger than the work area shrinks to it, frame included, keeping its shape
// (rounded down); one that fits keeps its size and, where it lies outside
// the area, moves into it.
#include "gtest/gtest.h"
#include "platform/window_fit.h"

namespace {

TEST(WindowFit, LargerWindowsShrinkToTheAreaKeepingTheirShape) {
  struct Case {
    int width, height, areaWidth, areaHeight, frameWidth, frameHeight;
    int fitWidth, fitHeight;
  } const cases[] = {
      {800, 600, 1024, 768, 0, 0, 800, 600},       // fits: as asked
      {1024, 768, 1024, 768, 0, 0, 1024, 768},     // exactly the area
      {600, 900, 1280, 800, 0, 0, 533, 800},       // too tall: 533.3 rounds down
      {600, 900, 1280, 800, 2, 25, 516, 775},      // ...and room for openbox's frame
      {2000, 1000, 1024, 768, 0, 0, 1024, 512},    // too wide
      {2560, 1440, 1920, 1080, 0, 0, 1920, 1080},  // the same shape
      {16384, 120, 1024, 768, 0, 0, 1024, 7},      // the extreme shapes the options allow
      {160, 16384, 1024, 768, 0, 0, 7, 768},
      {100000, 1, 1024, 768, 0, 0, 1024, 1},  // never below one pixel
      {900, 900, 10, 10, 20, 20, 900, 900},   // no room at all: left as asked
  };
  for (const Case& c : cases) {
    int w = -1, h = -1;
    const bool shrunk = fitWindowSize(c.width, c.height, c.areaWidth, c.areaHeight, c.frameWidth,
                                      c.frameHeight, &w, &h);
    EXPECT_EQ(w, c.fitWidth) << c.width << "x" << c.height;
    EXPECT_EQ(h, c.fitHeight) << c.width << "x" << c.height;
    EXPECT_EQ(shrunk, w != c.width || h != c.height) << c.width << "x" << c.height;
  }
}

TEST(WindowFit, WindowsOpenAndMoveWithinTheArea) {
  // Along one side: asked at `at`, `size` pixels, in an area from `start`.
  EXPECT_EQ(openAlong(100, 800, 0, 1024), 100);  // where asked
  EXPECT_EQ(openAlong(50, 600, 100, 600), 100);  // under a top panel: as large as the area
  EXPECT_EQ(openAlong(50, 400, 100, 600), 200);  // ...or in its middle
  EXPECT_EQ(openAlong(900, 800, 0, 1024), 112);
  // The frame [outerLow, outerHigh) around the picture [low, high).
  EXPECT_EQ(shiftAlong(28, 773, 48, 768, 0, 768), -5);    // the frame sticks out below
  EXPECT_EQ(shiftAlong(-1, 1025, 0, 1024, 0, 1024), 0);   // only the picture fits, and does
  EXPECT_EQ(shiftAlong(40, 665, 60, 660, 100, 700), 60);  // above the area's top
  EXPECT_EQ(shiftAlong(0, 2000, 10, 1990, 0, 1024), 0);   // larger than the area: stays
}

}  // namespace
