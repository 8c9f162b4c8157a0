// softgl's invariants: what any correct rasteriser must hold to, and the
// rules found on the desktop that the e2e comparison relies on.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "softgl/soft_gl.h"

namespace {

class SoftGlTest : public ::testing::Test {
 protected:
  static constexpr int kW = 40;
  static constexpr int kH = 30;
  softgl::Context* context = nullptr;

  void SetUp() override {
    context = softgl::CreateContext(kW, kH);
    softgl::MakeCurrent(context);
    PixelProjection(kW, kH);
  }
  void TearDown() override { softgl::DestroyContext(context); }

  // One unit per pixel, y up, as the panel and the text draw.
  static void PixelProjection(int w, int h) {
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, w, 0.0, h);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  static void Quad(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                   float y3) {
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y1);
    glVertex2f(x2, y2);
    glVertex2f(x3, y3);
    glEnd();
  }

  // The shown buffer's lit pixels (red channel non-zero), as a mask, rows
  // from the top.
  std::vector<bool> Lit() {
    softgl::SwapBuffers(context);
    const uint8_t* p = softgl::ShownPixels(context);
    std::vector<bool> lit(kW * kH);
    for (int i = 0; i < kW * kH; ++i) lit[i] = p[i * 4] != 0;
    return lit;
  }

  std::vector<bool> Drawn(void (*draw)()) {
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    draw();
    return Lit();
  }

  static int Count(const std::vector<bool>& lit) {
    int n = 0;
    for (bool b : lit) n += b;
    return n;
  }
};

TEST_F(SoftGlTest, QuadsSharingAnEdgeCoverEachPixelOnce) {
  // A quad cut in two along a sloped edge with fractional ends, and along a
  // vertical edge through pixel centres: every pixel of the whole goes to
  // exactly one half.
  auto whole = Drawn([] { Quad(3.2f, 2.7f, 31.5f, 2.7f, 33.9f, 25.5f, 2.5f, 25.5f); });
  auto left = Drawn([] { Quad(3.2f, 2.7f, 17.3f, 2.7f, 19.1f, 25.5f, 2.5f, 25.5f); });
  auto right = Drawn([] { Quad(17.3f, 2.7f, 31.5f, 2.7f, 33.9f, 25.5f, 19.1f, 25.5f); });
  ASSERT_GT(Count(whole), 400);
  for (int i = 0; i < kW * kH; ++i) {
    EXPECT_FALSE(left[i] && right[i]) << "pixel " << i << " drawn twice";
    EXPECT_EQ(whole[i], left[i] || right[i]) << "pixel " << i;
  }
  auto lower = Drawn([] { Quad(5.0f, 4.5f, 30.0f, 4.5f, 30.0f, 12.5f, 5.0f, 12.5f); });
  auto upper = Drawn([] { Quad(5.0f, 12.5f, 30.0f, 12.5f, 30.0f, 20.5f, 5.0f, 20.5f); });
  auto both = Drawn([] { Quad(5.0f, 4.5f, 30.0f, 4.5f, 30.0f, 20.5f, 5.0f, 20.5f); });
  for (int i = 0; i < kW * kH; ++i) {
    EXPECT_FALSE(lower[i] && upper[i]) << "pixel " << i << " drawn twice";
    EXPECT_EQ(both[i], lower[i] || upper[i]) << "pixel " << i;
  }
}

TEST_F(SoftGlTest, IntegerQuadCoversItsArea) {
  auto lit = Drawn([] {
    glBegin(GL_QUADS);
    glVertex2i(4, 3);
    glVertex2i(17, 3);
    glVertex2i(17, 11);
    glVertex2i(4, 11);
    glEnd();
  });
  EXPECT_EQ(Count(lit), 13 * 8);
  // Rows from the top: GL rows 3 to 10 are buffer rows kH - 11 to kH - 4.
  EXPECT_TRUE(lit[(kH - 4) * kW + 4]);
  EXPECT_TRUE(lit[(kH - 11) * kW + 16]);
  EXPECT_FALSE(lit[(kH - 12) * kW + 16]);
  EXPECT_FALSE(lit[(kH - 4) * kW + 17]);
}

