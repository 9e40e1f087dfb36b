// text.h: the HUD's text, drawn with the texture font.
//
// The renderer's set-up loads "font.glf" into gameFont and its texture; the
// overlay and the game-over screen bind it, draw their lines and unbind it.
// Without a font (missing or bad file) nothing is drawn and the game runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/font.h"

extern TextureFont gameFont;
extern const TextureFont* currentFont;

// Reads the font file (assets/font.h) and uploads its image into the given
// texture, which stays bound. Returns false, with the font holding no glyph
// table and nothing uploaded, when the file is missing, short or has
// impossible sizes or glyph counts, and then says which in why (a few
// words, without the file's name).
bool loadFont(TextureFont* font, const char* fileName, uint32_t textureName, char* why,
              size_t whySize);

// Makes the font current if it has glyphs; binds its texture in any case.
void bindFont(const TextureFont* font);
void unbindFont();

// Draws text with its first glyph's top-left corner at (x, y, z), one quad
// per character; characters without a glyph are skipped. Nothing without a
// current font.
void drawText(const char* text, float x, float y, float z);

// A plain rectangle of the text's plane (z = 0) from (left, top) to (right,
// bottom), in the colour and texture state set: the boxes behind lines.
void drawPlaneRectangle(float left, float top, float right, float bottom);

// The width and the height of text as drawText draws it with the current
// font; 0 without one.
float textWidth(const char* text);
float textHeight();
