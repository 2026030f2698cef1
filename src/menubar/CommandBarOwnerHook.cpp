#include "menubar/CommandBarOwnerHook.h"

bool CommandBar::OwnerHook::HandleMessage(Message& m) {
  switch (m.msg) {
    case MENUBAR_GET_WINDOW:
      m.result = reinterpret_cast<LRESULT>(bar_.Handle());
      return true;
    case WM_SYSCOMMAND:
      if ((m.wParam & 0xFFF0) == SC_KEYMENU && bar_.OnKeyMenu(m.lParam)) return true;
      break;
    case WM_MENUSELECT:
      bar_.OnMenuSelect(m.wParam, m.lParam);
      break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      bar_.OnSettingsChanged(m.msg == WM_SYSCOLORCHANGE);
      break;
    case WM_ACTIVATE:
      // Keyboard access to the bar ends when the frame goes to the background.
      if (LOWORD(m.wParam) == WA_INACTIVE && bar_.keyboardMode_ && !bar_.tracking_)
        bar_.LeaveKeyboardMode(false);
      break;
    case WM_INITMENUPOPUP:
      // Items the owner puts in as the popup opens (recent files, the window list) are
      // measured like the rest: the popup is laid out only after this message.
      m.result = CallDefault(m);
      if (!HIWORD(m.lParam)) bar_.images_.ApplyTo(reinterpret_cast<HMENU>(m.wParam));
      return true;
    case WM_MEASUREITEM:
      if (m.lParam != 0 && bar_.images_.Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam))) {
        m.result = TRUE;
        return true;
      }
      break;
    case WM_DRAWITEM:
      if (m.lParam != 0 && bar_.images_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam))) {
        m.result = TRUE;
        return true;
      }
      break;
    default:
      break;
  }
  return Window::HandleMessage(m);
}
