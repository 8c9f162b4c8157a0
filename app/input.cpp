#include "app/input.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/init_graphics.h"
#include "export/bmp_writer.h"
#include "export/stl_writer.h"

void Keyboard(unsigned char key, int, int) {
  if (App.debug) fprintf(stderr, "Keyboard: '%c' (0x%0x)\n", key, key);
  switch (key) {
    case 'b':
    case 'B':
      WriteBmp();
      break;
    case 's':
    case 'S':
      WriteBmp();
      WriteStl();
      break;
    default:
      // Quitting by key arrives with the control panel's Quit button.
      fprintf(stderr, "Don't know what to do with keyboard hit: '%c' (0x%0x)\n", key, key);
      break;
  }
  PostGraphRedisplay();
}

// Interim: picking and dragging arrive with the control panel.
void MouseButton(int, int, int, int) { PostGraphRedisplay(); }

void MouseMotion(int, int) { PostGraphRedisplay(); }
