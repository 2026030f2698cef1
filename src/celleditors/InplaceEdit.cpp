#include "celleditors/InplaceEdit.h"

#include <algorithm>
#include <utility>

#include "celleditors/EditorControl.h"
#include "griditems/GridMessages.h"
#include "celleditors/InplaceEditorPolicy.h"

namespace {

const WindowClass* EditClass() { return RegisterSuperclass(L"EDIT", L"Sonarwick_InplacePropertyEdit"); }

bool IsUnsignedType(VARTYPE valueType) {
  return valueType == VT_UI1 || valueType == VT_UI2 || valueType == VT_UI4;
}

// Delete removes text, and Shift+Insert and Ctrl+Insert paste and copy, without a character or
// a clipboard message ever reaching the editor; they count as typing, or the edit they made
// would be thrown away when the editor is left.
bool EditsWithoutCharacter(UINT vk) {
  if (vk == VK_DELETE) return true;
  return vk == VK_INSERT && (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0);
}

}  // namespace

HWND InplaceEdit::Create(HWND grid, const RECT& cell, const wchar_t* text, VARTYPE valueType) {
  DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  if (IsUnsignedType(valueType)) style |= ES_NUMBER;
  auto* editor = new InplaceEdit;
  HWND hwnd = editor->Window::Create(EditClass(), grid, cell, text ? text : L"", style);
  if (hwnd == nullptr) {
    delete editor;
    return nullptr;
  }
  editor->created_ = true;
  return hwnd;
}

bool InplaceEdit::AddButton(HWND editor) {
  auto* edit = dynamic_cast<InplaceEdit*>(Window::FromHandle(editor));
  if (edit == nullptr) return false;
  return edit->button_ != nullptr || edit->CreateButton();
}

HWND InplaceEdit::GetButton(HWND editor) {
  auto* edit = dynamic_cast<InplaceEdit*>(Window::FromHandle(editor));
  return edit != nullptr ? edit->button_ : nullptr;
}

