// bitmaps.h: the generated pictures of the data set.
#pragma once

#include <string>

class DataFolder;

// ground.bmp, 384 x 384 grey: darker is higher (value 0 is height 2,
// 50 is 0, 255 is -8.2); the bottom scan line is the south edge.
void writeHeightMap(const DataFolder& folder);
// sand.bmp, 256 x 256, tiles seamlessly (it repeats every 10 units).
void writeSand(const DataFolder& folder);
// sky.bmp (1024 x 256 wall), sky_up.bmp (256 x 256 top cap) and
// ground_box.bmp (64 x 64 bottom cap), matching where they meet.
void writeSky(const DataFolder& folder);
// icon.png, 32 x 32 RGBA: a red gun sight on a transparent ground.
void writeIcon(const DataFolder& folder);

// The sizes of the desktop icons, in pixels.
constexpr int kDesktopIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The same sight for the desktop's icon theme: <folder>/<N>x<N>/apps/
// velkarra3d.png for each size N above. Throws WriteError.
void writeDesktopIcons(const std::string& folder);

// The height the map gives at a world point, for the default arena; used to
// fill the map and handy when checking it.
double terrainHeightAt(double x, double y, double arenaHalfSize);
