// noisedemo: an interactive demonstrator of lattice noise.
//
// docs/architecture.md maps the layers (noise, render, export, toolkit, ui,
// the program's core, app, and its front ends) and who may include whom. This
// is the desktop front end's start: batch exports run on the headless front
// end, windows on freeglut. One thread: GLUT's main loop calls everything.
#include <GL/glut.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/command_line.h"
#include "app/control_panel.h"
#include "app/app_state.h"
#include "app/start.h"
#include "app/windows.h"
#include "export/printable.h"
#include "frontends/desktop/desktop_platform.h"
#include "frontends/desktop/ending.h"
#include "frontends/headless/headless_platform.h"
#include "render/bitmap_text.h"
#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

namespace {

// --help and --version: a text on standard output, and an honest status if
// it could not be written (a full disk, a closed pipe).
int PrintAndExit(const std::string& text) {
  if (fputs(text.c_str(), stdout) == EOF || fflush(stdout) != 0) {
    const int error = errno;
    fprintf(stderr, "noisedemo: cannot write to standard output: %s\n", strerror(error));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Before anything opens a file or the display.
  OpenClosedStandardStreams();
  // Before anything is written: a signal must find the export's temporary
  // file, and a closed standard error must not end the program.
  InstallSignalHandlers();

  // Our own options are read first, so that help, batch exports and a
  // mistyped option need neither a display nor a window.
  StartOptions options;
  std::string error;
  switch (ParseCommandLine(argc, argv, &options, &error)) {
    case StartMode::kBadOption:
      // The reason echoes what was typed: control characters go escaped.
      fprintf(stderr, "noisedemo: %s\nTry 'noisedemo --help'.\n", Printable(error).c_str());
      return 2;
    case StartMode::kHelp:
      return PrintAndExit(UsageText());
    case StartMode::kVersion:
      return PrintAndExit(std::string("noisedemo ") + NOISEDEMO_VERSION + "\n");
    case StartMode::kBatch: {
      if (!CheckBatchOutputs(options, &error)) {
        fprintf(stderr, "noisedemo: %s\n", Printable(error).c_str());
        return 2;
      }
      // Never taken silently: the user asked for something a run without
      // windows cannot do.
      if (!options.glut.given.empty()) {
        std::string ignored;
        for (const std::string& option : options.glut.given) ignored += " " + option;
        fprintf(stderr, "noisedemo: a batch run opens no window, so it ignores GLUT's%s\n",
                Printable(ignored).c_str());
      }
      HeadlessPlatform headless;
      SetPlatform(&headless);
      return RunBatchExports(options);
    }
    case StartMode::kWindows:
      break;
  }

  glutInit(&argc, argv);
  // GLUT's fonts, unless NOISEDEMO_GLYPHS=table asks for the glyph tables
  // the browser draws with: the tests run both and compare the windows. Not
  // an option of the program, since a user sees the same pixels either way.
  const char* glyphs = getenv("NOISEDEMO_GLYPHS");
  SetText(glyphs != nullptr && strcmp(glyphs, "table") == 0 ? &BitmapText() : &GLUI_GlutText());
  GLUI_SetPlatform(&GLUI_GlutPlatform());
  InstallXErrorHandlers();
  UseDesktopPlatform(options.glut.geometry);
  OpenWindows(options);
  // The panels are watched as the graphics windows are.
  const int current = glutGetWindow();
  for (GLUI* panel : {App.panel, App.viewsPanel}) {
    glutSetWindow(panel->get_glut_window_id());
    WatchCurrentWindow(panel->window_name.c_str());
  }
  glutSetWindow(current);
  glutMainLoop();
  return 0;
}
