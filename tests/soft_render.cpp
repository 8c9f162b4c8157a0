// The program's three windows drawn by softgl instead of the desktop's GL,
// written as PNGs, for tests/e2e/test_soft_gl.py to hold against the desktop
// program's windows under Xvfb and Mesa's llvmpipe.
//
//   soft_render [program options] --out=DIR [--press=K] [--debug]
//               [--graph-size=WxH] [--texture-size=WxH]
//
// Writes DIR/graph.png, DIR/texture.png and DIR/panel.png. --press=K presses
// control point K as a click on its dot would; --debug ticks the panel's
// Debug box.
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/control_panel.h"
#include "app/input.h"
#include "app/platform.h"
#include "app/start.h"
#include "app/windows.h"
#include "noise/lattice.h"
#include "render/bitmap_text.h"
#include "softgl/soft_gl.h"
#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

namespace {

// The app's windows, each a softgl context; window id k + 1 is contexts[k].
class SoftPlatform : public Platform {
 public:
  std::vector<softgl::Context*> contexts;
  int current = 0;

  int OpenWindow(AppWindow, const char*, int, int, int width, int height) override {
    contexts.push_back(softgl::CreateContext(width, height));
    SetWindow(static_cast<int>(contexts.size()));
    return current;
  }
  int CurrentWindow() override { return current; }
  void SetWindow(int id) override {
    current = id;
    softgl::MakeCurrent(Of(id));
  }
  void PostRedisplay() override {}
  int WindowWidth() override { return softgl::Width(Of(current)); }
  int WindowHeight() override { return softgl::Height(Of(current)); }
  // The screen the e2e tests' virtual display has: the texture window then
  // opens 512 pixels square.
  int ScreenHeight() override { return 1112; }
  uint32_t ElapsedMs() override { return 0; }
  bool Draws() override { return true; }
  void SwapBuffers() override { softgl::SwapBuffers(Of(current)); }
  bool ReadShownWindow(int, int, uint8_t*) override { return false; }
  [[noreturn]] void EndProgram(int) override { exit(0); }

  softgl::Context* Of(int id) const {
    if (id < 1 || id > static_cast<int>(contexts.size())) return nullptr;
    return contexts[static_cast<size_t>(id - 1)];
  }
};

// The panel's window: one softgl context at the size the toolkit packs it to.
class SoftPanelPlatform : public GLUI_Platform {
 public:
  softgl::Context* context = nullptr;
  int id = 0;
  int width = 0, height = 0;

  int create_window(const char*, int, int) override {
    context = softgl::CreateContext(1, 1);
    return id = 1000;
  }
  void destroy_window(int) override {}
  int get_window() override { return id; }
  void set_window(int) override {}
  void post_redisplay(int) override {}
  void reshape_window(int, int w, int h) override {
    width = w;
    height = h;
    softgl::Resize(context, w, h);
  }
  void set_cursor(int) override {}
  int modifiers() override { return 0; }
  void set_idle(bool) override {}
  uint32_t ticks_ms() override { return 0; }
};

bool WritePng(const std::string& path, const softgl::Context* context) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    fclose(file);
    return false;
  }
  const int w = softgl::Width(context), h = softgl::Height(context);
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const uint8_t* pixels = softgl::ShownPixels(context);
  for (int y = 0; y < h; ++y) {
    png_write_row(png, pixels + static_cast<size_t>(y) * static_cast<size_t>(w) * 4);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return fclose(file) == 0;
}

bool ReadSize(const char* text, int* w, int* h) {
  return sscanf(text, "%dx%d", w, h) == 2 && *w > 0 && *h > 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string out = ".";
  int press = -1;
  bool debug = false;
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

  SoftPlatform platform;
  SetPlatform(&platform);
  SoftPanelPlatform panel_platform;
  GLUI_SetPlatform(&panel_platform);
  SetText(&BitmapText());

  if (options.seed) ChooseSeed(*options.seed);
  InitGraphics();
  Reset();
  ApplyStartSettings(options);
  InitGlui();

  softgl::Context* graph = platform.Of(App.graphWindow);
  softgl::Context* texture = platform.Of(App.textureWindow);
  if (press >= 0 && press < kControlPoints) {
    // A click on the dot, where PickPoints looks for it.
    const float value =
        App.noise.noiseType == kGradientOnly ? kNoiseMid : NoiseLattice[0][press].value;
    const GraphView view = CurrentGraphView();
    const float gx = GraphX(view.xAxis, static_cast<float>(press));
    const float gy = kBottomMargin + (value - view.noiseAxis.minimum) * kGraphHeight /
                                         ((view.noiseAxis.count - 1) * view.noiseAxis.step);
    platform.SetWindow(App.graphWindow);
    const int x = static_cast<int>(std::lround(gx));
    const int y = kGraphWindowHeight - static_cast<int>(std::lround(gy));
    MouseButton(0, kButtonDown, x, y);
    MouseButton(0, kButtonUp, x, y);
  }
  if (debug) {
    App.debug = 1;
    App.panel->sync_live();
  }
  if (graph_w > 0) softgl::Resize(graph, graph_w, graph_h);
  if (texture_w > 0) softgl::Resize(texture, texture_w, texture_h);

  Display();  // the graph, then the texture window
  softgl::MakeCurrent(panel_platform.context);
  App.panel->display(panel_platform.width, panel_platform.height);
  softgl::SwapBuffers(panel_platform.context);

  bool ok = WritePng(out + "/graph.png", graph);
  ok = WritePng(out + "/texture.png", texture) && ok;
  ok = WritePng(out + "/panel.png", panel_platform.context) && ok;
  if (!ok) {
    fprintf(stderr, "soft_render: cannot write the PNGs into %s\n", out.c_str());
    return 1;
  }
  return 0;
}
