#include "celleditors/InplaceList.h"

#include <algorithm>
#include <vector>

#include "griditems/GridMessages.h"
#include "celleditors/InplaceEditorPolicy.h"

namespace {

const WindowClass* ListClass() { return RegisterSuperclass(L"EDIT", L"Sonarwick_InplacePropertyList"); }

wchar_t UpperCase(wchar_t character) {
  return static_cast<wchar_t>(
      reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(character)))));
}

}  // namespace

HWND InplaceList::Create(HWND grid, const RECT& cell, const wchar_t* text) {
  return CreateEditor(new InplaceList, ListClass(), grid, cell, text);
}

HWND InplaceList::GetListBox(HWND editor) {
  auto* list = dynamic_cast<InplaceList*>(Window::FromHandle(editor));
  return list != nullptr ? list->listBox_ : nullptr;
}

bool InplaceList::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_CREATE:
      return OnCreate(m);
    case WM_CHAR:
      return OnChar(m);
    case WM_COMMAND:
      return OnCommand(m);
    case WM_DESTROY:
      return OnDestroy(m);
    case WM_SETFONT:
      if (listBox_ != nullptr) SendMessageW(listBox_, WM_SETFONT, m.wParam, m.lParam);
      dropHeight_ = 0;
      return InplaceDropDown::HandleMessage(m);
    default:
      return InplaceDropDown::HandleMessage(m);
  }
}

bool InplaceList::OnCreate(Message& m) {
  // The list comes first: the base part ends by handing the focus to the drop button.
  if (CreateListBox(m.hwnd)) {
    InplaceDropDown::HandleMessage(m);
  } else {
    m.result = -1;
  }
  // A window whose creation fails never sees WM_DESTROY, so the list is taken down here.
  if (m.result == -1) DestroyListBox();
  return true;
}

bool InplaceList::CreateListBox(HWND textBox) {
  listBox_ =
      CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_BORDER | WS_VSCROLL, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, textBox, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (listBox_ == nullptr) return false;
  SendMessageW(listBox_, WM_SETFONT, SendMessageW(GetParent(textBox), WM_GETFONT, 0, 0), TRUE);
  return AttachControl(listBox_, [this](EditorControl& list, Message& m) { return OnListMessage(list, m); });
}

bool InplaceList::OnChar(Message& m) {
  // Only the grid sends characters here: the one typed on the cell that opened the editor.
  auto character = static_cast<wchar_t>(m.wParam);
  if (character > L' ') OnTypedCharacter(character);
  m.result = 0;
  return true;
}

bool InplaceList::IsDropped() const { return listBox_ != nullptr && IsWindowVisible(listBox_); }

void InplaceList::CloseUp() {
  if (IsDropped()) ShowWindow(listBox_, SW_HIDE);
}

bool InplaceList::OnDroppedKey(UINT vk) {
  switch (vk) {
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
      MoveHighlight(vk);
      return true;
    case VK_RETURN:
    case VK_F4:
      Choose();
      return true;
    case VK_TAB: {
      HWND grid = Grid();
      Choose();
      PostMessageW(grid, GRIDM_NAVIGATE, VK_TAB, 0);
      return true;
    }
    case VK_ESCAPE:
      RestoreHighlight();
      CloseUp();
      return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_SPACE:
    case VK_F2:
      return true;  // the cell stays where it is while the list is down
    default:
      return false;
  }
}

// The next option starting with the letter, after the highlighted one and round again; the
// letter's case does not matter, in any alphabet.
void InplaceList::OnTypedCharacter(wchar_t character) {
  if (!IsDropped()) DropDown();
  int count = static_cast<int>(SendMessageW(listBox_, LB_GETCOUNT, 0, 0));
  int current = static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0));
  for (int step = 1; step <= count; ++step) {
    int index = (std::max(current, -1) + step) % count;
    if (UpperCase(FirstLetter(index)) != UpperCase(character)) continue;
    SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return;
  }
}

wchar_t InplaceList::FirstLetter(int index) const {
  int length = static_cast<int>(SendMessageW(listBox_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
  if (length <= 0) return L'\0';
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  SendMessageW(listBox_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return text[0];
}

void InplaceList::MoveHighlight(UINT vk) {
  int count = static_cast<int>(SendMessageW(listBox_, LB_GETCOUNT, 0, 0));
  if (count <= 0) return;
  int current = static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0));
  int target = HighlightAfterKey(vk, current, count, PageSize());
  SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(target), 0);
}