TEST_F(SoftGlTest, HalfIntegerEdgesGoToTheLeftAndBottom) {
  // The rule the desktop shows: a pixel centre on a quad's left or bottom
  // edge is the quad's, on its right or top edge the neighbour's.
  auto lit = Drawn([] { Quad(10.5f, 5.5f, 13.5f, 5.5f, 13.5f, 8.5f, 10.5f, 8.5f); });
  EXPECT_EQ(Count(lit), 9);
  for (int y = 5; y < 8; ++y) {
    for (int x = 10; x < 13; ++x) EXPECT_TRUE(lit[(kH - 1 - y) * kW + x]) << x << "," << y;
  }
}

TEST_F(SoftGlTest, MatricesFollowOrthoTranslateAndTheStack) {
  float m[16];
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, 700.0, 0.0, 500.0, -1.0, 1.0);
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_EQ(m[0], 2.0f / 700.0f);
  EXPECT_EQ(m[5], 2.0f / 500.0f);
  EXPECT_EQ(m[10], -1.0f);
  EXPECT_EQ(m[12], -1.0f);
  EXPECT_EQ(m[13], -1.0f);
  EXPECT_EQ(m[15], 1.0f);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(3.0f, -2.0f, 0.5f);
  glPushMatrix();
  glTranslatef(1.0f, 1.0f, 0.0f);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(m[12], 4.0f);
  EXPECT_EQ(m[13], -1.0f);
  EXPECT_EQ(m[14], 0.5f);
  glPopMatrix();
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(m[12], 3.0f);
  EXPECT_EQ(m[13], -2.0f);
  // The projection was left alone by all of it.
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_EQ(m[0], 2.0f / 700.0f);

  GLint mode = 0, vp[4] = {};
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  glViewport(2, 3, 20, 10);
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[0], 2);
  EXPECT_EQ(vp[1], 3);
  EXPECT_EQ(vp[2], 20);
  EXPECT_EQ(vp[3], 10);
}

TEST_F(SoftGlTest, ReadPixelsRowsFromTheBottomPaddedToTheAlignment) {
  glClear(GL_COLOR_BUFFER_BIT);
  // GL row y gets red y * 8 in columns 0 to 2.
  for (int y = 0; y < 4; ++y) {
    glColor3ub(static_cast<GLubyte>(y * 8), 100, 200);
    glBegin(GL_QUADS);
    glVertex2i(0, y);
    glVertex2i(3, y);
    glVertex2i(3, y + 1);
    glVertex2i(0, y + 1);
    glEnd();
  }
  glReadBuffer(GL_BACK);
  // Three RGB pixels are 9 bytes; rows start every 12 with the default
  // alignment of 4, and the padding is not written.
  std::vector<uint8_t> rgb(12 * 4, 0xAA);
  glReadPixels(0, 0, 3, 4, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(rgb[y * 12 + x * 3], y * 8);
      EXPECT_EQ(rgb[y * 12 + x * 3 + 1], 100);
      EXPECT_EQ(rgb[y * 12 + x * 3 + 2], 200);
    }
    for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(rgb[y * 12 + pad], 0xAA);
  }
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  std::vector<uint8_t> red(3 * 4, 0xAA);
  glReadPixels(0, 0, 3, 4, GL_RED, GL_UNSIGNED_BYTE, red.data());
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(red[y * 3 + x], y * 8);
  }
  // The front buffer is still black until a swap.
  glReadBuffer(GL_FRONT);
  glReadPixels(0, 3, 1, 1, GL_RED, GL_UNSIGNED_BYTE, red.data());
  EXPECT_EQ(red[0], 0);
}

