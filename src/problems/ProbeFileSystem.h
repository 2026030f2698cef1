#pragma once

// What the sound checks ask of the disk, and nothing more: so the same checks run on Windows,
// on the build machine and in tests over files kept in memory.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A file's stamp: a file whose size and write time are unchanged is taken as unchanged, and its
// earlier verdict is reused without reading it again.
struct FileStat {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t writeTime = 0;  // in the file system's own units; only compared for equality
  // The system's error code when something may be at the path but could not be examined (access
  // denied, a sharing violation, a name the system refuses); 0 when nothing is there or it was.
  std::uint32_t error = 0;

  bool operator==(const FileStat&) const = default;
};

class ProbeFileSystem {
 public:
  virtual ~ProbeFileSystem() = default;

  // `exists` is false for a path that names no file (nothing there, or a folder) and for one that
  // could not be examined, which `error` then tells.
  virtual FileStat Stat(const std::wstring& path) const = 0;
  // The whole file; nullopt when it cannot be read, with the system's error code in `error`
  // where one is known. Called only for files Stat found, whose size the caller has already
  // checked to be worth reading.
  virtual std::optional<std::vector<std::byte>> Read(const std::wstring& path, std::uint32_t& error) const = 0;
  // The system's own words for `error`, in the interface language; empty when it has none.
  virtual std::wstring DescribeError(std::uint32_t error) const = 0;
};
