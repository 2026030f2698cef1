#include "ShellTestSupport.h"

#include <commctrl.h>

#include "WinTestSupport.h"
#include "app/ChevronMenu.h"
#include "menubar/MenuBarMessages.h"
#include "commands/MenuPrompts.h"
#include "commands/ToolTipText.h"
#include "resources/ResourceIds.h"

namespace {

thread_local ModalScript* runningScript = nullptr;
constexpr DWORD kPatienceMs = 8000;

BOOL CALLBACK CloseDialog(HWND hwnd, LPARAM) {
  wchar_t name[16]{};
  GetClassNameW(hwnd, name, 16);
  if (std::wstring(name) == L"#32770" && IsWindowVisible(hwnd)) PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

struct DialogSearch {
  HWND except;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
  auto& search = *reinterpret_cast<DialogSearch*>(lParam);
  wchar_t name[16]{};
  GetClassNameW(hwnd, name, 16);
  if (hwnd == search.except || std::wstring(name) != L"#32770" || !IsWindowVisible(hwnd)) return TRUE;
  if (!IsWindowEnabled(hwnd)) return TRUE;
  search.found = hwnd;
  return FALSE;
}

}  // namespace

ModalScript::ModalScript() : waitingSince_(GetTickCount()), timer_(SetTimer(nullptr, 0, 20, Tick)) {
  runningScript = this;
}

ModalScript::~ModalScript() {
  KillTimer(nullptr, timer_);
  runningScript = nullptr;
}

ModalScript& ModalScript::Then(std::function<bool()> ready, std::function<void()> action) {
  steps_.push_back({std::move(ready), std::move(action)});
  return *this;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (runningScript != nullptr) runningScript->Step();
}

void ModalScript::Step() {
  if (busy_ || Finished()) return;
  busy_ = true;
  if (steps_[done_].ready()) {
    steps_[done_].action();
    ++done_;
    waitingSince_ = GetTickCount();
  } else if (GetTickCount() - waitingSince_ > kPatienceMs) {
    gaveUp_ = true;
    done_ = steps_.size();
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
  }
  busy_ = false;
}

void SendKey(WORD vk) {
  INPUT inputs[2]{};
  for (int index = 0; index < 2; ++index) {
    inputs[index].type = INPUT_KEYBOARD;
    inputs[index].ki.wVk = vk;
    inputs[index].ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    inputs[index].ki.dwFlags = index == 1 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(2, inputs, sizeof(INPUT));
}

void SendText(const wchar_t* text) {
  std::vector<INPUT> inputs;
  for (const wchar_t* c = text; *c != 0; ++c) {
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = *c;
      input.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(input);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void SendClick(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

HWND FindThreadDialog(HWND except) {
  DialogSearch search{except, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HMENU ShownPopupMenu() {
  HWND menuWindow = FindWindowW(L"#32768", nullptr);
  if (menuWindow == nullptr || !IsWindowVisible(menuWindow)) return nullptr;
  return reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
}

std::vector<std::wstring> DescribeMenu(HMENU menu) {
  std::vector<std::wstring> items;
  for (int position = 0; position < GetMenuItemCount(menu); ++position) {
    UINT state = GetMenuState(menu, position, MF_BYPOSITION);
    // A popup's high byte counts its items; eight of them would read as MF_SEPARATOR.
    if (GetSubMenu(menu, position) != nullptr) state &= 0xFF;
    wchar_t text[256]{};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    if ((state & MF_SEPARATOR) != 0) {
      items.push_back(L"-");
      continue;
    }
    items.push_back((state & MF_GRAYED) != 0 ? std::wstring(text) + L" (grayed)" : std::wstring(text));
  }
  return items;
}

HWND CreateResourceToolbar(HWND parent, DWORD extraStyle) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(RES_MAIN), MAKEINTRESOURCEW(RES_TYPE_TOOLBAR));
  if (found == nullptr) return nullptr;
  auto* words = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (int item = 0; item < words[3]; ++item) {
    WORD id = words[4 + item];
    TBBUTTON button{};
    button.idCommand = id;
    button.fsState = id != 0 ? TBSTATE_ENABLED : 0;
    button.fsStyle = id != 0 ? BTNS_BUTTON : BTNS_SEP;
    button.iBitmap = id != 0 ? image++ : 8;
    buttons.push_back(button);
  }
  HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | extraStyle, 0, 0, 100,
                                 100, parent, reinterpret_cast<HMENU>(0xE800), module, nullptr);
  SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBADDBITMAP bitmap{module, RES_MAIN};
  SendMessageW(toolbar, TB_ADDBITMAP, image, reinterpret_cast<LPARAM>(&bitmap));
  SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
  SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
  return toolbar;
}

bool RussianInterface() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN; }

HWND ServiceFrame::Create(int width, int height) {
  RECT rect{50, 50, 50 + width, 50 + height};
  return Window::Create(RegisterWindowClass(L"Sonarwick_ServiceFrame"), nullptr, rect, L"frame",
                        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE);
}

bool ServiceFrame::HandleMessage(Message& m) {
  if (states.HandleMessage(m)) return true;
  switch (m.msg) {
    case WM_COMMAND:
      if (m.lParam == 0) commands.push_back(LOWORD(m.wParam));
      return false;
    case WM_MENUSELECT:
      ShowMenuPrompt(statusBar, m.wParam, m.lParam);
      return false;
    case WM_NOTIFY:
      return OnNotify(m);
    case MENUBAR_GET_WINDOW:
      m.result = reinterpret_cast<LRESULT>(menuBarWindow);
      return true;
    default:
      return Window::HandleMessage(m);
  }
}

bool ServiceFrame::OnNotify(Message& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.lParam);
  if (header->code == RBN_CHEVRONPUSHED) {
    ++chevronPushes;
    chevronHandled = ShowChevronMenu(m.hwnd, header->hwndFrom, *reinterpret_cast<NMREBARCHEVRON*>(header));
    m.result = 0;
    return chevronHandled;
  }
  if (SupplyToolTipText(header)) {
    m.result = 0;
    return true;
  }
  return Window::HandleMessage(m);
}
