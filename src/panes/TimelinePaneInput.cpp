#include "panes/TimelinePane.h"
// The message crackers need windows.h, which the pane's header brings, first.
#include <windowsx.h>

#include <algorithm>
#include <utility>

// The pane's mouse and keyboard, the tips of its marks, and what it tells its owner.

namespace {

// Wheel notches scroll the lanes by this many lanes, as a list scrolls by lines.
constexpr int kLanesPerNotch = 3;

}  // namespace

bool TimelinePane::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
  const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
  const UINT keys = GET_KEYSTATE_WPARAM(wParam);
  if ((keys & MK_CONTROL) != 0) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(Handle(), &point);
    const TimelineGeometry geometry = Geometry();
    const int x = std::clamp(static_cast<int>(point.x), geometry.PlotLeft(), geometry.PlotRight());
    ChangeView(ZoomedView(view_, geometry.MsOfX(x), delta));
    return true;
  }
  if ((keys & MK_SHIFT) != 0) {
    ChangeView({view_.startMs - view_.spanMs / 10 * delta / WHEEL_DELTA, view_.spanMs});
    return true;
  }
  ScrollTo(scrollY_ - delta * kLanesPerNotch * metrics_.laneHeight / WHEEL_DELTA);
  return true;
}

void TimelinePane::OnLButtonDown(LPARAM lParam) {
  SetFocus(Handle());
  const TimelineHit hit = Geometry().HitTest(model_, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  if (hit.lane >= 0) SelectLane(hit.lane, hit.play);
}

bool TimelinePane::OnKeyDown(WPARAM key) {
  const TimelineGeometry geometry = Geometry();
  const std::int64_t step = RulerStepMs(view_.spanMs, geometry.PlotWidth(), metrics_.labelWidth / 3);
  const int lanes = static_cast<int>(model_.lanes.size());
  switch (key) {
    case VK_ADD:
    case VK_OEM_PLUS:
      ChangeView(ZoomedView(view_, static_cast<double>(view_.startMs), WHEEL_DELTA));
      return true;
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
      ChangeView(ZoomedView(view_, static_cast<double>(view_.startMs), -WHEEL_DELTA));
      return true;
    case VK_LEFT:
      ChangeView({view_.startMs - step, view_.spanMs});
      return true;
    case VK_RIGHT:
      ChangeView({view_.startMs + step, view_.spanMs});
      return true;
    case VK_HOME:
      ChangeView({0, view_.spanMs});
      return true;
    case VK_UP:
      if (lanes > 0) SelectLane(std::max(0, selectedLane_ - 1), -1);
      return true;
    case VK_DOWN:
      if (lanes > 0) SelectLane(std::min(lanes - 1, selectedLane_ + 1), -1);
      return true;
    case VK_PRIOR:
      ScrollTo(scrollY_ - (geometry.LanesRect().bottom - geometry.LanesTop()));
      return true;
    case VK_NEXT:
      ScrollTo(scrollY_ + (geometry.LanesRect().bottom - geometry.LanesTop()));
      return true;
    default:
      return false;
  }
}

void TimelinePane::ChangeView(TimelineView view) {
  view = ClampedView(view);
  if (view == view_) return;
  view_ = view;
  Refresh();
  Notify(TIMELINEN_SPANCHANGED, SelectedEntry(), -1);
}

void TimelinePane::SelectLane(int lane, int play) {
  const int entry = model_.lanes[static_cast<std::size_t>(lane)].entry;
  SetSelectedEntry(entry);
  Notify(TIMELINEN_SELECTENTRY, entry, play);
}

void TimelinePane::Notify(UINT code, int entry, int play) {
  NMTIMELINE notice{};
  notice.hdr.hwndFrom = Handle();
  notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Handle()));
  notice.hdr.code = code;
  notice.entry = entry;
  notice.play = play;
  notice.view = view_;
  SendMessageW(GetParent(Handle()), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

// ---- the tips of the marks ----

void TimelinePane::SetMarkTips(std::wstring overlapsItself, std::wstring soundMissing) {
  overlapTip_ = std::move(overlapsItself);
  missingTip_ = std::move(soundMissing);
}

// The tip control times its showing from the pane's own mouse messages; it is told which
// lane's mark the pointer is on, and shows nothing elsewhere.
void TimelinePane::RelayToTip(const Message& m) {
  if (overlapTip_.empty() && missingTip_.empty()) return;
  if (markTip_.Handle() == nullptr) markTip_.Create(Handle());
  if (m.msg == WM_MOUSEMOVE) {
    const TimelinePoint point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    const TimelineGeometry geometry = Geometry();
    const int lane = geometry.LaneAt(point.y);
    const bool onMark = lane >= 0 && geometry.MarkRect(lane).Contains(point) && !MarkTipText(lane).empty();
    markTip_.Track(onMark ? lane : -1, 0);
  }
  markTip_.Relay(Handle(), m.msg, m.wParam, m.lParam);
}

bool TimelinePane::OnNotify(Message& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.lParam);
  if (header == nullptr || header->hwndFrom != markTip_.Handle() || header->hwndFrom == nullptr) return false;
  if (header->code == TTN_GETDISPINFOW) markTip_.SupplyText(header, MarkTipText(markTip_.Row()));
  m.result = 0;
  return true;
}

std::wstring TimelinePane::MarkTipText(int lane) const {
  if (lane < 0 || lane >= static_cast<int>(model_.lanes.size())) return std::wstring();
  const TimelineLane& info = model_.lanes[static_cast<std::size_t>(lane)];
  if (info.soundMissing) return missingTip_;
  return info.overlapsItself ? overlapTip_ : std::wstring();
}
