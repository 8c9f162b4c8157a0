// The STL height field: one lattice cell of two-dimensional noise as a
// closed, coloured ASCII STL solid.
//
// The noise is sampled on a 200 by 200 grid by rules of its own (not the
// texture's): corner value 0 for Gradient-Only, Value+Gradient taken as
// Value-Only, octaves summed without centring, turbulence folded once on the
// sum. The top surface is coloured by height in a rainbow; four walls drop to
// a flat base at z = -0.25, closed by a fan. The format core writes to a
// ByteSink; SaveStl puts that into a file safely; WriteStl does it all.
#pragma once

#include <cstdio>
#include <string>

#include "export/byte_sink.h"
#include "export/save_file.h"

constexpr int kStlGridSize = 200;
constexpr int kStlCells = kStlGridSize - 1;
constexpr int kStlFacetCount = 2 * kStlCells * kStlCells + 2 * 4 * kStlCells + 4 * kStlCells;

// The grid points, [row][column]: x, y on a 4 by 4 square, z the height.
// Rebuilt by every sampling; after a finished solid GridZ is -0.25 throughout.
extern float GridX[kStlGridSize][kStlGridSize];
extern float GridY[kStlGridSize][kStlGridSize];
extern float GridZ[kStlGridSize][kStlGridSize];

// One colour (red, green, blue in 0..1) per grid point, [row][column].
using StlColors = float[kStlGridSize][kStlGridSize][3];

// Samples the noise of the current lattice and settings into the grid and
// each point's colour.
void SampleStlGrid(StlColors rgb);

// Writes "solid noise" to "endsolid" from the grid and colours: the top
// surface, the white colour line, the walls and the base, 81590 facets,
// counting on *facets. Prints the progress marks and the line end after them
// on progress (when not null). Stops at the first failed write and returns
// false; on success GridZ is left at the base height.
bool WriteStlSolid(ByteSink& file, const StlColors rgb, FILE* progress, int* facets);

// "noise%03d%c.stl": octaves 1..8, T/N for turbulence.
std::string StlFileName(int octaveIndex, int turbulence);

// Writes the solid to fileName, replacing a file of that name only once the
// new one is complete. On messages: "Writing STL file '%s':", the progress,
// then "%d triangles written.\n"; or "Cannot create STL file '%s'\n" alone
// when the file cannot be created, or "Cannot write STL file '%s'\n" after a
// failure on the way. True when the file was written.
bool SaveStl(const std::string& fileName, const StlColors rgb, FILE* messages,
             const SinkDecorator& decorate = nullptr);

// Samples the current noise and saves it in the current folder, named from
// the settings, reporting on standard error.
void WriteStl();
