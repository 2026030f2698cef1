#include "app/WindowsDialog.h"

#include <algorithm>

#include "commands/CenterOver.h"
#include "resources/ResourceIds.h"
#include "win/ResourceModule.h"

int WindowsDialog::Run(HWND owner) {
  chosen_ = -1;
  return RunModal(ResourceModule(), MAKEINTRESOURCEW(RES_WINDOWS_DIALOG), owner) == IDOK ? chosen_ : -1;
}

bool WindowsDialog::HandleMessage(Message& m) {
  if (m.msg == WM_INITDIALOG) {
    CenterOver(m.hwnd, GetParent(m.hwnd));
    Fill(pages_.active());
    SetFocus(GetDlgItem(m.hwnd, IDC_WINDOWS_LIST));
    m.result = FALSE;  // the focus is set
    return true;
  }
  if (m.msg != WM_COMMAND) return Dialog::HandleMessage(m);
  switch (LOWORD(m.wParam)) {
    case IDC_WINDOWS_LIST:
      if (HIWORD(m.wParam) != LBN_DBLCLK) return Dialog::HandleMessage(m);
      Activate();
      break;
    case IDOK:
      Activate();
      break;
    case IDC_WINDOWS_CLOSE:
      CloseSelected();
      break;
    case IDCANCEL:
      End(IDCANCEL);
      break;
    default:
      return Dialog::HandleMessage(m);
  }
  m.result = 0;
  return true;
}

void WindowsDialog::Fill(int select) {
  HWND list = GetDlgItem(Handle(), IDC_WINDOWS_LIST);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  const std::vector<std::wstring> titles = pages_.titles();
  for (const std::wstring& title : titles) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
  const int last = static_cast<int>(titles.size()) - 1;
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(std::clamp(select, std::min(0, last), last)), 0);
  EnableWindow(GetDlgItem(Handle(), IDOK), !titles.empty());
  EnableWindow(GetDlgItem(Handle(), IDC_WINDOWS_CLOSE), !titles.empty());
}

int WindowsDialog::Selected() const {
  return static_cast<int>(SendDlgItemMessageW(Handle(), IDC_WINDOWS_LIST, LB_GETCURSEL, 0, 0));
}

void WindowsDialog::Activate() {
  const int page = Selected();
  if (page == LB_ERR) return;
  chosen_ = page;
  End(IDOK);
}

void WindowsDialog::CloseSelected() {
  const int page = Selected();
  if (page == LB_ERR) return;
  pages_.close(page);
  Fill(page);
  SetFocus(GetDlgItem(Handle(), IDC_WINDOWS_LIST));
}
