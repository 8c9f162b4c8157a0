#include "render/texture_image.h"

#include "render/colour_scale.h"

TextureRow NoiseTexture[kTextureSize];

void FillTextureImageReference(TextureRow* image, const NoiseSettings& settings,
                               int colourScale, const Lattice& lattice) {
  for (int i = 0; i < kTextureSize; i++) {
    for (int j = 0; j < kTextureSize; j++) {
      NoiseColourBytes(FractalNoise2D(i, j, settings, lattice), colourScale, image[i][j]);
    }
  }
}


void FillTextureOctavesReference(TextureRow* image, const NoiseSettings& settings,
                                 int firstOctave, int colourScale, const Lattice& lattice,
                                 float* values) {
  for (int i = 0; i < kTextureSize; i++) {
    for (int j = 0; j < kTextureSize; j++) {
      const float value = OctavesNoise2D(i, j, settings, firstOctave, lattice);
      if (values != nullptr) values[i * kTextureSize + j] = value;
      NoiseColourBytes(value, colourScale, image[i][j]);
    }
  }
}
