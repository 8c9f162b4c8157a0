// Start-up of the two graphics windows, the settings' defaults, and the
// graph window's own reshape and visibility callbacks.
#pragma once

#include <cstdint>

// Creates the graph window and the texture window with their callbacks,
// seeds the generator and fills the lattice, sets the axes and registers the
// selection buffer. Leaves the texture window current.
void InitGraphics();

// Seeds the generator with the seed chosen on the command line, or else with
// the milliseconds since GLUT started.
void SeedRandom();
void ChooseSeed(uint32_t seed);

// Fills the lattice from the generator's current state, remembering that
// state and that no point is edited yet.
void FillNewLattice();

// Notes that control point `point` no longer holds what the fill gave it.
void MarkPointEdited(int point);

// Puts the user settings and interaction state back to their defaults. Leaves
// the lattice, the windows and the panel's enabled states alone.
void Reset();

// The side of the texture window for a screen of the given height: the room
// left below the graph window, but never less than 200.
int TextureWindowSide(int screenHeight);

// Makes the graph window current and posts a redisplay; the graph's display
// pass refreshes the texture window too.
void PostGraphRedisplay();

void ReSize(int width, int height);
void Visibility(int state);
