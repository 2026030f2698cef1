#include "griditems/ValueItem.h"

#include <string>

#include "griditems/ItemDrawing.h"
#include "griditems/VariantValue.h"
#include "win/ScopedVariant.h"

namespace {

// The value as text (VT_BSTR in `text`), or false when it does not convert.
bool ValueAsText(const VARIANT& value, ScopedVariant& text) {
  return ConvertVariant(*text.get(), value, VT_BSTR);
}

// Texts and whole numbers, which are nearly every cell painted, without a conversion: the
// system's conversion of a VT_I4 is its plain decimal digits, whatever the locale.
bool DirectText(const VARIANT& value, std::wstring& text) {
  if (value.vt == VT_BSTR) {
    text.assign(value.bstrVal != nullptr ? value.bstrVal : L"", SysStringLen(value.bstrVal));
    return true;
  }
  if (value.vt == VT_I4) {
    text = std::to_wstring(value.lVal);
    return true;
  }
  return false;
}

}  // namespace

ValueItem::ValueItem(const wchar_t* caption, LPARAM itemData) : PropertyItemBase(caption, itemData) {
  VariantInit(&value);
}

ValueItem::~ValueItem() { VariantClear(&value); }

BYTE ValueItem::GetKind() const { return ITEMKIND_STATIC; }

void ValueItem::DrawValue(const GridDrawInfo& info) { DrawDisplayText(info, TRANSPARENT, kValueFormat); }

BOOL ValueItem::GetDisplayText(wchar_t* buffer, UINT capacity) const {
  if (buffer == nullptr || capacity == 0) return FALSE;
  std::wstring direct;
  if (DirectText(value, direct)) {
    lstrcpynW(buffer, direct.c_str(), static_cast<int>(capacity));
    return TRUE;
  }
  ScopedVariant text;
  if (!ValueAsText(value, text)) return FALSE;
  lstrcpynW(buffer, text->bstrVal != nullptr ? text->bstrVal : L"", static_cast<int>(capacity));
  return TRUE;
}

UINT ValueItem::GetDisplayTextLength() const {
  std::wstring direct;
  if (DirectText(value, direct)) return static_cast<UINT>(direct.size());
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
