#include "format/FileAccess.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <optional>

#include "win/UniqueHandle.h"

namespace {

constexpr DWORD largestTransfer = 1 << 20;
// Full paths this long or longer go to the file calls in the "\\?\" form, which has no MAX_PATH
// limit. Shorter ones stay plain; the margin leaves room for the temporary's name (at most 32
// characters, see TemporaryName) in the target's folder.
constexpr std::size_t kPlainPathLimit = MAX_PATH - 40;
constexpr DWORD fullSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The thread's last error, or `fallback` when a failing step left none.
DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : fallback;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return {};
  full.resize(length);
  return full;
}

// The folder of a full path, with its trailing separator.
std::wstring FolderOf(const std::wstring& fullPath) {
  const std::size_t separator = fullPath.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : fullPath.substr(0, separator + 1);
}

// A name in `folder` for the temporary that becomes the target. Made here rather than by
// GetTempFileNameW, which refuses folders whose path leaves no room in MAX_PATH characters.
std::wstring TemporaryName(const std::wstring& folder, unsigned attempt) {
  wchar_t suffix[64] = {};
  swprintf(suffix, std::size(suffix), L"~swk%lx-%lx-%x.tmp", GetCurrentProcessId(), GetTickCount(), attempt);
  return folder + suffix;
}

// Creates a new, uniquely named file in `folder`, open for writing only by us; `name` receives
// its name. An empty handle (with the thread's last error set) when that is impossible.
UniqueFile CreateTemporaryFile(const std::wstring& folder, std::wstring& name) {
  constexpr unsigned attempts = 64;
  if (folder.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return UniqueFile();
  }
  for (unsigned attempt = 0; attempt < attempts; ++attempt) {
    name = TemporaryName(folder, attempt);
    UniqueFile file(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return UniqueFile();
  }
  SetLastError(ERROR_FILE_EXISTS);
  return UniqueFile();
}

bool WriteAll(HANDLE file, std::span<const std::byte> bytes, const FileSystemCalls& calls) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), largestTransfer));
    DWORD written = 0;
    if (!calls.writeFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    if (written != chunk) {
      // A write that takes fewer bytes than offered has run out of room.
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes = bytes.subspan(chunk);
  }
  return true;
}

// Writes `bytes` to the new temporary file and makes sure they reached the disk before the file
// may replace anything, checking each step; the error code of the step that failed.
DWORD WriteFileThrough(UniqueFile file, std::span<const std::byte> bytes, const FileSystemCalls& calls) {
  if (!WriteAll(file.get(), bytes, calls) || !calls.flushFileBuffers(file.get())) {
    return LastErrorOr(ERROR_WRITE_FAULT);
  }
  if (!CloseHandle(file.release())) return LastErrorOr(ERROR_WRITE_FAULT);
  return ERROR_SUCCESS;
}

// Whether the target may be replaced, and whether it exists. Opening it for writing and deleting,
// as replacing it needs, fails for read-only files, folders, files we may not change and files
// another program holds open without sharing, before anything is written.
DWORD CheckTarget(const std::wstring& fullPath, bool& exists) {
  const HANDLE handle = CreateFileW(fullPath.c_str(), GENERIC_WRITE | DELETE, fullSharing, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD error = LastErrorOr(ERROR_OPEN_FAILED);
  const UniqueFile target(handle);
  exists = static_cast<bool>(target);
  return exists || error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

// The temporary failed to take the target's place; nothing of the user's is lost by removing it.
FileWriteResult DiscardTemporary(const std::wstring& temporary, DWORD error) {
  DeleteFileW(temporary.c_str());
  return {error, {}};
}

FileWriteResult MoveIntoPlace(const std::wstring& temporary, const std::wstring& target, bool targetExists,
                              const FileSystemCalls& calls) {
  constexpr DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  // A new file has no attributes or security to keep, which is all ReplaceFileW adds.
  if (!targetExists) {
    if (calls.moveFile(temporary.c_str(), target.c_str(), moveFlags)) return {};
    return DiscardTemporary(temporary, LastErrorOr(ERROR_WRITE_FAULT));
  }
  if (calls.replaceFile(target.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)) return {};
  const DWORD error = LastErrorOr(ERROR_WRITE_FAULT);
  if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    return DiscardTemporary(temporary, error);
  }
  // The replacement stopped after the original had left its place (gone, or kept under another
  // name that stays where it is): the temporary may now be the only copy of the document.
  if (calls.moveFile(temporary.c_str(), target.c_str(), moveFlags)) return {};
  return {LastErrorOr(error), temporary};
}

struct FileIdentity {
  DWORD volume;
  DWORD indexHigh;
  DWORD indexLow;

  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  // Reading attributes only never conflicts with how another program shares the file.
  const UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, fullSharing, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!file || !GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                      information.nFileIndexLow};
}

}  // namespace

