#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

#include "grid/PropertyGrid.h"
#include "griditems/PropertyItem.h"
#include "win/ScopedVariant.h"

// Values that tests put into grid cells and read back out of them.

// A number (VT_I4) for SetValue or GRIDM_SETITEMVALUE, cleared when it goes away.
class VariantNumber : public ScopedVariant {
 public:
  explicit VariantNumber(LONG number) {
    get()->vt = VT_I4;
    get()->lVal = number;
  }
};

// A text (VT_BSTR) for SetValue or GRIDM_SETITEMVALUE, cleared when it goes away.
class VariantText : public ScopedVariant {
 public:
  explicit VariantText(const wchar_t* text) {
    get()->vt = VT_BSTR;
    get()->bstrVal = SysAllocString(text);
  }
};

// The text an item shows, or "<none>" when it gives none.
inline std::wstring DisplayText(const PropertyItem& item) {
  std::wstring text(item.GetDisplayTextLength() + 1, L'\0');
  if (!item.GetDisplayText(text.data(), static_cast<UINT>(text.size()))) return L"<none>";
  text.resize(wcslen(text.c_str()));
  return text;
}

// The text a cell of the grid shows (a row-number column shows its row's number), or "<none>"
// for a cell without an item.
inline std::wstring CellText(const PropertyGrid& grid, int row, int col) {
  const PropertyItem* item = grid.GetCellItem(row, col);
  if (item == nullptr) return L"<none>";
  return col == 0 ? grid.CellText(row, col) : DisplayText(*item);
}
