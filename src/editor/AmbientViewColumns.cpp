#include "editor/AmbientView.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "editor/EntryCells.h"
#include "win/DeviceContext.h"
#include "win/Dpi.h"

// The columns' widths are kept at 96 DPI and shown at the window's scale.

std::vector<int> AmbientView::GetColumnWidths96() const {
  std::vector<int> widths;
  for (int index = 0; index < static_cast<int>(kEntryColumnCount); ++index) {
    const auto width = static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
    widths.push_back(MulDiv(width, static_cast<int>(kBaseDpi), static_cast<int>(columnDpi)));
  }
  return widths;
}

void AmbientView::SetColumnWidths96(const std::vector<int>& widths) {
  if (widths.size() != static_cast<size_t>(kEntryColumnCount)) return;
  for (size_t index = 0; index < widths.size(); ++index) {
    SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, index, MAKELPARAM(ScaleForDpi(widths[index], columnDpi), 0));
  }
  FitNameColumn();
}

// An open editor stays open with what was typed; it takes the new font and its cell's place.
void AmbientView::ApplyDpi(UINT dpi) {
  if (dpi == 0 || dpi == columnDpi) return;
  const std::vector<int> widths = GetColumnWidths96();
  std::vector<bool> atDefault;
  for (int index = 0; index < static_cast<int>(kEntryColumnCount); ++index) {
    const auto width =
        static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
    atDefault.push_back(width == DefaultColumnWidth(index));
  }
  columnDpi = dpi;
  SetFontDpi(dpi);
  applyingDpi = true;
  for (size_t index = 0; index < widths.size(); ++index) {
    const int width =
        atDefault[index] ? DefaultColumnWidth(static_cast<int>(index)) : ScaleForDpi(widths[index], dpi);
    SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0));
  }
  FitNameColumn();
  applyingDpi = false;
  PlaceEditor();
}

int AmbientView::DefaultColumnWidth(int index) const {
  return std::max(ScaleForDpi(kEntryColumns[index].width, columnDpi), CaptionWidth(index));
}

// The header draws a caption between margins on both sides and cuts what does not fit.
int AmbientView::CaptionWidth(int index) const {
  const wchar_t* caption = kEntryColumns[index].caption;
  auto font = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));
  WindowDcScope dc(header);
  if (dc.dc() == nullptr) return 0;
  SelectionScope selection(dc.dc(), font);
  SIZE text{};
  if (!GetTextExtentPoint32W(dc.dc(), caption, static_cast<int>(wcslen(caption)), &text)) return 0;
  const int margin = std::max(static_cast<int>(SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0)),
                              3 * SystemMetricForDpi(SM_CXEDGE, columnDpi));
  return text.cx + 2 * margin;
}

// The name column takes whatever room the others leave, never less than its own width, so the
// last column ends at the edge however wide the window grows.
void AmbientView::FitNameColumn() {
  if (fittingNameColumn || Handle() == nullptr) return;
  fittingNameColumn = true;
  RECT client{};
  GetClientRect(Handle(), &client);
  int others = 0;
  for (int index = 0; index < static_cast<int>(kEntryColumnCount); ++index) {
    if (index != kAudioFileColumn)
      others += static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
  }
  const int room = client.right - client.left - others;
  const int least = ScaleForDpi(kEntryColumns[kAudioFileColumn].width, columnDpi);
  SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, kAudioFileColumn, MAKELPARAM(std::max(room, least), 0));
  fittingNameColumn = false;
}
