#include "ambient/FileAccess.h"

#include <algorithm>
#include <optional>

#include "win/UniqueHandle.h"

namespace {

constexpr DWORD largestTransfer = 1 << 20;
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

// Creates an empty, uniquely named file in `folder`; empty when that is impossible.
std::wstring CreateTemporaryFile(const std::wstring& folder) {
  wchar_t name[MAX_PATH] = {};
  if (folder.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return {};
  }
  if (GetTempFileNameW(folder.c_str(), L"swk", 0, name) == 0) return {};
  return name;
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

// Writes `bytes` to the existing file at `path` and makes sure they reached the disk before the
// file may replace anything, checking each step; the error code of the step that failed.
DWORD WriteFileThrough(const std::wstring& path, std::span<const std::byte> bytes,
                       const FileSystemCalls& calls) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastErrorOr(ERROR_OPEN_FAILED);
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

FileReadResult ReadFileStart(const std::wstring& path, std::size_t maxBytes) {
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, fullSharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD openError = LastErrorOr(ERROR_OPEN_FAILED);
  UniqueFile file(handle);
  if (!file) return {{}, openError};
  std::vector<std::byte> bytes(maxBytes);
  std::size_t filled = 0;
  while (filled < maxBytes) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(maxBytes - filled, largestTransfer));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + filled, wanted, &read, nullptr)) {
      return {{}, LastErrorOr(ERROR_READ_FAULT)};
    }
    if (read == 0) break;
    filled += read;
  }
  bytes.resize(filled);
  return {std::move(bytes), ERROR_SUCCESS};
}

FileWriteResult ReplaceFileContents(const std::wstring& path, std::span<const std::byte> bytes,
                                    const FileSystemCalls& calls) {
  const std::wstring target = FullPath(path);
  if (target.empty()) return {LastErrorOr(ERROR_INVALID_NAME), {}};
  bool targetExists = false;
  if (const DWORD error = CheckTarget(target, targetExists); error != ERROR_SUCCESS) return {error, {}};
  const std::wstring temporary = CreateTemporaryFile(FolderOf(target));
  if (temporary.empty()) return {LastErrorOr(ERROR_CANNOT_MAKE), {}};
  const DWORD error = WriteFileThrough(temporary, bytes, calls);
  if (error != ERROR_SUCCESS) return DiscardTemporary(temporary, error);
  return MoveIntoPlace(temporary, target, targetExists, calls);
}

bool IsSameFile(const std::wstring& first, const std::wstring& second) {
  const std::wstring firstFull = FullPath(first);
  const std::wstring secondFull = FullPath(second);
  if (firstFull.empty() || secondFull.empty()) return false;
  if (CompareStringOrdinal(firstFull.c_str(), -1, secondFull.c_str(), -1, TRUE) == CSTR_EQUAL) return true;
  const std::optional<FileIdentity> firstIdentity = IdentityOf(firstFull);
  return firstIdentity && firstIdentity == IdentityOf(secondFull);
}
