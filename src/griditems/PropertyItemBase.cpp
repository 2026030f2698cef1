#include "griditems/PropertyItemBase.h"

#include <iterator>
#include <vector>

#include "griditems/ItemDrawing.h"

PropertyItemBase::PropertyItemBase(const wchar_t* caption, LPARAM itemData)
    : caption(caption != nullptr ? caption : L""), itemData(itemData) {}

void PropertyItemBase::SetOwner(HWND grid, LPARAM) { owner = grid; }

const wchar_t* PropertyItemBase::GetCaption() const { return caption.c_str(); }

BOOL PropertyItemBase::SetEnabled(BOOL enable) {
  enabled = enable == TRUE;
  return enabled;
}

BOOL PropertyItemBase::IsEnabled() const { return enabled; }

void PropertyItemBase::SetItemData(LPARAM data) { itemData = data; }

LPARAM PropertyItemBase::GetItemData() const { return itemData; }

void PropertyItemBase::DrawCaption(const GridDrawInfo& info) {
  CellColours colours = CaptionColours(info);
  FillCell(info.hdc, info.rect, colours.back);
  DrawCellText(info.hdc, info.rect, caption.c_str(), colours, TRANSPARENT, kCaptionFormat);
}

void PropertyItemBase::DrawValue(const GridDrawInfo&) {}

HWND PropertyItemBase::CreateEditor(HWND, const RECT&) { return nullptr; }

BOOL PropertyItemBase::Activate(UINT, LPARAM) { return TRUE; }

BOOL PropertyItemBase::GetDisplayText(wchar_t*, UINT) const { return FALSE; }

UINT PropertyItemBase::GetDisplayTextLength() const { return 0; }

BOOL PropertyItemBase::GetValue(VARIANT*) const { return FALSE; }

BOOL PropertyItemBase::SetValueFromEditor(HWND) { return FALSE; }

BOOL PropertyItemBase::SetValue(const VARIANT&) { return FALSE; }

void PropertyItemBase::DrawDisplayText(const GridDrawInfo& info, int backgroundMode, UINT format) {
  // Cells are painted often and their texts are short: the stack holds the usual ones.
  wchar_t shortText[128];
  std::vector<wchar_t> longText;
  UINT capacity = GetDisplayTextLength() + 1;
  wchar_t* text = shortText;
  if (capacity > std::size(shortText)) {
    longText.resize(capacity);
    text = longText.data();
  }
  if (!GetDisplayText(text, capacity)) return;
  DrawCellText(info.hdc, info.rect, text, ValueColours(info), backgroundMode, format);
}
