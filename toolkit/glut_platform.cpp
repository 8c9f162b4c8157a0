// The toolkit on GLUT: the real platform, and the GLUT callbacks of every
// panel window, which find their GLUI and hand it the event.
#include <GL/freeglut.h>

#include <chrono>
#include <thread>

#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

namespace {

GLUI* CurrentGlui() { return GLUI_Master.find_glui_by_window_id(glutGetWindow()); }

void OnDisplay() {
  if (GLUI* glui = CurrentGlui()) {
    glui->display(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    glutSwapBuffers();
  }
}

void OnReshape(int width, int height) {
  if (GLUI* glui = CurrentGlui()) glui->reshape(width, height);
}

void OnKeyboard(unsigned char key, int x, int y) {
  if (GLUI* glui = CurrentGlui()) glui->keyboard(key, x, y);
}

void OnSpecial(int key, int x, int y) {
  if (GLUI* glui = CurrentGlui()) glui->special(key, x, y);
}

void OnMouse(int button, int state, int x, int y) {
  if (GLUI* glui = CurrentGlui()) glui->mouse(button, state, x, y);
}

void OnMotion(int x, int y) {
  if (GLUI* glui = CurrentGlui()) glui->motion(x, y);
}

void OnPassiveMotion(int x, int y) {
  if (GLUI* glui = CurrentGlui()) glui->passive_motion(x, y);
}

void OnEntry(int) {}

void OnVisibility(int state) {
  if (state == GLUT_VISIBLE) glutPostRedisplay();
}

// While a slider arrow is held the handler is installed and GLUT calls it
// back to back; a short nap keeps that from burning a whole core while still
// stepping within a few milliseconds of each 50 ms repeat.
void OnIdle() {
  GLUI_Master.idle();
  if (GLUI_Master.idle_installed()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

class GlutPlatform : public GLUI_Platform {
 public:
  int create_window(const char* title, int x, int y) override {
    const int previous = glutGetWindow();
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    if (x >= 0 || y >= 0) glutInitWindowPosition(x, y);
    glutInitWindowSize(100, 100);  // packing gives the real size at once
    const int id = glutCreateWindow(title);
    glutDisplayFunc(OnDisplay);
    glutReshapeFunc(OnReshape);
    glutKeyboardFunc(OnKeyboard);
    glutSpecialFunc(OnSpecial);
    glutMouseFunc(OnMouse);
    glutMotionFunc(OnMotion);
    glutPassiveMotionFunc(OnPassiveMotion);
    glutEntryFunc(OnEntry);
    glutVisibilityFunc(OnVisibility);
    if (previous > 0) glutSetWindow(previous);
    return id;
  }

  void destroy_window(int window_id) override { glutDestroyWindow(window_id); }

  int get_window() override { return glutGetWindow(); }

  void set_window(int window_id) override { glutSetWindow(window_id); }

  void post_redisplay(int window_id) override {
    const int previous = glutGetWindow();
    glutSetWindow(window_id);
    glutPostRedisplay();
    if (previous > 0 && previous != window_id) glutSetWindow(previous);
  }

  void reshape_window(int window_id, int width, int height) override {
    const int previous = glutGetWindow();
    glutSetWindow(window_id);
    glutReshapeWindow(width, height);
    if (previous > 0 && previous != window_id) glutSetWindow(previous);
  }

  void set_cursor(int cursor) override { glutSetCursor(cursor); }

  int modifiers() override { return glutGetModifiers(); }

  void set_idle(bool installed) override { glutIdleFunc(installed ? OnIdle : nullptr); }

  // Wraps after 49 days; the slider compares tick counts by unsigned
  // difference, so the wrap does no harm.
  uint32_t ticks_ms() override {
    const auto since_boot = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since_boot).count());
  }
};

// The two fonts the program draws in, as GLUT's bitmaps.
void* GlutFont(TextFont font) {
  switch (font) {
    case TextFont::kFixed9x15:
      return GLUT_BITMAP_9_BY_15;
    case TextFont::kHelvetica12:
      return GLUT_BITMAP_HELVETICA_12;
  }
  return GLUT_BITMAP_9_BY_15;  // not reached: every font is named above
}

class GlutText : public TextRenderer {
 public:
  int width(TextFont font, const char* text) override {
    return glutBitmapLength(GlutFont(font), reinterpret_cast<const unsigned char*>(text));
  }
  int line_height(TextFont font) override { return glutBitmapHeight(GlutFont(font)); }
  void draw(TextFont font, float x, float y, float z, const char* text) override {
    glRasterPos3f(x, y, z);
    for (const char* c = text; *c != '\0'; ++c) glutBitmapCharacter(GlutFont(font), *c);
  }
};

GlutText glut_text;
GlutPlatform glut_platform;

}  // namespace

GLUI_Platform& GLUI_GlutPlatform() { return glut_platform; }

TextRenderer& GLUI_GlutText() { return glut_text; }
