#pragma once

#include <windows.h>

#include <string>

#include "WinTestSupport.h"

// The cell the editors open on, in the test grid's client coordinates.
constexpr RECT kCell{40, 60, 200, 82};

inline std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

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
