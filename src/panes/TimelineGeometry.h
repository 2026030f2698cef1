#pragma once

// Where everything of the timeline pane goes, in pixels: the ruler on top, the curve of how
// many sounds play at once under it, then one lane per entry, all sharing one time axis right
// of the lanes' labels. Kept apart from the window so that its arithmetic is tested directly.

#include <cstdint>
#include <string>
#include <vector>

struct TimelineModel;

struct TimelinePoint {
  int x = 0;
  int y = 0;
};

struct TimelineRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Contains(TimelinePoint point) const {
    return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
  }
  bool operator==(const TimelineRect&) const = default;
};

// The sizes of the pane's parts at its display scale.
struct TimelineMetrics {
  int rulerHeight = 0;
  int curveHeight = 0;
  int laneHeight = 0;
  int labelWidth = 0;
  int barInset = 0;     // space above and below a bar inside its lane
  int rightMargin = 0;  // room for the last tick's text
  int markSize = 0;     // the square of a lane's mark
  int hairline = 1;     // a one-pixel line at 96 DPI

  // `dpi` the display scale, `textHeight` the height of a line of the pane's font.
  static TimelineMetrics ForDpi(unsigned dpi, int textHeight);
};

// The stretch of time the pane shows.
struct TimelineView {
  std::int64_t startMs = 0;
  std::int64_t spanMs = 0;

  std::int64_t EndMs() const { return startMs + spanMs; }
  bool operator==(const TimelineView&) const = default;
};

inline constexpr std::int64_t DefaultTimelineSpanMs = 60'000;
inline constexpr std::int64_t ShortestTimelineSpanMs = 5'000;
inline constexpr std::int64_t LongestTimelineSpanMs = 30 * 60'000;

// The view with its span within the limits and its start not before the beginning.
TimelineView ClampedView(TimelineView view);
// Zoomed by `wheelDelta` (one notch is 120; forward zooms in) with the time `anchorMs` staying
// where it is on the screen, unless the limits or the beginning forbid it.
TimelineView ZoomedView(TimelineView view, double anchorMs, int wheelDelta);

// The distance between the ruler's numbered ticks: the shortest readable step (1 s, 5 s, 10 s,
// 30 s, 1 min ...) that leaves at least `minimumStepPixels` between two of them.
std::int64_t RulerStepMs(std::int64_t spanMs, int plotWidth, int minimumStepPixels);
// A time on the ruler as minutes and seconds ("1:05"), with tenths when the step needs them.
std::wstring FormatTimelineTime(std::int64_t ms, std::int64_t stepMs);

// Where the ruler's numbers go: each just right of its tick at `tickX` (in order), `widths`
// wide, `gap` apart at least. A number that would pass `right` ends left of its tick, and a
// number that would then touch the one before it is left out (its `left` is -1): two numbers
// run together read as neither.
struct RulerLabelPlace {
  int left = -1;
  int right = -1;
  bool Shown() const { return left >= 0; }
};
std::vector<RulerLabelPlace> PlaceRulerLabels(const std::vector<int>& tickX, const std::vector<int>& widths,
                                              int gap, int right);

// What a point of the pane is over.
struct TimelineHit {
  int lane = -1;  // -1 outside the lanes
  int play = -1;  // the play's index in the model, -1 when the point is over no bar
};

class TimelineGeometry {
 public:
  // A client area `width` × `height` showing `view`, with `laneCount` lanes scrolled up by
  // `scrollY` pixels.
  TimelineGeometry(const TimelineMetrics& metrics, int width, int height, TimelineView view, int laneCount,
                   int scrollY);

  const TimelineMetrics& Metrics() const { return metrics_; }
  const TimelineView& View() const { return view_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  int PlotLeft() const { return metrics_.labelWidth; }
  int PlotRight() const;
  int PlotWidth() const { return PlotRight() - PlotLeft(); }
  // The x of a moment, unclamped, so that bars reaching outside the view are cut where they cross it.
  double XOfMs(double ms) const;
  double XOfFrame(std::int64_t frame) const;
  double MsOfX(int x) const;

  TimelineRect RulerRect() const;
  TimelineRect CurveRect() const;
  // Everything below the curve, where the lanes scroll.
  TimelineRect LanesRect() const;
  int LanesTop() const { return metrics_.rulerHeight + metrics_.curveHeight; }
  // The full height of all lanes, and the most they can be scrolled.
  int ContentHeight() const { return laneCount_ * metrics_.laneHeight; }
  int MaxScroll() const;

  TimelineRect LaneRect(int lane) const;
  TimelineRect LabelRect(int lane) const;
  TimelineRect MarkRect(int lane) const;
  // The bar of a play of `length` frames starting at `start` in `lane`: at least a pixel wide.
  TimelineRect BarRect(int lane, std::int64_t start, std::int64_t length) const;
  // The lane at `y`, or -1 above or below the lanes.
  int LaneAt(int y) const;
  int FirstVisibleLane() const;
  int LastVisibleLane() const;  // one past

  // The lane under `point` and, when it is over a bar, the latest play whose bar it touches.
  TimelineHit HitTest(const TimelineModel& model, TimelinePoint point) const;

 private:
  TimelineMetrics metrics_;
  int width_;
  int height_;
  TimelineView view_;
  int laneCount_;
  int scrollY_;
};
