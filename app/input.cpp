#include "app/input.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/init_graphics.h"

// Interim: keys, picking and dragging arrive with the panel and the exports.
void Keyboard(unsigned char key, int, int) {
  fprintf(stderr, "Don't know what to do with keyboard hit: '%c' (0x%0x)\n", key, key);
  PostGraphRedisplay();
}

void MouseButton(int, int, int, int) { PostGraphRedisplay(); }

void MouseMotion(int, int) { PostGraphRedisplay(); }
