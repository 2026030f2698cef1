#include "panes/TimelinePainter.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ambience/AmbienceFormat.h"
#include "win/DeviceContext.h"
#include "win/Dpi.h"
#include "win/UniqueHandle.h"

namespace {

COLORREF Mix(COLORREF a, COLORREF b, int percentOfB) {
  const auto channel = [percentOfB](int x, int y) { return (x * (100 - percentOfB) + y * percentOfB) / 100; };
  return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
             channel(GetBValue(a), GetBValue(b)));
}

bool HighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

RECT ToRect(const TimelineRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

std::int64_t FrameOfMs(double ms) { return static_cast<std::int64_t>(ms * AmbienceRate / 1000.0); }

// A run of bars of one lane that touch on the screen, filled as one rectangle.
struct BarRun {
  int left = 0;
  int right = -1;
};

}  // namespace

TimelineColours TimelineColours::FromSystem() {
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  TimelineColours colours{};
  colours.background = window;
  colours.text = text;
  colours.dimText = GetSysColor(COLOR_GRAYTEXT);
  colours.rulerFace = GetSysColor(COLOR_BTNFACE);
  colours.rulerText = GetSysColor(COLOR_BTNTEXT);
  colours.divider = GetSysColor(COLOR_BTNSHADOW);
  colours.bar = highlight;
  colours.selection = highlight;
  colours.selectionText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  colours.cursor = text;
  if (HighContrast()) {
    // The scheme's own colours only: a mixed shade may vanish against its background.
    colours.stripe = window;
    colours.overlapBar = GetSysColor(COLOR_HOTLIGHT);
    colours.warning = GetSysColor(COLOR_HOTLIGHT);
    colours.curveFill = highlight;
    colours.curveLine = text;
    return colours;
  }
  colours.stripe = Mix(window, text, 4);
  colours.overlapBar = RGB(214, 120, 20);
  colours.warning = RGB(200, 40, 30);
  colours.curveFill = Mix(window, highlight, 35);
  colours.curveLine = highlight;
  return colours;
}

int TimelineCursorWidth(UINT dpi) { return std::max(2, ScaleForDpi(2, dpi)); }

TimelinePainter::TimelinePainter(HDC dc, const TimelineGeometry& geometry, const TimelineModel& model,
                                 const TimelineColours& colours, HFONT font, int selectedLane,
                                 TimelinePixels pixels)
    : dc_(dc),
      geometry_(geometry),
      model_(model),
      colours_(colours),
      font_(font),
      selectedLane_(selectedLane),
      pixels_(pixels),
      firstLane_(geometry.FirstVisibleLane()),
      endLane_(geometry.LastVisibleLane()) {}

void TimelinePainter::Paint() {
  SelectionScope font(dc_, font_);
  SelectionScope brush(dc_, GetStockObject(DC_BRUSH));
  SetBkMode(dc_, TRANSPARENT);
  PaintLaneBackgrounds();
  PaintBars();
  for (int lane = firstLane_; lane < endLane_; ++lane) PaintLabel(lane);
  // The lanes scroll under the ruler and the curve, which are drawn last over them.
  PaintCurve();
  PaintRuler();
}

