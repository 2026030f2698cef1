#include "soundfolder/SoundFolderWatch.h"

#include <functional>
#include <thread>
#include <vector>

#include "format/FileAccess.h"

namespace {

// What counts as a change: a file or folder named, created, deleted or renamed, and a file
// written (its size or write time), which is how an overwritten sound shows.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                           FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES;

}  // namespace

// One folder's handle, the event that stops its thread, and the thread. The thread only tells
// that something changed: the views look at the disk again themselves, so the names in the
// system's report (or a report that overflowed) do not matter.
class SoundFolderWatch::Folder {
 public:
  Folder(HANDLE directory, std::function<void()> changed)
      : directory_(directory), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), changed_(std::move(changed)) {
    if (stop_ != nullptr) {
      thread_ = std::thread(&Folder::Run, this);
    } else {
      ended_ = true;  // no way to stop a thread: none is started, and a later Watch tries again
    }
  }
  ~Folder() {
    if (stop_ != nullptr) SetEvent(stop_);
    if (thread_.joinable()) thread_.join();
    if (stop_ != nullptr) CloseHandle(stop_);
    CloseHandle(directory_);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  // The folder went away (or the system stopped reporting): a new watch must be made.
  bool Ended() const { return ended_; }

 private:
  void Run() {
    HANDLE arrived = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (arrived != nullptr) Listen(arrived);
    if (arrived != nullptr) CloseHandle(arrived);
    ended_ = true;
  }

  void Listen(HANDLE arrived) {
    std::vector<DWORD> report(16 * 1024 / sizeof(DWORD));  // DWORD-aligned, as the call needs
    for (;;) {
      OVERLAPPED overlapped{};
      overlapped.hEvent = arrived;
      ResetEvent(arrived);
      if (!ReadDirectoryChangesW(directory_, report.data(), static_cast<DWORD>(report.size() * sizeof(DWORD)), TRUE,
                                 kChanges, nullptr, &overlapped, nullptr))
        return;
      const HANDLE waits[] = {stop_, arrived};
      const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
      DWORD bytes = 0;
      if (woken != WAIT_OBJECT_0 + 1) {
        // The report must be over before its buffer and event go.
        CancelIo(directory_);
        GetOverlappedResult(directory_, &overlapped, &bytes, TRUE);
        return;
      }
      const bool reported = GetOverlappedResult(directory_, &overlapped, &bytes, FALSE) != 0;
      // A report too long for the buffer arrives empty (or as an error): something changed all the same.
      changed_();
      if (!reported && GetLastError() != ERROR_NOTIFY_ENUM_DIR) return;  // the folder itself is gone
    }
  }

  HANDLE directory_;
  HANDLE stop_;
  std::function<void()> changed_;
  std::atomic<bool> ended_ = false;
  std::thread thread_;  // last: starts once everything above is in place
};

SoundFolderWatch::SoundFolderWatch(HWND window, UINT message) : window_(window), message_(message) {}

SoundFolderWatch::~SoundFolderWatch() { folders_.clear(); }

void SoundFolderWatch::Watch(const std::set<std::wstring>& folders) {
  std::erase_if(folders_, [&folders](const auto& item) { return item.second->Ended() || !folders.contains(item.first); });
  for (const std::wstring& folder : folders) {
    if (folder.empty() || folders_.contains(folder)) continue;
    const std::wstring path = ExtendedLengthPath(folder);
    // Full sharing: the watch must not stop anyone renaming, deleting or writing in the folder.
    HANDLE directory = path.empty() ? INVALID_HANDLE_VALUE
                                    : CreateFileW(path.c_str(), FILE_LIST_DIRECTORY,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (directory == INVALID_HANDLE_VALUE) continue;
    folders_.emplace(folder, std::make_unique<Folder>(directory, [this] { Changed(); }));
  }
}

std::set<std::wstring> SoundFolderWatch::Watched() const {
  std::set<std::wstring> watched;
  for (const auto& [folder, watch] : folders_) {
    if (!watch->Ended()) watched.insert(folder);
  }
  return watched;
}

// On a folder's thread.
void SoundFolderWatch::Changed() {
  if (posted_.exchange(true)) return;
  if (!PostMessageW(window_, message_, 0, 0)) posted_ = false;
}
