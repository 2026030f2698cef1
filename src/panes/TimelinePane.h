#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "grid/CellToolTip.h"
#include "panes/TimelineGeometry.h"
#include "panes/TimelineModel.h"
#include "win/UniqueHandle.h"
#include "win/Window.h"

// Sent to the parent (WM_NOTIFY with an NMTIMELINE) when a bar or a lane is clicked, or the
// keyboard moves to another lane: the owner selects `entry` in its list.
constexpr UINT TIMELINEN_SELECTENTRY = static_cast<UINT>(-3201);
// Sent to the parent (WM_NOTIFY with an NMTIMELINE) when the user zoomed or moved along the time
// axis: `view` is what the pane shows now, and the owner gives it a model reaching that far.
constexpr UINT TIMELINEN_SPANCHANGED = static_cast<UINT>(-3202);

struct NMTIMELINE {
  NMHDR hdr;
  int entry;          // SELECTENTRY: the lane's entry
  int play;           // SELECTENTRY: the clicked play's index in the model, -1 for none
  TimelineView view;  // the view after the change
};

// The timeline picture: a ruler over the time in view, the curve of how many sounds play at
// once, and one lane per entry of the time of day, each play a bar as long as its sound. The
// owner gives it a model (BuildTimelineModel) and, while the preview plays, the position of the
// running cursor; the pane tells it when an entry is chosen or the view changes.
//
// Drawn with GDI into a bitmap kept between paints, so the running cursor and the focus cost
// only a copy of the strips they touch. The lanes scroll vertically under the ruler and the
// curve. Ctrl+wheel zooms about the pointer, Shift+wheel moves along the time; the keys: + and -
// zoom, Left and Right move by a ruler step, Home goes back to the beginning, Up and Down choose
// the lane above or below.
class TimelinePane : public Window {
 public:
  static const WindowClass* Class();

  HWND Create(HWND parent, const RECT& rect, UINT id);

  void SetModel(TimelineModel model);
  const TimelineModel& Model() const { return model_; }
  // The view is kept within the span limits and never starts before the beginning.
  void SetView(TimelineView view);
  const TimelineView& View() const { return view_; }
  // Where the preview plays now, in ms from the realization's beginning; negative hides the cursor.
  void SetCursorTime(std::int64_t ms);
  std::int64_t CursorTime() const { return cursorMs_; }
  // Shows the lane of `entry` as chosen (and scrolls it into sight); -1 or an entry without a
  // lane chooses none.
  void SetSelectedEntry(int entry);
  int SelectedEntry() const;
  // Fonts and sizes for `dpi`.
  void ApplyDpi(UINT dpi);
  // The tips over the marks of a lane that always overlaps itself and of one whose file is
  // missing, in the interface language; until they are given the marks have no tip.
  void SetMarkTips(std::wstring overlapsItself, std::wstring soundMissing);
  // Draws everything afresh, as after a change of the system's colours.
  void Refresh();

  TimelineGeometry Geometry() const;

 protected:
  bool HandleMessage(Message& m) override;

 private:
  void OnCreate();
  void OnPaint();
  void OnPrintClient(HDC dc);
  void OnSize();
  void OnVScroll(WPARAM wParam);
  bool OnMouseWheel(WPARAM wParam, LPARAM lParam);
  void OnLButtonDown(LPARAM lParam);
  bool OnKeyDown(WPARAM key);
  void OnSettingChange();
  void RelayToTip(const Message& m);
  bool OnNotify(Message& m);
  std::wstring MarkTipText(int lane) const;

  void MakeFont();
  bool UpdateContent(HDC reference);
  void CopyContent(HDC target, const RECT& area) const;
  void DrawOverlays(HDC dc) const;
  void RenderContent(HDC dc, int width, int height);
  void UpdateScrollBar();
  void ScrollTo(int y);
  void ChangeView(TimelineView view);
  void SelectLane(int lane, int play);
  void Notify(UINT code, int entry, int play);
  RECT CursorStrip(std::int64_t ms) const;

  TimelineModel model_;
  CellToolTip markTip_;  // the lane is its row; marks have no columns
  std::wstring overlapTip_;
  std::wstring missingTip_;
  TimelineView view_{0, DefaultTimelineSpanMs};
  std::int64_t cursorMs_ = -1;
  int selectedLane_ = -1;
  int scrollY_ = 0;
  UINT dpi_ = 96;
  UniqueFont font_;
  TimelineMetrics metrics_;
  // The pane as last drawn, without the cursor and the focus, drawn again only when dirty.
  UniqueBitmap content_;
  SIZE contentSize_{0, 0};
  std::uint32_t* contentBits_ = nullptr;  // the memory of `content_`, a top-down 32-bit DIB
  bool contentDirty_ = true;
  // Where a paint puts the cursor over the picture before the screen gets it; kept between paints.
  UniqueBitmap canvas_;
  SIZE canvasSize_{0, 0};
};
