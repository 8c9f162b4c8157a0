#include "frontends/browser/page_windows.h"

#include <cstdlib>

#include "app/input.h"
#include "app/windows.h"
#include "softgl/soft_gl.h"
#include "toolkit/glui.h"

PageWindows::PageWindows(Page& page) : page_(page), startMs_(page.NowMs()) {}

PageWindows::~PageWindows() {
  softgl::MakeCurrent(nullptr);
  for (Window& w : windows_) softgl::DestroyContext(w.gl);
}

PageWindows::Window* PageWindows::Find(int id) {
  if (id < 1 || id > static_cast<int>(windows_.size())) return nullptr;
  Window* w = &windows_[id - 1];
  return w->closed ? nullptr : w;
}

const PageWindows::Window* PageWindows::Find(int id) const {
  return const_cast<PageWindows*>(this)->Find(id);
}

// ---------------------------------------------------------------------------
// The kinds of window and their callbacks, as the desktop registers them
// ---------------------------------------------------------------------------

namespace {

GLUI* PanelOf(int id) { return GLUI_Master.find_glui_by_window_id(id); }

}  // namespace

const PageWindows::Handlers& PageWindows::HandlersOf(PageWindowKind kind) {
  static constexpr Handlers kGraph = {
      true,
      [](PageWindows&, Window&) { ::Display(); },
      [](Window& w) { ReSize(w.width, w.height); },
      [](Window&, unsigned char key, int x, int y) { Keyboard(key, x, y); },
      nullptr,  // the graphics windows take no special keys, as on the desktop
      [](Window&, int button, bool down, int x, int y) {
        MouseButton(button, down ? kButtonDown : kButtonUp, x, y);
      },
      [](Window&, int x, int y, bool dragging) {
        if (dragging) {
          MouseMotion(x, y);
        } else {
          GraphPointer(x, y);
        }
      },
  };
  // No reshape callback (its next display fills the new size), as on the
  // desktop; the pointer's moves reach the probe, held button or not.
  static constexpr Handlers kTexture = {
      true,
      [](PageWindows&, Window&) { TextureDisplay(); },
      nullptr,
      [](Window&, unsigned char key, int x, int y) { Keyboard(key, x, y); },
      nullptr,
      [](Window&, int button, bool down, int x, int y) {
        MouseButton(button, down ? kButtonDown : kButtonUp, x, y);
      },
      [](Window&, int x, int y, bool) { TexturePointer(x, y); },
  };
  static constexpr Handlers kPanel = {
      false,
      [](PageWindows& windows, Window& w) {
        if (GLUI* glui = PanelOf(w.id)) {
          glui->display(w.width, w.height);
          windows.SwapBuffers();
        }
      },
      [](Window& w) {
        if (GLUI* glui = PanelOf(w.id)) glui->reshape(w.width, w.height);
      },
      [](Window& w, unsigned char key, int x, int y) {
        if (GLUI* glui = PanelOf(w.id)) glui->keyboard(key, x, y);
      },
      [](Window& w, int key, int x, int y) {
        if (GLUI* glui = PanelOf(w.id)) glui->special(key, x, y);
      },
      [](Window& w, int button, bool down, int x, int y) {
        if (GLUI* glui = PanelOf(w.id)) glui->mouse(button, down ? GLUI_GLUT_DOWN : GLUI_GLUT_UP, x, y);
      },
      [](Window& w, int x, int y, bool dragging) {
        GLUI* glui = PanelOf(w.id);
        if (glui == nullptr) return;
        if (dragging) {
          glui->motion(x, y);
        } else {
          glui->passive_motion(x, y);
        }
      },
  };
  switch (kind) {
    case PageWindowKind::kGraph:
      return kGraph;
    case PageWindowKind::kTexture:
      return kTexture;
    case PageWindowKind::kPanel:
      break;
  }
  return kPanel;
}

int PageWindows::Open(PageWindowKind kind, const char* title, int x, int y, int width,
                      int height) {
  Window w;
  w.id = static_cast<int>(windows_.size()) + 1;
  w.kind = kind;
  w.on = &HandlersOf(kind);
  w.gl = softgl::CreateContext(width, height);
  w.width = width;
  w.height = height;
  windows_.push_back(w);
  page_.OpenCanvas(w.id, title, x, y, width, height, w.on->resizable);
  return w.id;
}

int PageWindows::OpenWindow(AppWindow which, const char* title, int x, int y, int width,
                            int height) {
  const int id = Open(which == AppWindow::kGraph ? PageWindowKind::kGraph : PageWindowKind::kTexture,
                      title, x, y, width, height);
  SetWindow(id);
  // GLUT tells a new window that it can be seen once it is mapped; the
  // graph's visibility callback asks for the first picture.
  if (which == AppWindow::kGraph) Find(id)->redisplay = true;
  return id;
}

void PageWindows::SetWindow(int id) { MakeCurrent(id); }

bool PageWindows::MakeCurrent(int id) {
  Window* w = Find(id);
  if (w == nullptr) return false;
  current_ = id;
  softgl::MakeCurrent(w->gl);
  return true;
}

void PageWindows::PostRedisplay() { post_redisplay(current_); }

int PageWindows::WindowWidth() {
  const Window* w = Find(current_);
  return w ? w->width : 0;
}

int PageWindows::WindowHeight() {
  const Window* w = Find(current_);
  return w ? w->height : 0;
}

uint32_t PageWindows::ElapsedMs() { return static_cast<uint32_t>(page_.NowMs() - startMs_); }

void PageWindows::SwapBuffers() {
  Window* w = Find(current_);
  if (w == nullptr) return;
  softgl::SwapBuffers(w->gl);
  w->changed = true;
}

