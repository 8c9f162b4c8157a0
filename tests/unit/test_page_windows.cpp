// The browser front end's windows, natively: the program started on
// PageWindows draws its three windows through softgl, and the page's events
// reach the core as the desktop's do. The page itself is a record here.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/control_panel.h"
#include "app/input_logic.h"
#include "app/png_texts.h"
#include "app/windows.h"
#include "app/start.h"
#include "app_fixture.h"
#include "export_helpers.h"
#include "frontends/browser/page_windows.h"
#include "noise/lattice.h"
#include "render/bitmap_text.h"
#include "render/colour_scale.h"
#include "render/texture_image.h"
#include "toolkit/glui.h"

namespace {

struct Ended {};

class RecordingPage : public Page {
 public:
  struct Canvas {
    std::string title;
    int x, y, width, height;
    bool resizable;
  };
  std::vector<Canvas> canvases;  // canvas id k + 1 is canvases[k]
  std::vector<int> cursors;
  double now = 1000.0;

  void OpenCanvas(int id, const char* title, int x, int y, int width, int height,
                  bool resizable) override {
    EXPECT_EQ(id, static_cast<int>(canvases.size()) + 1);
    canvases.push_back({title, x, y, width, height, resizable});
  }
  void ResizeCanvas(int id, int width, int height) override {
    canvases.at(id - 1).width = width;
    canvases.at(id - 1).height = height;
  }
  void SetCursor(int, int cursor) override { cursors.push_back(cursor); }
  [[noreturn]] void End() override { throw Ended{}; }
  double NowMs() override { return now; }
};

class PageWindowsTest : public ::testing::Test {
 protected:
  RecordingPage page;
  PageWindows windows{page};
  GLUI_Platform* previous = nullptr;
  TextRenderer* previousText = nullptr;

  void Start(std::vector<const char*> args) {
    args.insert(args.begin(), "noisedemo");
    StartOptions options;
    std::string error;
    ASSERT_EQ(ParseCommandLine(static_cast<int>(args.size()), args.data(), &options, &error),
              StartMode::kWindows)
        << error;
    SetPlatform(&windows);
    previous = GLUI_SetPlatform(&windows);
    previousText = SetText(&BitmapText());
    OpenWindows(options);
    RunUntilIdle();
  }

  void TearDown() override {
    ClosePanels(previous);
    SetText(previousText);
    SetPlatform(nullptr);
  }

  // As the page's animation frames do until nothing is pending. A posted
  // redisplay never posts another, so two passes settle any event.
  void RunUntilIdle() {
    for (int pass = 0; pass < 4 && windows.Busy(); ++pass) windows.RunFrame();
    ASSERT_FALSE(windows.Busy());
  }

  // What window `id` shows at (x, y) from its top left.
  const uint8_t* Pixel(int id, int x, int y) {
    int w = 0, h = 0;
    const uint8_t* p = windows.ShownPixels(id, &w, &h);
    return p + (static_cast<size_t>(y) * w + x) * 4;
  }

  // Every pixel of the texture window at 512 by 512 against the texture:
  // the window's top row is the texture's last.
  int TextureMismatches() {
    int w = 0, h = 0;
    const uint8_t* p = windows.ShownPixels(App.textureWindow, &w, &h);
    if (w != kTextureSize || h != kTextureSize) return -1;
    int wrong = 0;
    for (int i = 0; i < kTextureSize; ++i)
      for (int j = 0; j < kTextureSize; ++j)
        for (int c = 0; c < 3; ++c)
          wrong += p[((kTextureSize - 1 - i) * kTextureSize + j) * 4 + c] != NoiseTexture[i][j][c];
    return wrong;
  }

  void ClickPanel(const std::string& label) {
    const int id = App.panel->get_glut_window_id();
    ::ClickPanel(label, [&](bool down, int x, int y) { windows.Mouse(id, 0, down, x, y, 0); });
  }
  // All a person sees of the settings once the events so far are drawn:
  // both graphics windows, the command key i prints, and whether a redraw
  // leaves Debug traces.
  std::string Look() {
    RunUntilIdle();
    testing::internal::CaptureStderr();
    PostGraphRedisplay();
    RunUntilIdle();
    std::string seen = testing::internal::GetCapturedStderr().empty() ? "quiet " : "traced ";
    for (int id : {App.graphWindow, App.textureWindow}) {
      int w = 0, h = 0;
      const uint8_t* p = windows.ShownPixels(id, &w, &h);
      seen.append(reinterpret_cast<const char*>(p), static_cast<size_t>(w) * h * 4);
    }
    return seen + ReproducingCommandNow();
  }

