#include "grid/InplaceEdit.h"

#include "grid/GridMessages.h"
#include "grid/InplaceEditorPolicy.h"

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
    case WM_SETFONT:
      // A text box sets its margins from a new font (the grid's, at another display scale);
      // the text must still start where the cell painted it.
      m.result = CallDefault(m);
      SetMargins(m.hwnd);
      return true;
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
