#include "menubar/CommandBar.h"
#include "win/DeviceContext.h"

bool CommandBar::OnReflectedNotify(Message& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.lParam);
  if (header == nullptr || header->hwndFrom != Handle() || header->code != NM_CUSTOMDRAW) return false;
  m.result = OnCustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(m.lParam));
  return true;
}

LRESULT CommandBar::OnCustomDraw(NMTBCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || themed_) return CDRF_DODEFAULT;
  bool lit = (draw.nmcd.uItemState & (CDIS_HOT | CDIS_SELECTED | CDIS_CHECKED)) != 0;
  bool grayed = (draw.nmcd.uItemState & CDIS_DISABLED) != 0;
  size_t index = static_cast<size_t>(draw.nmcd.dwItemSpec) - kFirstButtonId;
  if (!lit || grayed || index >= texts_.size()) {
    draw.clrText = GetSysColor(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
    return CDRF_DODEFAULT;
  }
  DrawLitButton(draw.nmcd.hdc, draw.nmcd.rc, texts_[index]);
  return CDRF_SKIPDEFAULT;
}

void CommandBar::DrawLitButton(HDC dc, const RECT& rect, const std::wstring& text) const {
  // Classic look: the open or hot popup name is lit like a selected menu item, flat without
  // the toolbar's raised or sunken edge.
  FillRect(dc, &rect, GetSysColorBrush(flatMenus_ ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT));
  SelectionScope font(dc, font_.get());
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  RECT textRect = rect;
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (ShowsPrefixes() ? 0 : DT_HIDEPREFIX);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, format);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

void CommandBar::ApplyDrawTextFlags() {
  // Mnemonic underlines show while the keyboard is in the bar, or always when the user
  // asked for keyboard cues.
  SendMessageW(Handle(), TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, ShowsPrefixes() ? 0 : DT_HIDEPREFIX);
}

bool CommandBar::ShowsPrefixes() const { return keyboardMode_ || keyboardCues_; }
