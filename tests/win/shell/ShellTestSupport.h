#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "commands/CommandStateMap.h"
#include "win/Window.h"

// Drives a modal loop that the test itself starts (a dialog, a popup menu): a thread timer
// looks at the current step's condition on every tick and, once it holds, runs the step's
// action. A step that waits longer than the patience closes every dialog and menu of the
// thread, so a broken test fails instead of hanging.
class ModalScript {
 public:
  ModalScript();
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  ModalScript& Then(std::function<bool()> ready, std::function<void()> action);
  size_t StepsDone() const { return done_; }
  bool Finished() const { return done_ == steps_.size(); }
  bool GaveUp() const { return gaveUp_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Step();

  struct Entry {
    std::function<bool()> ready;
    std::function<void()> action;
  };
  std::vector<Entry> steps_;
  size_t done_ = 0;
  bool busy_ = false;
  bool gaveUp_ = false;
  DWORD waitingSince_;
  UINT_PTR timer_;
};

// Input for a modal loop of the platform (dialog manager, menu): sent without pumping, so
// that the loop, not a nested pump of ours, receives it.
void SendKey(WORD vk);
void SendText(const wchar_t* text);
void SendClick(POINT screen);

// A visible dialog window of this thread other than `except`, or null.
HWND FindThreadDialog(HWND except = nullptr);
// The popup menu shown on screen right now, or null.
HMENU ShownPopupMenu();

// One popup item as the tests read it: its text, or "-" for a separator, with " (grayed)".
std::vector<std::wstring> DescribeMenu(HMENU menu);

// A toolbar built from the toolbar layout resource and bitmap, as the frame builds its own:
// 16x15 images on 23x22 buttons, 8-pixel separators.
HWND CreateResourceToolbar(HWND parent, DWORD extraStyle);

bool RussianInterface();

// A top-level window that routes messages to the frame services the way the main frame
// does: command states, menu prompts, tooltips and the chevron; it records menu commands.
class ServiceFrame : public Window {
 public:
  HWND Create(int width = 600, int height = 400);

  CommandStateMap states;
  HWND statusBar = nullptr;
  HWND menuBarWindow = nullptr;  // the answer to MENUBAR_GET_WINDOW
  std::vector<UINT> commands;
  int chevronPushes = 0;
  bool chevronHandled = false;  // the answer to the last push

 protected:
  bool HandleMessage(Message& m) override;

 private:
  bool OnNotify(Message& m);
};
