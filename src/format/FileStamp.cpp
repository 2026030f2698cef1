#include "format/FileStamp.h"

#include "format/FileAccess.h"

FileStamp StampOfOpenFile(HANDLE file) {
  FileStamp stamp;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return stamp;
  stamp.exists = true;
  stamp.volume = info.dwVolumeSerialNumber;
  stamp.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  stamp.lastWrite = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
  return stamp;
}

FileStamp TakeFileStamp(const std::wstring& path) {
  FileStamp stamp;
  if (path.empty()) return stamp;
  // No access rights asked for: a file another program holds open without sharing still
  // answers, and nothing here keeps it from being replaced.
  HANDLE file =
      CreateFileW(ExtendedLengthPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return stamp;
  stamp = StampOfOpenFile(file);
  CloseHandle(file);
  return stamp;
}

DiskChange CompareWithDisk(const FileStamp& known, const std::wstring& path, FileStamp& now) {
  now = TakeFileStamp(path);
  if (!known.exists) return DiskChange::None;
  if (!now.exists) {
    // A file that is only locked away for a moment still shows in the folder; only a missing
    // name counts as gone.
    if (GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
      now = known;
      return DiskChange::None;
    }
    return DiskChange::Gone;
  }
  return now == known ? DiskChange::None : DiskChange::Changed;
}
