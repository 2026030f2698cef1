// The frame at the display scale of its monitor: toolbar and menu images of the nearest drawn
// size, and the bars' fonts made for the scale. A window dragged to a monitor of another scale
// hears WM_DPICHANGED and takes the rectangle the system suggests.
#include <algorithm>
#include <utility>

#include "app/FrameFeatures.h"
#include "resources/ResourceIds.h"
#include "win/Dpi.h"
#include "win/ResourceModule.h"

namespace {

// The size a first start opens at, at 96 DPI (room for every column at its own width); larger
// scales get it scaled, within the screen.
constexpr SIZE kFirstStartSize{900, 640};

}  // namespace

bool MainFrame::HandleDpiMessage(Message& m) {
  if (m.msg != WM_DPICHANGED) return false;
  const auto* suggested = reinterpret_cast<const RECT*>(m.lParam);
  if (suggested != nullptr) {
    SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ApplyDpi(HIWORD(m.wParam));
  m.result = 0;
  return true;
}

// Everything sized for a scale follows it; each part stays as made at the system's scale
// until a scale of its own asks for more.
void MainFrame::ApplyDpi(UINT dpi) {
  if (dpi == 0 || dpi == dpi_) return;
  dpi_ = dpi;
  if (ambience_) ambience_->ApplyDpi(dpi);
  if (problems_) problems_->ApplyDpi(dpi);
  const ToolbarArt art = ToolbarArtForDpi(dpi);
  if (toolbar_.images || art.bitmapId != RES_MAIN) ApplyToolbarArt(toolbar_, ResourceModule(), art);
  UpdateBarBand(rebar_, toolbar_.window);
  commandBar_.SetDpi(dpi, art.bitmapId, art.imageSize);

  NONCLIENTMETRICSW metrics{};
  UniqueFont statusFont;
  if (dpi != SystemDpi() && NonClientMetricsForDpi(metrics, dpi)) statusFont.reset(CreateFontIndirectW(&metrics.lfStatusFont));
  if (statusBar_ != nullptr) SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont.get()), TRUE);
  statusFont_ = std::move(statusFont);

  // The caption's and the task switcher's icons in the sizes of this scale; shared icons
  // belong to the system and are never destroyed here.
  for (auto [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
    const int size = SystemMetricForDpi(metric, dpi);
    HANDLE icon = LoadImageW(ResourceModule(), MAKEINTRESOURCEW(RES_MAIN), IMAGE_ICON, size, size, LR_SHARED);
    if (icon != nullptr) SendMessageW(Handle(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }

  UniqueFont tabFont = FontForDpi(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), dpi);
  tabView_.SetStripFont(tabFont.get());
  tabFont_ = std::move(tabFont);
  if (documents_) documents_->ApplyDpi(dpi);
  LayoutChildren(true);
}

void MainFrame::SizeForFirstStart() {
  const UINT dpi = WindowDpi(Handle());
  RECT wanted{0, 0, ScaleForDpi(kFirstStartSize.cx, dpi), ScaleForDpi(kFirstStartSize.cy, dpi)};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& work = monitor.rcWork;
  OffsetRect(&wanted, work.left + (work.right - work.left - wanted.right) / 2,
             work.top + (work.bottom - work.top - wanted.bottom) / 2);
  wanted.left = std::max(wanted.left, work.left);
  wanted.top = std::max(wanted.top, work.top);
  wanted.right = std::min(wanted.right, work.right);
  wanted.bottom = std::min(wanted.bottom, work.bottom);
  SetWindowPos(Handle(), nullptr, wanted.left, wanted.top, wanted.right - wanted.left, wanted.bottom - wanted.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}
