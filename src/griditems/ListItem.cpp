#include "griditems/ListItem.h"

#include <cwchar>

#include "celleditors/InplaceList.h"
#include "griditems/VariantValue.h"

namespace {

void SetIndex(VARIANT& value, LONG index) {
  VariantClear(&value);
  value.vt = VT_I4;
  value.lVal = index;
}

// A copy of an option that the program cannot go on without.
BSTR CopyOption(const wchar_t* text) {
  BSTR copy = SysAllocStringLen(text, static_cast<UINT>(wcslen(text)));
  if (copy == nullptr)
    RaiseException(static_cast<DWORD>(STATUS_NO_MEMORY), EXCEPTION_NONCONTINUABLE, 0, nullptr);
  return copy;
}

}  // namespace

ListItem::ListItem(const wchar_t* caption, LPARAM itemData) : ValueItem(caption, itemData) {
  SetIndex(value, -1);
}

ListItem::~ListItem() { FreeOptions(); }

BYTE ListItem::GetKind() const { return ITEMKIND_LIST; }

HWND ListItem::CreateEditor(HWND parent, const RECT& cell) {
  std::vector<wchar_t> text(GetDisplayTextLength() + 1);
  if (!GetDisplayText(text.data(), static_cast<UINT>(text.size()))) return nullptr;
  editor = InplaceList::Create(parent, cell, text.data());
  if (editor == nullptr) return nullptr;
  HWND list = InplaceList::GetListBox(editor);
  for (BSTR option : options) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option));
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(value.lVal), 0);
  return editor;
}

BOOL ListItem::Activate(UINT action, LPARAM) {
  // WM_COMMAND(0, 0) drops the editor's list down at once.
  if (action == ITEMACT_EDITOPENED && IsWindow(editor)) SendMessageW(editor, WM_COMMAND, 0, 0);
  return TRUE;
}

BOOL ListItem::GetDisplayText(wchar_t* buffer, UINT capacity) const {
  if (buffer == nullptr || capacity == 0) return FALSE;
  buffer[0] = L'\0';
  BSTR option = SelectedOption();
  if (option == nullptr) return FALSE;
  lstrcpynW(buffer, option, static_cast<int>(capacity));
  return TRUE;
}

UINT ListItem::GetDisplayTextLength() const { return SysStringLen(SelectedOption()); }

BOOL ListItem::SetValueFromEditor(HWND editorWindow) { return SetValueFromWindowText(editorWindow); }

BOOL ListItem::SetValue(const VARIANT& newValue) {
  if (newValue.vt == VT_BSTR) {
    SetIndex(value, 0);
    const wchar_t* text = newValue.bstrVal != nullptr ? newValue.bstrVal : L"";
    for (size_t i = 0; i < options.size(); ++i) {
      if (wcscmp(options[i], text) != 0) continue;
      value.lVal = static_cast<LONG>(i);
      return TRUE;
    }
    return FALSE;
  }
  if (!ConvertVariant(value, newValue, VT_I4)) return FALSE;
  // Negative indexes never come from this program; they pick the first option like any
  // other index that names none.
  if (value.lVal < 0 || static_cast<size_t>(value.lVal) >= options.size()) value.lVal = 0;
  return TRUE;
}

void ListItem::SetOptions(const wchar_t* const* list) {
  FreeOptions();
  for (; list != nullptr && *list != nullptr; ++list) options.push_back(CopyOption(*list));
  if (value.lVal == -1) value.lVal = 0;
}

void ListItem::FreeOptions() {
  for (BSTR option : options) SysFreeString(option);
  options.clear();
}

BSTR ListItem::SelectedOption() const {
  if (value.vt != VT_I4 || value.lVal < 0 || static_cast<size_t>(value.lVal) >= options.size())
    return nullptr;
  return options[static_cast<size_t>(value.lVal)];
}
