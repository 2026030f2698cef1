#include "celleditors/InplaceDropDown.h"

#include "griditems/GridMessages.h"
#include "celleditors/InplaceEditorPolicy.h"
#include "win/Dpi.h"

HWND InplaceDropDown::GetButton(HWND editor) {
  auto* dropDown = dynamic_cast<InplaceDropDown*>(Window::FromHandle(editor));
  return dropDown != nullptr ? dropDown->button_ : nullptr;
}

HWND InplaceDropDown::CreateEditor(InplaceDropDown* editor, const WindowClass* windowClass, HWND grid,
                                   const RECT& cell, const wchar_t* text) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  HWND hwnd = editor->Window::Create(windowClass, grid, cell, text ? text : L"", style);
  if (hwnd == nullptr) {
    delete editor;
    return nullptr;
  }
  editor->created_ = true;
  return hwnd;
}

void InplaceDropDown::OnFinalMessage() {
  if (!created_) return;
  if (busy_ > 0) {
    deletePending_ = true;
    return;
  }
  delete this;
}

bool InplaceDropDown::AttachControl(HWND hwnd, EditorControl::Handler handler) {
  return EditorControl::Attach(hwnd, [this, handler](EditorControl& control, Message& m) {
    ++busy_;
    bool handled = handler(control, m);
    if (--busy_ == 0 && deletePending_) delete this;
    return handled;
  });
}

bool InplaceDropDown::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_CREATE:
      return OnCreate(m);
    case WM_SETFOCUS:
      return OnSetFocus(m);
    case WM_KILLFOCUS:
      return OnKillFocus(m);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      // The text box takes neither focus, caret nor selection from the mouse.
      m.result = 0;
      return true;
    case WM_GETDLGCODE:
      return OnGetDlgCode(m);
    case WM_DRAWITEM:
      return OnDrawItem(m);
    case WM_CANCELMODE:
      CloseUp();
      return Window::HandleMessage(m);
    case WM_SETFONT:
      if (button_ != nullptr) SendMessageW(button_, WM_SETFONT, m.wParam, m.lParam);
      // The text box sets its margins from the new font; the button's room stays reserved.
      m.result = CallDefault(m);
      SetMargins(m.hwnd);
      return true;
    case WM_SIZE:
      // The grid places the editor again when its rows change height (another display scale).
      PlaceButton();
      return Window::HandleMessage(m);
    default:
      return Window::HandleMessage(m);
  }
}

bool InplaceDropDown::OnCreate(Message& m) {
  m.result = CallDefault(m);
  if (m.result == -1) return true;
  grid_ = GetParent(m.hwnd);
  RECT client{};
  GetClientRect(m.hwnd, &client);
  LRESULT font = SendMessageW(grid_, WM_GETFONT, 0, 0);
  SendMessageW(m.hwnd, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  LONG_PTR style = GetWindowLongPtrW(m.hwnd, GWL_STYLE);
  if (style & WS_BORDER) SetWindowLongPtrW(m.hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER));
  if (!CreateButton(m.hwnd, client)) {
    m.result = -1;
    return true;
  }
  // From now on the editor's keyboard focus is the button's.
  SetFocus(button_);
  return true;
}

bool InplaceDropDown::CreateButton(HWND textBox, const RECT& client) {
  RECT r = DropButtonRect(client);
  button_ = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_OWNERDRAW, r.left,
                            r.top, r.right - r.left, r.bottom - r.top, textBox, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (button_ == nullptr) return false;
  SendMessageW(button_, WM_SETFONT, SendMessageW(textBox, WM_GETFONT, 0, 0), TRUE);
  return AttachControl(button_,
                       [this](EditorControl& button, Message& m) { return OnButtonMessage(button, m); });
}

// The right margin leaves room for the drop button, as wide as a scroll bar at the window's scale.
void InplaceDropDown::SetMargins(HWND textBox) {
  SendMessageW(textBox, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELPARAM(kEditorLeftMargin, SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(textBox))));
}

