// detail.cpp: choosing the detail level and the sand texture's filtering.
#include "render/detail.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

#include "base/program.h"

DetailLevel renderDetail = detailHigh;

bool softwareRenderer(const char* renderer) {
  if (!renderer) return false;
  static const char* const names[] = {"llvmpipe", "softpipe", "swrast"};
  for (const char* name : names)
    if (strstr(renderer, name)) return true;
  return false;
}

void chooseDetail(DetailLevel asked) {
  if (asked != detailAuto) {
    renderDetail = asked;
    return;
  }
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (softwareRenderer(renderer)) {
    renderDetail = detailLow;
    fprintf(stderr,
            "%s: software renderer (%s): drawing with --detail low (--detail high forces "
            "full detail)\n",
            programName, renderer);
  } else {
    renderDetail = detailHigh;
  }
}

void applySandFiltering() {
  GLfloat largest = 1;
  glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
  if (largest < 1) largest = 1;  // no extension: the query leaves 1 or fails
  if (renderDetail == detailLow) {
    // One bilinear lookup in the nearest mipmap level: the sampler
    // software GL runs fastest, and on this grainy sand no visible change.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    if (largest > 1) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
  } else {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, largest < 4 ? largest : 4.0f);
  }
}
