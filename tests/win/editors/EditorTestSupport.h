#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RecordingGrid.h"
#include "WinTestSupport.h"

// The cell the editors open on, in the test grid's client coordinates.
constexpr RECT kCell{40, 60, 200, 82};

// Editor tests over one recording grid for the whole suite: showing a fresh top-level window
// costs Wine seconds. Each test starts with the grid in front, nothing received, and the grid
// closing an editor that ends its edit.
class RecordingGridTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { shared = new RecordingGrid; }
  static void TearDownTestSuite() {
    delete shared;
    shared = nullptr;
  }
  void SetUp() override {
    grid.policy = RecordingGrid::EndPolicy::PostClose;
    grid.received.clear();
    BringToFront(grid.Handle());
  }

  static inline RecordingGrid* shared = nullptr;
  RecordingGrid& grid = *shared;
};

// Shows the editor on top and gives it the focus, as the grid does after creating it.
inline void ShowAndFocus(HWND editor) {
  SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetFocus(editor);
  PumpMessages();
}

// Refuses, while it lives, the creation of every window of one system class on this thread.
class CreationRefusal {
 public:
  explicit CreationRefusal(const wchar_t* className) {
    refusedClass_ = className;
    hook_ = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
  }
  ~CreationRefusal() { UnhookWindowsHookEx(hook_); }
  CreationRefusal(const CreationRefusal&) = delete;
  CreationRefusal& operator=(const CreationRefusal&) = delete;

 private:
  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      wchar_t name[64]{};
      GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
      if (lstrcmpiW(name, refusedClass_) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline const wchar_t* refusedClass_ = nullptr;
  HHOOK hook_ = nullptr;
};
