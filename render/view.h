// view.h: the projection and the view the picture is drawn from.
//
// The aim step and the missile camera (sim/) leave the view in world.view;
// drawFrame loads it with loadView before it draws. The window's reshape
// callback is onReshape. The light stays fixed in the world: loading the
// view places it again.
#pragma once

constexpr float lightPosition[4] = {7, 2, 5, 0};  // directional light, fixed in the world
extern float aspect;                              // window height / width

// How many pixels a pixel of the HUD's lines and dots takes: the window's
// height against the 600 rows they were drawn for, so that they keep their
// share of the picture at any size; exactly 1 at 600 rows.
float hudPixelScale();

// Loads world.view into the model-view matrix and places the light.
void loadView();

// The viewport and the perspective of a width x height window.
void onReshape(int width, int height);
