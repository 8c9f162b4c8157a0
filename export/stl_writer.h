// The STL height field: a 200 by 200 grid of heights as a closed, coloured
// ASCII STL solid.
//
// The grid spans a 4 by 4 square; its heights make the top surface, each top
// facet coloured by the average of its corners' colours; four walls drop to
// a flat base at z = -0.25, closed by a fan. The format core writes to a
// ByteSink; SaveStl puts that into a file safely.
#pragma once

#include <cstdio>
#include <string>

#include "export/byte_sink.h"
#include "export/sink_decorator.h"

constexpr int kStlGridSize = 200;
constexpr int kStlCells = kStlGridSize - 1;
constexpr int kStlFacetCount = 2 * kStlCells * kStlCells + 2 * 4 * kStlCells + 4 * kStlCells;

// The grid points, [row][column]: x, y on a 4 by 4 square, z the height.
// Set by LoadStlGrid; after a finished solid GridZ is -0.25 throughout.
extern float GridX[kStlGridSize][kStlGridSize];
extern float GridY[kStlGridSize][kStlGridSize];
extern float GridZ[kStlGridSize][kStlGridSize];

// One colour (red, green, blue in 0..1) per grid point, [row][column].
using StlColours = float[kStlGridSize][kStlGridSize][3];

// Puts the grid points in place, with these heights ([row][column]).
void LoadStlGrid(const float height[kStlGridSize][kStlGridSize]);

// Writes "solid noise" to "endsolid" from the grid and colours: the top
// surface, the white colour line, the walls and the base, 81590 facets,
// counting on *facets. Prints the progress marks and the line end after them
// on progress (when not null). Stops at the first failed write and returns
// false; on success GridZ is left at the base height.
bool WriteStlSolid(ByteSink& file, const StlColours rgb, FILE* progress, int* facets);

// Writes the solid to fileName, replacing a file of that name only once the
// new one is complete. On messages: "Writing STL file '%s':", the progress,
// then "%d triangles written.\n"; or "Cannot create STL file '%s'\n" alone
// when the file cannot be created, or "Cannot write STL file '%s'\n" after a
// failure on the way. True when the file was written.
bool SaveStl(const std::string& fileName, const StlColours rgb, FILE* messages,
             const SinkDecorator& decorate = nullptr);
