// The desktop front end: GLUT windows whose callbacks hand each event to the
// program's own calls (app/input.h, app/windows.h), and the platform those
// calls use to reach the windows again.
#include "frontends/desktop/desktop_platform.h"

#include <GL/glut.h>

#include <cstdlib>
#include <optional>

#include "app/input.h"
#include "app/windows.h"
#include "frontends/desktop/ending.h"
#include "frontends/desktop/window_readback.h"

namespace {

// The callbacks: GLUT's events, passed on as they came.
void OnGraphDisplay() { Display(); }
void OnTextureDisplay() { TextureDisplay(); }
void OnReshape(int width, int height) { ReSize(width, height); }
void OnVisibility(int state) { Visibility(state == GLUT_VISIBLE ? kWindowVisible : 0); }
void OnKeyboard(unsigned char key, int x, int y) { Keyboard(key, x, y); }
void OnMouse(int button, int state, int x, int y) {
  MouseButton(button, state == GLUT_DOWN ? kButtonDown : kButtonUp, x, y);
}
void OnMotion(int x, int y) { MouseMotion(x, y); }
void OnTexturePointer(int x, int y) { TexturePointer(x, y); }
void OnGraphPointer(int x, int y) { GraphPointer(x, y); }

// Every graph-window callback is set, the unused ones explicitly cleared. No
// timer is registered: the program needs none, and freeglut would call a
// null timer function.
void SetGraphCallbacks() {
  glutDisplayFunc(OnGraphDisplay);
  glutReshapeFunc(OnReshape);
  glutKeyboardFunc(OnKeyboard);
  glutMouseFunc(OnMouse);
  glutMotionFunc(OnMotion);
  glutPassiveMotionFunc(OnGraphPointer);
  glutVisibilityFunc(OnVisibility);
  glutEntryFunc(nullptr);
  glutSpecialFunc(nullptr);
  glutSpaceballMotionFunc(nullptr);
  glutSpaceballRotateFunc(nullptr);
  glutSpaceballButtonFunc(nullptr);
  glutButtonBoxFunc(nullptr);
  glutDialsFunc(nullptr);
  glutTabletMotionFunc(nullptr);
  glutTabletButtonFunc(nullptr);
  glutMenuStateFunc(nullptr);
}

void SetTextureCallbacks() {
  glutDisplayFunc(OnTextureDisplay);
  glutKeyboardFunc(OnKeyboard);
  glutMouseFunc(OnMouse);
  glutMotionFunc(OnTexturePointer);
  glutPassiveMotionFunc(OnTexturePointer);
}

class DesktopPlatform : public Platform {
 public:
  // Titled twice, as some window managers only take a title set after
  // creation, and watched: closed from outside, it ends the program cleanly.
  int OpenWindow(AppWindow which, const char* title, int x, int y, int width,
                 int height) override {
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    // -geometry is the graph window's; the texture window keeps its place
    // below the graph's usual one.
    if (which == AppWindow::kGraph && graphGeometry_) {
      const WindowPlace place =
          PlaceWindow(*graphGeometry_, {x, y, width, height}, glutGet(GLUT_SCREEN_WIDTH),
                      glutGet(GLUT_SCREEN_HEIGHT));
      x = place.x, y = place.y, width = place.width, height = place.height;
    }
    glutInitWindowPosition(x, y);
    glutInitWindowSize(width, height);
    const int id = glutCreateWindow(title);
    glutSetWindowTitle(title);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    WatchCurrentWindow(title);
    glutSetWindow(id);
    switch (which) {
      case AppWindow::kGraph: SetGraphCallbacks(); break;
      case AppWindow::kTexture: SetTextureCallbacks(); break;
    }
    return id;
  }
  int CurrentWindow() override { return glutGetWindow(); }
  void SetWindow(int id) override { glutSetWindow(id); }
  void PostRedisplay() override { glutPostRedisplay(); }
  int WindowWidth() override { return glutGet(GLUT_WINDOW_WIDTH); }
  int WindowHeight() override { return glutGet(GLUT_WINDOW_HEIGHT); }
  int ScreenHeight() override { return glutGet(GLUT_SCREEN_HEIGHT); }
  uint32_t ElapsedMs() override { return static_cast<uint32_t>(glutGet(GLUT_ELAPSED_TIME)); }
  bool Draws() override { return true; }
  void SwapBuffers() override { glutSwapBuffers(); }
  bool ReadShownWindow(int width, int height, uint8_t* rgb) override {
    return ::ReadShownWindow(width, height, rgb);
  }
  [[noreturn]] void EndProgram(int window) override {
    glutDestroyWindow(window);
    exit(0);
  }

  std::optional<WindowGeometry> graphGeometry_;
};

DesktopPlatform Desktop;

}  // namespace

Platform& UseDesktopPlatform(const std::optional<WindowGeometry>& graphGeometry) {
  Desktop.graphGeometry_ = graphGeometry;
  SetPlatform(&Desktop);
  return Desktop;
}
