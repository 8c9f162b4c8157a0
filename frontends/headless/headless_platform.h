// The program without a display: the headless front end.
//
// Its windows are records of their size and of the redisplays asked of them;
// nothing is drawn. The batch exports run on it, and tests drive the program
// through it: press, drag and change a setting as the desktop's events would,
// then let the posted redisplays run and read the texture window back.
#pragma once

#include <cstdint>
#include <vector>

#include "app/platform.h"

class HeadlessPlatform : public Platform {
 public:
  // A screen of this height: the texture window then opens at its side.
  explicit HeadlessPlatform(int screenHeight = 1024) : screenHeight_(screenHeight) {}

  int OpenWindow(AppWindow which, const char* title, int x, int y, int width,
                 int height) override;
  int CurrentWindow() override { return current_; }
  void SetWindow(int id) override { current_ = id; }
  void PostRedisplay() override;
  int WindowWidth() override;
  int WindowHeight() override;
  int ScreenHeight() override { return screenHeight_; }
  uint32_t ElapsedMs() override;
  bool Draws() override { return false; }
  void SwapBuffers() override {}
  // The texture window shows the noise texture one texel per pixel when it
  // is as large as the texture; at any other size, and for the graph window,
  // there is nothing to read.
  bool ReadShownWindow(int width, int height, uint8_t* rgb) override;
  [[noreturn]] void EndProgram(int window) override;

  // Gives a window a new size, as a user's resize would; calls the graph
  // window's reshape callback as the desktop's would.
  void Resize(int id, int width, int height);

  // Runs the display callback of every window with a redisplay posted, as a
  // main loop would once the events at hand are handled; returns how many ran.
  int RunRedisplays();

 private:
  struct Window {
    AppWindow which;
    int width;
    int height;
    bool redisplay;
  };
  Window* Find(int id);

  int screenHeight_;
  int current_ = 0;
  std::vector<Window> windows_;  // window id k + 1 is windows_[k]
};
