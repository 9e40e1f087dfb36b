// view.h: the projection and the view the picture is drawn from.
//
// The aim step and the missile camera (sim/) leave the view in world.view;
// drawFrame loads it with loadView before it draws. The window's reshape
// callback is onReshape. The light stays fixed in the world: loading the
// view places it again.
#pragma once

constexpr float lightPosition[4] = {7, 2, 5, 0};  // directional light, fixed in the world
extern float aspect;                              // window height / width

// Loads world.view into the model-view matrix and places the light.
void loadView();

// The viewport and the perspective of a width x height window.
void onReshape(int width, int height);
