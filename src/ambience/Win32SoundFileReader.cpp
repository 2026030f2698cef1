#include "ambience/Win32SoundFileReader.h"

#include <windows.h>

#include "format/FileAccess.h"

namespace {

std::optional<SoundFileStamp> StampOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::wstring full = ExtendedLengthPath(path);
  if (full.empty() || !GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  SoundFileStamp stamp;
  stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.writeTime = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime);
  return stamp;
}

std::optional<std::vector<std::byte>> ReadWhole(const std::wstring& path) {
  const auto stamp = StampOf(path);
  // A file larger than all the memory sounds may take could never be kept: it is not read.
  if (!stamp || stamp->size > SoundCache::DefaultBound) return std::nullopt;
  FileReadResult read = ReadFileStart(path, static_cast<std::size_t>(stamp->size));
  if (!read) return std::nullopt;
  return std::move(read.bytes);
}

}  // namespace

SoundFileReader Win32SoundFileReader() { return SoundFileReader{StampOf, ReadWhole}; }
