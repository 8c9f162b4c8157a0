// The browser front end's windows: the graph, the texture and the control
// panel as three canvases on one page.
//
// Each window is drawn by the program's own code (render/ and the toolkit)
// through softgl, our software GL, into a buffer the page copies onto the
// window's canvas. PageWindows is both the program's Platform and the
// toolkit's, as GLUT is on the desktop, and turns the page's events into
// the same calls the desktop's callbacks make. It knows nothing of the
// browser itself: what it needs of the page goes through Page, so the whole
// front end but that one class runs and is tested natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/platform.h"
#include "toolkit/glui_platform.h"

namespace softgl {
class Context;
}

// What the windows need of the page that holds their canvases.
class Page {
 public:
  virtual ~Page() = default;
  // A new canvas for window `id`, with its title above it, its top left at
  // (x, y) on the page, width by height pixels; one the user may resize
  // (the graphics windows) or not (the panel, whose size is its controls').
  virtual void OpenCanvas(int id, const char* title, int x, int y, int width, int height,
                          bool resizable) = 0;
  // The program gave the window a new size (the panel, once packed).
  virtual void ResizeCanvas(int id, int width, int height) = 0;
  // GLUI_GLUT_CURSOR_* over the canvas.
  virtual void SetCursor(int id, int cursor) = 0;
  // The program has ended (Quit): the canvases stay as they were, no event
  // is taken any more, and the page says so. Does not return.
  [[noreturn]] virtual void End() = 0;
  // Milliseconds on a monotonic clock.
  virtual double NowMs() = 0;
  // Whether Quit may end the program now (the page asks its user when the
  // picture is not the one it opened with).
  virtual bool MayEnd() { return true; }
};

// The kinds of window, as the page's events name them.
enum class PageWindowKind { kGraph, kTexture, kPanel };

class PageWindows : public Platform, public GLUI_Platform {
 public:
  explicit PageWindows(Page& page);
  ~PageWindows() override;

  // The side of the page's "screen": the texture window opens 512 by 512
  // below the graph, one texel per pixel, as on a 1112-pixel-high desktop.
  static constexpr int kScreenHeight = 1112;

  // Each seam keeps its own naming: the program's Platform in CamelCase,
  // the toolkit's platform in its snake_case; both reach the same windows.

  // --- the program's Platform ---
  int OpenWindow(AppWindow which, const char* title, int x, int y, int width,
                 int height) override;
  int CurrentWindow() override { return current_; }
  void SetWindow(int id) override;
  void PostRedisplay() override;
  int WindowWidth() override;
  int WindowHeight() override;
  int ScreenHeight() override { return kScreenHeight; }
  uint32_t ElapsedMs() override;
  bool Draws() override { return true; }
  void SwapBuffers() override;
  bool ReadShownWindow(int width, int height, uint8_t* rgb) override;
  [[noreturn]] void EndProgram(int window) override;
  bool MayEnd() override { return page_.MayEnd(); }

  // --- the toolkit's platform ---
  int create_window(const char* title, int x, int y) override;
  void destroy_window(int window_id) override;
  int get_window() override { return current_; }
  void set_window(int window_id) override { MakeCurrent(window_id); }
  void post_redisplay(int window_id) override;
  void reshape_window(int window_id, int width, int height) override;
  void set_cursor(int cursor) override;
  int modifiers() override { return modifiers_; }
  void set_idle(bool installed) override { idle_ = installed; }
  uint32_t ticks_ms() override;

  // --- the page's events, as GLUT would deliver them: x and y in the
  // window's pixels from its top left, buttons 0 left, 1 middle, 2 right,
  // modifiers GLUI_GLUT_ACTIVE_* bits. Events for a window that does not
  // exist (any more) are ignored. ---
  void Key(int id, unsigned char key, int x, int y, int modifiers);
  void Special(int id, int key, int x, int y, int modifiers);
  void Mouse(int id, int button, bool down, int x, int y, int modifiers);
  // Motion with a button held (true) or none.
  void Motion(int id, int x, int y, bool dragging);
  // The user gave the window a new size (at least 1 by 1). False, with
  // nothing changed, for no such window, a size below that or the same size.
  bool Resize(int id, int width, int height);

  // What a main loop does once the events at hand are handled: the idle
  // handler, when installed, then every window's pending reshape and
  // display. Returns true if anything was drawn.
  bool RunFrame();
  // True while a frame would do something: a redisplay is posted, a
  // reshape pending or the idle handler installed.
  bool Busy() const;

  // The windows, in the order they were opened.
  std::vector<int> WindowIds() const;
  // What window `id` is; nothing for no such window (never a guess).
  std::optional<PageWindowKind> KindOf(int id) const;
  // What window `id` shows: width by height RGBA, top row first; null for
  // no such window. Changed tells whether it changed since the last Taken.
  const uint8_t* ShownPixels(int id, int* width, int* height) const;
  bool TakeChanged(int id);

 private:
  struct Window;
  // What a kind of window does with each of GLUT's callbacks, as the desktop
  // registers them; a null handler is a callback the kind has not.
  struct Handlers {
    bool resizable;  // by the user; the panel's size is its controls'
    void (*display)(PageWindows& windows, Window& w);
    void (*reshape)(Window& w);
    void (*key)(Window& w, unsigned char key, int x, int y);
    void (*special)(Window& w, int key, int x, int y);
    void (*mouse)(Window& w, int button, bool down, int x, int y);
    void (*motion)(Window& w, int x, int y, bool dragging);
  };
  static const Handlers& HandlersOf(PageWindowKind kind);

  // One record per window: what it is, its context, its size, its handlers.
  struct Window {
    int id;
    PageWindowKind kind;
    const Handlers* on;
    softgl::Context* gl;
    int width;
    int height;
    bool redisplay = false;
    bool reshape = false;  // a new size, not yet told to its reshape handler
    bool changed = false;  // the shown buffer changed since TakeChanged
    bool closed = false;
  };
  Window* Find(int id);
  const Window* Find(int id) const;
  // Makes window `id` current, as GLUT does before a callback: false, with
  // nothing changed, for no such window.
  bool MakeCurrent(int id);
  int Open(PageWindowKind kind, const char* title, int x, int y, int width, int height);

  Page& page_;
  std::vector<Window> windows_;  // window id k + 1 is windows_[k]
  int current_ = 0;
  int modifiers_ = 0;
  bool idle_ = false;
  double startMs_;
};
