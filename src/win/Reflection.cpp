#include "win/Reflection.h"

#include "win/Window.h"

namespace {

HWND ItemWindow(HWND parent, UINT controlType, HWND item, UINT controlId) {
  if (controlType == ODT_MENU) return nullptr;
  return item != nullptr ? item : GetDlgItem(parent, static_cast<int>(controlId));
}

// The child a reflectable message came from, or null.
HWND SenderOf(const Message& m) {
  switch (m.msg) {
    case WM_NOTIFY:
      return reinterpret_cast<const NMHDR*>(m.lParam)->hwndFrom;
    case WM_PARENTNOTIFY: {
      WORD event = LOWORD(m.wParam);
      return event == WM_CREATE || event == WM_DESTROY ? reinterpret_cast<HWND>(m.lParam) : nullptr;
    }
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
      return ItemWindow(m.hwnd, draw->CtlType, draw->hwndItem, draw->CtlID);
    }
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.lParam);
      return ItemWindow(m.hwnd, measure->CtlType, nullptr, measure->CtlID);
    }
    case WM_COMPAREITEM:
      return reinterpret_cast<const COMPAREITEMSTRUCT*>(m.lParam)->hwndItem;
    case WM_DELETEITEM:
      return reinterpret_cast<const DELETEITEMSTRUCT*>(m.lParam)->hwndItem;
    default:
      // WM_COMMAND, scrolling, WM_xKEYTOITEM and WM_CTLCOLOR* carry the child in lParam.
      return reinterpret_cast<HWND>(m.lParam);
  }
}

}  // namespace

bool ReflectNotification(Message& m) {
  if (!IsReflectable(m.msg) || m.lParam == 0) return false;
  HWND sender = SenderOf(m);
  if (sender == nullptr || !IsWindow(sender)) return false;
  m.result = SendMessageW(sender, REFLECT_BASE + m.msg, m.wParam, m.lParam);
  return true;
}

bool ReflectToOwningControl(Message& m) {
  if (m.msg != WM_NOTIFY || m.lParam == 0) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
  Window* sender = Window::FromHandle(header->hwndFrom);
  if (sender == nullptr || !sender->TakesOwnNotification(header->code)) return false;
  m.result = SendMessageW(header->hwndFrom, REFLECT_BASE + WM_NOTIFY, m.wParam, m.lParam);
  return true;
}
