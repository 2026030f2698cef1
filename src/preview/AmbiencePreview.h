#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ambience/AmbienceChoice.h"
#include "ambience/SoundCache.h"
#include "commands/CommandStateMap.h"
#include "preview/AmbienceExport.h"
#include "preview/AmbiencePlayer.h"

// Ambience > Play Ambience (Ctrl+F5): the chosen time of day of the active document, heard as
// the game plays it, while the user edits. Every change of the entries is handed to the stream
// on the idle pass and heard from each entry's next start; another time of day or seed starts
// the stream anew. Escape or Ctrl+F5 again stops it.
class AmbiencePreview {
 public:
  struct Host {
    HWND frame = nullptr;
    std::function<void(const std::wstring&)> tell;
    // The single sound (F5) and the preview never play together.
    std::function<void()> stopOtherSound;
  };
  AmbiencePreview(Host host, const AmbienceChoice& choice, AmbiencePlayer::OutputFactory makeOutput = nullptr);

  bool OnCommand(UINT id, const std::optional<AmbienceExportSource>& document);
  void UpdateStates(CommandStateMap& states, bool documentOpen) const;
  bool IsPlaying() const { return player_.IsPlaying(); }
  void Stop();
  // On the idle pass: the stream follows the document and the choice.
  void Follow(const std::optional<AmbienceExportSource>& document);
  // Where the listener is, in ms from the beginning of the realization; -1 when silent.
  std::int64_t HeardMs() const;
  // The entries sounding now, for the speaker marks of the list.
  std::vector<int> SoundingEntries() const { return player_.SoundingEntries(); }

 private:
  void Start(const AmbienceExportSource& document);
  std::wstring ChoiceKey() const;

  Host host_;
  const AmbienceChoice& choice_;
  AmbiencePlayer player_;
  SoundCache sounds_;
  // What the stream was last given: the entries (with the sound folder) and the choice.
  std::wstring entriesKey_;
  std::wstring choiceKey_;
};