  // Every control of `kind` in the panel, in its order.
  static void Controls(int kind, std::vector<GLUI_Control*>* out, GLUI_Control* c = nullptr) {
    if (c == nullptr) c = App.panel->main_panel;
    if (c->type == kind) out->push_back(c);
    for (GLUI_Control* child : c->children) Controls(kind, out, child);
  }
};

TEST_F(PageWindowsTest, TheWindowsOpenAsOnTheDesktopAndShowTheProgramsPictures) {
  Start({"--seed=4242", "--noise=value+gradient", "--octaves=3", "--scale=rainbow"});
  ASSERT_EQ(page.canvases.size(), 4u);
  const RecordingPage::Canvas& graph = page.canvases[0];
  const RecordingPage::Canvas& texture = page.canvases[1];
  const RecordingPage::Canvas& panel = page.canvases[2];
  EXPECT_EQ(graph.title, "Noise Demo -- Quenmarl");
  EXPECT_EQ((std::vector<int>{graph.x, graph.y, graph.width, graph.height}),
            (std::vector<int>{0, 0, kGraphWindowWidth, kGraphWindowHeight}));
  EXPECT_EQ(texture.title, "2D Noise");
  EXPECT_EQ((std::vector<int>{texture.x, texture.y, texture.width, texture.height}),
            (std::vector<int>{kTextureWindowX, kTextureWindowY, kTextureSize, kTextureSize}));
  EXPECT_TRUE(graph.resizable && texture.resizable && !panel.resizable);
  // The panel was packed to its controls' size, and its canvas follows.
  EXPECT_EQ(panel.x, kPanelX);
  EXPECT_EQ(panel.title, App.panel->window_name);
  EXPECT_EQ(panel.width, App.panel->main_panel->w);
  EXPECT_EQ(panel.height, App.panel->main_panel->h);
  // The Views panel stands beside it, packed the same way.
  const RecordingPage::Canvas& views = page.canvases[3];
  EXPECT_EQ(views.title, "Views");
  EXPECT_EQ(views.x, kPanelX + App.panel->packed_w + kViewsPanelGap);
  EXPECT_TRUE(!views.resizable && views.width == App.viewsPanel->main_panel->w &&
              views.height == App.viewsPanel->main_panel->h);

  // Every window drew and says so once.
  for (int id : windows.WindowIds()) {
    EXPECT_TRUE(windows.TakeChanged(id)) << id;
    EXPECT_FALSE(windows.TakeChanged(id)) << id;
  }
  EXPECT_EQ(TextureMismatches(), 0);
  // The graph's background is black and the panel's the toolkit's grey.
  EXPECT_EQ(std::memcmp(Pixel(App.graphWindow, 2, 2), "\0\0\0\xff", 4), 0);
  const uint8_t* grey = Pixel(App.panel->get_glut_window_id(), 2, 2);
  EXPECT_TRUE(grey[0] == grey[1] && grey[1] == grey[2] && grey[0] > 150) << int(grey[0]);
}

TEST_F(PageWindowsTest, EveryPanelControlChangesWhatTheWindowsShowOrKeyIPrints) {
  Start({"--seed=11"});
  const std::string fresh = Look();
  // Within a group every button shows something of its own; the group's
  // first, the default, shows the fresh start again.
  std::vector<GLUI_Control*> groups, checkboxes;
  Controls(GLUI_CONTROL_RADIOGROUP, &groups);
  Controls(GLUI_CONTROL_CHECKBOX, &checkboxes);
  ASSERT_FALSE(groups.empty() || checkboxes.empty());
  for (const GLUI_Control* group : groups) {
    std::set<std::string> seen;
    for (const GLUI_Control* button : group->children) {
      ClickPanel(button->name);
      seen.insert(Look());
    }
    EXPECT_EQ(seen.size(), group->children.size()) << group->children[0]->name;
    ClickPanel(group->children[0]->name);
    EXPECT_EQ(Look(), fresh) << group->children[0]->name;
  }
  // Each check box changes what is seen, and changes it back.
  for (const GLUI_Control* box : checkboxes) {
    ClickPanel(box->name);
    EXPECT_NE(Look(), fresh) << box->name;
    ClickPanel(box->name);
    EXPECT_EQ(Look(), fresh) << box->name;
  }
  // A new lattice: both windows and the seed key i prints.
  ClickPanel("Re-Randomize");
  EXPECT_NE(Look(), fresh);
  EXPECT_EQ(ReproducingCommandNow().find("--seed=11"), std::string::npos);
}

TEST_F(PageWindowsTest, AfterAnyActionsResetShowsWhatAFreshStartShows) {
  Start({"--seed=11"});
  const std::string fresh = Look();
  std::vector<GLUI_Control*> buttons;
  Controls(GLUI_CONTROL_RADIOBUTTON, &buttons);
  Controls(GLUI_CONTROL_CHECKBOX, &buttons);
  for (const GLUI_Control* c : buttons) ClickPanel(c->name);  // each group's last, boxes on
  // A point held down when Reset is pressed is let go of: a drag moves nothing.
  windows.Mouse(App.graphWindow, 0, true, DotX(3), DotY(3), 0);
  App.curvatureSliderValue = -3.0f;
  ASSERT_NE(Look(), fresh);
  ClickPanel("Reset");
  windows.Motion(App.graphWindow, DotX(3), DotY(3) - 40, true);
  EXPECT_EQ(Look(), fresh);
  EXPECT_EQ(App.curvatureSliderValue, -3.0f);  // this slider's value is kept

  // Reset leaves the lattice alone: an edit stays in the windows and in key i.
  windows.Mouse(App.graphWindow, 0, true, DotX(3), DotY(3), 0);
  windows.Motion(App.graphWindow, DotX(3), DotY(3) - 40, true);
  windows.Mouse(App.graphWindow, 0, false, DotX(3), DotY(3) - 40, 0);
  ClickPanel("Reset");
  const std::string edited = Look();
  EXPECT_NE(edited, fresh);
  EXPECT_NE(ReproducingCommandNow().find("--point=3:"), std::string::npos);
  ClickPanel("Reset");
  EXPECT_EQ(Look(), edited);
}

TEST_F(PageWindowsTest, PressDragPanelAndKeysReachTheCoreAndEveryWindowIsRedrawn) {
  Start({"--seed=7"});
  for (int id : windows.WindowIds()) windows.TakeChanged(id);

  // A press on point 3's dot makes it current; a drag moves its value as
  // the desktop's drag does.
  windows.Mouse(App.graphWindow, 0, true, DotX(3), DotY(3), 0);
  EXPECT_EQ(App.currentPoint, 3);
  const int y = DotY(3) - 40;
  windows.Motion(App.graphWindow, DotX(3), y, true);
  windows.Mouse(App.graphWindow, 0, false, DotX(3), y, 0);
  EXPECT_EQ(NoiseLattice[0][3].value, DragValue(kGraphWindowHeight, y));
  RunUntilIdle();
  // The current dot is green in the graph, and the texture shows the edit.
  const uint8_t* dot = Pixel(App.graphWindow, DotX(3), DotY(3));
  EXPECT_EQ((std::vector<int>{dot[0], dot[1], dot[2]}), (std::vector<int>{0, 255, 0}));
  EXPECT_TRUE(windows.TakeChanged(App.graphWindow));
  EXPECT_TRUE(windows.TakeChanged(App.textureWindow));
  EXPECT_EQ(TextureMismatches(), 0);

  // Motion without a button is no drag, and the texture window takes none.
  const float value = NoiseLattice[0][3].value;
  windows.Motion(App.graphWindow, DotX(3), y - 50, false);
  windows.Motion(App.textureWindow, 10, 10, true);
  EXPECT_EQ(NoiseLattice[0][3].value, value);
  // It is the graph's pointer, which redraws the graph only while the
  // statistics view reads it.
  EXPECT_EQ(Process.graphPointerX, DotX(3));
  EXPECT_EQ(Process.graphPointerY, y - 50);
  RunUntilIdle();
  EXPECT_FALSE(windows.TakeChanged(App.graphWindow));
  App.views.stats = 1;
  windows.Motion(App.graphWindow, DotX(3) + 5, y - 50, false);
  RunUntilIdle();
  EXPECT_TRUE(windows.TakeChanged(App.graphWindow));
  App.views.stats = 0;

  // A panel click changes the setting, redraws the panel and both windows.
  ClickPanel("Blue -> White (clouds)");
  EXPECT_EQ(App.colourScale, kClouds);
  RunUntilIdle();
  EXPECT_TRUE(windows.TakeChanged(App.panel->get_glut_window_id()));
  EXPECT_TRUE(windows.TakeChanged(App.textureWindow));
  EXPECT_EQ(TextureMismatches(), 0);

  // Key b in the graph writes the texture window as shown, which is the
  // texture itself, byte for byte (the batch's BMP holds the same).
  ScratchDir dir;
  const std::string back = std::filesystem::current_path();
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  windows.Key(App.graphWindow, 'b', 5, 5, 0);
  ASSERT_EQ(chdir(back.c_str()), 0);
  const std::string snapshot = ReadFile(dir / "image001NS.bmp");
  ASSERT_FALSE(snapshot.empty());
  std::vector<uint8_t> rgb(static_cast<size_t>(kTextureSize) * kTextureSize * 3);
  windows.SetWindow(App.textureWindow);
  ASSERT_TRUE(windows.ReadShownWindow(kTextureSize, kTextureSize, rgb.data()));
  EXPECT_EQ(std::memcmp(rgb.data(), &NoiseTexture[0][0][0], rgb.size()), 0);
  // A read of the wrong size is refused rather than cut.
  EXPECT_FALSE(windows.ReadShownWindow(kTextureSize, kTextureSize - 1, rgb.data()));

  // Quit ends through the page, with the panel and the graph closed.
  EXPECT_THROW(windows.Key(App.graphWindow, 'q', 5, 5, 0), Ended);
  EXPECT_EQ(windows.WindowIds(), (std::vector<int>{App.textureWindow}));
}

TEST_F(PageWindowsTest, AResizedWindowIsDrawnAtItsNewSizeAndOddEventsAreIgnored) {
  Start({"--seed=99", "--scale=fire"});
  windows.Resize(App.textureWindow, 300, 200);
  windows.Resize(App.graphWindow, 350, 250);
  EXPECT_TRUE(windows.Busy());
  RunUntilIdle();
  int w = 0, h = 0;
  const uint8_t* texture = windows.ShownPixels(App.textureWindow, &w, &h);
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 200);
  // Fire: red 255 and blue 0 everywhere, stretched or not (every channel is
  // filtered with the same weights).
  int wrong = 0;
  for (int k = 0; k < w * h; ++k) wrong += texture[4 * k] != 255 || texture[4 * k + 2] != 0;
  EXPECT_EQ(wrong, 0);
  windows.ShownPixels(App.graphWindow, &w, &h);
  EXPECT_EQ(w, 350);
  EXPECT_EQ(h, 250);

  // Events for windows that do not exist, and sizes below one pixel, change
  // nothing and do not crash.
  windows.Key(99, 'b', 0, 0, 0);
  windows.Mouse(0, 0, true, 1, 1, 0);
  windows.Motion(-3, 1, 1, true);
  windows.Resize(App.textureWindow, 0, 10);
  windows.Resize(42, 10, 10);
  EXPECT_FALSE(windows.Busy());
  windows.ShownPixels(App.textureWindow, &w, &h);
  EXPECT_EQ(w, 300);
  EXPECT_EQ(windows.ShownPixels(42, &w, &h), nullptr);
  // An id that is no window is no kind of window either, not the graph.
  EXPECT_EQ(windows.KindOf(App.graphWindow), PageWindowKind::kGraph);
  EXPECT_EQ(windows.KindOf(App.textureWindow), PageWindowKind::kTexture);
  EXPECT_EQ(windows.KindOf(App.panel->get_glut_window_id()), PageWindowKind::kPanel);
  for (int id : {0, -3, 42}) EXPECT_FALSE(windows.KindOf(id).has_value()) << id;
}

}  // namespace
