#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// What a file on disk was when the editor last read or wrote it: which file it was (the volume
// and the file's index on it, so a file replaced under the same name counts as another), its
// size and its last-write time. Two stamps that differ mean another program has been at it.
struct FileStamp {
  bool exists = false;
  std::uint32_t volume = 0;
  std::uint64_t index = 0;
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file open as `file` (any access will do); `exists` false when the system
// cannot say, or it is a folder. Taken from the handle that reads or writes the file, it is the
// stamp of those very bytes: a second open afterwards could find another program's write.
FileStamp StampOfOpenFile(HANDLE file);

// The stamp of the file at `path` now; a stamp with `exists` false when there is no such file
// (or it cannot be opened even to read its attributes).
FileStamp TakeFileStamp(const std::wstring& path);

enum class DiskChange {
  None,     // the file is as the stamp says, or the stamp knows of no file
  Changed,  // another file, another size or another write time
  Gone,     // the file the stamp knows is no longer there
};

// How the file at `path` now differs from `known`; the stamp found is put in `now`.
DiskChange CompareWithDisk(const FileStamp& known, const std::wstring& path, FileStamp& now);
