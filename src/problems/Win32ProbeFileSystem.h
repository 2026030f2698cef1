#pragma once

// The probe's questions put to the disk through the system's own calls, with paths of any
// length (the extended "\\?\" form where a path is long), as the editor opens files.

#include "problems/ProbeFileSystem.h"

class Win32ProbeFileSystem final : public ProbeFileSystem {
 public:
  FileStat Stat(const std::wstring& path) const override;
  std::optional<std::vector<std::byte>> Read(const std::wstring& path, std::uint32_t& error) const override;
  std::wstring DescribeError(std::uint32_t error) const override;
};
