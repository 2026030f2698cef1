#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ambience/AmbienceSounds.h"
#include "ambience/SoundCache.h"

// The sounds of a list's time of day, decoded on a thread of its own: a long file takes a
// while to decode and convert, and the window must go on answering meanwhile. The preview and
// the timeline share it, so each file is decoded once for both.
//
// Each user asks under a slot of its own with a key that names what it wants; the answer is
// there once the thread got to it, and a message posted to the window says so, so that the
// idle pass asks again. A newer wish of the same slot replaces an older one not yet loaded.
class AmbienceSoundLoader {
 public:
  enum class Slot { Preview, Timeline, Count };
  struct Request {
    std::vector<AmbientEntryValues> entries;
    std::wstring soundFolder;
    TimeOfDay time = TimeOfDay::Day;
  };

  // `reader` stands in for the disk in tests; nothing means the disk. WM_NULL is posted to
  // `window` when a load is done (and nothing when `window` is null).
  explicit AmbienceSoundLoader(HWND window, std::optional<SoundFileReader> reader = std::nullopt);
  ~AmbienceSoundLoader();
  AmbienceSoundLoader(const AmbienceSoundLoader&) = delete;
  AmbienceSoundLoader& operator=(const AmbienceSoundLoader&) = delete;

  // The sounds of `request` once loaded; until then nothing, and the thread is asked for them.
  std::optional<AmbienceSounds> Sounds(Slot slot, const Request& request);

  // Lets the decoded sounds that none of `paths` names go (the names of every open list, after a
  // list closed or its names changed); they are dropped on the loader's thread between loads.
  void KeepOnly(std::vector<std::wstring> paths);

  // What a request's sounds depend on: the folder, the time and the names of its entries. Other
  // values (volumes, repeat times) change without a load.
  static std::wstring KeyOf(const Request& request);

 private:
  struct Shared;
  static void Run(std::shared_ptr<Shared> shared);
  std::shared_ptr<Shared> shared_;
};
