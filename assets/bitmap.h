// bitmap.h: reading the game's BMP files at the shape the game draws them.
//
// The renderer loads the four textures and the terrain builder the height map
// through here. A bitmap of another depth or size is converted, so that no
// upload or sampling ever reads past the end of a smaller picture.
#pragma once

#include <FreeImage.h>

enum BitmapResult {
  bitmapLoaded,
  bitmapMissing,
  bitmapUnreadable,
  bitmapTooLarge,   // declares more than maxBitmapSide a side or maxBitmapPixels
  bitmapTruncated,  // uncompressed, and the file cannot hold the rows it declares
  bitmapUnconvertible
};

// Largest picture the game decodes; its header is read first and a larger
// one is refused before any pixel is.
constexpr unsigned maxBitmapSide = 16384;
constexpr unsigned maxBitmapPixels = 64u << 20;

// Prints the one line on stderr for a bitmap that loadBitmap24 did not
// load: "velkarra3d: cannot load the ROLE 'FOLDER/FILE': WHY", ROLE being
// what the game wanted it for ("texture", "height map"), FILE's full name
// (assets/data_files.h) and WHY one of the results above in words, with the
// size a refused header declares or the size a conversion aimed at.
void reportBitmapFailure(const char* role, const char* file, BitmapResult result, int width,
                         int height);

// Loads file as a BMP and returns it at 24 bits a pixel, width pixels wide
// and height lines high (or more lines when tallerIsFine), with rows packed
// at 4-byte alignment. Returns null and says why in *result otherwise.
// Bitmaps larger than the bounds above, and uncompressed ones too short for
// the size they declare, are refused before any pixel is decoded.
FIBITMAP* loadBitmap24(const char* file, int width, int height, bool tallerIsFine,
                       BitmapResult* result);
