#include "documents/RecoveryStore.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <exception>
#include <utility>

#include "win/ThreadGuard.h"

namespace {

constexpr char kMagic[8] = {'S', 'W', 'K', 'R', 'E', 'C', 'V', '1'};
constexpr wchar_t kExtension[] = L".recovery";
// A copy holds at most a full document, a long path and a title; anything much larger is not
// one of ours.
constexpr std::size_t kLargestCopy = 1 << 20;

std::uint64_t StartTimeOf(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Whether the process named in a copy's name still runs: the same id, started at the same time.
bool StillRunning(DWORD processId, std::uint64_t startTime) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) {
    // A process we may not look at is there all the same.
    return GetLastError() == ERROR_ACCESS_DENIED;
  }
  DWORD exitCode = 0;
  const bool running =
      GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE && StartTimeOf(process) == startTime;
  CloseHandle(process);
  return running;
}

bool WriteWhole(const std::wstring& path, const std::vector<std::byte>& bytes, bool durable) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size() && (!durable || FlushFileBuffers(file));
  ok = CloseHandle(file) && ok;
  if (!ok) DeleteFileW(path.c_str());
  return ok;
}

bool ReadWhole(const std::wstring& path, std::vector<std::byte>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= static_cast<LONGLONG>(kLargestCopy);
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
         read == bytes.size();
  }
  CloseHandle(file);
  return ok;
}

class Writer {
 public:
  void Raw(const void* data, std::size_t size) {
    const auto* from = static_cast<const std::byte*>(data);
    out.insert(out.end(), from, from + size);
  }
  template <typename T>
  void Number(T value) {
    Raw(&value, sizeof(value));
  }
  void Text(const std::wstring& text) {
    Number(static_cast<std::uint32_t>(text.size()));
    Raw(text.data(), text.size() * sizeof(wchar_t));
  }
  std::vector<std::byte> out;
};

class Reader {
 public:
  explicit Reader(const std::vector<std::byte>& bytes) : in(bytes) {}
  bool Raw(void* data, std::size_t size) {
    if (size > in.size() - at) return false;
    std::memcpy(data, in.data() + at, size);
    at += size;
    return true;
  }
  template <typename T>
  bool Number(T& value) {
    return Raw(&value, sizeof(value));
  }
  bool Text(std::wstring& text) {
    std::uint32_t length = 0;
    if (!Number(length) || length > (in.size() - at) / sizeof(wchar_t)) return false;
    text.resize(length);
    return Raw(text.data(), length * sizeof(wchar_t));
  }
  bool AtEnd() const { return at == in.size(); }

 private:
  const std::vector<std::byte>& in;
  std::size_t at = 0;
};

// The crash handler may run on any thread while the frame's thread changes the kept copies:
// every change to a store's list of copies, and the handler's reading of it, hold this lock.
SRWLOCK keptLock = SRWLOCK_INIT;
// The thread inside such a change, 0 when none: a crash there finds the list half-changed.
std::atomic<DWORD> changingThread{0};

class KeptChange {
 public:
  KeptChange() {
    AcquireSRWLockExclusive(&keptLock);
    changingThread = GetCurrentThreadId();
  }
  ~KeptChange() {
    changingThread = 0;
    ReleaseSRWLockExclusive(&keptLock);
  }
  KeptChange(const KeptChange&) = delete;
  KeptChange& operator=(const KeptChange&) = delete;
};

// Under keptLock.
RecoveryStore* crashStore = nullptr;
// What was installed before; a crash goes on to it, so the runtime's and the system's crash
// reporting still run.
bool handlerInstalled = false;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
std::terminate_handler previousTerminate = nullptr;

// A crash on the thread that was changing the list leaves it (the copies on disk, each whole,
// are what there is); another thread's change is waited for, but not for long.
bool LockForCrash() {
  if (changingThread.load() == GetCurrentThreadId()) return false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (TryAcquireSRWLockShared(&keptLock)) return true;
    Sleep(10);
  }
  return false;
}

