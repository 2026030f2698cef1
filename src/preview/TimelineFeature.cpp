#include "preview/TimelineFeature.h"

#include <algorithm>

#include "commands/CommandStrings.h"
#include "resources/ResourceIds.h"
#include "panes/TimelineModel.h"
#include "win/Dpi.h"

namespace {

constexpr UINT kTimelinePaneId = 0xE810;
constexpr int kSplitterHeight96 = 5;
constexpr int kLeastHeight96 = 60;

}  // namespace

TimelineFeature::TimelineFeature(Host host, AmbienceChoice& choice, AmbienceSoundLoader& sounds)
    : host_(std::move(host)), choice_(choice), sounds_(sounds) {}

bool TimelineFeature::OnCommand(UINT id) {
  if (id != CMD_VIEW_TIMELINE) return false;
  Show(!shown_);
  return true;
}

void TimelineFeature::UpdateStates(CommandStateMap& states) const {
  states.SetCommandCheck(CMD_VIEW_TIMELINE, shown_ ? 1 : 0);
}

// The windows are made the first time the pane is asked for: a user who never looks at the
// timeline pays nothing for it at start.
void TimelineFeature::Show(bool shown) {
  if (shown && pane_.Handle() == nullptr) {
    if (pane_.Create(host_.frame, RECT{0, 0, 0, 0}, kTimelinePaneId) == nullptr) return;
    splitter_.Create(host_.frame, [this](int travel) {
      height96_ = std::max(MulDiv(ScaleForDpi(height96_, dpi_) - travel, 96, static_cast<int>(dpi_)), kLeastHeight96);
      host_.relayout();
    });
    pane_.ApplyDpi(dpi_);
    pane_.SetMarkTips(LoadCommandString(STR_TIMELINE_OVERLAPS), LoadCommandString(STR_TIMELINE_MISSING));
  }
  shown_ = shown;
  ShowWindow(pane_.Handle(), shown ? SW_SHOWNA : SW_HIDE);
  ShowWindow(splitter_.Handle(), shown ? SW_SHOWNA : SW_HIDE);
  builtFrom_.clear();
  host_.relayout();
}

RECT TimelineFeature::Layout(RECT area) {
  if (!shown_ || pane_.Handle() == nullptr) return area;
  const int available = area.bottom - area.top;
  const int splitter = ScaleForDpi(kSplitterHeight96, dpi_);
  const int height = std::clamp(ScaleForDpi(height96_, dpi_), 0, std::max(available - splitter, 0));
  const int paneTop = area.bottom - height;
  SetWindowPos(pane_.Handle(), nullptr, area.left, paneTop, area.right - area.left, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(splitter_.Handle(), nullptr, area.left, paneTop - splitter, area.right - area.left, splitter,
               SWP_NOZORDER | SWP_NOACTIVATE);
  area.bottom = paneTop - splitter;
  return area;
}

// Everything the picture is made from, as text: a change in any of it draws it anew.
std::wstring TimelineFeature::KeyOf(const AmbienceExportSource& document) const {
  return std::to_wstring(static_cast<int>(choice_.time)) + L"|" + std::to_wstring(choice_.seed) + L"|" +
         std::to_wstring(choice_.spanSeconds) + L"|" +
         std::to_wstring(choice_.scale ? static_cast<int>(*choice_.scale) : -1) + L"|" +
         std::to_wstring(host_.heardGeneration ? host_.heardGeneration() : 0) + L"|" +
         AmbienceEntriesKey(document);
}

void TimelineFeature::Refresh(const std::optional<AmbienceExportSource>& document) {
  if (!shown_ || pane_.Handle() == nullptr) return;
  const std::wstring key = document ? KeyOf(*document) : std::wstring(L"none");
  if (key == builtFrom_) return;
  if (!document) {
    builtFrom_ = key;
    pane_.SetModel(TimelineModel{});
    return;
  }
  const std::optional<AmbienceSounds> sounds =
      sounds_.Sounds(AmbienceSoundLoader::Slot::Timeline, {document->entries, document->soundFolder, choice_.time});
  // Asked again on the idle pass that follows the load.
  if (!sounds) return;
  builtFrom_ = key;
  std::vector<std::int32_t> volumes;
  for (const AmbientEntryValues& entry : document->entries) volumes.push_back(entry.volume);
  const std::int64_t spanMs = static_cast<std::int64_t>(choice_.spanSeconds) * 1000;
  pane_.SetModel(BuildTimelineModel(document->entries, sounds->lengths, sounds->problems, choice_.time,
                                    choice_.ScaleFor(volumes), choice_.seed, spanMs,
                                    host_.heard ? host_.heard(*document, spanMs) : std::nullopt));
}

bool TimelineFeature::OnNotify(const NMHDR& header) {
  if (pane_.Handle() == nullptr || header.hwndFrom != pane_.Handle()) return false;
  const auto& notice = reinterpret_cast<const NMTIMELINE&>(header);
  if (header.code == TIMELINEN_SELECTENTRY) {
    host_.selectEntry(notice.entry);
    return true;
  }
  if (header.code == TIMELINEN_SPANCHANGED) {
    // The span the pane shows is the span the export writes; the picture reaches its end.
    const auto seconds = static_cast<int>((notice.view.startMs + notice.view.spanMs + 999) / 1000);
    choice_.spanSeconds = std::clamp(seconds, 1, 3600);
    return true;
  }
  return false;
}

void TimelineFeature::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  if (pane_.Handle() != nullptr) pane_.ApplyDpi(dpi);
}
