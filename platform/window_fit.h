// window_fit.h: where and at what size a window opens on the screen, as the
// windowed backend decides it (private to platform/; the headless tests call
// it directly).
//
// Everything happens within the screen's work area: what a window manager
// leaves free of its panels (_NET_WORKAREA), or the whole screen. A window
// asked larger than the area is made to fit it, its frame included, keeping
// its shape; a window that fits is placed where asked when it lies there
// wholly, and moved just far enough to lie wholly in the area otherwise.
#pragma once

// A rectangle of the screen: its left and top pixel and its size.
struct PlatArea {
  int x, y, width, height;
};

// The size a window of width x height opens at in an area of areaWidth x
// areaHeight pixels, with a frame of frameWidth and frameHeight pixels
// around it (left and right, top and bottom together): width x height when
// the frame fits around it, otherwise the largest size of the same shape,
// rounded down, that does (at least 1 x 1). True when it had to shrink.
bool fitWindowSize(int width, int height, int areaWidth, int areaHeight, int frameWidth,
                   int frameHeight, int* fitWidth, int* fitHeight);

// Where a window of `size` pixels asked for at `at` opens along one side of
// an area starting at areaStart of areaSize pixels: where asked when it
// lies in the area there, otherwise in the middle, or at areaStart when it
// is as large as the area or larger.
int openAlong(int at, int size, int areaStart, int areaSize);

// How far to move a window along one side so that it lies in an area
// starting at areaStart of areaSize pixels: its frame [outerLow, outerHigh)
// where that fits, otherwise its picture [low, high); nothing when it lies
// there already, or when even the picture is larger than the area.
int shiftAlong(int outerLow, int outerHigh, int low, int high, int areaStart, int areaSize);
