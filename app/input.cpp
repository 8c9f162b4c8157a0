#include "app/input.h"

#include <algorithm>

#include <cstdio>

#include "app/app_state.h"
#include "app/control_panel.h"
#include "app/exports.h"
#include "app/windows.h"
#include "app/input_logic.h"
#include "app/png_texts.h"
#include "app/platform.h"
#include "export/printable.h"
#include "noise/lattice.h"
#include "toolkit/glui.h"
#include "ui/hslider.h"

namespace {

// Finds the control point under the last press and makes it current (the
// last hit, when several dots are in the pick box), or none.
//
// The hits are computed (PickPoints) rather than read from an OpenGL
// selection pass: not every GL has one, and under Mesa's llvmpipe every
// immediate-mode draw made in GL_SELECT kept the vertex store it read alive
// for good (a click leaked about 22 KB). The computed hits are the dots that
// pass found, for the same clicks, ties included. A press in the texture window is no press on a dot.
void PickControlPoint(int y) {
  if (App.debug) {
    const int h = CurrentPlatform().WindowHeight();
    const float zw = static_cast<float>((h - y - kBottomMargin) * 2.0 / kGraphHeight - 1.0);
    fprintf(stderr, "MouseButton: zw = %8.2f\n", zw);
  }
  PickHits hits{};
  Platform& platform = CurrentPlatform();
  if (platform.CurrentWindow() == App.graphWindow) {
    hits = PickPoints(CurrentGraphView(), App.lastMouseX, App.lastMouseY,
                      platform.WindowWidth(), platform.WindowHeight());
  }
  App.currentPoint = CurrentFromHits(hits, App.debug);
}

// The command line that makes this picture again, on standard output where a
// user can copy it (or a script read it).
void PrintReproducingCommand() {
  printf("%s\n", ReproducingCommandNow().c_str());
  fflush(stdout);
}

}  // namespace

void Keyboard(unsigned char key, int, int) {
  // A control key (Ctrl+M is a carriage return) is shown escaped, never
  // handed raw to the terminal.
  const std::string shown = Printable(std::string(1, static_cast<char>(key)));
  if (App.debug) fprintf(stderr, "Keyboard: '%s' (0x%0x)\n", shown.c_str(), key);
  switch (key) {
    case 27:
    case 'q':
    case 'Q':
      Buttons(kQuitButton);
      break;
    case 'i':
    case 'I':
      PrintReproducingCommand();
      break;
    default:
      if (ViewKey(key)) break;
      if (const ExportFormatInfo* format = FormatOfKey(key)) {
        WriteExport(format->id);
        break;
      }
      fprintf(stderr, "Don't know what to do with keyboard hit: '%s' (0x%0x)\n", shown.c_str(), key);
      break;
  }
  SyncPanels();
  PostGraphRedisplay();
}

void MouseButton(int button, int state, int x, int y) {
  if (App.debug) fprintf(stderr, "MouseButton: %d, %d, %d, %d\n", button, state, x, y);

  const int bit = ButtonBit(button);
  if (bit == 0) fprintf(stderr, "Unknown mouse button: %d\n", button);

  const bool press = state == kButtonDown;
  if (press) {
    App.lastMouseX = x;
    App.lastMouseY = y;
    App.mouseButtonMask |= bit;
  } else {
    App.mouseButtonMask &= ~bit;
  }

  if (App.mouseButtonMask != 0 && press) PickControlPoint(y);

  if (App.currentPoint >= 0 && UsesGradients(App.noise.noiseType)) {
    ShowCurrentPointOnSliders();
  } else if (App.currentPoint < 0 && press) {
    App.curvatureSlider->disable();
    App.gradientSlider->disable();
  }
  PostGraphRedisplay();
}

void TexturePointer(int x, int y) {
  Platform& platform = CurrentPlatform();
  const int width = platform.WindowWidth();
  const int height = platform.WindowHeight();
  if (width < 1 || height < 1) return;
  // The window shows the image stretched over it, row 0 at the bottom.
  const int column = std::clamp(x * kTextureSize / width, 0, kTextureSize - 1);
  const int row = std::clamp((height - 1 - y) * kTextureSize / height, 0, kTextureSize - 1);
  if (row == Process.pointerRow && column == Process.pointerColumn) return;
  Process.pointerRow = row;
  Process.pointerColumn = column;
  if (!App.views.probe && !App.views.stats) return;
  RedrawTextureViews();
  platform.PostRedisplay();
}

void GraphPointer(int x, int y) {
  if (x == Process.graphPointerX && y == Process.graphPointerY) return;
  Process.graphPointerX = x;
  Process.graphPointerY = y;
  // With the reading off nothing shows it: no redraw, as before.
  if (App.views.stats) PostGraphRedisplay();
}

void MouseMotion(int x, int y) {
  if (App.debug) fprintf(stderr, "MouseMotion: %d, %d\n", x, y);
  Process.graphPointerX = x;
  Process.graphPointerY = y;
  if (App.mouseButtonMask != 0 && App.currentPoint >= 0) {
    NoiseLattice[0][App.currentPoint].value = DragValue(CurrentPlatform().WindowHeight(), y);
  }
  App.lastMouseX = x;
  App.lastMouseY = y;
  PostGraphRedisplay();
}
