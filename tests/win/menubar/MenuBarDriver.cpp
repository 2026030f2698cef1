#include "MenuBarDriver.h"

#include <commctrl.h>

#include "WinTestSupport.h"

namespace {

struct ScriptRun {
  const std::function<void(Driver&)>* script;
  Driver* driver;
};

DWORD WINAPI RunScriptThread(void* parameter) {
  auto* run = static_cast<ScriptRun*>(parameter);
  (*run->script)(*run->driver);
  for (int attempt = 0; attempt < 5 && OpenMenuWindow() != nullptr; ++attempt) {
    PressKey(VK_ESCAPE);
    run->driver->WaitFor("", [] { return OpenMenuWindow() == nullptr; });
  }
  return 0;
}

BOOL CALLBACK FindMenuWindow(HWND hwnd, LPARAM result) {
  wchar_t name[16] = {};
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  if (GetClassNameW(hwnd, name, 16) == 0 || std::wstring(name) != L"#32768") return TRUE;
  *reinterpret_cast<HWND*>(result) = hwnd;
  return FALSE;
}

}  // namespace

std::vector<std::string> Driver::Run(const std::function<void(Driver&)>& script,
                                     const std::function<bool(const MSG&)>& filter) {
  Driver driver;
  ScriptRun run{&script, &driver};
  HANDLE thread = CreateThread(nullptr, 0, RunScriptThread, &run, 0, nullptr);
  if (thread == nullptr) return {"the driver thread did not start"};
  while (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (filter && filter(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(1, &thread, FALSE, 20, QS_ALLINPUT);
  }
  CloseHandle(thread);
  PumpMessages();
  // The cleanup's waits report nothing; only the script's own failures count.
  std::vector<std::string> failures;
  for (auto& failure : driver.failures_) {
    if (!failure.empty()) failures.push_back(failure);
  }
  return failures;
}

bool Driver::WaitFor(const std::string& what, const std::function<bool()>& condition) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > 3000) {
      failures_.push_back(what);
      return false;
    }
    Sleep(10);
  }
  return true;
}

void DriverMove(HWND uiWindow, POINT screen) {
  SendMessageW(uiWindow, PlaceCursorMessage, static_cast<WPARAM>(screen.x), screen.y);
  MoveMouseTo(screen);
}

void DriverButton(HWND uiWindow, POINT screen, bool down) {
  DriverMove(uiWindow, screen);
  MouseButton(screen, down);
}

void DriverClick(HWND uiWindow, POINT screen) {
  DriverButton(uiWindow, screen, true);
  DriverButton(uiWindow, screen, false);
}

HWND OpenMenuWindow() {
  HWND found = nullptr;
  EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

int PressedButton(HWND bar) {
  int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    TBBUTTON button{};
    SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
    if (button.fsState & TBSTATE_PRESSED) return index;
  }
  return -1;
}

int HotButton(HWND bar) { return static_cast<int>(SendMessageW(bar, TB_GETHOTITEM, 0, 0)); }

HWND FocusOfThread(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

POINT ButtonCentre(HWND bar, int index) {
  RECT rect{};
  SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}
