#include "game/Win32GameFileSystem.h"

#include <windows.h>

#include "format/FileAccess.h"

namespace {

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

GameWalkEnd Win32GameFileSystem::Walk(const std::wstring& folder, const GameFileVisitor& visit) const {
  std::wstring root = ExtendedLengthPath(folder);
  if (root.empty()) return GameWalkEnd::CannotList;
  if (root.back() != L'\\') root += L'\\';
  // Folders still to list, relative to the root, each with its `\` at the end (the root: "").
  std::vector<std::wstring> pending{L""};
  bool first = true;
  std::wstring path;  // one buffer for every file's path: thousands of files, no allocation each
  while (!pending.empty()) {
    const std::wstring relative = std::move(pending.back());
    pending.pop_back();
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileExW((root + relative + L'*').c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
      if (first) return GameWalkEnd::CannotList;
      continue;  // a subfolder without access: the rest is still worth answering for
    }
    first = false;
    do {
      if (IsDots(found.cFileName)) continue;
      path.assign(relative).append(found.cFileName);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A junction or link may lead back up the tree; the game's own folders are real ones.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) pending.push_back(path + L'\\');
        continue;
      }
      const std::uint64_t size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      if (!visit(path, size)) return GameWalkEnd::Stopped;
    } while (FindNextFileW(find.get(), &found));
  }
  return GameWalkEnd::Done;
}

GameFileRead Win32GameFileSystem::ReadStart(const std::wstring& path, std::size_t maxBytes) const {
  // A list is read with as few calls as the system allows (a game has a thousand): its length is
  // asked for only when it fills the bytes read, and the long form of its path only when needed.
  GameFileRead result;
  const std::wstring openable = path.size() < MAX_PATH ? path : ExtendedLengthPath(path);
  const HANDLE file =
      CreateFileW(openable.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    result.error = GetLastError();
    return result;
  }
  result.bytes.resize(maxBytes);
  std::size_t filled = 0;
  while (filled < maxBytes) {
    DWORD read = 0;
    if (!ReadFile(file, result.bytes.data() + filled, static_cast<DWORD>(maxBytes - filled), &read, nullptr)) {
      result.error = GetLastError();
      CloseHandle(file);
      result.bytes.clear();
      return result;
    }
    if (read == 0) break;
    filled += read;
  }
  result.bytes.resize(filled);
  result.fileSize = filled;
  LARGE_INTEGER size{};
  if (filled == maxBytes && GetFileSizeEx(file, &size))
    result.fileSize = static_cast<std::uint64_t>(size.QuadPart);
  CloseHandle(file);
  return result;
}

bool Win32GameFileSystem::IsFile(const std::wstring& path) const {
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
