#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ambience/AmbienceChoice.h"
#include "commands/CommandStateMap.h"
#include "panes/SplitterBar.h"
#include "panes/TimelinePane.h"
#include "preview/AmbienceExport.h"
#include "preview/AmbienceSoundLoader.h"

// View > Timeline: the picture of the chosen time of day in a pane under the documents, with a
// bar between them to drag. It shows the realization the export writes (one choice, one seed),
// built again on the idle pass whenever the document or the choice changed; while the preview
// plays the document, the realization heard, which edits made while it plays take away from that.
class TimelineFeature {
 public:
  struct Host {
    HWND frame = nullptr;
    // The frame lays its windows out again (the pane came, went or changed its height).
    std::function<void()> relayout;
    // The user clicked an entry's lane or bar: the active document selects it.
    std::function<void(int entry)> selectEntry;
    // The playing preview's plays of the document within a span in ms (AmbiencePreview::
    // HeardRealization), and its cue that they changed; the picture shows what is heard.
    std::function<std::optional<std::vector<AmbiencePlay>>(const AmbienceExportSource&, std::int64_t)> heard;
    std::function<std::uint64_t()> heardGeneration;
  };
  TimelineFeature(Host host, AmbienceChoice& choice, AmbienceSoundLoader& sounds);

  bool OnCommand(UINT id);
  void UpdateStates(CommandStateMap& states) const;
  bool IsShown() const { return shown_; }
  // Places the pane and its bar at the bottom of `area` and gives what is left above them.
  RECT Layout(RECT area);
  // On the idle pass: the picture follows the active document and the choice.
  void Refresh(const std::optional<AmbienceExportSource>& document);
  // The pane's notifications; true when consumed.
  bool OnNotify(const NMHDR& header);
  void ApplyDpi(UINT dpi);
  TimelinePane& Pane() { return pane_; }

 private:
  void Show(bool shown);
  std::wstring KeyOf(const AmbienceExportSource& document) const;

  Host host_;
  AmbienceChoice& choice_;
  TimelinePane pane_;
  SplitterBar splitter_;
  // The sounds are decoded on the loader's thread: the picture is drawn once they are there.
  AmbienceSoundLoader& sounds_;
  bool shown_ = false;
  // The pane's height at 96 DPI, as the user dragged it.
  int height96_ = 200;
  UINT dpi_ = 96;
  // What the picture was last built from.
  std::wstring builtFrom_;
};
