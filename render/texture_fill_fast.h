// The fast fill of the noise texture: the same bytes as
// FillTextureImageReference for every lattice and setting, several texels at
// a time in vector registers and spread over the machine's cores.
#pragma once

#include "render/texture_image.h"

// The instruction sets the fill can be compiled for. The baseline runs on any
// x86-64; the wider ones are chosen at run time where the processor has them.
// All give byte-identical images.
enum class FillPath { kBaseline, kAvx2, kAvx512 };

bool FillPathAvailable(FillPath path);
FillPath BestFillPath();
const char* FillPathName(FillPath path);

// Fills image from `lattice` as FillTextureImageReference does, with the
// given instruction set (the baseline if this processor lacks it) on
// `threads` threads, the caller's included; all work is done when it returns.
void FillTextureImageFast(TextureRow* image, const NoiseSettings& settings, int colourScale,
                          FillPath path, int threads, const Lattice& lattice = NoiseLattice);

// The fill the program uses: the best path, one thread per core.
void FillTextureImage(TextureRow* image, const NoiseSettings& settings, int colourScale,
                      const Lattice& lattice = NoiseLattice);

// The same for the octave views: octaves firstOctave .. settings.octaveIndex
// only, as FillTextureOctavesReference fills them, byte for byte; when values
// is not null it also gets each texel's value in [0, 1] (kTextureSize *
// kTextureSize floats, row 0 first), bit for bit OctavesNoise2D's.
void FillTextureOctavesFast(TextureRow* image, const NoiseSettings& settings, int firstOctave,
                            int colourScale, FillPath path, int threads, const Lattice& lattice,
                            float* values);
void FillTextureOctaves(TextureRow* image, const NoiseSettings& settings, int firstOctave,
                        int colourScale, const Lattice& lattice = NoiseLattice,
                        float* values = nullptr);
