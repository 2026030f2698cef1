#include "app/StatusPanes.h"

// The platform header first.
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <optional>

#include "win/DeviceContext.h"
#include "win/UniqueHandle.h"

namespace {

// A device context of the bar with the font it draws its text in: its own, or the system's
// status font when it was given none.
class StatusText {
 public:
  explicit StatusText(HWND bar) : dc_(bar) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
    if (font == nullptr) {
      NONCLIENTMETRICSW metrics{};
      metrics.cbSize = sizeof(metrics);
      if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        systemFont_.reset(CreateFontIndirectW(&metrics.lfStatusFont));
      font = systemFont_.get();
    }
    selection_.emplace(dc_.dc(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_.dc(), &metrics);
    // The pane's sunken edges and the bar's inset of the text on both sides: about a character.
    padding_ = 4 * GetSystemMetrics(SM_CXEDGE) + metrics.tmAveCharWidth;
  }

  // The width of a pane that shows `text` whole; 0 for no text.
  int PaneWidth(const std::wstring& text) const {
    if (text.empty()) return 0;
    SIZE size{};
    GetTextExtentPoint32W(dc_.dc(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx + padding_;
  }

  // `path` shortened in its middle to fit a pane `width` wide; where its last part alone is
  // too long for the pane, its end goes too.
  std::wstring FitPath(const std::wstring& path, int width) const {
    std::wstring fitted = Shorten(path, width, DT_PATH_ELLIPSIS);
    return PaneWidth(fitted) > width ? Shorten(fitted, width, DT_END_ELLIPSIS) : fitted;
  }

 private:
  std::wstring Shorten(const std::wstring& text, int width, UINT ellipsis) const {
    std::wstring fitted = text + std::wstring(4, L'\0');  // DT_MODIFYSTRING may add "..."
    RECT room{0, 0, std::max(0, width - padding_), 100};
    DrawTextW(dc_.dc(), fitted.data(), static_cast<int>(text.size()), &room,
              DT_SINGLELINE | DT_NOPREFIX | ellipsis | DT_MODIFYSTRING | DT_CALCRECT);
    fitted.resize(wcsnlen(fitted.c_str(), fitted.size()));
    return fitted;
  }

  WindowDcScope dc_;
  UniqueFont systemFont_;
  std::optional<SelectionScope> selection_;
  int padding_ = 0;
};

}  // namespace

void LayoutStatusPanes(HWND statusBar, const std::vector<std::wstring>& middle, const std::wstring& folder) {
  RECT client{};
  GetClientRect(statusBar, &client);
  const int right = client.right - client.left;
  std::wstring shownFolder = folder;
  std::vector<int> widths;
  int countWidth = 0, folderWidth = 0;
  {
    const StatusText text(statusBar);
    for (const std::wstring& pane : middle) widths.push_back(text.PaneWidth(pane));
    for (int width : widths) countWidth += width;
    // The last pane also holds the size grip, as wide as a scroll bar.
    const int grip = GetSystemMetrics(SM_CXVSCROLL);
    folderWidth = text.PaneWidth(folder) + grip;
    // The panes after the first give way to the folder before it is shortened: where the sounds
    // are looked for matters more than the rest.
    for (std::size_t pane = widths.size(); pane-- > 1 && folderWidth > right - right / 4 - countWidth;) {
      const int given = std::min(widths[pane], folderWidth - (right - right / 4 - countWidth));
      widths[pane] -= given;
      countWidth -= given;
    }
    const int room = std::max(0, right - right / 4 - countWidth);
    if (folderWidth > room) {
      shownFolder = text.FitPath(folder, room - grip);
      folderWidth = std::min(room, text.PaneWidth(shownFolder) + grip);
    }
  }
  std::vector<int> edges;
  int left = right - countWidth - folderWidth;
  edges.push_back(std::max(0, left));
  for (int width : widths) edges.push_back(std::max(0, left += width));
  edges.push_back(-1);
  SendMessageW(statusBar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t pane = 0; pane < middle.size(); ++pane)
    SendMessageW(statusBar, SB_SETTEXTW, pane + 1, reinterpret_cast<LPARAM>(middle[pane].c_str()));
  SendMessageW(statusBar, SB_SETTEXTW, middle.size() + 1, reinterpret_cast<LPARAM>(shownFolder.c_str()));
}
