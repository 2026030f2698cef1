#include "problems/DiskProbeFileSystem.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

std::filesystem::path SystemPath(std::wstring path) {
  if constexpr (std::filesystem::path::preferred_separator == '/') {
    for (wchar_t& c : path) {
      if (c == L'\\') c = L'/';
    }
  }
  return std::filesystem::path(path);
}

}  // namespace

FileStat DiskProbeFileSystem::Stat(const std::wstring& path) const {
  FileStat stat;
  std::error_code error;
  const std::filesystem::path file = SystemPath(path);
  if (!std::filesystem::is_regular_file(file, error)) {
    // Nothing there, or a folder, is no file; anything else is a file that could not be examined.
    if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory)
      stat.error = static_cast<std::uint32_t>(error.value());
    return stat;
  }
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) return stat;
  const auto written = std::filesystem::last_write_time(file, error);
  if (error) return stat;
  stat.exists = true;
  stat.size = size;
  stat.writeTime = static_cast<std::int64_t>(written.time_since_epoch().count());
  return stat;
}

std::optional<std::vector<std::byte>> DiskProbeFileSystem::Read(const std::wstring& path, std::uint32_t& error) const {
  error = 0;
  std::ifstream stream(SystemPath(path), std::ios::binary | std::ios::ate);
  if (!stream) {
    error = static_cast<std::uint32_t>(errno);
    return std::nullopt;
  }
  const std::streamoff size = stream.tellg();
  if (size < 0) return std::nullopt;
  std::vector<std::byte> bytes(static_cast<std::size_t>(size));
  stream.seekg(0);
  if (!stream.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
  return bytes;
}

std::wstring DiskProbeFileSystem::DescribeError(std::uint32_t error) const {
  const std::string words = std::generic_category().message(static_cast<int>(error));
  return std::wstring(words.begin(), words.end());
}
