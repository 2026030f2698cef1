#include "grid/ValueItem.h"

#include "grid/ItemDrawing.h"
#include "grid/VariantValue.h"
#include "win/ScopedVariant.h"

#include <string>

namespace {

// The value as text (VT_BSTR in `text`), or false when it does not convert.
bool ValueAsText(const VARIANT& value, ScopedVariant& text) {
  return ConvertVariant(*text.get(), value, VT_BSTR);
}

}  // namespace

ValueItem::ValueItem(const wchar_t* caption, LPARAM itemData) : PropertyItemBase(caption, itemData) {
  VariantInit(&value);
}

ValueItem::~ValueItem() { VariantClear(&value); }

BYTE ValueItem::GetKind() const { return ITEMKIND_STATIC; }

void ValueItem::DrawValue(const GridDrawInfo& info) { DrawDisplayText(info, TRANSPARENT, kValueFormat); }

BOOL ValueItem::GetDisplayText(wchar_t* buffer, UINT capacity) const {
  ScopedVariant text;
  if (buffer == nullptr || capacity == 0 || !ValueAsText(value, text)) return FALSE;
  lstrcpynW(buffer, text->bstrVal != nullptr ? text->bstrVal : L"", static_cast<int>(capacity));
  return TRUE;
}

UINT ValueItem::GetDisplayTextLength() const {
  ScopedVariant text;
  if (!ValueAsText(value, text)) return 0;
  return SysStringLen(text->bstrVal);
}

BOOL ValueItem::GetValue(VARIANT* out) const {
  VARIANT copy;
  VariantInit(&copy);
  CopyVariantOrError(copy, value);
  if (out == nullptr || FAILED(VariantClear(out))) {
    VariantClear(&copy);
    return FALSE;
  }
  *out = copy;  // the caller owns the copy now
  return TRUE;
}

BOOL ValueItem::SetValue(const VARIANT& newValue) {
  CopyVariantOrError(value, newValue);
  return TRUE;
}

BOOL ValueItem::SetValueFromWindowText(HWND editor) {
  std::wstring text;
  if (!ReadWindowText(editor, text)) return FALSE;
  ScopedVariant typed;
  AssignTextVariant(*typed.get(), text.c_str());
  return SetValue(*typed);
}
