#include <gtest/gtest.h>

#include "app/windows.h"

TEST(Startup, TextureWindowSideFollowsTheScreenHeight) {
  EXPECT_EQ(TextureWindowSide(1112), 512);
  EXPECT_EQ(TextureWindowSide(1080), 480);
  EXPECT_EQ(TextureWindowSide(1200), 600);
  EXPECT_EQ(TextureWindowSide(801), 201);
  EXPECT_EQ(TextureWindowSide(800), 200);
  EXPECT_EQ(TextureWindowSide(768), 200);
  EXPECT_EQ(TextureWindowSide(0), 200);
  EXPECT_EQ(TextureWindowSide(-5), 200);
}
