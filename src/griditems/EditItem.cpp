#include "griditems/EditItem.h"

#include <new>
#include <vector>

#include "celleditors/InplaceEdit.h"
#include "griditems/VariantValue.h"

EditItem::EditItem(const wchar_t* caption, LPARAM itemData) : ValueItem(caption, itemData) {}

BYTE EditItem::GetKind() const { return ITEMKIND_EDIT; }

HWND EditItem::CreateEditor(HWND parent, const RECT& cell) {
  std::vector<wchar_t> text(GetDisplayTextLength() + 1);
  if (!GetDisplayText(text.data(), static_cast<UINT>(text.size()))) return nullptr;
  editor = InplaceEdit::Create(parent, cell, text.data(), value.vt);
  return editor;
}

BOOL EditItem::Activate(UINT action, LPARAM) {
  if (action == ITEMACT_EDITOPENED && IsWindow(editor)) {
    SetFocus(editor);
    SendMessageW(editor, EM_SETSEL, 0, -1);
  }
  return TRUE;
}

BOOL EditItem::SetValueFromEditor(HWND editorWindow) { return SetValueFromWindowText(editorWindow); }

BOOL EditItem::SetValue(const VARIANT& newValue) {
  if (value.vt == VT_EMPTY) CopyVariantOrError(value, newValue);
  return ConvertVariant(value, newValue, value.vt);
}

EditItem* CreateTextItem(const wchar_t* caption, const wchar_t* text, LPARAM itemData) {
  auto* item = new (std::nothrow) EditItem(caption, itemData);
  if (item == nullptr) return nullptr;
  VARIANT initial;
  VariantInit(&initial);
  AssignTextVariant(initial, text);
  item->SetValue(initial);
  VariantClear(&initial);
  return item;
}

EditItem* CreateNumberItem(const wchar_t* caption, LONG number, LPARAM itemData) {
  auto* item = new (std::nothrow) EditItem(caption, itemData);
  if (item == nullptr) return nullptr;
  VARIANT initial;
  VariantInit(&initial);
  initial.vt = VT_I4;
  initial.lVal = number;
  item->SetValue(initial);
  return item;
}
