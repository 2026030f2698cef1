#include "app/ChevronMenu.h"

#include <algorithm>
#include <string>

#include "commands/CommandStrings.h"
#include "menubar/MenuBarMessages.h"
#include "win/UniqueHandle.h"
#include "win/RefusalBeep.h"

namespace {

constexpr int kMaxItemText = 200;

HWND BandChild(HWND rebar, UINT band) {
  REBARBANDINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = RBBIM_CHILD;
  if (!SendMessageW(rebar, RB_GETBANDINFOW, band, reinterpret_cast<LPARAM>(&info))) return nullptr;
  return info.hwndChild;
}

std::wstring ButtonText(HWND toolbar, const TBBUTTON& button) {
  LRESULT length = SendMessageW(toolbar, TB_GETBUTTONTEXTW, button.idCommand, 0);
  if (length > 0) {
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(toolbar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::min<size_t>(static_cast<size_t>(length), kMaxItemText - 1));
    if (!text.empty() && text[0] != 0) return text;
  }
  return ShortNamePart(LoadCommandString(static_cast<UINT>(button.idCommand)));
}

void AppendMenuBarPopup(HMENU popup, HMENU menuBarMenu, int position, bool disabled) {
  wchar_t text[kMaxItemText]{};
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STRING | MIIM_SUBMENU;
  item.dwTypeData = text;
  item.cch = kMaxItemText;
  if (!GetMenuItemInfoW(menuBarMenu, position, TRUE, &item)) return;
  AppendMenuW(popup, MF_POPUP | MF_STRING | (disabled ? MF_GRAYED : 0),
              reinterpret_cast<UINT_PTR>(item.hSubMenu), text);
}

// Fills `popup` with the buttons that lie beyond the band's visible part.
void AddHiddenButtons(HMENU popup, HWND bar, HMENU menuBarMenu) {
  RECT client;
  GetClientRect(bar, &client);
  int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    TBBUTTON button{};
    RECT rect{};
    SendMessageW(bar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    if ((button.fsState & TBSTATE_HIDDEN) != 0) continue;
    SendMessageW(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    if (rect.right <= client.right) continue;
    bool disabled = (button.fsState & TBSTATE_ENABLED) == 0;
    if ((button.fsStyle & BTNS_SEP) != 0) {
      if (GetMenuItemCount(popup) > 0) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    } else if (menuBarMenu != nullptr) {
      AppendMenuBarPopup(popup, menuBarMenu, index, disabled);
    } else {
      AppendMenuW(popup, MF_STRING | (disabled ? MF_GRAYED : 0), static_cast<UINT_PTR>(button.idCommand),
                  ButtonText(bar, button).c_str());
    }
  }
}

// A point off every monitor would put the menu nowhere; pull it into the nearest work area.
LONG ClampToMonitor(POINT point) {
  if (MonitorFromPoint(point, MONITOR_DEFAULTTONULL) != nullptr) return point.x;
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info);
  if (point.x < info.rcWork.left) return info.rcWork.left;
  if (point.x > info.rcWork.right) return info.rcWork.right;
  return point.x;
}

void Track(HWND frame, HMENU popup, const RECT& chevronOnScreen) {
  TPMPARAMS exclude{sizeof(TPMPARAMS), chevronOnScreen};
  UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON | TPM_VERPOSANIMATION;
  POINT corner{chevronOnScreen.left, chevronOnScreen.bottom};
  auto menuBar = reinterpret_cast<HWND>(SendMessageW(frame, MENUBAR_GET_WINDOW, 0, 0));
  if (menuBar != nullptr) {
    MenuBarTrackPopup record{sizeof(MenuBarTrackPopup), popup, flags, corner.x, corner.y, &exclude};
    SendMessageW(menuBar, MENUBAR_TRACK_POPUP, 0, reinterpret_cast<LPARAM>(&record));
    return;
  }
  TrackPopupMenuEx(popup, flags, ClampToMonitor(corner), corner.y, frame, &exclude);
}

// The click that closed the menu on the chevron would otherwise reach the rebar next and open
// the menu again at once.
void DropClickOnChevron(HWND frame, const RECT& chevronOnScreen) {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE)) return;
  if (msg.hwnd != frame && !IsChild(frame, msg.hwnd)) return;
  if (PtInRect(&chevronOnScreen, msg.pt))
    PeekMessageW(&msg, msg.hwnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE);
}

}  // namespace

bool ShowChevronMenu(HWND frame, HWND rebar, const NMREBARCHEVRON& chevron) {
  HWND bar = BandChild(rebar, chevron.uBand);
  if (bar == nullptr || SendMessageW(bar, TB_BUTTONCOUNT, 0, 0) <= 0) return false;
  auto menuBarMenu = reinterpret_cast<HMENU>(SendMessageW(bar, MENUBAR_GET_MENU, 0, 0));
  UniqueMenu popup(CreatePopupMenu());
  AddHiddenButtons(popup.get(), bar, menuBarMenu);
  if (GetMenuItemCount(popup.get()) <= 0) {
    RefusalBeep();
    return false;
  }
  RECT chevronOnScreen = chevron.rc;
  MapWindowPoints(rebar, nullptr, reinterpret_cast<POINT*>(&chevronOnScreen), 2);
  Track(frame, popup.get(), chevronOnScreen);
  if (menuBarMenu != nullptr) {
    // The entries are the menu bar's own popups; detached, they survive the popup.
    for (int position = GetMenuItemCount(popup.get()) - 1; position >= 0; --position) {
      RemoveMenu(popup.get(), position, MF_BYPOSITION);
    }
  }
  popup.reset();
  DropClickOnChevron(frame, chevronOnScreen);
  return true;
}
