#pragma once

// The probe's questions put to the real disk through the standard library, so the command line
// and the native tests need no system calls of their own. Paths use `\` as the game writes them;
// where the system's separator is `/`, they are turned into it.

#include "problems/ProbeFileSystem.h"

class DiskProbeFileSystem final : public ProbeFileSystem {
 public:
  FileStat Stat(const std::wstring& path) const override;
  std::optional<std::vector<std::byte>> Read(const std::wstring& path, std::uint32_t& error) const override;
  std::wstring DescribeError(std::uint32_t error) const override;
};
