#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ambience/AmbienceChoice.h"
#include "commands/CommandStateMap.h"
#include "grid/PropertyGrid.h"
#include "preview/AmbienceExport.h"
#include "preview/AmbiencePlayer.h"
#include "preview/AmbienceSoundLoader.h"

// Ambience > Play Ambience (Ctrl+F5): the chosen time of day of the active document, heard as
// the game plays it, while the user edits. The sounds are decoded on the loader's thread; the
// preview waits for them (the status bar says so) and starts once they are there. Every change
// of the entries is handed to the stream on the idle pass and heard from each entry's next
// start; another time of day or seed starts the stream anew. Escape or Ctrl+F5 again stops it,
// waiting or playing.
class AmbiencePreview {
 public:
  struct Host {
    HWND frame = nullptr;
    std::function<void(const std::wstring&)> tell;
    // The single sound (F5) and the preview never play together.
    std::function<void()> stopOtherSound;
  };
  AmbiencePreview(Host host, const AmbienceChoice& choice, AmbienceSoundLoader& loader,
                  AmbiencePlayer::OutputFactory makeOutput = nullptr);

  bool OnCommand(UINT id, const std::optional<AmbienceExportSource>& document);
  void UpdateStates(CommandStateMap& states, bool documentOpen) const;
  // Playing, or waiting for its sounds to play: either way Play Ambience is on.
  bool IsPlaying() const { return waiting_ || player_.IsPlaying(); }
  bool IsWaitingForSounds() const { return waiting_; }
  void Stop();
  // On the idle pass: a preview that its device ended says why in the status bar.
  void TellWhyItEnded();
  // On the idle pass: the stream follows the document and the choice.
  void Follow(const std::optional<AmbienceExportSource>& document);
  // Where the listener is, in ms from the beginning of the realization; -1 when silent.
  std::int64_t HeardMs() const;
  // What the playing preview plays of `document` in its first `spanMs`, for the timeline to show
  // what is heard; nothing while it plays another list, waits for its sounds or is stopped.
  std::optional<std::vector<AmbiencePlay>> HeardRealization(const AmbienceExportSource& document,
                                                            std::int64_t spanMs);
  // Another number whenever the stream starts, stops or is handed an edit: the timeline's cue.
  std::uint64_t HeardGeneration() const { return player_.IsPlaying() && !waiting_ ? generation_ : 0; }
  // The entries sounding now, for the speaker marks of the list.
  std::vector<int> SoundingEntries() const { return player_.SoundingEntries(); }
  // Marks the entries sounding now on `grid` (the active document's; null for none) and takes
  // the marks off a grid marked before, which is no longer the one heard.
  void MarkSounding(PropertyGrid* grid);
  // Tests stand in for the sound device.
  void UseOutput(AmbiencePlayer::OutputFactory makeOutput) { player_.UseOutput(std::move(makeOutput)); }

 private:
  void Start(const AmbienceExportSource& document);
  void StartWhenReady(const AmbienceExportSource& document);
  std::wstring ChoiceKey() const;
  void TellWhatPlays(const AmbienceExportSource& document, const AmbienceSounds& sounds);

  Host host_;
  const AmbienceChoice& choice_;
  AmbienceSoundLoader& loader_;
  AmbiencePlayer player_;
  bool waiting_ = false;
  // What the stream was last given: the entries (with the sound folder) and the choice.
  std::wstring entriesKey_;
  std::wstring choiceKey_;
  std::uint64_t generation_ = 0;
  // What the status bar was last told of the playing preview.
  std::wstring told_;
  HWND markedGrid_ = nullptr;
};
