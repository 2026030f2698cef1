#include "grid/InplaceList.h"

#include <vector>

#include "grid/GridMessages.h"
#include "grid/InplaceGeometry.h"

namespace {

const WindowClass* ListClass() { return RegisterSuperclass(L"EDIT", L"Sonarwick_InplacePropertyList"); }

LPARAM AsLParam(HWND hwnd) { return reinterpret_cast<LPARAM>(hwnd); }

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
  // Only the grid sends characters here (the first one typed on the cell; the button holds
  // the focus otherwise): the list's type-ahead gets it.
  PostMessageW(listBox_, WM_CHAR, m.wParam, m.lParam);
  m.result = 0;
  return true;
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
  if (dropHeight_ == 0) {
    int itemHeight = static_cast<int>(SendMessageW(listBox_, LB_GETITEMHEIGHT, 0, 0));
    int count = static_cast<int>(SendMessageW(listBox_, LB_GETCOUNT, 0, 0));
    dropHeight_ = DropListHeight(itemHeight, count, GetSystemMetrics(SM_CYBORDER));
  }
  RECT editor{};
  GetWindowRect(Handle(), &editor);
  RECT r = DropListRect(editor, dropHeight_);
  // Not activated: the keyboard focus stays on the drop button while the list is shown.
  SetWindowPos(listBox_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

bool InplaceList::OnListMessage(EditorControl& list, Message& m) {
  switch (m.msg) {
    case WM_KEYDOWN:
      if (m.wParam == VK_RETURN) Choose();
      if (m.wParam == VK_ESCAPE) CancelFromList();
      return false;
    case WM_LBUTTONUP:
      m.result = list.ControlDefault(m);  // selects the clicked entry first
      Choose();
      return true;
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

void InplaceList::Choose() {
  HWND grid = Grid();
  HWND textBox = Handle();
  int index = static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0));
  int length = index >= 0 ? static_cast<int>(SendMessageW(listBox_, LB_GETTEXTLEN, index, 0)) : LB_ERR;
  if (length != LB_ERR) {
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    SendMessageW(listBox_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    SetWindowTextW(textBox, text.data());
    SendMessageW(grid, GRIDM_COMMITEDIT, 0, AsLParam(textBox));
  }
  SetFocus(grid);
}

void InplaceList::CancelFromList() {
  HWND grid = Grid();
  SendMessageW(grid, GRIDM_CANCELEDIT, 0, AsLParam(Handle()));
  SetFocus(grid);
}