void InplaceDropDown::PlaceButton() {
  if (button_ == nullptr) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const RECT r = DropButtonRect(client);
  SetWindowPos(button_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

bool InplaceDropDown::OnSetFocus(Message& m) {
  SetFocus(button_);
  InvalidateRect(button_, nullptr, TRUE);
  m.result = 0;
  return true;
}

bool InplaceDropDown::OnKillFocus(Message& m) {
  // The focus passing to our own button is not the end of the edit.
  if (reinterpret_cast<HWND>(m.wParam) != button_) EndEdit(GRIDM_COMMITEDIT);
  return false;
}

bool InplaceDropDown::OnGetDlgCode(Message& m) {
  m.result = CallDefault(m) | DLGC_WANTALLKEYS;
  return true;
}

bool InplaceDropDown::OnDrawItem(Message& m) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
  if (item == nullptr || item->hwndItem != button_) return false;
  RECT rect = item->rcItem;
  UINT state = DFCS_SCROLLDOWN | ((item->itemState & ODS_SELECTED) ? DFCS_PUSHED : 0);
  DrawFrameControl(item->hDC, &rect, DFC_SCROLL, state);
  m.result = 0;
  return true;
}

bool InplaceDropDown::OnButtonMessage(EditorControl&, Message& m) {
  switch (m.msg) {
    case WM_KEYDOWN:
      return OnButtonKeyDown(m);
    case WM_SYSKEYDOWN:
      // The default processing must still see it: it decides whether releasing Alt opens the menu.
      OnButtonSysKeyDown(LOWORD(m.wParam));
      return false;
    case WM_CHAR:
      return OnButtonChar(m);
    case WM_KILLFOCUS:
      CloseUp();
      OnButtonKillFocus(reinterpret_cast<HWND>(m.wParam));
      return false;
    case WM_CANCELMODE:
      CloseUp();
      return false;
    case WM_GETDLGCODE:
      // The button asks as the text box would: the edit's own dialog code.
      m.result = CallDefault(Message{Handle(), m.msg, m.wParam, m.lParam}) | DLGC_WANTALLKEYS;
      return true;
    default:
      return false;
  }
}

// The button holds the editor's focus, so its losing the focus to another window of the
// editor's (the grid taking it back, a click elsewhere) is the end of the edit, as for a text
// box. Another window coming to the front is not: the edit goes on when the frame comes back.
void InplaceDropDown::OnButtonKillFocus(HWND next) {
  if (next == nullptr || GetAncestor(next, GA_ROOT) != GetAncestor(Handle(), GA_ROOT)) return;
  if (next == Handle() || GetWindow(next, GW_OWNER) == Handle()) return;
  EndEdit(GRIDM_COMMITEDIT);
}

void InplaceDropDown::EndEdit(UINT request, bool post) {
  if (ended_) return;
  ended_ = true;
  if (post) {
    PostMessageW(grid_, request, 0, AsLParam(Handle()));
  } else {
    SendMessageW(grid_, request, 0, AsLParam(Handle()));
  }
}

bool InplaceDropDown::OnButtonKeyDown(Message& m) {
  UINT vk = LOWORD(m.wParam);
  if (IsDropped() && OnDroppedKey(vk)) {
    m.result = 0;
    return true;
  }
  switch (vk) {
    case VK_ESCAPE:
    case VK_RETURN:
      // Both end the edit keeping the shown value: a commit, after the key has been handled.
      // Ctrl+Enter sets that value in every selected row.
      if (vk == VK_RETURN && GetKeyState(VK_CONTROL) < 0)
        SendMessageW(grid_, GRIDM_FILLSELECTION, 0, AsLParam(Handle()));
      EndEdit(GRIDM_COMMITEDIT, true);
      break;
    case VK_SPACE:
    case VK_F2:
    case VK_F4:
      SendMessageW(button_, BM_CLICK, 0, 0);
      break;
    case VK_UP:
    case VK_DOWN:
    case VK_TAB:
      PostMessageW(grid_, GRIDM_NAVIGATE, vk, 0);
      break;
    default:
      return false;
  }
  m.result = 0;
  return true;
}

// Alt+Down drops the list, and Alt+Up or Alt+Down take the highlighted choice from it.
void InplaceDropDown::OnButtonSysKeyDown(UINT vk) {
  if (vk != VK_UP && vk != VK_DOWN) return;
  if (IsDropped()) {
    OnDroppedKey(VK_RETURN);
  } else if (vk == VK_DOWN) {
    SendMessageW(button_, BM_CLICK, 0, 0);
  }
}

bool InplaceDropDown::OnButtonChar(Message& m) {
  auto character = static_cast<wchar_t>(m.wParam);
  if (character <= L' ') return false;
  OnTypedCharacter(character);
  m.result = 0;
  return true;
}