void TimelinePainter::Fill(const TimelineRect& rect, COLORREF colour) const {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  SetDCBrushColor(dc_, colour);
  const RECT r = ToRect(rect);
  FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void TimelinePainter::FillBar(const TimelineRect& rect, COLORREF colour) const {
  if (pixels_.bits == nullptr) return Fill(rect, colour);
  const int left = std::max(rect.left, 0);
  const int right = std::min(rect.right, pixels_.width);
  const int top = std::max(rect.top, 0);
  const int bottom = std::min(rect.bottom, pixels_.height);
  const std::uint32_t value = (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
                              (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
  for (int y = top; y < bottom; ++y) {
    std::uint32_t* row = pixels_.bits + static_cast<std::ptrdiff_t>(y) * pixels_.width;
    std::fill(row + left, row + std::max(left, right), value);
  }
}

void TimelinePainter::Text(const wchar_t* text, TimelineRect rect, UINT format, COLORREF colour) const {
  SetTextColor(dc_, colour);
  RECT r = ToRect(rect);
  DrawTextW(dc_, text, -1, &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

void TimelinePainter::PaintRuler() const {
  const TimelineMetrics& metrics = geometry_.Metrics();
  const TimelineRect ruler = geometry_.RulerRect();
  const TimelineView& view = geometry_.View();
  Fill(ruler, colours_.rulerFace);
  Fill({ruler.left, ruler.bottom - metrics.hairline, ruler.right, ruler.bottom}, colours_.divider);

  const int pad = metrics.barInset * 2;
  // The stretch in sight, in the corner over the labels.
  const std::int64_t labelStep = view.spanMs % 1000 == 0 && view.startMs % 1000 == 0 ? 1000 : 100;
  const std::wstring range =
      FormatTimelineTime(view.startMs, labelStep) + L" \x2013 " + FormatTimelineTime(view.EndMs(), labelStep);
  Text(range.c_str(), {pad, 0, geometry_.PlotLeft() - pad, ruler.bottom}, DT_VCENTER | DT_END_ELLIPSIS,
       colours_.rulerText);

  SIZE widest{};
  const std::wstring sample = FormatTimelineTime(view.EndMs(), 100);
  GetTextExtentPoint32W(dc_, sample.c_str(), static_cast<int>(sample.size()), &widest);
  const std::int64_t step = RulerStepMs(view.spanMs, geometry_.PlotWidth(), widest.cx + pad * 2);
  const int tall = ruler.bottom - ruler.top;
  std::vector<int> tickX;
  std::vector<int> widths;
  std::vector<std::wstring> numbers;
  for (std::int64_t tick = view.startMs / step * step; tick <= view.EndMs(); tick += step) {
    const int x = static_cast<int>(geometry_.XOfMs(static_cast<double>(tick)));
    if (tick >= view.startMs) {
      Fill({x, ruler.top + tall / 2, x + metrics.hairline, ruler.bottom}, colours_.rulerText);
      numbers.push_back(FormatTimelineTime(tick, step));
      SIZE size{};
      GetTextExtentPoint32W(dc_, numbers.back().c_str(), static_cast<int>(numbers.back().size()), &size);
      tickX.push_back(x);
      widths.push_back(size.cx);
    }
    const int half = static_cast<int>(geometry_.XOfMs(static_cast<double>(tick + step / 2)));
    if (tick + step / 2 > view.startMs && half < geometry_.PlotRight())
      Fill({half, ruler.bottom - tall / 4, half + metrics.hairline, ruler.bottom}, colours_.divider);
  }
  // A number cut by the pane's edge would read as another time: the last one goes left of its tick,
  // or is left out where it would then run into the one before.
  const std::vector<RulerLabelPlace> places = PlaceRulerLabels(tickX, widths, pad, ruler.right - pad / 2);
  for (std::size_t index = 0; index < places.size(); ++index) {
    if (!places[index].Shown()) continue;
    Text(numbers[index].c_str(), {places[index].left, ruler.top, places[index].right + pad, ruler.bottom},
         DT_VCENTER | DT_LEFT, colours_.rulerText);
  }
}

void TimelinePainter::PaintCurve() const {
  const TimelineMetrics& metrics = geometry_.Metrics();
  const TimelineRect area = geometry_.CurveRect();
  Fill(area, colours_.background);
  Fill({area.left, area.bottom - metrics.hairline, area.right, area.bottom}, colours_.divider);
  Fill({geometry_.PlotLeft() - metrics.hairline, area.top, geometry_.PlotLeft(), area.bottom},
       colours_.divider);
  const int top = area.top + metrics.barInset * 2;
  const int base = area.bottom - metrics.hairline;
  const int most = std::max(1, model_.mostAtOnce);
  // The highest count, at the level it is drawn to, so the curve's height reads as a number.
  const std::wstring label = std::to_wstring(model_.mostAtOnce);
  Text(label.c_str(),
       {0, top - metrics.laneHeight / 2, geometry_.PlotLeft() - metrics.barInset * 2,
        top + metrics.laneHeight / 2},
       DT_RIGHT | DT_VCENTER, colours_.dimText);
  Fill({geometry_.PlotLeft(), top, geometry_.PlotRight(), top + metrics.hairline}, colours_.stripe);

  // One column per pixel shows the most that play at once within it. The steps go out as one
  // polygon and one line: a busy list changes its count at nearly every column.
  std::vector<POINT> outline{{geometry_.PlotLeft(), base}};
  int level = base;
  for (int x = geometry_.PlotLeft(); x < geometry_.PlotRight(); ++x) {
    const int count =
        MostAtOnce(model_.curve, FrameOfMs(geometry_.MsOfX(x)), FrameOfMs(geometry_.MsOfX(x + 1)));
    const int y = base - (base - top) * count / most;
    if (y == level) continue;
    outline.push_back({x, level});
    outline.push_back({x, y});
    level = y;
  }
  outline.push_back({geometry_.PlotRight(), level});
  outline.push_back({geometry_.PlotRight(), base});
  SetDCBrushColor(dc_, colours_.curveFill);
  {
    SelectionScope pen(dc_, GetStockObject(NULL_PEN));
    // A null pen leaves out the right and bottom edges; the polygon reaches a pixel further.
    for (POINT& point : outline) {
      if (point.x == geometry_.PlotRight()) ++point.x;
      if (point.y == base) ++point.y;
    }
    Polygon(dc_, outline.data(), static_cast<int>(outline.size()));
    for (POINT& point : outline) {
      if (point.x == geometry_.PlotRight() + 1) --point.x;
      if (point.y == base + 1) --point.y;
    }
  }
  UniquePen line(CreatePen(PS_SOLID, metrics.hairline, colours_.curveLine));
  SelectionScope pen(dc_, line.get());
  // The top edge only: the polygon's first and last points lie on the base line.
  Polyline(dc_, outline.data() + 1, static_cast<int>(outline.size()) - 2);
}

void TimelinePainter::PaintLaneBackgrounds() const {
  const TimelineRect lanes = geometry_.LanesRect();
  Fill(lanes, colours_.background);
  UniqueBrush hatch(CreateHatchBrush(HS_BDIAGONAL, Mix(colours_.background, colours_.warning, 35)));
  for (int lane = firstLane_; lane < endLane_; ++lane) {
    TimelineRect row = geometry_.LaneRect(lane);
    row.left = geometry_.PlotLeft();
    if (lane % 2 == 1) Fill(row, colours_.stripe);
    if (!model_.lanes[static_cast<std::size_t>(lane)].soundMissing || !hatch) continue;
    // A lane that cannot sound is struck through with a hatch, however far it is zoomed.
    SetBkColor(dc_, lane % 2 == 1 ? colours_.stripe : colours_.background);
    SetBkMode(dc_, OPAQUE);
    const RECT r = ToRect(row);
    FillRect(dc_, &r, hatch.get());
    SetBkMode(dc_, TRANSPARENT);
  }
  const int hairline = geometry_.Metrics().hairline;
  // Past the end of what the model lists nothing is known yet; it must not read as silence.
  const int unknown =
      std::max(geometry_.PlotLeft(), static_cast<int>(geometry_.XOfMs(static_cast<double>(model_.spanMs))));
  if (unknown < geometry_.PlotRight())
    Fill({unknown, lanes.top, lanes.right, lanes.bottom}, colours_.rulerFace);
  Fill({geometry_.PlotLeft() - hairline, lanes.top, geometry_.PlotLeft(), lanes.bottom}, colours_.divider);
}

void TimelinePainter::PaintLabel(int lane) const {
  const TimelineLane& info = model_.lanes[static_cast<std::size_t>(lane)];
  const TimelineMetrics& metrics = geometry_.Metrics();
  TimelineRect label = geometry_.LabelRect(lane);
  label.right -= metrics.hairline;
  const bool selected = lane == selectedLane_;
  Fill(label, selected ? colours_.selection : (lane % 2 == 1 ? colours_.stripe : colours_.background));
  const COLORREF text = selected ? colours_.selectionText : colours_.text;

  const int pad = metrics.barInset * 2;
  SIZE digits{};
  GetTextExtentPoint32W(dc_, L"000", 3, &digits);
  const std::wstring number = std::to_wstring(info.entry);
  Text(number.c_str(), {label.left + pad, label.top, label.left + pad + digits.cx, label.bottom},
       DT_RIGHT | DT_VCENTER, selected ? text : colours_.dimText);
  // Names in one folder differ in their last part, which a cut keeps.
  const TimelineRect mark = geometry_.MarkRect(lane);
  const bool marked = info.soundMissing || info.overlapsItself;
  Text(info.label.c_str(),
       {label.left + pad * 2 + digits.cx, label.top, (marked ? mark.left : label.right) - pad / 2,
        label.bottom},
       DT_LEFT | DT_VCENTER | DT_PATH_ELLIPSIS, info.soundMissing && !selected ? colours_.dimText : text);
  if (info.soundMissing)
    PaintMissingMark(mark);
  else if (info.overlapsItself)
    PaintOverlapMark(mark);
}

// Two bars lying over each other: the sound begins again before it ends.
void TimelinePainter::PaintOverlapMark(const TimelineRect& mark) const {
  const int size = mark.right - mark.left;
  const int hairline = geometry_.Metrics().hairline;
  const TimelineRect earlier{mark.left, mark.top + size / 8, mark.left + size * 2 / 3, mark.top + size / 2};
  const TimelineRect later{mark.left + size / 3, mark.top + size / 2 - hairline, mark.right,
                           mark.bottom - size / 8};
  Fill(earlier, colours_.overlapBar);
  Fill({later.left - hairline, later.top - hairline, later.right, later.bottom + hairline},
       colours_.background);
  Fill(later, colours_.overlapBar);
}

// An exclamation mark on the warning colour: the file is not there to play.
void TimelinePainter::PaintMissingMark(const TimelineRect& mark) const {
  Fill(mark, colours_.warning);
  const int size = mark.right - mark.left;
  const int stem = std::max(geometry_.Metrics().hairline * 2, size / 6);
  const int x = mark.left + (size - stem) / 2;
  const COLORREF ink = colours_.background;
  Fill({x, mark.top + size / 6, x + stem, mark.bottom - size / 6 - stem * 2}, ink);
  Fill({x, mark.bottom - size / 6 - stem, x + stem, mark.bottom - size / 6}, ink);
}

void TimelinePainter::PaintBars() const {
  if (firstLane_ >= endLane_) return;
  // What GDI still has to draw must be in the memory before the bars are written into it.
  if (pixels_.bits != nullptr) GdiFlush();
  // The lane of each entry, for the plays, which come in time order across all entries.
  std::vector<int> laneOfEntry;
  for (int lane = 0; lane < static_cast<int>(model_.lanes.size()); ++lane) {
    const int entry = model_.lanes[static_cast<std::size_t>(lane)].entry;
    if (entry >= static_cast<int>(laneOfEntry.size()))
      laneOfEntry.resize(static_cast<std::size_t>(entry) + 1, -1);
    laneOfEntry[static_cast<std::size_t>(entry)] = lane;
  }
  std::vector<BarRun> runs(static_cast<std::size_t>(endLane_ - firstLane_));
  std::vector<std::pair<int, int>> edges;  // lane, x
  const auto flush = [this](int lane, const BarRun& run) {
    if (run.right < run.left) return;
    const TimelineRect row = geometry_.BarRect(lane, 0, 0);
    const TimelineLane& info = model_.lanes[static_cast<std::size_t>(lane)];
    FillBar({run.left, row.top, run.right, row.bottom},
            info.overlapsItself ? colours_.overlapBar : colours_.bar);
  };
  const double viewStart = static_cast<double>(geometry_.View().startMs);
  const double viewEnd = static_cast<double>(geometry_.View().EndMs());
  const int hairline = geometry_.Metrics().hairline;
  for (const AmbiencePlay& play : model_.plays) {
    const int lane = play.entry < static_cast<int>(laneOfEntry.size())
                         ? laneOfEntry[static_cast<std::size_t>(play.entry)]
                         : -1;
    if (lane < firstLane_ || lane >= endLane_) continue;
    const double startMs = static_cast<double>(play.start) * 1000.0 / AmbienceRate;
    const double endMs = static_cast<double>(play.start + play.length) * 1000.0 / AmbienceRate;
    if (startMs > viewEnd || endMs < viewStart) continue;
    TimelineRect bar = geometry_.BarRect(lane, play.start, play.length);
    bar.left = std::max(bar.left, geometry_.PlotLeft());
    if (play.length <= 0) {
      // Without a sound, a thin tick still shows when it would have begun.
      bar.right = bar.left + hairline;
      FillBar(bar, colours_.dimText);
      continue;
    }
    BarRun& run = runs[static_cast<std::size_t>(lane - firstLane_)];
    if (bar.left <= run.right) {
      // A play that begins while another still sounds gets an edge, so both can be told apart.
      if (bar.left > run.left + hairline && bar.left < run.right) edges.push_back({lane, bar.left});
      run.right = std::max(run.right, bar.right);
      continue;
    }
    flush(lane, run);
    run = {bar.left, bar.right};
  }
  for (int lane = firstLane_; lane < endLane_; ++lane)
    flush(lane, runs[static_cast<std::size_t>(lane - firstLane_)]);
  for (const auto& [lane, x] : edges) {
    const TimelineRect row = geometry_.BarRect(lane, 0, 0);
    FillBar({x, row.top, x + hairline, row.bottom}, lane % 2 == 1 ? colours_.stripe : colours_.background);
  }
}
