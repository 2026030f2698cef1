#pragma once

#include "griditems/PropertyItemBase.h"

// An item that holds a VARIANT value and shows it as text. The base of the label, edit and
// list items; on its own a read-only cell.
class ValueItem : public PropertyItemBase {
 public:
  ValueItem(const wchar_t* caption, LPARAM itemData);
  ~ValueItem() override;

  BYTE GetKind() const override;
  void DrawValue(const GridDrawInfo& info) override;
  BOOL GetDisplayText(wchar_t* buffer, UINT capacity) const override;
  UINT GetDisplayTextLength() const override;
  BOOL GetValue(VARIANT* out) const override;
  // Takes a copy of `value`; a copy that fails stores VT_ERROR. Always TRUE.
  BOOL SetValue(const VARIANT& value) override;

 protected:
  VARIANT value;
  // Reads the editor window's text and passes it to SetValue as a VT_BSTR.
  BOOL SetValueFromWindowText(HWND editor);
};
