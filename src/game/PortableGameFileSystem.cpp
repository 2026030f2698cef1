#include <algorithm>
#include <filesystem>
#include <fstream>

#include "game/GameFileSystem.h"

namespace fs = std::filesystem;

namespace {

fs::path NativePath(std::wstring path) {
  std::replace(path.begin(), path.end(), L'\\', L'/');
  return fs::path(path);
}

}  // namespace

GameWalkEnd PortableGameFileSystem::Walk(const std::wstring& folder, const GameFileVisitor& visit) const {
  const fs::path root = NativePath(folder);
  std::error_code error;
  if (!fs::is_directory(root, error)) return GameWalkEnd::CannotList;
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
  if (error) return GameWalkEnd::CannotList;
  for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (error) break;
    if (!it->is_regular_file(error)) continue;
    std::wstring relative = it->path().lexically_relative(root).wstring();
    std::replace(relative.begin(), relative.end(), L'/', L'\\');
    if (!visit(relative, it->file_size(error))) return GameWalkEnd::Stopped;
  }
  return GameWalkEnd::Done;
}

GameFileRead PortableGameFileSystem::ReadStart(const std::wstring& path, std::size_t maxBytes) const {
  GameFileRead read;
  const fs::path native = NativePath(path);
  std::error_code error;
  read.fileSize = fs::file_size(native, error);
  std::ifstream stream(native, std::ios::binary);
  if (error || !stream) {
    read.error = 2;  // as the system says "file not found"
    return read;
  }
  read.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(read.fileSize, maxBytes)));
  stream.read(reinterpret_cast<char*>(read.bytes.data()), static_cast<std::streamsize>(read.bytes.size()));
  if (!stream) read.error = 30;  // as the system says "cannot read from the device"
  return read;
}

bool PortableGameFileSystem::IsFile(const std::wstring& path) const {
  std::error_code error;
  return fs::is_regular_file(NativePath(path), error);
}
