#pragma once

// What indexing a game asks of the disk, and nothing more: the files under a folder with their
// sizes, the start of a list file, and whether a path names a file. The editor walks with the
// system's own calls; the native tests walk a tree they wrote with the standard library.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class GameWalkEnd {
  Done,
  Stopped,     // the visitor asked to stop
  CannotList,  // the folder itself could not be listed (missing, no folder, no access)
};

// `relative` is the file's path under the walked folder with `\` between its parts, as the
// lists name sounds. Answer false to stop the walk.
using GameFileVisitor = std::function<bool(std::wstring_view relative, std::uint64_t size)>;

struct GameFileRead {
  std::vector<std::byte> bytes;  // at most the bytes asked for
  std::uint64_t fileSize = 0;    // the whole file's length
  std::uint32_t error = 0;       // the platform's error code; 0 when read
};

class GameFileSystem {
 public:
  virtual ~GameFileSystem() = default;

  // Every file under `folder` at any depth, folders themselves not reported. A subfolder that
  // cannot be listed is passed over: the rest of the game is still worth answering for.
  virtual GameWalkEnd Walk(const std::wstring& folder, const GameFileVisitor& visit) const = 0;
  // At most `maxBytes` from the start of the file at `path`.
  virtual GameFileRead ReadStart(const std::wstring& path, std::size_t maxBytes) const = 0;
  virtual bool IsFile(const std::wstring& path) const = 0;
};

// The same questions of the build machine's disk through std::filesystem, for the native tests
// and tools; `\` in the paths it is given counts as `/`.
class PortableGameFileSystem final : public GameFileSystem {
 public:
  GameWalkEnd Walk(const std::wstring& folder, const GameFileVisitor& visit) const override;
  GameFileRead ReadStart(const std::wstring& path, std::size_t maxBytes) const override;
  bool IsFile(const std::wstring& path) const override;
};
