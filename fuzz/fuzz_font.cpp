// fuzz_font.cpp: libFuzzer target for the texture font reader. The input is
// the file; a font that loads has every glyph of its code range looked up,
// as drawing text would.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!file) return 0;
  TextureFont font = {};
  unsigned char* image = nullptr;
  bool ok = readFont(file, &font, &image);
  fclose(file);
  if (!ok) return 0;
  float width = 0;
  for (int32_t code = font.firstChar; code <= font.lastChar; code++)
    width += font.glyphs[code - font.firstChar].width;
  // The image's last texel must be there to be uploaded.
  volatile unsigned char last = image[static_cast<size_t>(font.width) * font.height * 2 - 1];
  (void)last;
  (void)width;
  free(image);
  freeFont(&font);
  return 0;
}