// A texture as large as the window, linearly filtered, draws each texel
// exactly; the rows of the upload honour GL_UNPACK_ALIGNMENT.
TEST_F(SoftGlTest, TextureAtOneToOneReturnsItsTexels) {
  for (int alignment : {1, 4}) {
    std::vector<uint8_t> image;
    const int row = kW * 3;
    const int stride = (row + alignment - 1) / alignment * alignment;
    image.assign(static_cast<size_t>(stride * kH), 0);
    uint32_t state = 12345;
    for (int j = 0; j < kH; ++j) {
      for (int i = 0; i < row; ++i) {
        state = state * 1664525u + 1013904223u;
        image[static_cast<size_t>(j * stride + i)] = static_cast<uint8_t>(state >> 24);
      }
    }
    glViewport(0, 0, kW, kH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, 1.0, 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kW, kH, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    softgl::SwapBuffers(context);
    const uint8_t* shown = softgl::ShownPixels(context);
    for (int j = 0; j < kH; ++j) {
      for (int i = 0; i < kW; ++i) {
        const uint8_t* p = shown + ((kH - 1 - j) * kW + i) * 4;
        for (int c = 0; c < 3; ++c) {
          ASSERT_EQ(p[c], image[static_cast<size_t>(j * stride + i * 3 + c)])
              << "alignment " << alignment << " texel " << i << "," << j;
        }
        ASSERT_EQ(p[3], 255);
      }
    }
  }
}

TEST_F(SoftGlTest, PointsCoverTheirSizeSquare) {
  // Size 1 at a pixel centre: that pixel alone.
  auto one = Drawn([] {
    glBegin(GL_POINTS);
    glVertex2f(7.5f, 9.5f);
    glEnd();
  });
  EXPECT_EQ(Count(one), 1);
  EXPECT_TRUE(one[(kH - 1 - 9) * kW + 7]);

  // Size 7 at a whole position: its edges run through pixel centres, and
  // the dot covers x - 3 to x + 3 and y - 3 to y + 3 (the centres on its
  // right and top edges are its own, unlike a quad's).
  auto seven = Drawn([] {
    glPointSize(7.0f);
    glBegin(GL_POINTS);
    glVertex2f(20.0f, 15.0f);
    glEnd();
    glPointSize(1.0f);
  });
  EXPECT_EQ(Count(seven), 49);
  for (int y = 12; y <= 18; ++y) {
    for (int x = 17; x <= 23; ++x) EXPECT_TRUE(seven[(kH - 1 - y) * kW + x]) << x << "," << y;
  }

  // Anywhere else, still 49 pixels.
  auto shifted = Drawn([] {
    glPointSize(7.0f);
    glBegin(GL_POINTS);
    glVertex2f(20.3f, 14.8f);
    glEnd();
    glPointSize(1.0f);
  });
  EXPECT_EQ(Count(shifted), 49);
}

TEST_F(SoftGlTest, ShownPixelsChangeOnlyAtASwapAndAResizeClearsBoth) {
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(softgl::ShownPixels(context)[0], 0);
  softgl::SwapBuffers(context);
  EXPECT_EQ(softgl::ShownPixels(context)[0], 255);

  softgl::Resize(context, 5, 4);
  EXPECT_EQ(softgl::Width(context), 5);
  EXPECT_EQ(softgl::Height(context), 4);
  const uint8_t* p = softgl::ShownPixels(context);
  for (int i = 0; i < 5 * 4; ++i) {
    EXPECT_EQ(p[i * 4], 0);
    EXPECT_EQ(p[i * 4 + 3], 255);
  }
  // Without a current context nothing is drawn.
  softgl::MakeCurrent(nullptr);
  glClear(GL_COLOR_BUFFER_BIT);
  softgl::MakeCurrent(context);
  softgl::SwapBuffers(context);
  EXPECT_EQ(softgl::ShownPixels(context)[0], 0);
}

// The texture window's shortcuts (texels copied where they map one to one,
// taps worked out once a row and a column, the swap that exchanges the
// buffers) against the per-pixel formulas, byte for byte: textures and
// windows of several sizes, quads at whole, half and odd offsets, mirrored,
// stretched and squeezed, drawn twice with a swap between.
TEST_F(SoftGlTest, FastPathsGiveThePerPixelFormulasPixels) {
  auto draw = [](bool fast, int tw, int th, float x0, float y0, float x1, float y1, float s0,
                 float s1) {
    const int w = 37, h = 29;
    softgl::Context* gl = softgl::CreateContext(w, h);
    softgl::MakeCurrent(gl);
    softgl::UseFastPaths(gl, fast);
    std::vector<uint8_t> image(static_cast<size_t>(tw * th * 3));
    uint32_t state = static_cast<uint32_t>(tw * 131 + th);
    for (uint8_t& b : image) b = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
    std::vector<uint8_t> shown;
    for (int pass = 0; pass < 2; ++pass) {
      PixelProjection(w, h);
      glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
      if (pass == 0) glClear(GL_COLOR_BUFFER_BIT);  // the second pass draws over the first
      GLuint name = 0;
      glGenTextures(1, &name);
      glBindTexture(GL_TEXTURE_2D, name);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
      glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, tw, th, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data());
      glEnable(GL_TEXTURE_2D);
      const float dx = pass == 0 ? 0.0f : 3.0f;
      glBegin(GL_QUADS);
      glTexCoord2f(s0, 0.0f);
      glVertex2f(x0 + dx, y0);
      glTexCoord2f(s1, 0.0f);
      glVertex2f(x1 + dx, y0);
      glTexCoord2f(s1, 1.0f);
      glVertex2f(x1 + dx, y1);
      glTexCoord2f(s0, 1.0f);
      glVertex2f(x0 + dx, y1);
      glEnd();
      glDisable(GL_TEXTURE_2D);
      softgl::SwapBuffers(gl);
      const uint8_t* p = softgl::ShownPixels(gl);
      shown.insert(shown.end(), p, p + w * h * 4);
    }
    softgl::DestroyContext(gl);
    return shown;
  };
  int compared = 0;
  for (int tw : {1, 2, 5, 16, 37}) {
    for (int th : {1, 3, 29}) {
      for (float offset : {0.0f, 0.5f, 1.0f, 2.25f, -3.0f}) {
        for (float width : {static_cast<float>(tw), 2.0f * static_cast<float>(tw), 0.5f * tw, 40.0f}) {
          for (bool mirrored : {false, true}) {
            const float s0 = mirrored ? 1.0f : 0.0f, s1 = mirrored ? 0.0f : 1.0f;
            const float x1 = offset + width, y1 = offset + static_cast<float>(th);
            const auto fast = draw(true, tw, th, offset, offset, x1, y1, s0, s1);
            const auto plain = draw(false, tw, th, offset, offset, x1, y1, s0, s1);
            ASSERT_EQ(fast, plain) << tw << "x" << th << " at " << offset << " width " << width
                                   << (mirrored ? " mirrored" : "");
            ++compared;
          }
        }
      }
    }
  }
  softgl::MakeCurrent(context);
  EXPECT_EQ(compared, 5 * 3 * 5 * 4 * 2);
}

