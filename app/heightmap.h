// The 16-bit heightmap: the texture's noise before any colour scale.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "export/png_writer.h"
#include "noise/noise_settings.h"

// Fills `samples` (512 * 512, the caller's) row 0 first, the texture's bottom
// row: each texel's FractalNoise2D value v under `settings`, before any
// colour scale, as round(v * 65535). The rows are shared among every core.
void HeightmapSamples(const NoiseSettings& settings, uint16_t* samples);

// The heightmap under `settings` as a 16-bit greyscale PNG with these text
// chunks; "Heightmap file '%s' created." on success. True when written.
bool SaveHeightmap(const std::string& fileName, const NoiseSettings& settings,
                   const std::vector<PngText>& texts, FILE* messages);
