// The exports as the keys and the command line ask for them: file names from
// the settings, the window read back, the noise sampled, the formats written.
#pragma once

#include <string>

#include "export/stl_writer.h"
#include "noise/noise_settings.h"

// "image%03d%c%c.bmp": octaves 1..8, T/N for turbulence, G/R/S/Y for the
// colour scale (any other scale value counts as greyscale, as in the texture).
std::string BmpFileName(int octaveIndex, int turbulence, int colourScale);

// "noise%03d%c.stl": octaves 1..8, T/N for turbulence.
std::string StlFileName(int octaveIndex, int turbulence);

// Samples the height field under `settings` into the STL grid (GridX, GridY,
// GridZ) and each point's rainbow colour.
void SampleStlGrid(const NoiseSettings& settings, StlColours rgb);

// Key b: saves what the texture window shows now, at its current size, in
// the current folder, named from the settings.
void WriteBmp();

// Key s (after WriteBmp): samples the current noise and saves the solid in
// the current folder, named from the settings, reporting on standard error.
void WriteStl();
