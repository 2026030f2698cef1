#include "preview/AmbienceSoundLoader.h"

#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "ambience/Win32SoundFileReader.h"

namespace {

constexpr std::size_t kSlots = static_cast<std::size_t>(AmbienceSoundLoader::Slot::Count);

}  // namespace

// Everything the thread and the window share. The thread may outlive the loader (a decode under
// way when the window closes is not waited for), so it holds this and nothing of the loader.
struct AmbienceSoundLoader::Shared {
  struct Wish {
    std::wstring key;
    Request request;
    std::optional<AmbienceSounds> sounds;  // set once loaded under `key`
    bool wanted = false;   // waiting for the thread
    bool loading = false;  // the thread is at it
  };
  explicit Shared(HWND window, SoundFileReader reader) : window(window), cache(std::move(reader)) {}

  HWND window;
  std::mutex lock;
  std::condition_variable wake;
  std::array<Wish, kSlots> wishes;
  std::optional<std::vector<std::wstring>> keep;  // the sounds to keep, once the thread gets to it
  bool quit = false;
  // Only the thread touches the cache.
  SoundCache cache;
};

AmbienceSoundLoader::AmbienceSoundLoader(HWND window, std::optional<SoundFileReader> reader)
    : shared_(std::make_shared<Shared>(window, reader ? std::move(*reader) : Win32SoundFileReader())) {
  std::thread(Run, shared_).detach();
}

AmbienceSoundLoader::~AmbienceSoundLoader() {
  {
    const std::lock_guard guard(shared_->lock);
    shared_->quit = true;
  }
  shared_->wake.notify_all();
}

std::wstring AmbienceSoundLoader::KeyOf(const Request& request) {
  std::wstring key = request.soundFolder + L"|" + std::to_wstring(static_cast<int>(request.time));
  for (const AmbientEntryValues& entry : request.entries) {
    key += L"|" + std::to_wstring(entry.timeOfDay) + L"," + entry.audioFile.value_or(L"");
  }
  return key;
}

void AmbienceSoundLoader::KeepOnly(std::vector<std::wstring> paths) {
  {
    const std::lock_guard guard(shared_->lock);
    shared_->keep = std::move(paths);
  }
  shared_->wake.notify_all();
}

std::optional<AmbienceSounds> AmbienceSoundLoader::Sounds(Slot slot, const Request& request) {
  const std::wstring key = KeyOf(request);
  {
    const std::lock_guard guard(shared_->lock);
    Shared::Wish& wish = shared_->wishes[static_cast<std::size_t>(slot)];
    if (wish.key == key && (wish.sounds || wish.wanted || wish.loading)) return wish.sounds;
    wish = Shared::Wish{key, request, std::nullopt, true};
  }
  shared_->wake.notify_all();
  return std::nullopt;
}

// Takes the wishes one at a time; the lock is not held while a file decodes, so the window may
// ask and be answered meanwhile. Nothing may leave a thread's entry: a load that fails for
// want of memory leaves the wish unanswered.
void AmbienceSoundLoader::Run(std::shared_ptr<Shared> shared) {
  std::unique_lock guard(shared->lock);
  while (true) {
    Shared::Wish* next = nullptr;
    shared->wake.wait(guard, [&] {
      next = nullptr;
      for (Shared::Wish& wish : shared->wishes) next = next != nullptr ? next : (wish.wanted ? &wish : nullptr);
      return shared->quit || next != nullptr || shared->keep;
    });
    if (shared->quit) return;
    if (shared->keep) {
      const std::vector<std::wstring> keep = std::move(*shared->keep);
      shared->keep.reset();
      shared->cache.KeepOnly(keep);
      continue;
    }
    const std::wstring key = next->key;
    const Request request = next->request;
    next->wanted = false;
    next->loading = true;
    guard.unlock();
    std::optional<AmbienceSounds> sounds;
    try {
      sounds = LoadAmbienceSounds(request.entries, request.soundFolder, request.time, shared->cache);
    } catch (...) {
    }
    guard.lock();
    // The window may be gone by now: nothing is told to it then.
    if (shared->quit) return;
    if (next->key != key) continue;
    next->loading = false;
    if (!sounds) continue;
    next->sounds = std::move(sounds);
    if (shared->window != nullptr) PostMessageW(shared->window, WM_NULL, 0, 0);
  }
}