TEST_F(SoftGlTest, FastEdgesGiveThePerRowProductsPixels) {
  // Quads in flat colours, as the graph draws them: upright bars (whose
  // upright edges the fast path works out once a triangle), slanted ones,
  // and some reaching past the window's edges, at positions off the pixel
  // grid; drawn with the shortcuts and with every edge's product on every
  // row, over the same buffer.
  auto draw = [](bool fast) {
    const int w = 37, h = 29;
    softgl::Context* gl = softgl::CreateContext(w, h);
    softgl::MakeCurrent(gl);
    softgl::UseFastPaths(gl, fast);
    PixelProjection(w, h);
    glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    uint32_t state = 2026;
    auto next = [&state](float span) {
      state = state * 1664525u + 1013904223u;
      return static_cast<float>(state >> 8) / 16777216.0f * span;
    };
    for (int q = 0; q < 400; ++q) {
      glColor3f(next(1.0f), next(1.0f), next(1.0f));
      float x = next(47.0f) - 5.0f, y = next(39.0f) - 5.0f;
      float width = next(4.0f), height = next(30.0f), lean = q % 3 == 0 ? 0.0f : next(8.0f) - 4.0f;
      // Every other quad on half pixels, so that edges run through pixel
      // centres, where a run's end is decided by a tie.
      if (q % 2 == 1) {
        for (float* v : {&x, &y, &width, &height, &lean}) *v = std::round(*v * 2.0f) / 2.0f;
      }
      Quad(x, y, x + width, y, x + width + lean, y + height, x + lean, y + height);
    }
    softgl::SwapBuffers(gl);
    const uint8_t* p = softgl::ShownPixels(gl);
    std::vector<uint8_t> shown(p, p + w * h * 4);
    softgl::DestroyContext(gl);
    return shown;
  };
  const auto fast = draw(true);
  const auto plain = draw(false);
  softgl::MakeCurrent(context);
  ASSERT_EQ(fast, plain);
  // The window shows many of the quads' colours: the comparison is not of
  // two blank buffers.
  std::set<uint32_t> colours;
  for (size_t i = 0; i < fast.size(); i += 4)
    colours.insert(static_cast<uint32_t>(fast[i] << 16 | fast[i + 1] << 8 | fast[i + 2]));
  EXPECT_GT(colours.size(), 50u);
}

}  // namespace
