#include "celleditors/EditorControl.h"

bool EditorControl::Attach(HWND hwnd, Handler handler) {
  auto* control = new EditorControl(std::move(handler));
  if (control->Subclass(hwnd)) return true;
  delete control;
  return false;
}

bool EditorControl::HandleMessage(Message& m) {
  if (handler_(*this, m)) return true;
  return Window::HandleMessage(m);
}
