#include "panes/TimelineGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "ambience/AmbienceFormat.h"
#include "panes/TimelineModel.h"

namespace {

int Scaled(int value, unsigned dpi) {
  return static_cast<int>((static_cast<long long>(value) * dpi + 48) / 96);
}

double MsOfFrame(std::int64_t frame) { return static_cast<double>(frame) * 1000.0 / AmbienceRate; }

// Steps a reader counts in without effort; each is a whole multiple of the one before it
// or ends on a round minute, so the numbered ticks fall on round times.
constexpr std::array<std::int64_t, 16> kRulerSteps = {100,     200,     500,       1'000,    2'000,   5'000,
                                                      10'000,  15'000,  30'000,    60'000,   120'000, 300'000,
                                                      600'000, 900'000, 1'800'000, 3'600'000};

// A click within this many pixels of a thin bar still takes it: a bar of a short sound at a
// long span is a hair wide.
constexpr int kHitSlack = 2;

}  // namespace

TimelineMetrics TimelineMetrics::ForDpi(unsigned dpi, int textHeight) {
  TimelineMetrics metrics;
  metrics.rulerHeight = textHeight + Scaled(10, dpi);
  metrics.curveHeight = Scaled(44, dpi);
  metrics.laneHeight = std::max(textHeight + Scaled(6, dpi), Scaled(20, dpi));
  metrics.labelWidth = Scaled(180, dpi);
  metrics.barInset = Scaled(3, dpi);
  metrics.rightMargin = Scaled(16, dpi);
  metrics.markSize = std::max(textHeight - Scaled(2, dpi), Scaled(10, dpi));
  metrics.hairline = std::max(1, static_cast<int>(dpi / 96));
  return metrics;
}

TimelineView ClampedView(TimelineView view) {
  view.spanMs = std::clamp(view.spanMs, ShortestTimelineSpanMs, LongestTimelineSpanMs);
  view.startMs = std::max<std::int64_t>(view.startMs, 0);
  return view;
}

TimelineView ZoomedView(TimelineView view, double anchorMs, int wheelDelta) {
  view = ClampedView(view);
  const double factor = std::pow(1.25, -static_cast<double>(wheelDelta) / 120.0);
  const auto span =
      std::clamp(static_cast<std::int64_t>(std::llround(static_cast<double>(view.spanMs) * factor)),
                 ShortestTimelineSpanMs, LongestTimelineSpanMs);
  const double kept = static_cast<double>(span) / static_cast<double>(view.spanMs);
  const double start = anchorMs - (anchorMs - static_cast<double>(view.startMs)) * kept;
  return ClampedView({static_cast<std::int64_t>(std::llround(start)), span});
}

std::int64_t RulerStepMs(std::int64_t spanMs, int plotWidth, int minimumStepPixels) {
  if (plotWidth <= 0 || spanMs <= 0) return kRulerSteps.back();
  for (std::int64_t step : kRulerSteps) {
    if (static_cast<double>(step) * plotWidth / static_cast<double>(spanMs) >= minimumStepPixels) return step;
  }
  return kRulerSteps.back();
}

std::wstring FormatTimelineTime(std::int64_t ms, std::int64_t stepMs) {
  const std::int64_t tenths = ms / 100;
  const long long minutes = tenths / 600;
  const long long seconds = (tenths / 10) % 60;
  wchar_t text[32];
  if (stepMs % 1000 != 0)
    std::swprintf(text, std::size(text), L"%lld:%02lld.%lld", minutes, seconds,
                  static_cast<long long>(tenths % 10));
  else
    std::swprintf(text, std::size(text), L"%lld:%02lld", minutes, seconds);
  return text;
}

std::vector<RulerLabelPlace> PlaceRulerLabels(const std::vector<int>& tickX, const std::vector<int>& widths,
                                              int gap, int right) {
  std::vector<RulerLabelPlace> places(tickX.size());
  int taken = -1;  // the right end of the last number shown, with its gap
  for (std::size_t index = 0; index < tickX.size() && index < widths.size(); ++index) {
    int left = tickX[index] + gap / 2;
    // Past the edge it goes left of its tick instead, where the tick does not run through it.
    if (left + widths[index] > right) left = std::min(right, tickX[index] - gap / 2) - widths[index];
    if (left < 0 || left < taken || left < tickX[index] - widths[index] - gap) continue;
    places[index] = {left, left + widths[index]};
    taken = left + widths[index] + gap;
  }
  return places;
}

