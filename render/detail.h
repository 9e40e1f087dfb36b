// detail.h: how much the renderer spends on the same picture.
//
// High detail draws the ground as the game always has: the sand texture with
// anisotropic filtering and a terrain list that sets the material at every
// vertex. Low detail is for software GL: plain mipmapping on the sand and a
// terrain list built from vertex arrays, with the opaque inner ground drawn
// without blending. The scene is the same and the simulation never looks at
// the level.
//
// Start-up calls chooseDetail once the GL context exists and before the
// textures load; the sand upload and the terrain list read renderDetail.
// Benchmarks and tests switch levels at run time with setDetail
// (render/resources.h).
#pragma once

#include <cstdint>

// How much the renderer spends on the picture. Auto picks low on a software
// renderer and high otherwise (--detail).
enum DetailLevel : uint8_t { detailAuto, detailHigh, detailLow };

// detailHigh or detailLow once chooseDetail has run.
extern DetailLevel renderDetail;

// Resolves the level asked for: detailAuto becomes low on a software
// renderer (GL_RENDERER naming llvmpipe, softpipe or swrast, which it says
// once on stderr) and high otherwise.
void chooseDetail(DetailLevel asked);

// Whether a GL_RENDERER string names one of Mesa's software renderers.
bool softwareRenderer(const char* renderer);

// Sets the minification filter and anisotropy of the bound mipmapped
// texture for the current level.
void applySandFiltering();
