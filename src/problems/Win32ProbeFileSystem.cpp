#include "problems/Win32ProbeFileSystem.h"

#include <windows.h>

#include <limits>

#include "format/FileAccess.h"

FileStat Win32ProbeFileSystem::Stat(const std::wstring& path) const {
  FileStat stat;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::wstring full = ExtendedLengthPath(path);
  if (full.empty()) return stat;
  if (!GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &data)) {
    // Only these say that nothing is there; a file that is there but cannot be asked about
    // (access denied, a sharing violation) is not missing, and picking another would not help.
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) stat.error = error;
    return stat;
  }
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return stat;
  stat.exists = true;
  stat.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stat.writeTime = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                             data.ftLastWriteTime.dwLowDateTime);
  return stat;
}

std::optional<std::vector<std::byte>> Win32ProbeFileSystem::Read(const std::wstring& path, std::uint32_t& error) const {
  const FileStat stat = Stat(path);
  error = stat.error;
  if (!stat.exists || stat.size > std::numeric_limits<std::size_t>::max()) return std::nullopt;
  FileReadResult read = ReadFileStart(path, static_cast<std::size_t>(stat.size));
  error = read.error;
  if (!read) return std::nullopt;
  return std::move(read.bytes);
}

std::wstring Win32ProbeFileSystem::DescribeError(std::uint32_t error) const {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring words = length == 0 ? std::wstring() : std::wstring(text, length);
  LocalFree(text);
  // The sentence it goes into ends it.
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ' || words.back() == L'.'))
    words.pop_back();
  return words;
}
