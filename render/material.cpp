// material.cpp: the material table and how a material is made current.
#include "render/material.h"

#include <GL/gl.h>

const Material materials[materialCount] = {
    {"plane", {0.5f, 0.5f, 0.5f, 1}, {0.5f, 0.5f, 0.5f, 1}, {0.5f, 0.5f, 0.5f, 1}, 60},
    {"trooper", {0.8f, 0.6f, 0.5f, 1}, {0.8f, 0.6f, 0.5f, 1}, {0.5f, 0.5f, 0.5f, 1}, 20},
    {"bomb", {0.35f, 0.27f, 0.16f, 1}, {0.35f, 0.27f, 0.16f, 1}, {0.7f, 0.7f, 0.7f, 1}, 50},
    {"shell", {0.75f, 0.75f, 0.75f, 1}, {0.75f, 0.75f, 0.75f, 1}, {0.7f, 0.7f, 0.7f, 1}, 50},
    {"chute", {0.2f, 0.9f, 0.1f, 1}, {0.2f, 0.9f, 0.1f, 1}, {0.2f, 0.2f, 0.2f, 1}, 20},
    {"cannon", {0.72f, 0.69f, 0.48f, 1}, {0.72f, 0.69f, 0.48f, 1}, {0.6f, 0.6f, 0.6f, 1}, 60},
    // The alpha of the terrain material is rewritten for every terrain vertex.
    {"terrain", {1, 1, 1, 1}, {1, 1, 1, 1}, {0.3f, 0.3f, 0.3f, 1}, 20},
};

void applyMaterial(const Material* material) {
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material->ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, material->diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, material->specular);
  glMaterialf(GL_FRONT, GL_SHININESS, material->shininess);
}

const char* materialName(MaterialId material) {
  return material < materialCount ? materials[material].name : "none";
}