LONG WINAPI WriteCopiesThenReport(EXCEPTION_POINTERS* exception) {
  if (LockForCrash()) {
    if (RecoveryStore* store = crashStore) store->WriteAllKept();
    ReleaseSRWLockShared(&keptLock);
  }
  return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// An exception nobody caught (or one leaving a noexcept function) ends in terminate: made a
// crash, it goes through the filter above instead of a silent abort().
[[noreturn]] void CrashOnTerminate() { CrashForEscapedException(); }

}  // namespace

std::wstring RecoveryStore::DefaultFolder() {
  wchar_t* local = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) {
    folder = std::wstring(local) + L"\\Sonarwick\\Recovery";
  }
  CoTaskMemFree(local);
  return folder;
}

RecoveryStore::RecoveryStore(std::wstring folder, RecoveryFileCalls calls)
    : folder_(std::move(folder)), calls_(calls) {
  wchar_t prefix[64]{};
  std::swprintf(prefix, 64, L"%lu-%016llx-", GetCurrentProcessId(),
                static_cast<unsigned long long>(StartTimeOf(GetCurrentProcess())));
  prefix_ = prefix;
}

std::wstring RecoveryStore::NameFor(int slot) const {
  return folder_ + L"\\" + prefix_ + std::to_wstring(slot) + kExtension;
}

RecoveryStore::~RecoveryStore() {
  KeptChange change;
  if (crashStore == this) crashStore = nullptr;
}

RecoveryStore::Kept& RecoveryStore::KeptFor(int slot) {
  auto found =
      std::find_if(kept_.begin(), kept_.end(), [slot](const Kept& kept) { return kept.slot == slot; });
  if (found != kept_.end()) return *found;
  Kept kept;
  kept.slot = slot;
  kept.file = NameFor(slot);
  kept.temporary = kept.file + L".tmp";
  kept.crashTemporary = kept.file + L".crash";
  KeptChange change;
  kept_.push_back(std::move(kept));
  return kept_.back();
}

bool RecoveryStore::Write(int slot, const RecoveryCopy& copy, bool durable) {
  if (folder_.empty()) return false;
  Kept& kept = KeptFor(slot);
  std::vector<std::byte> content = Serialize(copy);
  if (kept.onDisk && content == kept.content && (kept.durable || !durable)) return true;
  // What a crash writes is the new content before the new copy takes the old one's place: a
  // crash before the move writes the new copy itself, one after writes it again, and none
  // writes the older content over the newer copy.
  {
    KeptChange change;
    kept.content.swap(content);
  }
  // The folder may have been deleted since the last copy.
  SHCreateDirectoryExW(nullptr, folder_.c_str(), nullptr);
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
  kept.onDisk = WriteWhole(kept.temporary, kept.content, durable) &&
                calls_.moveFile(kept.temporary.c_str(), kept.file.c_str(), flags);
  kept.durable = kept.onDisk && durable;
  if (!kept.onDisk) {
    // A copy that could not be written is not kept for the crash either: the document may be
    // saved or closed before the next write, and a crash would then bring it back as unsaved.
    std::vector<std::byte> failed;
    {
      KeptChange change;
      failed.swap(kept.content);
    }
  }
  return kept.onDisk;
}

// A claimed orphan is the slot's copy before anything was written for it: its name goes too.
// Marked first, so that a crash from here on deletes the copy instead of writing it again.
void RecoveryStore::Remove(int slot) {
  if (folder_.empty()) return;
  Kept& kept = KeptFor(slot);
  std::vector<std::byte> dropped;
  {
    KeptChange change;
    kept.removed = true;
    dropped.swap(kept.content);
  }
  calls_.deleteFile(kept.file.c_str());
  calls_.deleteFile(kept.temporary.c_str());
  calls_.deleteFile(kept.crashTemporary.c_str());
  auto found =
      std::find_if(kept_.begin(), kept_.end(), [slot](const Kept& each) { return each.slot == slot; });
  KeptChange change;
  kept_.erase(found);
}

