#pragma once

#include <windows.h>
#include <wtypes.h>  // VARTYPE

#include <string>

#include "win/Window.h"

// The single-line text box the grid opens over an edit cell. It never writes a value: when
// it loses the focus it asks the grid to commit its text, or to cancel when nothing was typed,
// and it hands the keys that leave the cell to the grid as GRIDM_NAVIGATE.
class InplaceEdit : public Window {
 public:
  // Creates the editor as a child of `grid` on `cell`, holding `text`, with style
  // WS_CHILD|WS_VISIBLE|ES_AUTOHSCROLL, id 0; digits only (ES_NUMBER) when valueType is VT_UI1,
  // VT_UI2 or VT_UI4. Returns the window, or null. The object deletes itself when its window
  // is destroyed.
  static HWND Create(HWND grid, const RECT& cell, const wchar_t* text, VARTYPE valueType);

  // Gives the editor `editor` a button ("…") at the right end of its cell, a square as tall as
  // the editor, which narrows by the button's width wherever it is placed. A click on the
  // button posts GRIDM_EDITORBUTTON to the grid and leaves the keyboard focus, and so the edit,
  // in the text box. False when `editor` is not an InplaceEdit or the button cannot be made;
  // an editor keeps one button however often asked.
  static bool AddButton(HWND editor);
  // The button of `editor`, or null when it has none.
  static HWND GetButton(HWND editor);

  // Editor objects alive in this process (each deletes itself with its window).
  static int LiveObjects() { return liveObjects_; }

 protected:
  bool HandleMessage(Message& m) override;
  void OnFinalMessage() override;

 private:
  InplaceEdit() { ++liveObjects_; }
  ~InplaceEdit() override { --liveObjects_; }

  bool OnCreate(Message& m);
  bool OnChar(Message& m);
  bool OnKeyDown(Message& m);
  bool OnKillFocus(Message& m);
  bool OnGetDlgCode(Message& m);
  bool CreateButton();
  void NarrowForButton(WINDOWPOS& position) const;
  void PlaceButton();
  bool OnButtonMessage(Message& m);
  void EndEdit();
  static void SetMargins(HWND textBox);
  std::wstring CurrentText() const;

  // TRUE while nothing was typed since the editor was created; leaving an unchanged editor
  // cancels instead of committing.
  bool unchanged_ = true;
  // The text the editor opened with. An editor whose value was refused gets the focus back
  // still holding the typed text, which must not then be dropped as "nothing typed".
  std::wstring openingText_;
  HWND button_ = nullptr;
  // The left button went down on the button and has not come up yet.
  bool buttonPressed_ = false;
  // Set once Create returned a window; until then a failed creation leaves the deleting to Create.
  bool created_ = false;
  static inline int liveObjects_ = 0;
};