// The button is the text box's sibling beside it, not its child. Made inside the text box (even
// one with WS_CLIPCHILDREN) over the list view of the grid, a button exists, is visible and in
// place, and yet never reaches the screen under Wine: what paints the text box covers it. Beside
// the text box, in a grid that clips its children, nothing paints over it.
bool InplaceEdit::CreateButton() {
  button_ =
      CreateWindowExW(WS_EX_NOPARENTNOTIFY, L"BUTTON", L"\u2026", WS_CHILD | WS_CLIPSIBLINGS | BS_PUSHBUTTON,
                      0, 0, 0, 0, GetParent(Handle()), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (button_ == nullptr) return false;
  SendMessageW(button_, WM_SETFONT, SendMessageW(Handle(), WM_GETFONT, 0, 0), FALSE);
  if (!EditorControl::Attach(button_, [this](EditorControl&, Message& m) { return OnButtonMessage(m); })) {
    DestroyWindow(button_);
    button_ = nullptr;
    return false;
  }
  // Placed again at its own size, the text box makes room for the button (see NarrowForButton).
  RECT rect{};
  GetWindowRect(Handle(), &rect);
  MapWindowPoints(nullptr, GetParent(Handle()), reinterpret_cast<POINT*>(&rect), 2);
  SetWindowPos(Handle(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

// Whoever places the text box gives it the cell; it keeps the cell less a square of its
// height at the right end (the row's height, so it scales with the font) for the button.
void InplaceEdit::NarrowForButton(WINDOWPOS& position) const {
  if (button_ == nullptr || (position.flags & SWP_NOSIZE) != 0) return;
  position.cx = std::max(0, position.cx - position.cy);
}

void InplaceEdit::PlaceButton() {
  if (button_ == nullptr) return;
  RECT rect{};
  GetWindowRect(Handle(), &rect);
  MapWindowPoints(nullptr, GetParent(Handle()), reinterpret_cast<POINT*>(&rect), 2);
  const int side = rect.bottom - rect.top;
  // Its own style, not IsWindowVisible: on a hidden page the editor is still shown, and the
  // button must come back with it.
  const bool shown = (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
  const UINT show = shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  SetWindowPos(button_, HWND_TOP, rect.right, rect.top, side, side, SWP_NOACTIVATE | show);
}

// The button presses and clicks without ever taking the focus: a push button takes it on the
// press, which would end the edit (the text box commits or cancels as it loses the focus) and
// destroy the button under its own click.
bool InplaceEdit::OnButtonMessage(Message& m) {
  switch (m.msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      buttonPressed_ = true;
      SetCapture(button_);
      SendMessageW(button_, BM_SETSTATE, TRUE, 0);
      break;
    case WM_MOUSEMOVE:
      if (!buttonPressed_) return false;
      {
        RECT client{};
        GetClientRect(button_, &client);
        const POINT at{static_cast<short>(LOWORD(m.lParam)), static_cast<short>(HIWORD(m.lParam))};
        SendMessageW(button_, BM_SETSTATE, PtInRect(&client, at), 0);
      }
      break;
    case WM_LBUTTONUP: {
      if (!buttonPressed_) return false;
      const bool pushed = (SendMessageW(button_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
      ReleaseCapture();
      if (pushed) PostMessageW(GetParent(Handle()), GRIDM_EDITORBUTTON, 0, AsLParam(Handle()));
      break;
    }
    case WM_CAPTURECHANGED:
      buttonPressed_ = false;
      SendMessageW(button_, BM_SETSTATE, FALSE, 0);
      break;
    case WM_NCDESTROY:
      // The grid going away may take the button before the text box.
      button_ = nullptr;
      return false;
    default:
      return false;
  }
  m.result = 0;
  return true;
}

std::wstring InplaceEdit::CurrentText() const {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void InplaceEdit::OnFinalMessage() {
  if (created_) delete this;
}

bool InplaceEdit::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_CREATE:
      return OnCreate(m);
    case WM_SETFOCUS:
      unchanged_ = CurrentText() == openingText_;
      return false;
    case WM_CHAR:
      return OnChar(m);
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
      unchanged_ = false;
      return false;
    case WM_KEYDOWN:
      return OnKeyDown(m);
    case WM_KILLFOCUS:
      return OnKillFocus(m);
    case WM_GETDLGCODE:
      return OnGetDlgCode(m);
    case WM_WINDOWPOSCHANGING:
      NarrowForButton(*reinterpret_cast<WINDOWPOS*>(m.lParam));
      return Window::HandleMessage(m);
    case WM_WINDOWPOSCHANGED:
      PlaceButton();
      return Window::HandleMessage(m);
    case WM_SETFONT:
      if (button_ != nullptr) SendMessageW(button_, WM_SETFONT, m.wParam, m.lParam);
      // A text box sets its margins from a new font (the grid's, at another display scale);
      // the text must still start where the cell painted it.
      m.result = CallDefault(m);
      SetMargins(m.hwnd);
      return true;
    case WM_DESTROY:
      // The button is the grid's child: it goes with the editor, not with the grid.
      if (button_ != nullptr) DestroyWindow(std::exchange(button_, nullptr));
      return Window::HandleMessage(m);
    default:
      return Window::HandleMessage(m);
  }
}

bool InplaceEdit::OnCreate(Message& m) {
  m.result = CallDefault(m);
  if (m.result == -1) return true;
  LRESULT font = SendMessageW(GetParent(m.hwnd), WM_GETFONT, 0, 0);
  SendMessageW(m.hwnd, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  openingText_ = CurrentText();
  return true;
}

void InplaceEdit::SetMargins(HWND textBox) {
  SendMessageW(textBox, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kEditorLeftMargin, 0));
}

bool InplaceEdit::OnChar(Message& m) {
  // Enter, Ctrl+Enter, Escape and Ctrl+A act in OnKeyDown; the edit must not see them, or it beeps.
  if (m.wParam == VK_RETURN || m.wParam == VK_ESCAPE || m.wParam == L'\n' || m.wParam == 1) {
    m.result = 0;
    return true;
  }
  unchanged_ = false;
  return false;
}

bool InplaceEdit::OnKeyDown(Message& m) {
  UINT vk = LOWORD(m.wParam);
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (vk == 'A' && control) {
    // Select all: the system's text box has no key for it.
    SendMessageW(m.hwnd, EM_SETSEL, 0, -1);
    m.result = 0;
    return true;
  }
  if (vk == VK_ESCAPE || vk == VK_RETURN) {
    if (vk == VK_ESCAPE) unchanged_ = true;
    if (vk == VK_RETURN && control) {
      // Ctrl+Enter sets the shown value in every selected row, typed into or not.
      unchanged_ = false;
      SendMessageW(GetParent(m.hwnd), GRIDM_FILLSELECTION, 0, AsLParam(m.hwnd));
    }
    EndEdit();
    m.result = 0;
    return true;
  }
  if (EditsWithoutCharacter(vk)) unchanged_ = false;
  DWORD selStart = 0, selEnd = 0;
  SendMessageW(m.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  DWORD length = static_cast<DWORD>(GetWindowTextLengthW(m.hwnd));
  if (!KeyLeavesCell(vk, selStart, selEnd, length)) return false;
  PostMessageW(GetParent(m.hwnd), GRIDM_NAVIGATE, vk, 0);
  m.result = 0;
  return true;
}

// The focus moving away is what ends the edit (see OnKillFocus).
void InplaceEdit::EndEdit() { SetFocus(GetParent(Handle())); }

bool InplaceEdit::OnKillFocus(Message& m) {
  m.result = CallDefault(m);
  // Sent, not posted: the grid handles the end of the edit while the focus change that
  // caused it is still under way.
  UINT request = unchanged_ ? GRIDM_CANCELEDIT : GRIDM_COMMITEDIT;
  SendMessageW(GetParent(m.hwnd), request, 0, AsLParam(m.hwnd));
  return true;
}

bool InplaceEdit::OnGetDlgCode(Message& m) {
  m.result = CallDefault(m) | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
  return true;
}