FileReadResult ReadFileStart(const std::wstring& path, std::size_t maxBytes, const FileSystemCalls& calls) {
  const std::wstring fullPath = ExtendedLengthPath(path);
  if (fullPath.empty()) return {{}, LastErrorOr(ERROR_INVALID_NAME)};
  const HANDLE handle = CreateFileW(fullPath.c_str(), GENERIC_READ, fullSharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD openError = LastErrorOr(ERROR_OPEN_FAILED);
  UniqueFile file(handle);
  if (!file) return {{}, openError};
  // Before the first byte: a write by another program from here on shows as a change.
  const FileStamp stamp = StampOfOpenFile(file.get());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return {{}, LastErrorOr(ERROR_READ_FAULT)};
  std::vector<std::byte> bytes(std::min<std::uint64_t>(maxBytes, static_cast<std::uint64_t>(size.QuadPart)));
  maxBytes = bytes.size();
  std::size_t filled = 0;
  while (filled < maxBytes) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(maxBytes - filled, largestTransfer));
    DWORD read = 0;
    if (!calls.readFile(file.get(), bytes.data() + filled, wanted, &read, nullptr)) {
      return {{}, LastErrorOr(ERROR_READ_FAULT)};
    }
    if (read == 0) break;
    filled += read;
  }
  bytes.resize(filled);
  return {std::move(bytes), ERROR_SUCCESS,
          std::max<std::uint64_t>(filled, static_cast<std::uint64_t>(size.QuadPart)), stamp};
}

FileWriteResult ReplaceFileContents(const std::wstring& path, std::span<const std::byte> bytes,
                                    const FileSystemCalls& calls) {
  const std::wstring target = ExtendedLengthPath(path);
  if (target.empty()) return {LastErrorOr(ERROR_INVALID_NAME), {}};
  bool targetExists = false;
  if (const DWORD error = CheckTarget(target, targetExists); error != ERROR_SUCCESS) return {error, {}};
  std::wstring temporary;
  UniqueFile file = CreateTemporaryFile(FolderOf(target), temporary);
  if (!file) return {LastErrorOr(ERROR_CANNOT_MAKE), {}};
  // A second handle on the file written here, for attributes only: it neither conflicts with the
  // writing nor keeps the file from being moved or deleted, and tells its stamp once the writing
  // handle is closed (which may still set the write time).
  const UniqueFile follower(CreateFileW(temporary.c_str(), FILE_READ_ATTRIBUTES, fullSharing, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const DWORD error = WriteFileThrough(std::move(file), bytes, calls);
  if (error != ERROR_SUCCESS) return DiscardTemporary(temporary, error);
  // Written and closed: the stamp of exactly these bytes, which a rename keeps. A replacement
  // may give the file the replaced one's identity or times, so there the name is asked after.
  const FileStamp written = follower ? StampOfOpenFile(follower.get()) : FileStamp{};
  FileWriteResult result = MoveIntoPlace(temporary, target, targetExists, calls);
  if (result) result.stamp = !targetExists && written.exists ? written : TakeFileStamp(path);
  return result;
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
  std::wstring full = FullPath(path);
  if (full.size() < kPlainPathLimit || full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\"))
    return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// Identity first: two different files may have names that differ only in letter case (a
// case-sensitive folder), and one file has many spellings. Only when a file cannot be asked (it
// does not exist yet) do the full names decide, apart from letter case as the system compares.
bool IsSameFile(const std::wstring& first, const std::wstring& second) {
  const std::wstring firstFull = ExtendedLengthPath(first);
  const std::wstring secondFull = ExtendedLengthPath(second);
  if (firstFull.empty() || secondFull.empty()) return false;
  const std::optional<FileIdentity> firstIdentity = IdentityOf(firstFull);
  const std::optional<FileIdentity> secondIdentity = IdentityOf(secondFull);
  if (firstIdentity && secondIdentity) return firstIdentity == secondIdentity;
  if (firstIdentity || secondIdentity) return false;
  return CompareStringOrdinal(firstFull.c_str(), -1, secondFull.c_str(), -1, TRUE) == CSTR_EQUAL;
}

FileReplacement::FileReplacement(const std::wstring& path, const FileSystemCalls& calls)
    : calls_(calls), target_(ExtendedLengthPath(path)) {
  if (target_.empty()) {
    error_ = LastErrorOr(ERROR_INVALID_NAME);
    return;
  }
  bool targetExists = false;
  if (error_ = CheckTarget(target_, targetExists); error_ != ERROR_SUCCESS) return;
  file_ = CreateTemporaryFile(FolderOf(target_), temporary_);
  if (!file_) {
    error_ = LastErrorOr(ERROR_CANNOT_MAKE);
    temporary_.clear();
  }
}

FileReplacement::~FileReplacement() { Discard(); }

bool FileReplacement::Write(std::span<const std::byte> bytes) {
  if (error_ != ERROR_SUCCESS || !file_) return false;
  if (WriteAll(file_.get(), bytes, calls_)) return true;
  error_ = LastErrorOr(ERROR_WRITE_FAULT);
  return false;
}

FileWriteResult FileReplacement::Commit() {
  if (error_ == ERROR_SUCCESS && !file_) error_ = ERROR_INVALID_HANDLE;  // committed already
  if (error_ == ERROR_SUCCESS) error_ = WriteFileThrough(std::move(file_), {}, calls_);
  constexpr DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (error_ == ERROR_SUCCESS && !calls_.moveFile(temporary_.c_str(), target_.c_str(), moveFlags))
    error_ = LastErrorOr(ERROR_WRITE_FAULT);
  if (error_ != ERROR_SUCCESS) {
    Discard();
    return {error_, {}};
  }
  // The temporary is the target now: nothing is left to remove.
  temporary_.clear();
  return {};
}

void FileReplacement::Discard() {
  file_.reset();
  if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
  temporary_.clear();
}
