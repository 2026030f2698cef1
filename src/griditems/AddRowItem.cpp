#include "griditems/AddRowItem.h"

#include "griditems/ItemDrawing.h"
#include "win/ResourceModule.h"

AddRowItem::AddRowItem(const wchar_t* caption, LPARAM itemData) : PropertyItemBase(caption, itemData) {}

BYTE AddRowItem::GetKind() const { return ITEMKIND_STATIC; }

void AddRowItem::DrawValue(const GridDrawInfo& info) {
  wchar_t text[128] = L"";
  LoadStringW(ResourceModule(), kAddRowStringId, text, 128);
  DrawCellText(info.hdc, info.rect, text, ValueColours(info), TRANSPARENT, kValueFormat);
}

BOOL AddRowItem::Activate(UINT action, LPARAM) {
  if ((action != ITEMACT_CLICK && action != ITEMACT_EDITOPENED) || !IsWindow(owner)) return TRUE;
  GridNotify notify{};
  notify.hdr.hwndFrom = owner;
  notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(owner));
  notify.hdr.code = static_cast<UINT>(GRIDN_ADDROW);
  notify.item = nullptr;
  SendMessageW(GetParent(owner), WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
  return TRUE;
}
