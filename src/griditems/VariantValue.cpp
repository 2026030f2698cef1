#include "griditems/VariantValue.h"

void CopyVariantOrError(VARIANT& dest, const VARIANT& source) {
  HRESULT hr = VariantCopy(&dest, const_cast<VARIANT*>(&source));
  if (SUCCEEDED(hr)) return;
  VariantClear(&dest);
  dest.vt = VT_ERROR;
  dest.scode = hr;
}

void AssignTextVariant(VARIANT& dest, const wchar_t* text) {
  VariantClear(&dest);
  dest.vt = VT_BSTR;
  dest.bstrVal = text != nullptr ? SysAllocString(text) : nullptr;
  if (text == nullptr || dest.bstrVal != nullptr) return;
  dest.vt = VT_ERROR;
  dest.scode = E_OUTOFMEMORY;
}

bool ConvertVariant(VARIANT& dest, const VARIANT& source, VARTYPE type) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&source), 0, type))) return false;
  VariantClear(&dest);
  dest = converted;  // the converted value's ownership moves into dest
  return true;
}

bool ReadWindowText(HWND hwnd, std::wstring& text) {
  if (!IsWindow(hwnd)) return false;
  int length = GetWindowTextLengthW(hwnd);
  text.assign(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  if (copied == 0 && length > 0) return false;
  text.resize(static_cast<size_t>(copied));
  return true;
}
