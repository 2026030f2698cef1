#include "WinTestSupport.h"

#include <commctrl.h>

#include <vector>

namespace {
thread_local std::function<bool(const MSG&)> pumpFilter;
}

void SetPumpFilter(std::function<bool(const MSG&)> filter) { pumpFilter = std::move(filter); }

void PumpMessages() {
  MSG msg;
  // Input sent just before may still be on its way through the server; a short second look
  // catches what arrives behind the first empty queue.
  for (int pass = 0; pass < 3; ++pass) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (pumpFilter && pumpFilter(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    PumpMessages();
  }
  return true;
}

void BringToFront(HWND hwnd) {
  SetForegroundWindow(hwnd);
  SetActiveWindow(hwnd);
  SetFocus(hwnd);
  PumpMessages();
}

POINT ClientToScreenPoint(HWND hwnd, int x, int y) {
  POINT point{x, y};
  ClientToScreen(hwnd, &point);
  return point;
}

namespace {

void Send(std::vector<INPUT>& inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  PumpMessages();
}


}  // namespace

INPUT KeyInput(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
      input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      break;
    default:
      break;
  }
  return input;
}

void MoveMouseTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  std::vector<INPUT> inputs(1);
  inputs[0].type = INPUT_MOUSE;
  int width = GetSystemMetrics(SM_CXSCREEN) - 1, height = GetSystemMetrics(SM_CYSCREEN) - 1;
  inputs[0].mi.dx = MulDiv(screen.x, 65535, width);
  inputs[0].mi.dy = MulDiv(screen.y, 65535, height);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(inputs);
}

void MouseButton(POINT screen, bool down, bool right) {
  MoveMouseTo(screen);
  std::vector<INPUT> inputs(1);
  inputs[0].type = INPUT_MOUSE;
  if (right) {
    inputs[0].mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
  } else {
    inputs[0].mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  Send(inputs);
}

void ClickAt(POINT screen, bool right) {
  MouseButton(screen, true, right);
  MouseButton(screen, false, right);
}

void DoubleClickAt(POINT screen) {
  ClickAt(screen);
  ClickAt(screen);
}

void PressKey(WORD vk) { PressChord({vk}); }

void PressChord(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD vk : keys) inputs.push_back(KeyInput(vk, false));
  for (auto it = keys.end(); it != keys.begin();) inputs.push_back(KeyInput(*--it, true));
  Send(inputs);
}

void TypeText(const wchar_t* text) {
  std::vector<INPUT> inputs;
  for (const wchar_t* c = text; *c != 0; ++c) {
    for (bool up : {false, true}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = *c;
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(input);
    }
  }
  Send(inputs);
}

COLORREF ReadClientPixel(HWND hwnd, int x, int y) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  HDC dc = GetDC(hwnd);
  COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return colour;
}

std::vector<char> ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::vector<char> bytes(GetFileSize(file, nullptr));
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::vector<char>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::vector<DWORD> ClientPixels(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> pixels(static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom));
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(client.bottom), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  for (size_t row = 0; row < static_cast<size_t>(client.bottom); ++row)
    pixels[row * static_cast<size_t>(client.right)] = pixels[row * static_cast<size_t>(client.right) + 1] = 0;
  return pixels;
}

bool HeaderCaptionFits(HWND header, int column, int width) {
  wchar_t caption[64]{};
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = caption;
  item.cchTextMax = 64;
  if (!SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item))) return false;
  HDC dc = GetDC(header);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)));
  SIZE text{};
  GetTextExtentPoint32W(dc, caption, static_cast<int>(wcslen(caption)), &text);
  SelectObject(dc, previous);
  ReleaseDC(header, dc);
  const auto margin = static_cast<int>(SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0));
  return width - 2 * margin >= text.cx;
}
