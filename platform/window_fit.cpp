// window_fit.cpp: fitting a window's size and place to the screen's work
// area.
#include "platform/window_fit.h"

#include <cstdint>

namespace {

// How far to move [low, high) so that it lies within [start, start + size):
// none when it does, or when it is larger.
int shiftOnto(int low, int high, int start, int size) {
  if (high - low > size) return 0;
  if (low < start) return start - low;
  return high > start + size ? start + size - high : 0;
}

}  // namespace

bool fitWindowSize(int width, int height, int areaWidth, int areaHeight, int frameWidth,
                   int frameHeight, int* fitWidth, int* fitHeight) {
  *fitWidth = width;
  *fitHeight = height;
  const int64_t roomWidth = areaWidth - frameWidth, roomHeight = areaHeight - frameHeight;
  if (width <= 0 || height <= 0 || roomWidth < 1 || roomHeight < 1) return false;
  if (width <= roomWidth && height <= roomHeight) return false;
  // The side that runs out of room first sets the scale: the height when
  // height / roomHeight >= width / roomWidth.
  int64_t w, h;
  if (static_cast<int64_t>(height) * roomWidth >= static_cast<int64_t>(width) * roomHeight) {
    h = roomHeight;
    w = width * roomHeight / height;
  } else {
    w = roomWidth;
    h = height * roomWidth / width;
  }
  *fitWidth = w > 0 ? static_cast<int>(w) : 1;
  *fitHeight = h > 0 ? static_cast<int>(h) : 1;
  return true;
}

int openAlong(int at, int size, int areaStart, int areaSize) {
  if (areaSize <= 0 || (at >= areaStart && at + size <= areaStart + areaSize)) return at;
  return size >= areaSize ? areaStart : areaStart + (areaSize - size) / 2;
}

int shiftAlong(int outerLow, int outerHigh, int low, int high, int areaStart, int areaSize) {
  return outerHigh - outerLow <= areaSize ? shiftOnto(outerLow, outerHigh, areaStart, areaSize)
                                          : shiftOnto(low, high, areaStart, areaSize);
}
