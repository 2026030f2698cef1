#pragma once

#include "win/Message.h"

// The object behind one modal dialog. The dialog procedure binds the object to the dialog
// window at WM_INITDIALOG (the messages before it get the platform's dialog handling) and
// hands every later message to HandleMessage, in the same handler-chain style as Window:
// a derived class consumes a message by setting m.result and returning true, otherwise it
// ends with `return Base::HandleMessage(m);`. What nobody consumes gets the platform's
// default dialog processing.
class Dialog {
 public:
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  virtual ~Dialog() = default;

  // The dialog window while it is shown, else null.
  HWND Handle() const { return hwnd_; }

  // Runs the dialog from template `name` of `instance`, owned by `owner`; returns the value
  // given to End, or -1 when the dialog could not be created.
  INT_PTR RunModal(HINSTANCE instance, const wchar_t* name, HWND owner);
  // The same from a template in memory.
  INT_PTR RunModal(const DLGTEMPLATE* dialogTemplate, HWND owner);

  // The dialog object bound to `hwnd`, or null.
  static Dialog* FromHandle(HWND hwnd);

 protected:
  // The root answers WM_INITDIALOG with TRUE, so the platform focuses the first control.
  virtual bool HandleMessage(Message& m);
  // Ends the modal loop; RunModal returns `result`.
  void End(INT_PTR result);

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};
