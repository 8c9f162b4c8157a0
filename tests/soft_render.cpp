// The program's three windows drawn by softgl instead of the desktop's GL,
// written as PNGs, for tests/e2e/test_soft_gl.py to hold against the desktop
// program's windows under Xvfb and Mesa's llvmpipe. The windows are the
// browser front end's (PageWindows), on a page that shows nothing.
//
//   soft_render [program options] --out=DIR [--press=K] [--debug]
//               [--graph-size=WxH] [--texture-size=WxH]
//   soft_render [program options] --names
//
// Writes DIR/graph.png, DIR/texture.png and DIR/panel.png; with --names
// prints instead each export's batch option and the file name its key saves
// to under those options ("bmp image003TR.bmp"), for the tests' expectations. --press=K presses
// control point K as a click on its dot would; --debug ticks the panel's
// Debug box; the sizes resize the windows as a user would.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/export_formats.h"
#include "app/start.h"
#include "app/windows.h"
#include "export/png_writer.h"
#include "frontends/browser/page_windows.h"
#include "noise/lattice.h"
#include "render/bitmap_text.h"
#include "render/graph_display.h"
#include "toolkit/glui.h"

namespace {

class NoPage : public Page {
 public:
  void OpenCanvas(int, const char*, int, int, int, int, bool) override {}
  void ResizeCanvas(int, int, int) override {}
  void SetCursor(int, int) override {}
  [[noreturn]] void End() override { exit(0); }
  double NowMs() override { return 0.0; }
};

bool ReadSize(const char* text, int* w, int* h) {
  return sscanf(text, "%dx%d", w, h) == 2 && *w > 0 && *h > 0;
}

// Window `id` as the desktop's read-back sees it, into path.
bool Save(PageWindows& windows, int id, const std::string& path) {
  int w = 0, h = 0;
  if (windows.ShownPixels(id, &w, &h) == nullptr) return false;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
  windows.SetWindow(id);
  return windows.ReadShownWindow(w, h, rgb.data()) &&
         SavePng(path, "PNG", PngImage{w, h, rgb.data()}, {}, stderr);
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string out = ".";
  int press = -1;
  bool debug = false, names = false;
  int graph_w = 0, graph_h = 0, texture_w = 0, texture_h = 0;
  std::vector<const char*> program_args = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (strncmp(a, "--out=", 6) == 0) {
      out = a + 6;
    } else if (strncmp(a, "--press=", 8) == 0) {
      press = atoi(a + 8);
    } else if (strcmp(a, "--debug") == 0) {
      debug = true;
    } else if (strcmp(a, "--names") == 0) {
      names = true;
    } else if (strncmp(a, "--graph-size=", 13) == 0) {
      if (!ReadSize(a + 13, &graph_w, &graph_h)) return 2;
    } else if (strncmp(a, "--texture-size=", 15) == 0) {
      if (!ReadSize(a + 15, &texture_w, &texture_h)) return 2;
    } else {
      program_args.push_back(a);
    }
  }
  StartOptions options;
  std::string error;
  if (ParseCommandLine(static_cast<int>(program_args.size()), program_args.data(), &options,
                       &error) != StartMode::kWindows) {
    fprintf(stderr, "soft_render: %s\n", error.empty() ? "not a window start" : error.c_str());
    return 2;
  }

  if (names) {
    Reset();
    ApplyStartSettings(options);
    for (const ExportFormatInfo& f : kExportFormats)
      printf("%s %s\n", f.option + 2,
             ExportFileName(f.id, App.noise.octaveIndex, App.noise.turbulence, App.colourScale)
                 .c_str());
    return 0;
  }
  NoPage page;
  PageWindows windows(page);
  SetPlatform(&windows);
  GLUI_SetPlatform(&windows);
  SetText(&BitmapText());
  OpenWindows(options);
  const int panel = App.panel->get_glut_window_id();

  if (press >= 0 && press < kControlPoints) {
    // A click on the dot, where PickPoints looks for it.
    const float value =
        App.noise.noiseType == kGradientOnly ? kNoiseMid : NoiseLattice[0][press].value;
    const GraphView view = CurrentGraphView();
    const float gx = GraphX(view.xAxis, static_cast<float>(press));
    const float gy = kBottomMargin + (value - view.noiseAxis.minimum) * kGraphHeight /
                                         ((view.noiseAxis.count - 1) * view.noiseAxis.step);
    const int x = static_cast<int>(std::lround(gx));
    const int y = kGraphWindowHeight - static_cast<int>(std::lround(gy));
    windows.Mouse(App.graphWindow, 0, true, x, y, 0);
    windows.Mouse(App.graphWindow, 0, false, x, y, 0);
  }
  if (debug) {
    App.debug = 1;
    App.panel->sync_live();
    windows.post_redisplay(panel);
  }
  if (graph_w > 0) windows.Resize(App.graphWindow, graph_w, graph_h);
  if (texture_w > 0) windows.Resize(App.textureWindow, texture_w, texture_h);
  // As the page's frames run until nothing is pending.
  for (int pass = 0; pass < 4 && windows.Busy(); ++pass) windows.RunFrame();

  bool ok = Save(windows, App.graphWindow, out + "/graph.png");
  ok = Save(windows, App.textureWindow, out + "/texture.png") && ok;
  ok = Save(windows, panel, out + "/panel.png") && ok;
  GLUI_SetPlatform(nullptr);
  SetPlatform(nullptr);
  return ok ? 0 : 1;
}
