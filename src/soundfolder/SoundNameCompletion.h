#pragma once

#include <windows.h>
// IEnumString; needs windows.h first.
#include <objidl.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The names a name editor completes from: the audio files of the sound folder, as the paths
// relative to it that entries hold. Read from disk once and shared by every enumerator that
// hands them to the system's autocompletion.
using SoundNameList = std::shared_ptr<const std::vector<std::wstring>>;

// How far ListSoundFiles looks: a game folder holds a few thousand sounds, and a folder picked
// by mistake (a whole drive) must not hold the editor up for minutes.
constexpr std::size_t kMaxListedSoundFiles = 20000;
constexpr int kMaxSoundFolderDepth = 8;

// The .ogg and .wav files (any case) under `folder` and its subfolders at most `maxDepth`
// levels down, as relative paths with `\`, sorted without case; at most `maxCount` of them,
// and no more than ten times that many entries of any kind are looked at.
// Links to other folders are not followed, so a loop on disk cannot repeat names.
std::vector<std::wstring> ListSoundFiles(const std::wstring& folder,
                                         std::size_t maxCount = kMaxListedSoundFiles,
                                         int maxDepth = kMaxSoundFolderDepth);

// Whether `typed` names `name` in short: each of its parts (between `\` or `/`) begins the
// name's part at the same place, without case, so `amb\for` names `ambient\forest\birds.ogg`.
bool NameMatchesTyped(const std::wstring& typed, const std::wstring& name);

// The names, one by one, for the system's autocompletion. With a text box, each Reset takes
// only the names its text matches (NameMatchesTyped), those that begin with the text first.
class SoundNameEnumerator final : public IEnumString {
 public:
  // Starts at `position`; the reference count starts at 1.
  explicit SoundNameEnumerator(SoundNameList names, ULONG position = 0, HWND edit = nullptr);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Next(ULONG count, LPOLESTR* names, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumString** copy) override;

  // Enumerators alive in this process: the system must let go of every one with its editor.
  static int LiveObjects() { return liveObjects_; }

 private:
  ~SoundNameEnumerator();

  void TakeMatches();

  std::atomic<ULONG> references_{1};
  SoundNameList names_;
  HWND edit_;
  // What Next hands out: every name, or those the text box's text matches.
  std::vector<const std::wstring*> shown_;
  ULONG position_;
  static inline std::atomic<int> liveObjects_{0};
};

// Lets the text box `edit` suggest and complete `names` as the user types, through the
// system's autocompletion, which holds what it needs until the text box is destroyed. False
// when the system has no autocompletion (the text box then works as before, with no message).
bool AttachNameCompletion(HWND edit, SoundNameList names);
