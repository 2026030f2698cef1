#include "problems/Win32ProbeFileSystem.h"

#include <windows.h>

#include <limits>

#include "format/FileAccess.h"

FileStat Win32ProbeFileSystem::Stat(const std::wstring& path) const {
  FileStat stat;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::wstring full = ExtendedLengthPath(path);
  if (full.empty() || !GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &data)) return stat;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return stat;
  stat.exists = true;
  stat.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stat.writeTime = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                             data.ftLastWriteTime.dwLowDateTime);
  return stat;
}

std::optional<std::vector<std::byte>> Win32ProbeFileSystem::Read(const std::wstring& path) const {
  const FileStat stat = Stat(path);
  if (!stat.exists || stat.size > std::numeric_limits<std::size_t>::max()) return std::nullopt;
  FileReadResult read = ReadFileStart(path, static_cast<std::size_t>(stat.size));
  if (!read) return std::nullopt;
  return std::move(read.bytes);
}