bool PageWindows::ReadShownWindow(int width, int height, uint8_t* rgb) {
  const Window* w = Find(current_);
  if (w == nullptr || w->width != width || w->height != height) return false;
  const uint8_t* shown = softgl::ShownPixels(w->gl);
  // The canvas's rows top first; the caller's bottom first, as GL reads.
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = shown + static_cast<size_t>(height - 1 - y) * width * 4;
    uint8_t* to = rgb + static_cast<size_t>(y) * width * 3;
    for (int x = 0; x < width; ++x) {
      to[3 * x + 0] = from[4 * x + 0];
      to[3 * x + 1] = from[4 * x + 1];
      to[3 * x + 2] = from[4 * x + 2];
    }
  }
  return true;
}

void PageWindows::EndProgram(int window) {
  destroy_window(window);
  page_.End();
  // Not reached: the page's End does not return (a virtual call's
  // [[noreturn]] is not something every compiler takes on trust).
  std::abort();
}

int PageWindows::create_window(const char* title, int x, int y) {
  const int previous = current_;
  // The toolkit packs the panel at once and gives it its real size.
  const int id = Open(PageWindowKind::kPanel, title, x, y, 100, 100);
  Find(id)->redisplay = true;
  if (previous > 0) MakeCurrent(previous);
  return id;
}

void PageWindows::destroy_window(int window_id) {
  Window* w = Find(window_id);
  if (w == nullptr) return;
  w->closed = true;
  if (current_ == window_id) {
    current_ = 0;
    softgl::MakeCurrent(nullptr);
  }
}

void PageWindows::post_redisplay(int window_id) {
  if (Window* w = Find(window_id)) w->redisplay = true;
}

// The program's own resize (the panel, once packed): as a user's, and the
// page's canvas follows.
void PageWindows::reshape_window(int window_id, int width, int height) {
  if (Resize(window_id, width, height)) page_.ResizeCanvas(window_id, width, height);
}

void PageWindows::set_cursor(int cursor) { page_.SetCursor(current_, cursor); }

uint32_t PageWindows::ticks_ms() { return static_cast<uint32_t>(page_.NowMs()); }

// ---------------------------------------------------------------------------
// Events: the window they came to is made current first, as GLUT does.
// ---------------------------------------------------------------------------

void PageWindows::Key(int id, unsigned char key, int x, int y, int modifiers) {
  Window* w = Find(id);
  if (w == nullptr || w->on->key == nullptr || !MakeCurrent(id)) return;
  modifiers_ = modifiers;
  w->on->key(*w, key, x, y);
  modifiers_ = 0;
}

void PageWindows::Special(int id, int key, int x, int y, int modifiers) {
  Window* w = Find(id);
  if (w == nullptr || w->on->special == nullptr || !MakeCurrent(id)) return;
  modifiers_ = modifiers;
  w->on->special(*w, key, x, y);
  modifiers_ = 0;
}

void PageWindows::Mouse(int id, int button, bool down, int x, int y, int modifiers) {
  Window* w = Find(id);
  if (w == nullptr || w->on->mouse == nullptr || !MakeCurrent(id)) return;
  modifiers_ = modifiers;
  w->on->mouse(*w, button, down, x, y);
  modifiers_ = 0;
}

void PageWindows::Motion(int id, int x, int y, bool dragging) {
  Window* w = Find(id);
  if (w == nullptr || !MakeCurrent(id)) return;
  if (w->on->motion != nullptr) w->on->motion(*w, x, y, dragging);
}

bool PageWindows::Resize(int id, int width, int height) {
  Window* w = Find(id);
  if (w == nullptr || width < 1 || height < 1) return false;
  if (w->width == width && w->height == height) return false;
  w->width = width;
  w->height = height;
  softgl::Resize(w->gl, width, height);
  w->reshape = true;
  w->redisplay = true;
  return true;
}

// ---------------------------------------------------------------------------
// The main loop's pass
// ---------------------------------------------------------------------------

bool PageWindows::RunFrame() {
  if (idle_) GLUI_Master.idle();
  bool drew = false;
  // Indexes, not iterators: a callback may open a window.
  for (size_t k = 0; k < windows_.size(); ++k) {
    if (windows_[k].closed || !windows_[k].reshape) continue;
    windows_[k].reshape = false;
    MakeCurrent(windows_[k].id);
    if (windows_[k].on->reshape != nullptr) windows_[k].on->reshape(windows_[k]);
  }
  for (size_t k = 0; k < windows_.size(); ++k) {
    if (windows_[k].closed || !windows_[k].redisplay) continue;
    windows_[k].redisplay = false;
    MakeCurrent(windows_[k].id);
    windows_[k].on->display(*this, windows_[k]);
    drew = true;
  }
  return drew;
}

bool PageWindows::Busy() const {
  if (idle_) return true;
  for (const Window& w : windows_) {
    if (!w.closed && (w.redisplay || w.reshape)) return true;
  }
  return false;
}

std::vector<int> PageWindows::WindowIds() const {
  std::vector<int> ids;
  for (const Window& w : windows_) {
    if (!w.closed) ids.push_back(w.id);
  }
  return ids;
}

std::optional<PageWindowKind> PageWindows::KindOf(int id) const {
  const Window* w = Find(id);
  if (w == nullptr) return std::nullopt;
  return w->kind;
}

const uint8_t* PageWindows::ShownPixels(int id, int* width, int* height) const {
  const Window* w = Find(id);
  if (w == nullptr) return nullptr;
  *width = w->width;
  *height = w->height;
  return softgl::ShownPixels(w->gl);
}

bool PageWindows::TakeChanged(int id) {
  Window* w = Find(id);
  if (w == nullptr || !w->changed) return false;
  w->changed = false;
  return true;
}
