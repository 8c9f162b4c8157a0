// The two graphics windows: start-up, what each must show, and what the
// graph window does when it is resized or shown. Front ends call these from
// their own event callbacks.
#pragma once

#include "render/graph_display.h"

// The state a front end passes to Visibility for a window that can be seen
// (GLUT's value).
constexpr int kWindowVisible = 1;

// Opens the graph window and the texture window through the front end,
// seeds the generator and fills the lattice and sets the axes. Leaves the
// texture window current.
void InitGraphics();

// The side of the texture window for a screen of the given height: the room
// left below the graph window, but never less than 200.
int TextureWindowSide(int screenHeight);

// Makes the graph window current and posts a redisplay; the graph's display
// pass refreshes the texture window too.
void PostGraphRedisplay();

void ReSize(int width, int height);
void Visibility(int state);

// The graph window's display callback: draws everything, swaps, then
// refills and redraws the texture window, so one redisplay refreshes both.
void Display();

// The view of the graph that AppState describes now, as Display draws it.
GraphView CurrentGraphView();

// Recomputes every texel of NoiseTexture from the lattice and the settings,
// and leaves the texture window current. Draws nothing.
void FillTexture();

// FillTexture without choosing a window, for the batch exports: NoiseTexture
// as the texture window shows it, the teaching views included.
void FillShownTexture();

// Draws the texture views again over the last fill, for a pointer that
// moved: the noise is not recomputed.
void RedrawTextureViews();

// The texture window's display callback: uploads NoiseTexture and draws it
// stretched over the whole window with linear filtering.
void TextureDisplay();

// TextureDisplay without the buffer swap: the current image, drawn into the
// texture window's back buffer only.
void DrawTexture();
