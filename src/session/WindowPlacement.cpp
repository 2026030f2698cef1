#include "session/WindowPlacement.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "session/Settings.h"

namespace {

constexpr const wchar_t* kSettingName = L"WindowPlacement";

std::optional<WINDOWPLACEMENT> StoredPlacement(const Settings& settings) {
  const auto bytes = settings.GetBytes(kSettingName);
  if (!bytes || bytes->size() != sizeof(WINDOWPLACEMENT)) return std::nullopt;
  WINDOWPLACEMENT placement{};
  std::memcpy(&placement, bytes->data(), sizeof(placement));
  const RECT& r = placement.rcNormalPosition;
  if (placement.length != sizeof(placement) || r.right <= r.left || r.bottom <= r.top) return std::nullopt;
  return placement;
}

// The placement's rectangle counts from the work area's corner; the monitor test wants the
// screen's coordinates. Both agree unless a task bar sits on the top or left edge.
RECT OnVisibleMonitor(RECT normal) {
  HMONITOR monitor = MonitorFromRect(&normal, MONITOR_DEFAULTTONULL);
  if (monitor != nullptr) return normal;
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST), &info)) return normal;
  return FitIntoArea(normal, info.rcWork);
}

int ShowCommandFor(const WINDOWPLACEMENT& stored, int startCommand) {
  switch (startCommand) {
    case SW_HIDE:
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      return startCommand;
    default:
      return stored.showCmd == SW_SHOWMAXIMIZED || (stored.flags & WPF_RESTORETOMAXIMIZED) != 0
                 ? SW_SHOWMAXIMIZED
                 : SW_SHOWNORMAL;
  }
}

}  // namespace

RECT FitIntoArea(const RECT& window, const RECT& area) {
  const LONG width = std::min(window.right - window.left, area.right - area.left);
  const LONG height = std::min(window.bottom - window.top, area.bottom - area.top);
  const LONG left = std::clamp(window.left, area.left, area.right - width);
  const LONG top = std::clamp(window.top, area.top, area.bottom - height);
  return RECT{left, top, left + width, top + height};
}

void SavePlacement(Settings& settings, HWND frame) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!GetWindowPlacement(frame, &placement)) return;
  std::vector<BYTE> bytes(sizeof(placement));
  std::memcpy(bytes.data(), &placement, sizeof(placement));
  settings.SetBytes(kSettingName, bytes);
}

bool RestorePlacement(const Settings& settings, HWND frame, int showCommand) {
  std::optional<WINDOWPLACEMENT> stored = StoredPlacement(settings);
  if (!stored) return false;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  placement.flags = 0;
  placement.showCmd = static_cast<UINT>(ShowCommandFor(*stored, showCommand));
  placement.ptMinPosition = POINT{-1, -1};
  placement.ptMaxPosition = POINT{-1, -1};
  placement.rcNormalPosition = OnVisibleMonitor(stored->rcNormalPosition);
  return SetWindowPlacement(frame, &placement) != FALSE;
}
