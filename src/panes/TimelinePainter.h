#pragma once

#include <windows.h>

#include <cstdint>

#include "panes/TimelineGeometry.h"
#include "panes/TimelineModel.h"

// The colours of the timeline, taken from the system's so that it stays readable in a
// high-contrast scheme (where mixed shades give way to the scheme's own colours).
struct TimelineColours {
  COLORREF background;
  COLORREF stripe;  // every other lane, so a long row is easy to follow
  COLORREF text;
  COLORREF dimText;
  COLORREF rulerFace;
  COLORREF rulerText;
  COLORREF divider;
  COLORREF bar;
  COLORREF overlapBar;  // the bars of an entry that always overlaps itself
  COLORREF warning;     // the marks and the hatch of a missing file
  COLORREF curveFill;
  COLORREF curveLine;
  COLORREF selection;
  COLORREF selectionText;
  COLORREF cursor;

  static TimelineColours FromSystem();
};

// The memory of a top-down 32-bit DIB section the painter draws into: the bars, thousands of them
// over a long span, are filled there directly, which costs a fraction of a GDI call each.
struct TimelinePixels {
  std::uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
};

// Draws the whole pane, but for the cursor and the focus, into `dc`: the ruler, the curve and the
// lanes that are in sight. Bars that overlap on the screen are filled once, which keeps a long
// span of a crowded list as quick to draw as a short one.
class TimelinePainter {
 public:
  TimelinePainter(HDC dc, const TimelineGeometry& geometry, const TimelineModel& model,
                  const TimelineColours& colours, HFONT font, int selectedLane, TimelinePixels pixels = {});

  void Paint();

 private:
  void Fill(const TimelineRect& rect, COLORREF colour) const;
  // Fills in the DIB's memory where there is one, through GDI elsewhere.
  void FillBar(const TimelineRect& rect, COLORREF colour) const;
  void Text(const wchar_t* text, TimelineRect rect, UINT format, COLORREF colour) const;
  void PaintRuler() const;
  void PaintCurve() const;
  void PaintLaneBackgrounds() const;
  void PaintLabel(int lane) const;
  void PaintOverlapMark(const TimelineRect& mark) const;
  void PaintMissingMark(const TimelineRect& mark) const;
  void PaintBars() const;

  HDC dc_;
  const TimelineGeometry& geometry_;
  const TimelineModel& model_;
  const TimelineColours& colours_;
  HFONT font_;
  int selectedLane_;
  TimelinePixels pixels_;
  int firstLane_;
  int endLane_;
};

// The width of the running cursor's line at `dpi`.
int TimelineCursorWidth(UINT dpi);
