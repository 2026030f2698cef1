#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format/FileStamp.h"
#include "win/UniqueHandle.h"

// The file-system calls whose failures decide what happens to the user's data. Reading and
// replacing use the real ones; tests hand in stand-ins that fail the way a full disk or a replacement
// interrupted half-way does, or that let another program write in between.
struct FileSystemCalls {
  decltype(&::ReadFile) readFile = &::ReadFile;
  decltype(&::WriteFile) writeFile = &::WriteFile;
  decltype(&::FlushFileBuffers) flushFileBuffers = &::FlushFileBuffers;
  decltype(&::ReplaceFileW) replaceFile = &::ReplaceFileW;
  decltype(&::MoveFileExW) moveFile = &::MoveFileExW;
};

// What reading the start of a file gives: its bytes, or the platform's error code.
struct FileReadResult {
  std::vector<std::byte> bytes;
  DWORD error = ERROR_SUCCESS;
  // The whole file's length, which may be more than the bytes read.
  std::uint64_t fileSize = 0;
  // The file's stamp, from the handle that read it, before the first byte: any write by another
  // program during or after the read makes the file differ from it.
  FileStamp stamp{};

  explicit operator bool() const { return error == ERROR_SUCCESS; }
};

// Reads at most `maxBytes` from the start of the file at `path`; fewer when the file is shorter.
// The file is opened with full sharing, so a file another program has open can still be read.
FileReadResult ReadFileStart(const std::wstring& path, std::size_t maxBytes,
                             const FileSystemCalls& calls = {});

// How replacing a file ended.
struct FileWriteResult {
  // The platform's error code of the step that failed; ERROR_SUCCESS when the file holds the bytes.
  DWORD error = ERROR_SUCCESS;
  // When the new bytes are safely written but could not take the target's place: the file that
  // holds them, kept so that the user can recover them. Empty otherwise.
  std::wstring keptFile;
  // When the file holds the bytes: its stamp, from a handle on the file written rather than the
  // name, when the system moved that very file into place (a new file); otherwise the stamp the
  // name shows right after the replacement. Empty (`exists` false) when neither could be taken.
  FileStamp stamp{};

  explicit operator bool() const { return error == ERROR_SUCCESS; }
};

// Makes the file at `path` hold exactly `bytes`, all or nothing: the bytes go to a temporary file
// in the target's folder, every write, the flush to the disk and the close are checked, and only
// then does the temporary take the target's place. A read-only, locked or missing target folder
// is found before anything is written. Whatever fails, the user's data survives: either the
// target is byte for byte as it was and the temporary is removed, or (when the system gave up
// half-way through the replacement and even moving the temporary into place failed) the
// temporary is kept and named in the result.
FileWriteResult ReplaceFileContents(const std::wstring& path, std::span<const std::byte> bytes,
                                    const FileSystemCalls& calls = {});

// A file made in parts, all or nothing, for contents too large to hold in memory (a rendered
// hour of sound): the parts go to a temporary file beside the target, and only Commit, once the
// flush to the disk and the close succeeded, moves it into the target's place (replacing it,
// written through). Destroyed without a Commit, or after any failure, it removes its temporary
// and leaves the target as it was. Writes may come from another thread than the one that made
// it, one thread at a time.
class FileReplacement {
 public:
  // Checks the target as ReplaceFileContents does and creates the temporary; Error() tells when
  // either is impossible, before anything is written.
  explicit FileReplacement(const std::wstring& path, const FileSystemCalls& calls = {});
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // ERROR_SUCCESS while the file can still be made; else the error code of the step that failed.
  DWORD Error() const { return error_; }
  explicit operator bool() const { return error_ == ERROR_SUCCESS; }

  // Appends `bytes`; false (and nothing more written) once a write has failed.
  bool Write(std::span<const std::byte> bytes);
  // Puts what was written in the target's place; on failure, the target is as it was.
  FileWriteResult Commit();

 private:
  void Discard();

  FileSystemCalls calls_;
  std::wstring target_;
  std::wstring temporary_;
  UniqueFile file_;
  DWORD error_ = ERROR_SUCCESS;
};

// The full path of `path` as the file calls take it: plain when short, in the "\\?\" form (which
// has no MAX_PATH limit) when long. Empty when the path cannot be made full. The paths that go to
// the file calls of this module pass through it, so no caller needs to know.
std::wstring ExtendedLengthPath(const std::wstring& path);

// Whether two paths name the same file: one file on one volume by its identity (hard links, short
// and long names, different spellings of one folder), or, when neither file exists, the same full
// path apart from letter case.
bool IsSameFile(const std::wstring& first, const std::wstring& second);
