#pragma once

#include "griditems/ValueItem.h"

// A value edited as text in an InplaceEdit. The first value it is given fixes its type: a
// number cell keeps VT_I4 and refuses text that does not convert, a text cell keeps VT_BSTR.
class EditItem : public ValueItem {
 public:
  EditItem(const wchar_t* caption, LPARAM itemData);

  BYTE GetKind() const override;
  HWND CreateEditor(HWND parent, const RECT& cell) override;
  BOOL Activate(UINT action, LPARAM param) override;
  BOOL SetValueFromEditor(HWND editor) override;
  BOOL SetValue(const VARIANT& value) override;

 private:
  // The editor it created last; the grid destroys it, so it may no longer be a window.
  HWND editor = nullptr;
};

// A text cell (VT_BSTR; a null `text` gives a null string). Null when out of memory.
EditItem* CreateTextItem(const wchar_t* caption, const wchar_t* text, LPARAM itemData);
// A number cell (VT_I4). Null when out of memory.
EditItem* CreateNumberItem(const wchar_t* caption, LONG number, LPARAM itemData);
