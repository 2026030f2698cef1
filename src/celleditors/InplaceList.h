#pragma once

#include "celleditors/InplaceDropDown.h"

// The list editor: the drop-down text box with a popup list of choices below it, used from the
// keyboard as a drop-down combo box is. While the list is down the keys at the drop button
// move its highlight (arrows, Home, End, paging, a letter for the next option starting with
// it); Enter, Alt+Up and Tab choose, Escape closes it without a change. A choice writes the
// chosen text into the text box and asks the grid to commit it. The list is owned by the
// editor's top-level window, never topmost, and never takes the focus or activation.
class InplaceList : public InplaceDropDown {
 public:
  // Creates the list editor as a child of `grid` on `cell` holding `text`
  // (WS_CHILD|WS_VISIBLE|WS_CLIPSIBLINGS|WS_CLIPCHILDREN, id 0). Null on failure.
  static HWND Create(HWND grid, const RECT& cell, const wchar_t* text);
  // The popup list box of the list editor `editor` (for LB_ADDSTRING / LB_SETCURSEL), or null
  // when `editor` is not one.
  static HWND GetListBox(HWND editor);

 protected:
  bool HandleMessage(Message& m) override;

 private:
  InplaceList() = default;

  bool IsDropped() const override;
  bool OnDroppedKey(UINT vk) override;
  void CloseUp() override;
  void OnTypedCharacter(wchar_t character) override;

  bool OnCreate(Message& m);
  bool OnChar(Message& m);
  bool OnCommand(Message& m);
  bool OnDestroy(Message& m);
  bool CreateListBox(HWND textBox);
  void DestroyListBox();
  void DropDown();
  bool OnListMessage(EditorControl& list, Message& m);
  bool OnListClick(Message& m);
  void Choose();
  void CancelFromList();
  void MoveHighlight(UINT vk);
  void RestoreHighlight();
  int PageSize() const;
  wchar_t FirstLetter(int index) const;

  HWND listBox_ = nullptr;
  // Height of the dropped list in pixels; 0 until computed, and again after the options change.
  int dropHeight_ = 0;
};