int InplaceList::PageSize() const {
  RECT client{};
  GetClientRect(listBox_, &client);
  int itemHeight = static_cast<int>(SendMessageW(listBox_, LB_GETITEMHEIGHT, 0, 0));
  return itemHeight > 0 ? std::max(1, static_cast<int>(client.bottom / itemHeight)) : 1;
}

// Back to the option the text box shows, as if the list had never been opened.
void InplaceList::RestoreHighlight() {
  int length = GetWindowTextLengthW(Handle());
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  GetWindowTextW(Handle(), text.data(), length + 1);
  LRESULT shown = SendMessageW(listBox_, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(text.data()));
  if (shown != LB_ERR) SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(shown), 0);
}

bool InplaceList::OnCommand(Message& m) {
  if (HIWORD(m.wParam) != 0) return false;
  DropDown();
  m.result = 0;
  return true;
}

bool InplaceList::OnDestroy(Message&) {
  DestroyListBox();
  return false;
}

void InplaceList::DestroyListBox() {
  if (IsWindow(listBox_)) DestroyWindow(listBox_);
  listBox_ = nullptr;
}

void InplaceList::DropDown() {
  // A hidden editor (its page switched away) has nowhere to drop its list.
  if (!IsWindowVisible(Handle())) return;
  if (dropHeight_ == 0) {
    int itemHeight = static_cast<int>(SendMessageW(listBox_, LB_GETITEMHEIGHT, 0, 0));
    int count = static_cast<int>(SendMessageW(listBox_, LB_GETCOUNT, 0, 0));
    dropHeight_ = DropListHeight(itemHeight, count, GetSystemMetrics(SM_CYBORDER));
  }
  RECT editor{};
  GetWindowRect(Handle(), &editor);
  RECT r = DropListRect(editor, dropHeight_);
  // Above its owner only, and not activated: the keyboard focus stays on the drop button.
  SetWindowPos(listBox_, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

bool InplaceList::OnListMessage(EditorControl& list, Message& m) {
  switch (m.msg) {
    case WM_KEYDOWN:
      if (m.wParam == VK_RETURN) Choose();
      if (m.wParam == VK_ESCAPE) CancelFromList();
      return false;
    case WM_MOUSEACTIVATE:
      m.result = MA_NOACTIVATE;
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
      // The list follows the pointer without taking the focus from the drop button.
      OnListClick(m);
      return true;
    case WM_LBUTTONUP:
      OnListClick(m);
      Choose();
      return true;
    case WM_CANCELMODE:
      ShowWindow(m.hwnd, SW_HIDE);
      return false;
    case WM_KILLFOCUS:
      m.result = list.ControlDefault(m);
      ShowWindow(m.hwnd, SW_HIDE);
      return true;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
      dropHeight_ = 0;
      return false;
    default:
      return false;
  }
}

bool InplaceList::OnListClick(Message& m) {
  m.result = 0;
  if (m.msg == WM_MOUSEMOVE && (m.wParam & MK_LBUTTON) == 0) return false;
  auto hit = static_cast<DWORD>(SendMessageW(listBox_, LB_ITEMFROMPOINT, 0, m.lParam));
  if (HIWORD(hit) != 0) return false;
  SendMessageW(listBox_, LB_SETCURSEL, LOWORD(hit), 0);
  return true;
}

// Only a list on screen chooses: one that closed up (focus lost, page switched, frame moved)
// never writes into the cell.
void InplaceList::Choose() {
  if (!IsDropped()) return;
  CloseUp();
  HWND grid = Grid();
  HWND textBox = Handle();
  int index = static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0));
  int length = index >= 0 ? static_cast<int>(SendMessageW(listBox_, LB_GETTEXTLEN, index, 0)) : LB_ERR;
  if (length != LB_ERR) {
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    SendMessageW(listBox_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    SetWindowTextW(textBox, text.data());
    EndEdit(GRIDM_COMMITEDIT);
  }
  SetFocus(grid);
}

void InplaceList::CancelFromList() {
  HWND grid = Grid();
  EndEdit(GRIDM_CANCELEDIT);
  SetFocus(grid);
}
