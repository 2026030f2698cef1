#include "win/Dialog.h"

#include "win/Window.h"

namespace {

// Messages whose answer the dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
    case WM_COMPAREITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
  }
}

}  // namespace

INT_PTR Dialog::RunModal(HINSTANCE instance, const wchar_t* name, HWND owner) {
  return DialogBoxParamW(instance, name, owner, DialogProcedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::RunModal(const DLGTEMPLATE* dialogTemplate, HWND owner) {
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner, DialogProcedure,
                                 reinterpret_cast<LPARAM>(this));
}

Dialog* Dialog::FromHandle(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  // Only dialogs of ours carry an object in DWLP_USER.
  if (reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hwnd, DWLP_DLGPROC)) != DialogProcedure) return nullptr;
  return reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

bool Dialog::HandleMessage(Message& m) {
  if (m.msg != WM_INITDIALOG) return false;
  m.result = TRUE;
  return true;
}

void Dialog::End(INT_PTR result) {
  if (hwnd_ != nullptr) EndDialog(hwnd_, result);
}

INT_PTR Dialog::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Message m{hwnd, msg, wParam, lParam};
  // A handler that fails has its message answered with 0, as in a window's procedure.
  const bool handled = Window::Guard(hwnd, msg, true, [&] { return HandleMessage(m); });
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    hwnd_ = nullptr;
  }
  if (!handled) return FALSE;
  if (AnswersDirectly(msg)) return m.result;
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, m.result);
  return TRUE;
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (dialog == nullptr && msg == WM_INITDIALOG) {
    dialog = reinterpret_cast<Dialog*>(lParam);
    dialog->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  }
  if (dialog == nullptr) return FALSE;
  return dialog->Dispatch(hwnd, msg, wParam, lParam);
}
