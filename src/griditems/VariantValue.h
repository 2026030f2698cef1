#pragma once

#include <windows.h>
// VARIANT and the OLE Automation calls; they need windows.h first.
#include <oleauto.h>

#include <string>

// VARIANT helpers shared by the value items.

// `dest` becomes a copy of `source`; a copy that fails leaves VT_ERROR with the failure code.
void CopyVariantOrError(VARIANT& dest, const VARIANT& source);

// `dest` (any prior content cleared) becomes a VT_BSTR holding `text`: a null `text` gives a
// null string, a string that cannot be allocated gives VT_ERROR E_OUTOFMEMORY.
void AssignTextVariant(VARIANT& dest, const wchar_t* text);

// Converts `source` to `type` into `dest`, which is changed only when the conversion succeeds.
// Uses the user's locale for text and numbers.
bool ConvertVariant(VARIANT& dest, const VARIANT& source, VARTYPE type);

// The whole window text of `hwnd`; false when the window cannot be read (an empty text is
// not a failure).
bool ReadWindowText(HWND hwnd, std::wstring& text);
