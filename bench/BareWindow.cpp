// The start-up benchmark's baseline: the least a program with the editor's libraries does before
// its window shows. It asks for the same common controls (manifest), initialises COM and the bar
// classes as the editor does, and shows one top-level window with a status bar.

#include <windows.h>
// The common controls and COM need windows.h first.
#include <commctrl.h>
#include <objbase.h>

#include "win/StartupMarks.h"

namespace {

LRESULT CALLBACK BareWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      CreateWindowExW(0, STATUSCLASSNAMEW, L"Ready", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd,
                      nullptr, nullptr, nullptr);
      return 0;
    case WM_SIZE:
      SendMessageW(GetWindow(hwnd, GW_CHILD), WM_SIZE, 0, 0);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(1);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

// Marks the same points of its start as the editor does, so that the benchmark can set the
// pieces side by side.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  MarkStartup(L"loaded");
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);
  MarkStartup(L"COM and controls");

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = BareWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"SonarwickBareWindow";
  RegisterClassExW(&windowClass);
  HWND hwnd =
      CreateWindowExW(0, windowClass.lpszClassName, L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return 0;
  MarkStartup(L"frame created");
  ShowWindow(hwnd, showCommand);
  MarkStartup(L"placed and shown");

  MSG msg;
  bool painted = false;
  for (;;) {
    if (!painted && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      MarkStartup(L"first paints");
      painted = true;
    }
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CoUninitialize();
  WriteStartupMarks();
  return static_cast<int>(msg.wParam);
}
