#pragma once

#include <windows.h>

#include "app/MessageFilter.h"
#include "win/Window.h"

// The one top-level window of the editor. Its message loop ends when it is destroyed.
class MainFrame : public Window, private MessageFilter {
 public:
  MainFrame() = default;
  ~MainFrame() override;

  // Creates the window: caption from string RES_MAIN, menu RES_MAIN, default position and
  // size. Null when the window could not be created.
  HWND CreateFrame();

  HACCEL Accelerators() const { return accelerators_; }

 protected:
  bool HandleMessage(Message& m) override;

 private:
  bool FilterMessage(MSG& msg) override;

  void OnCreate();
  void OnDestroy();
  void OnFrameDestroy();

  HACCEL accelerators_ = nullptr;
};
