#pragma once

#include <vector>

#include "griditems/ValueItem.h"

// A choice among fixed options, picked in an InplaceList. The value is always VT_I4, the
// index of the chosen option; −1 until options are given.
class ListItem : public ValueItem {
 public:
  ListItem(const wchar_t* caption, LPARAM itemData);
  ~ListItem() override;

  BYTE GetKind() const override;
  HWND CreateEditor(HWND parent, const RECT& cell) override;
  BOOL Activate(UINT action, LPARAM param) override;
  BOOL GetDisplayText(wchar_t* buffer, UINT capacity) const override;
  UINT GetDisplayTextLength() const override;
  BOOL SetValueFromEditor(HWND editor) override;
  // Text picks the option that equals it exactly (case matters); a number picks that index,
  // an index past the options picks the first.
  BOOL SetValue(const VARIANT& value) override;

  // Replaces the options by the strings of `list`, which ends with a null pointer.
  void SetOptions(const wchar_t* const* list);

 private:
  void FreeOptions();
  // The chosen option, or null when the index names none.
  BSTR SelectedOption() const;

  std::vector<BSTR> options;
  HWND editor = nullptr;
};
