// noisedemo: an interactive demonstrator of lattice noise.
//
// Layers, and who may call whom:
//   noise/    the lattice, the Hermite blend, 1D and 2D fractal noise (pure)
//   render/   the graph window, the texture and its colour scales (reads state, draws)
//   export/   the BMP and STL writers (file formats apart from OpenGL)
//   toolkit/  our GLUI-compatible panel toolkit (knows nothing of noise)
//   ui/       the horizontal slider control, on the toolkit
//   app/      this shell: state, windows, panel callbacks, keyboard and mouse
// Everything meets in AppState (app/app_state.h), plain data that the noise
// and render code read. One thread: GLUT's main loop calls everything.
#include <GL/glut.h>

#include "app/control_panel.h"
#include "app/init_graphics.h"

int main(int argc, char* argv[]) {
  glutInit(&argc, argv);
  InitGraphics();
  Reset();
  InitGlui();
  glutMainLoop();
  return 0;
}
