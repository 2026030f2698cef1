#pragma once

#include "celleditors/EditorControl.h"
#include "win/Window.h"

// The base of the list editor: a text box that cannot be typed or clicked into, with an
// owner-drawn drop button at its right edge that holds the keyboard focus for the whole edit.
// What the button's click drops down is the derived editor's business (WM_COMMAND with
// notification code 0 reaches the text box); so are the keys while something is dropped.
// Whatever is dropped closes up when the button loses the focus or anyone sends the editor
// (its text box or its button) WM_CANCELMODE.
class InplaceDropDown : public Window {
 public:
  // The drop button of the editor `editor`, or null when `editor` is not a drop-down editor.
  static HWND GetButton(HWND editor);

  // Drop-down editor objects alive in this process (each deletes itself with its window).
  static int LiveObjects() { return liveObjects_; }

 protected:
  InplaceDropDown() { ++liveObjects_; }
  ~InplaceDropDown() override { --liveObjects_; }

  bool HandleMessage(Message& m) override;
  void OnFinalMessage() override;

  // Creates the editor window of class `windowClass` as a child of `grid`; the object is
  // deleted again when that fails.
  static HWND CreateEditor(InplaceDropDown* editor, const WindowClass* windowClass, HWND grid,
                           const RECT& cell, const wchar_t* text);

  // Subclasses the control `hwnd` so that its messages reach `handler` first. A handler may end the
  // editor (a commit can make the grid destroy it at once); the object then goes away only
  // after the handler has returned.
  bool AttachControl(HWND hwnd, EditorControl::Handler handler);

  HWND Grid() const { return grid_; }
  // Asks the grid to commit or cancel the edit (sent, or posted to come after the key being
  // handled). Only the first request of an edit goes out: the focus leaving afterwards is the
  // consequence of the end, not another one.
  void EndEdit(UINT request, bool post = false);
  HWND Button() const { return button_; }

  virtual bool IsDropped() const { return false; }
  // A key at the button while dropped; true when it was used.
  virtual bool OnDroppedKey(UINT) { return false; }
  virtual void CloseUp() {}
  // A printable character typed at the button or handed over by the grid.
  virtual void OnTypedCharacter(wchar_t) {}

 private:
  bool OnCreate(Message& m);
  bool OnSetFocus(Message& m);
  bool OnKillFocus(Message& m);
  bool OnGetDlgCode(Message& m);
  bool OnDrawItem(Message& m);
  bool CreateButton(HWND textBox, const RECT& client);
  static void SetMargins(HWND textBox);
  void PlaceButton();
  bool OnButtonMessage(EditorControl& button, Message& m);
  void OnButtonKillFocus(HWND next);
  bool OnButtonKeyDown(Message& m);
  void OnButtonSysKeyDown(UINT vk);
  bool OnButtonChar(Message& m);

  HWND grid_ = nullptr;
  HWND button_ = nullptr;
  // Handlers of the editor's controls now running; the object is not deleted under them.
  int busy_ = 0;
  bool deletePending_ = false;
  bool ended_ = false;
  // Set once creation succeeded; a failed creation leaves the deleting to CreateEditor.
  bool created_ = false;
  static inline int liveObjects_ = 0;
};