TimelineGeometry::TimelineGeometry(const TimelineMetrics& metrics, int width, int height, TimelineView view,
                                   int laneCount, int scrollY)
    : metrics_(metrics),
      width_(width),
      height_(height),
      view_(view),
      laneCount_(laneCount),
      scrollY_(scrollY) {
  if (view_.spanMs <= 0) view_.spanMs = 1;
}

int TimelineGeometry::PlotRight() const { return std::max(PlotLeft() + 1, width_ - metrics_.rightMargin); }

double TimelineGeometry::XOfMs(double ms) const {
  return PlotLeft() +
         (ms - static_cast<double>(view_.startMs)) * PlotWidth() / static_cast<double>(view_.spanMs);
}

double TimelineGeometry::XOfFrame(std::int64_t frame) const { return XOfMs(MsOfFrame(frame)); }

double TimelineGeometry::MsOfX(int x) const {
  return static_cast<double>(view_.startMs) +
         static_cast<double>(x - PlotLeft()) * static_cast<double>(view_.spanMs) / PlotWidth();
}

TimelineRect TimelineGeometry::RulerRect() const { return {0, 0, width_, metrics_.rulerHeight}; }

TimelineRect TimelineGeometry::CurveRect() const { return {0, metrics_.rulerHeight, width_, LanesTop()}; }

TimelineRect TimelineGeometry::LanesRect() const {
  return {0, LanesTop(), width_, std::max(height_, LanesTop())};
}

int TimelineGeometry::MaxScroll() const {
  return std::max(0, ContentHeight() - (LanesRect().bottom - LanesRect().top));
}

TimelineRect TimelineGeometry::LaneRect(int lane) const {
  const int top = LanesTop() - scrollY_ + lane * metrics_.laneHeight;
  return {0, top, width_, top + metrics_.laneHeight};
}

TimelineRect TimelineGeometry::LabelRect(int lane) const {
  TimelineRect rect = LaneRect(lane);
  rect.right = PlotLeft();
  return rect;
}

TimelineRect TimelineGeometry::MarkRect(int lane) const {
  const TimelineRect lane_ = LabelRect(lane);
  const int gap = metrics_.barInset * 2;
  const int top = lane_.top + (metrics_.laneHeight - metrics_.markSize) / 2;
  return {lane_.right - gap - metrics_.markSize, top, lane_.right - gap, top + metrics_.markSize};
}

TimelineRect TimelineGeometry::BarRect(int lane, std::int64_t start, std::int64_t length) const {
  const TimelineRect row = LaneRect(lane);
  const double left = std::max(XOfFrame(start), static_cast<double>(PlotLeft()) - 1.0);
  const double right = std::min(XOfFrame(start + length), static_cast<double>(PlotRight()) + 1.0);
  const int x0 = static_cast<int>(std::floor(left));
  const int x1 = std::max(x0 + 1, static_cast<int>(std::floor(right)));
  return {x0, row.top + metrics_.barInset, x1, row.bottom - metrics_.barInset};
}

int TimelineGeometry::LaneAt(int y) const {
  if (y < LanesTop() || y >= LanesRect().bottom) return -1;
  const int lane = (y - LanesTop() + scrollY_) / metrics_.laneHeight;
  return lane < laneCount_ ? lane : -1;
}

int TimelineGeometry::FirstVisibleLane() const {
  return std::min(laneCount_, scrollY_ / metrics_.laneHeight);
}

int TimelineGeometry::LastVisibleLane() const {
  const int bottom = scrollY_ + (LanesRect().bottom - LanesTop());
  return std::min(laneCount_, (bottom + metrics_.laneHeight - 1) / metrics_.laneHeight);
}

TimelineHit TimelineGeometry::HitTest(const TimelineModel& model, TimelinePoint point) const {
  TimelineHit hit;
  hit.lane = LaneAt(point.y);
  if (hit.lane >= static_cast<int>(model.lanes.size())) hit.lane = -1;
  if (hit.lane < 0 || point.x < PlotLeft() || point.x >= PlotRight()) return hit;
  const int entry = model.lanes[static_cast<std::size_t>(hit.lane)].entry;
  int near = -1;
  for (std::size_t index = 0; index < model.plays.size(); ++index) {
    const AmbiencePlay& play = model.plays[index];
    if (play.entry != entry) continue;
    const TimelineRect bar = BarRect(hit.lane, play.start, play.length);
    if (point.x >= bar.left && point.x < bar.right) hit.play = static_cast<int>(index);
    if (point.x >= bar.left - kHitSlack && point.x < bar.right + kHitSlack) near = static_cast<int>(index);
  }
  if (hit.play < 0) hit.play = near;
  return hit;
}
