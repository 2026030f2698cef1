#include "ambient/FileAccess.h"

#include <windows.h>

#include <algorithm>

#include "win/UniqueHandle.h"

namespace {

constexpr DWORD largestTransfer = 1 << 20;

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
  if (folder.empty() || GetTempFileNameW(folder.c_str(), L"swk", 0, name) == 0) return {};
  return name;
}

bool WriteAll(HANDLE file, std::span<const std::byte> bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), largestTransfer));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written != chunk) return false;
    bytes = bytes.subspan(chunk);
  }
  return true;
}

// Writes `bytes` to the existing file at `path`, flushes and closes it, checking each step.
bool WriteFileCompletely(const std::wstring& path, std::span<const std::byte> bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) return false;
  return CloseHandle(file.release()) != FALSE;
}

// Whether the target may be replaced, and whether it exists. Opening it for writing and deleting,
// as replacing it needs, fails for read-only files, folders, files we may not change and files
// another program holds open without sharing, before anything is written.
bool TargetIsReplaceable(const std::wstring& fullPath, bool& exists) {
  const HANDLE handle = CreateFileW(fullPath.c_str(), GENERIC_WRITE | DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD error = GetLastError();
  const UniqueFile target(handle);
  exists = static_cast<bool>(target);
  return exists || error == ERROR_FILE_NOT_FOUND;
}

bool MoveIntoPlace(const std::wstring& temporary, const std::wstring& target, bool targetExists) {
  // ReplaceFileW keeps the replaced file's attributes and security; a new file has none to keep.
  if (targetExists) {
    return ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr) != FALSE;
  }
  return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
         FALSE;
}

}  // namespace

std::optional<std::vector<std::byte>> ReadFileStart(const std::wstring& path, std::size_t maxBytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::vector<std::byte> bytes(maxBytes);
  std::size_t filled = 0;
  while (filled < maxBytes) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(maxBytes - filled, largestTransfer));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + filled, wanted, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    filled += read;
  }
  bytes.resize(filled);
  return bytes;
}

bool ReplaceFileContents(const std::wstring& path, std::span<const std::byte> bytes) {
  const std::wstring target = FullPath(path);
  bool targetExists = false;
  if (target.empty() || !TargetIsReplaceable(target, targetExists)) return false;
  const std::wstring temporary = CreateTemporaryFile(FolderOf(target));
  if (temporary.empty()) return false;
  if (WriteFileCompletely(temporary, bytes) && MoveIntoPlace(temporary, target, targetExists)) return true;
  DeleteFileW(temporary.c_str());
  return false;
}
