#include "app/AboutDialog.h"

#include "commands/CenterOver.h"
#include "resources/ResourceIds.h"
#include "win/ResourceModule.h"

INT_PTR AboutDialog::Run(HWND owner) {
  return RunModal(ResourceModule(), MAKEINTRESOURCEW(RES_ABOUT_DIALOG), owner);
}

bool AboutDialog::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_INITDIALOG:
      return OnInitDialog(m);
    case WM_COMMAND:
      return OnCommand(m);
    default:
      return Dialog::HandleMessage(m);
  }
}

bool AboutDialog::OnInitDialog(Message& m) {
  CenterOver(m.hwnd, GetParent(m.hwnd));
  m.result = TRUE;  // the platform focuses the default button
  return true;
}

bool AboutDialog::OnCommand(Message& m) {
  WORD id = LOWORD(m.wParam);
  if (id != IDOK && id != IDCANCEL) return Dialog::HandleMessage(m);
  End(id);
  return true;
}
