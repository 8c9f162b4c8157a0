// What a redraw costs on a real (virtual) display: the two 1D plots and the
// whole render-mode Display pass of the graph window, which also refills and
// redraws the texture window. Needs an X display (scripts/run_bench.sh starts
// Xvfb); without one these benchmarks report an error and the others run.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/app_state.h"
#include "bench_settings.h"
#include "frontends/desktop/desktop_platform.h"
#include "render/graph_display.h"
#include "toolkit/glui_platform.h"

namespace {

// Opens the program's two graphics windows once, as start-up does, and puts
// the benchmarks' fixed lattice in place of the freshly seeded one.
bool OpenWindows() {
  static int opened = 0;  // 1 open, -1 no display
  if (opened != 0) return opened > 0;
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    opened = -1;
    return false;
  }
  int argc = 1;
  char name[] = "noisedemo_bench";
  char* argv[] = {name, nullptr};
  glutInit(&argc, argv);
  SetText(&GLUI_GlutText());
  UseDesktopPlatform();
  InitGraphics();
  Reset();
  SeedGenerator(20261207u);
  FillLattice();
  // Let the windows be mapped and drawn once.
  for (int i = 0; i < 20; i++) glutMainLoopEvent();
  opened = 1;
  return true;
}

// Waits until both windows' drawing is really done, so nothing is left
// queued for the next iteration.
void FinishBoth() {
  glFinish();
  glutSetWindow(App.graphWindow);
  glFinish();
}

void DisplayPass(benchmark::State& state, BenchSetting setting, bool views) {
  if (!OpenWindows()) {
    state.SkipWithError("needs an X display");
    return;
  }
  ApplySetting(setting);
  // Every teaching view the tables list, over the whole sum of octaves.
  if (views)
    for (const ViewSwitch& v : kViewSwitches) App.views.*v.field = 1;
  for (auto _ : state) {
    Display();
    FinishBoth();
  }
}

void Plot(benchmark::State& state, BenchSetting setting, bool line) {
  if (!OpenWindows()) {
    state.SkipWithError("needs an X display");
    return;
  }
  ApplySetting(setting);
  Display();  // the graph window's projection and state, as a plot finds them
  glutSetWindow(App.graphWindow);
  GraphView view = CurrentGraphView();
  view.debug = false;
  const PixelScale pixels =
      GraphPixels(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
  for (auto _ : state) {
    if (line) {
      PlotLine(view, pixels);
    } else {
      PlotBar(view, pixels);
    }
    glFinish();
  }
}

bool RegisterAll() {
  for (const BenchSetting& s : NoiseAndColourSettings()) {
    benchmark::RegisterBenchmark(("Display/" + SettingName(s)).c_str(), DisplayPass, s, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::RegisterBenchmark(("Display/" + SettingName(kHeaviest) + "/views").c_str(), DisplayPass,
                               kHeaviest, true)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  BenchSetting one = kHeaviest;
  one.octaveIndex = 0;
  for (const BenchSetting& s : {one, kHeaviest}) {
    benchmark::RegisterBenchmark(("PlotLine/" + SettingName(s)).c_str(), Plot, s, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("PlotBar/" + SettingName(s)).c_str(), Plot, s, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return true;
}

const bool registered = RegisterAll();

}  // namespace
