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

#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/control_panel.h"
#include "app/init_graphics.h"
#include "app/start.h"

int main(int argc, char* argv[]) {
  // Our own options are read first, so that help, batch exports and a
  // mistyped option need neither a display nor a window.
  StartOptions options;
  std::string error;
  switch (ParseCommandLine(argc, argv, &options, &error)) {
    case StartMode::kBadOption:
      fprintf(stderr, "noisedemo: %s\nTry 'noisedemo --help'.\n", error.c_str());
      return 2;
    case StartMode::kHelp:
      fputs(UsageText(), stdout);
      return 0;
    case StartMode::kVersion:
      printf("noisedemo %s\n", NOISEDEMO_VERSION);
      return 0;
    case StartMode::kBatch:
      return RunBatchExports(options);
    case StartMode::kWindows:
      break;
  }

  glutInit(&argc, argv);
  if (options.seed) ChooseSeed(*options.seed);
  InitGraphics();
  Reset();
  ApplyStartSettings(options);
  InitGlui();
  glutMainLoop();
  return 0;
}