void RecoveryStore::WriteAllKept() noexcept {
  for (const Kept& kept : kept_) {
    if (kept.removed) {
      DeleteFileW(kept.file.c_str());
      continue;
    }
    if (kept.content.empty()) continue;
    HANDLE file = CreateFileW(kept.crashTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, kept.content.data(), static_cast<DWORD>(kept.content.size()), &written, nullptr) &&
        written == kept.content.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok)
      MoveFileExW(kept.crashTemporary.c_str(), kept.file.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  }
}

std::vector<std::wstring> RecoveryStore::FindOrphans() const {
  std::vector<std::wstring> orphans;
  if (folder_.empty()) return orphans;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder_ + L"\\*" + kExtension).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return orphans;
  do {
    unsigned long processId = 0;
    unsigned long long startTime = 0;
    int slot = 0;
    if (std::swscanf(found.cFileName, L"%lu-%llx-%d", &processId, &startTime, &slot) != 3) continue;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (StillRunning(processId, startTime)) continue;
    orphans.push_back(folder_ + L"\\" + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(orphans.begin(), orphans.end());
  return orphans;
}

bool RecoveryStore::ClaimOrphan(const std::wstring& file, int slot, RecoveryCopy& copy) {
  // Renamed into this process's names, the copy is no orphan for anyone else any more; never
  // over a copy of this process's own.
  const std::wstring claimed = NameFor(slot);
  if (!MoveFileExW(file.c_str(), claimed.c_str(), 0)) return false;
  std::vector<std::byte> content;
  if (!ReadWhole(claimed, content)) return false;
  if (Deserialize(content, copy)) return true;
  DeleteFileW(claimed.c_str());
  return false;
}

void RecoveryStore::DiscardOrphan(const std::wstring& file) { DeleteFileW(file.c_str()); }

std::vector<std::byte> RecoveryStore::Serialize(const RecoveryCopy& copy) {
  Writer writer;
  writer.Raw(kMagic, sizeof(kMagic));
  writer.Text(copy.path);
  writer.Text(copy.title);
  writer.Number(static_cast<std::uint32_t>(copy.stamp.exists ? 1 : 0));
  writer.Number(copy.stamp.volume);
  writer.Number(copy.stamp.index);
  writer.Number(copy.stamp.size);
  writer.Number(copy.stamp.lastWrite);
  writer.Number(static_cast<std::uint32_t>(copy.bytes.size()));
  writer.Raw(copy.bytes.data(), copy.bytes.size());
  return std::move(writer.out);
}

bool RecoveryStore::Deserialize(const std::vector<std::byte>& content, RecoveryCopy& copy) {
  Reader reader(content);
  char magic[sizeof(kMagic)]{};
  std::uint32_t exists = 0;
  std::uint32_t size = 0;
  if (!reader.Raw(magic, sizeof(magic)) || std::memcmp(magic, kMagic, sizeof(kMagic)) != 0) return false;
  if (!reader.Text(copy.path) || !reader.Text(copy.title) || !reader.Number(exists) ||
      !reader.Number(copy.stamp.volume) || !reader.Number(copy.stamp.index) ||
      !reader.Number(copy.stamp.size) || !reader.Number(copy.stamp.lastWrite) || !reader.Number(size) ||
      size > content.size()) {
    return false;
  }
  copy.stamp.exists = exists != 0;
  copy.bytes.resize(size);
  return reader.Raw(copy.bytes.data(), size) && reader.AtEnd();
}

void WriteRecoveryCopiesOnCrash(RecoveryStore* store) {
  {
    KeptChange change;
    crashStore = store;
  }
  if (store != nullptr && !handlerInstalled) {
    previousFilter = SetUnhandledExceptionFilter(WriteCopiesThenReport);
    previousTerminate = std::set_terminate(CrashOnTerminate);
    handlerInstalled = true;
  } else if (store == nullptr && handlerInstalled) {
    SetUnhandledExceptionFilter(previousFilter);
    std::set_terminate(previousTerminate);
    handlerInstalled = false;
  }
}
