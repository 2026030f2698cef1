#pragma once

// The game's files as Windows lists them: FindFirstFileExW without short names and with large
// fetches, the quickest way the system offers to walk thousands of files; paths of any length.

#include "game/GameFileSystem.h"

class Win32GameFileSystem final : public GameFileSystem {
 public:
  GameWalkEnd Walk(const std::wstring& folder, const GameFileVisitor& visit) const override;
  GameFileRead ReadStart(const std::wstring& path, std::size_t maxBytes) const override;
  bool IsFile(const std::wstring& path) const override;
};
