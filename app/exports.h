// The exports as the keys and the command line ask for them: file names from
// the settings, the window read back, the noise sampled, the formats written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "export/png_writer.h"
#include "export/stl_writer.h"
#include "noise/noise_settings.h"

// "image%03d%c%c.bmp": octaves 1..8, T/N for turbulence, G/R/S/Y for the
// colour scale (any other scale value counts as greyscale, as in the texture).
std::string BmpFileName(int octaveIndex, int turbulence, int colourScale);

// "noise%03d%c.stl": octaves 1..8, T/N for turbulence.
std::string StlFileName(int octaveIndex, int turbulence);

// The same names for the other formats: "image%03d%c%c.png",
// "height%03d%c.png" and "noise%03d%c.bin.stl".
std::string PngFileName(int octaveIndex, int turbulence, int colourScale);
std::string HeightmapFileName(int octaveIndex, int turbulence);
std::string StlBinaryFileName(int octaveIndex, int turbulence);

// The command line that makes the current picture again, as key i prints it.
std::string ReproducingCommandNow();

// The text chunks of our PNG files: "Software" (name and version) and
// "Comment" (ReproducingCommandNow).
std::vector<PngText> PngTexts();

// 512 * 512 samples, row 0 (the texture's bottom row) first: each texel's
// FractalNoise2D value v under `settings`, before any colour scale, as
// round(v * 65535).
void HeightmapSamples(const NoiseSettings& settings, uint16_t* samples);

// The heightmap of the current lattice and settings as a 16-bit greyscale
// PNG; "Heightmap file '%s' created." on success. True when written.
bool SaveHeightmap(const std::string& fileName, FILE* messages);

// A snapshot (bottom row first, as read back) as an 8-bit RGB PNG; "Image
// file '%s' created." on success. True when written.
bool SaveSnapshotPng(const std::string& fileName, const uint8_t* rgb, int width, int height,
                     FILE* messages);

// Samples the height field under `settings` into the STL grid (GridX, GridY,
// GridZ) and each point's rainbow colour.
void SampleStlGrid(const NoiseSettings& settings, StlColours rgb);

// Key b: saves what the texture window shows now, at its current size, in
// the current folder, named from the settings.
void WriteBmp();

// Key s (after WriteBmp): samples the current noise and saves the solid in
// the current folder, named from the settings, reporting on standard error.
void WriteStl();

// Keys p, h and m: the snapshot as a PNG (the pixels WriteBmp would write),
// the 16-bit heightmap, and the solid as a binary STL.
void WritePng();
void WriteHeightmap();
void WriteStlBinary();
