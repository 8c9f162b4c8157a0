// noisedemo: an interactive demonstrator of lattice noise.
//
// docs/architecture.md maps the layers (noise, render, export, toolkit, ui,
// and this shell, app) and who may include whom. The settings live in
// AppState (app/app_state.h), which only app/ reads; the renderers are
// handed what they draw. One thread: GLUT's main loop calls everything.
#include <GL/glut.h>

#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/control_panel.h"
#include "app/app_state.h"
#include "app/ending.h"
#include "app/windows.h"
#include "app/start.h"
#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

int main(int argc, char* argv[]) {
  // Before anything is written: a signal must find the export's temporary
  // file, and a closed standard error must not end the program.
  InstallSignalHandlers();

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
  SetText(&GLUI_GlutText());
  InstallXErrorHandlers();
  if (options.seed) ChooseSeed(*options.seed);
  InitGraphics();
  Reset();
  ApplyStartSettings(options);
  InitGlui();
  // The panel is watched as the graphics windows are.
  const int current = glutGetWindow();
  glutSetWindow(App.panel->get_glut_window_id());
  WatchCurrentWindow(App.panel->window_name.c_str());
  glutSetWindow(current);
  glutMainLoop();
  return 0;
}
