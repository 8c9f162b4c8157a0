// Keyboard and mouse in the graphics windows: quitting, exports, picking and
// dragging the control points.
#pragma once

void Keyboard(unsigned char key, int x, int y);
void MouseButton(int button, int state, int x, int y);
void MouseMotion(int x, int y);
