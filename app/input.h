// Keyboard and mouse in the graphics windows: quitting, exports, picking and
// dragging the control points.
//
// Front ends call these from their event callbacks with the window the event
// came to current, in GLUT's terms: buttons 0 left, 1 middle, 2 right; state
// kButtonDown or kButtonUp; x and y in window pixels from the top left.
#pragma once

constexpr int kButtonDown = 0;
constexpr int kButtonUp = 1;

void Keyboard(unsigned char key, int x, int y);
void MouseButton(int button, int state, int x, int y);
void MouseMotion(int x, int y);
// The pointer moving over the texture window (current), a button held or
// not: the texel the probe and the pointer's value read follows it.
void TexturePointer(int x, int y);
// The pointer moving over the graph window (current) with no button held:
// the statistics view reads the graph at it. (A drag reaches MouseMotion,
// which moves the reading too.)
void GraphPointer(int x, int y);
