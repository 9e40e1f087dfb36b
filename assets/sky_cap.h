// sky_cap.h: how the sky's cap pictures (sky_up.bmp, ground_box.bmp) lie on
// the caps of the sky cylinder.
//
// A cap is a fan of skyCapSegments triangles around its centre: rim vertex k
// lies at the angle k * skyCapAngleStep from +x (anticlockwise, seen from
// above) and takes the texture coordinates (skyCapS[k], skyCapT[k]), once
// around the border of the texture square, four steps a side, starting at
// (0, 0); the centre takes (0.5, 0.5). The renderer draws the caps so
// (render/sky.cpp), and the data tool paints sky_up.bmp through the same
// fan (tools/sky.cpp), so that its clouds run on across the fan's seams.
#pragma once

constexpr int skyCapSegments = 16;
constexpr float skyCapAngleStep = 0.39269912f;  // 2 pi / 16

constexpr float skyCapS[skyCapSegments + 1] = {0,     0.25f, 0.5f,  0.75f, 1, 1, 1, 1, 1,
                                               0.75f, 0.5f,  0.25f, 0,     0, 0, 0, 0};
constexpr float skyCapT[skyCapSegments + 1] = {0, 0, 0, 0, 0,     0.25f, 0.5f,  0.75f, 1,
                                               1, 1, 1, 1, 0.75f, 0.5f,  0.25f, 0};
