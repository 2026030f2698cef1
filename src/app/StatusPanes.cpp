#include "app/StatusPanes.h"

// The platform header first.
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <numeric>
#include <optional>

#include "win/DeviceContext.h"
#include "win/Dpi.h"
#include "win/UniqueHandle.h"

namespace {

constexpr wchar_t kEllipsis[] = L"\x2026";

bool EndsAWord(wchar_t c) { return c == L' ' || c == L'\t' || c == L',' || c == L';' || c == L':'; }

// A device context of the bar with the font it draws its text in: its own, or the status font
// of the bar's scale when it was given none.
class StatusText {
 public:
  explicit StatusText(HWND bar) : dc_(bar), dpi_(WindowDpi(bar)) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
    if (font == nullptr) {
      NONCLIENTMETRICSW metrics{};
      if (NonClientMetricsForDpi(metrics, dpi_))
        systemFont_.reset(CreateFontIndirectW(&metrics.lfStatusFont));
      font = systemFont_.get();
    }
    selection_.emplace(dc_.dc(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_.dc(), &metrics);
    // The pane's sunken edges and the bar's inset of the text on both sides: about a character.
    padding_ = 4 * SystemMetricForDpi(SM_CXEDGE, dpi_) + metrics.tmAveCharWidth;
  }

  UINT Dpi() const { return dpi_; }
  int Padding() const { return padding_; }

  int TextWidth(const std::wstring& text) const {
    SIZE size{};
    GetTextExtentPoint32W(dc_.dc(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

  // The width of a pane that shows `text` whole; 0 for no text.
  int PaneWidth(const std::wstring& text) const { return text.empty() ? 0 : TextWidth(text) + padding_; }

  // `text` shortened with an ellipsis to fit a pane `width` wide.
  std::wstring Fit(const std::wstring& text, int width) const {
    return EllipsizedText(text, width - padding_,
                          [this](const std::wstring& part) { return TextWidth(part); });
  }

  // `path` shortened in its middle to fit a pane `width` wide; where its last part alone is
  // too long for the pane, its end goes too.
  std::wstring FitPath(const std::wstring& path, int width) const {
    std::wstring fitted = path + std::wstring(4, L'\0');  // DT_MODIFYSTRING may add "..."
    RECT room{0, 0, std::max(0, width - padding_), 100};
    DrawTextW(dc_.dc(), fitted.data(), static_cast<int>(path.size()), &room,
              DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
    fitted.resize(wcsnlen(fitted.c_str(), fitted.size()));
    return PaneWidth(fitted) > width ? Fit(fitted, width) : fitted;
  }

 private:
  WindowDcScope dc_;
  UINT dpi_;
  UniqueFont systemFont_;
  std::optional<SelectionScope> selection_;
  int padding_ = 0;
};

}  // namespace

std::vector<int> FitPaneWidths(const std::vector<int>& wanted, int room) {
  std::vector<int> widths(wanted.size());
  std::transform(wanted.begin(), wanted.end(), widths.begin(), [](int width) { return std::max(width, 0); });
  room = std::max(room, 0);
  const int total = std::accumulate(widths.begin(), widths.end(), 0);
  if (widths.empty()) return widths;
  if (total <= room) {
    widths.front() += room - total;
    return widths;
  }
  // The highest common width the widest may keep: each step down takes a pixel off every pane
  // still above it.
  int level = *std::max_element(widths.begin(), widths.end());
  const auto sumAt = [&widths](int cap) {
    int sum = 0;
    for (int width : widths) sum += std::min(width, cap);
    return sum;
  };
  int low = 0, high = level;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (sumAt(middle) <= room)
      low = middle;
    else
      high = middle - 1;
  }
  level = low;
  int spare = room - sumAt(level);
  // What the common width leaves goes a pixel each to the narrowed panes, first ones first.
  for (int& width : widths) {
    if (width <= level) continue;
    width = level + (spare > 0 ? 1 : 0);
    if (spare > 0) --spare;
  }
  return widths;
}

std::wstring EllipsizedText(const std::wstring& text, int room,
                            const std::function<int(const std::wstring&)>& measure) {
  if (measure(text) <= room) return text;
  // The longest beginning that fits with the ellipsis after it; widths grow with length.
  std::size_t low = 0, high = text.size();
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    if (measure(text.substr(0, middle) + kEllipsis) <= room)
      low = middle;
    else
      high = middle - 1;
  }
  if (low == 0) return measure(kEllipsis) <= room ? std::wstring(kEllipsis) : std::wstring();
  std::size_t cut = low;
  if (cut < text.size() && !EndsAWord(text[cut]) && !EndsAWord(text[cut - 1])) {
    // Mid-word: back to the end of the last whole word, if that keeps most of what fits.
    std::size_t word = cut;
    while (word > 0 && !EndsAWord(text[word - 1])) --word;
    if (word > 0 && word * 2 >= low) cut = word;
  }
  while (cut > 0 && EndsAWord(text[cut - 1])) --cut;
  if (cut == 0) cut = low;
  return text.substr(0, cut) + kEllipsis;
}

void LayoutStatusPanes(HWND statusBar, const std::wstring& main, const std::vector<std::wstring>& middle,
                       const std::wstring& folder) {
  RECT client{};
  GetClientRect(statusBar, &client);
  std::vector<std::wstring> shown{main};
  shown.insert(shown.end(), middle.begin(), middle.end());
  shown.push_back(folder);
  std::vector<int> widths;
  {
    const StatusText text(statusBar);
    // The last pane also holds the size grip, as wide as a scroll bar.
    const int grip = SystemMetricForDpi(SM_CXVSCROLL, text.Dpi());
    std::vector<int> wanted;
    for (const std::wstring& pane : shown) wanted.push_back(text.PaneWidth(pane));
    wanted.back() += grip;
    widths = FitPaneWidths(wanted, client.right - client.left);
    for (std::size_t pane = 0; pane < shown.size(); ++pane) {
      if (widths[pane] >= wanted[pane]) continue;
      shown[pane] = pane + 1 == shown.size() ? text.FitPath(shown[pane], widths[pane] - grip)
                                             : text.Fit(shown[pane], widths[pane]);
    }
  }
  std::vector<int> edges;
  int right = 0;
  for (std::size_t pane = 0; pane + 1 < widths.size(); ++pane) edges.push_back(right += widths[pane]);
  edges.push_back(-1);
  SendMessageW(statusBar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t pane = 0; pane < shown.size(); ++pane)
    SendMessageW(statusBar, SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(shown[pane].c_str()));
}
