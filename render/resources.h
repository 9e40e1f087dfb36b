// resources.h: what the renderer sets up for the whole run: the fixed GL
// state, the display lists (render/gl_objects.h), the textures with their
// pictures, and the font.
//
// Start-up calls setUpRenderer once the window and its GL context exist, and
// compileWorldLists once the world is set up from the settings; a fresh game
// in the same process calls releaseRenderer first. Benchmarks and tests
// switch the detail level at run time with setDetail.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "render/detail.h"

// Fixes the GL state (projection for a width x height window, depth test,
// smooth shading, the light and the light model, blending), loads the view
// the world holds, reserves the display lists and texture objects, and loads
// the font and the four textures. A missing texture bitmap ends the process
// with status 1; a bitmap of the wrong size or depth is converted.
void setUpRenderer(int width, int height);

// Compiles the terrain and the seven models of the world into their display
// lists.
void compileWorldLists();

// Compiles the model's triangles (normal, then vertex) in one GL_TRIANGLES
// batch into the display list `list`.
void compileModel(uint32_t list, const Model* model);

// Gives back the font's glyph table and puts back what drawing changed (the
// terrain material's alpha, the shard material), as at program start.
void releaseRenderer();

// Switches to another detail level at run time: the sand's filtering and the
// terrain list (when the terrain is built) follow.
void setDetail(DetailLevel level);
