#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ambience/AmbienceChoice.h"
#include "commands/CommandStateMap.h"
#include "preview/AmbienceExport.h"
#include "preview/AmbienceSoundLoader.h"

// What the ambience commands need of the frame, and nothing more.
struct AmbienceHost {
  HWND owner = nullptr;
  // The active document as the ambience sees it (entries, file, sound folder), or nothing when
  // no document is open.
  std::function<std::optional<AmbienceExportSource>()> activeDocument;
  // Shows a line in the status bar.
  std::function<void(const std::wstring&)> tell;
  // Runs `dialog` as one of the frame's questions: nothing reloads or closes under it.
  std::function<void(const std::function<void()>& dialog)> asQuestion;
  // The files of every open document, which an export must never write over.
  std::function<std::vector<std::wstring>()> openDocumentFiles;
};

// The Ambience menu and File > Export Ambience: which time of day is heard, seen and exported,
// the seed of its random repeat times, the volume scale, and the export itself. The frame routes
// its commands here and asks for their states on every idle pass.
class AmbienceCommands {
 public:
  explicit AmbienceCommands(AmbienceHost host);

  // True when `id` is one of the ambience commands (carried out, or refused with a beep).
  bool OnCommand(UINT id);
  void UpdateStates(CommandStateMap& states, bool documentOpen) const;
  const AmbienceChoice& Choice() const { return choice_; }
  // The timeline sets the span it shows, which the export then writes.
  AmbienceChoice& Choice() { return choice_; }
  // The preview and the timeline take their sounds from here, decoded once for both.
  AmbienceSoundLoader& Sounds() { return sounds_; }

 private:
  void Export();

  AmbienceHost host_;
  AmbienceChoice choice_;
  AmbienceSoundLoader sounds_;
};

// The scale the volumes are heard in, and whether the user chose it or the list's values did
// ("percent (guessed from the list)").
std::wstring DescribeVolumeScale(const AmbienceChoice& choice, std::span<const std::int32_t> volumes);
// The same for the status bar's pane, short ("Volume: percent (guessed)").
std::wstring VolumeScalePane(const AmbienceChoice& choice, std::span<const std::int32_t> volumes);
