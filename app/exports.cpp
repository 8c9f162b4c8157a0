#include "app/exports.h"

#include <GL/glut.h>

#include <cstdint>
#include <cstdio>
#include <new>

#include "app/app_state.h"
#include "app/window_readback.h"
#include "app/windows.h"
#include "export/bmp_writer.h"
#include "noise/height_field.h"
#include "render/colour_scale.h"

static_assert(kHeightFieldSize == kStlGridSize, "the solid is one grid point per sample");

std::string BmpFileName(int octaveIndex, int turbulence, int colorScale) {
  char letter;
  switch (colorScale) {
    case kRainbow: letter = 'R'; break;
    case kClouds: letter = 'S'; break;
    case kFire: letter = 'Y'; break;
    default: letter = 'G'; break;
  }
  char name[512];
  snprintf(name, sizeof name, "image%03d%c%c.bmp", octaveIndex + 1, turbulence ? 'T' : 'N',
           letter);
  return name;
}

std::string StlFileName(int octaveIndex, int turbulence) {
  char name[512];
  snprintf(name, sizeof name, "noise%03d%c.stl", octaveIndex + 1, turbulence ? 'T' : 'N');
  return name;
}

void SampleStlGrid(const NoiseSettings& settings, StlColours rgb) {
  // 320 KB: static rather than on the stack of a GLUT callback.
  static HeightField field;
  SampleHeightField(settings, &field);
  LoadStlGrid(field.height);
  for (int i = 0; i < kStlGridSize; i++)
    for (int j = 0; j < kStlGridSize; j++) HeightColour(field.sum[i][j], rgb[i][j]);
}

void WriteBmp() {
  glutSetWindow(App.textureWindow);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows back to back, no gaps
  glReadBuffer(GL_FRONT);               // what the window shows now
  const int width = glutGet(GLUT_WINDOW_WIDTH);
  const int height = glutGet(GLUT_WINDOW_HEIGHT);
  if (!CheckBmpWindowSize(width, height, stderr)) return;

  // Sizes were checked to fit 32 bits, so this product cannot wrap.
  const size_t size = static_cast<size_t>(width) * 3 * static_cast<size_t>(height);
  uint8_t* pixels = new (std::nothrow) uint8_t[size];
  if (pixels == nullptr) {
    fprintf(stderr, "WriteBmp() cannot allocate the temporary array!\n");
    return;
  }
  if (!ReadShownWindow(width, height, pixels)) {
    // The server cannot give the window (part of it lies off the screen, say)
    // and a software renderer may not keep a front buffer to read. Draw the
    // same picture once more into the back buffer and read that: the same
    // image at the same size, never shown.
    DrawTexture();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glReadBuffer(GL_FRONT);
  }

  SaveBmp(BmpFileName(App.noise.octaveIndex, App.noise.turbulence, App.colourScale), pixels, width, height,
          stderr);
  delete[] pixels;
}

void WriteStl() {
  // 480,000 bytes: static rather than on the stack of a GLUT callback.
  static StlColours rgb;
  SampleStlGrid(App.noise, rgb);
  SaveStl(StlFileName(App.noise.octaveIndex, App.noise.turbulence), rgb, stderr);
}
