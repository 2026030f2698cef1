#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "format/FileStamp.h"

// What a recovery copy holds: the bytes a save of the document would write, the file it
// belongs to (empty for a document that never had one), the stamp that file had when it was
// read, and the page's title.
struct RecoveryCopy {
  std::wstring path;
  std::wstring title;
  FileStamp stamp;
  std::vector<std::byte> bytes;

  bool operator==(const RecoveryCopy&) const = default;
};

// The file calls whose order against a crash decides what the crash leaves behind. Tests hand in
// stand-ins that crash the process on another thread half-way through a write or a removal.
struct RecoveryFileCalls {
  decltype(&::MoveFileExW) moveFile = &::MoveFileExW;
  decltype(&::DeleteFileW) deleteFile = &::DeleteFileW;
};

// The recovery copies of this process's modified documents, one file each in a folder of the
// user's, so that a crash, a forced end or a power cut leaves the unsaved work behind. Each
// copy's name carries this process's id and start time: a copy whose process is no longer
// running is an orphan, left for the next start to offer, and two running editors never take
// each other's copies.
class RecoveryStore {
 public:
  // %LOCALAPPDATA%\Sonarwick\Recovery; empty when the system names no such folder.
  static std::wstring DefaultFolder();

  explicit RecoveryStore(std::wstring folder, RecoveryFileCalls calls = {});
  ~RecoveryStore();
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;
  const std::wstring& Folder() const { return folder_; }

  // Makes the copy of document `slot` hold `copy`, atomically (a temporary file that then
  // takes the copy's place). Nothing is written when the copy on disk already holds it. False
  // when it could not be written; the copy written before, if any, stays. A `durable` write
  // waits until the copy is on the disk itself (it survives a power cut, not only the end of the
  // process); it costs a disk flush, so the frame asks for it only now and then.
  bool Write(int slot, const RecoveryCopy& copy, bool durable = true);
  // Deletes the copy of `slot`, also one claimed for it: the document was saved or closed
  // without saving. From its first step on, a crash deletes the copy too instead of writing it.
  void Remove(int slot);
  // Writes every copy this store holds again, from what it has in memory, and deletes those
  // being removed: the last thing the process does when it crashes (see below). A copy whose
  // last write failed is not among them. Called only with the store's list locked against
  // change.
  void WriteAllKept() noexcept;

  // The copies whose process is no longer running, oldest name first.
  std::vector<std::wstring> FindOrphans() const;
  // Takes an orphan over as the copy of this process's `slot` (so no other editor starting now
  // offers it too) and reads it. The file stays, as that slot's copy, until a newer copy of the
  // slot takes its place or Remove deletes it: a restore that fails or a crash half-way loses
  // nothing, and what this process leaves behind is an orphan for the next start again. False
  // when another process took it first or it cannot be read; a damaged copy is deleted, since
  // nothing could ever restore it.
  bool ClaimOrphan(const std::wstring& file, int slot, RecoveryCopy& copy);
  // Deletes an orphan the user chose not to restore.
  void DiscardOrphan(const std::wstring& file);

  // The contents of a copy's file, and their reading; exposed for tests.
  static std::vector<std::byte> Serialize(const RecoveryCopy& copy);
  static bool Deserialize(const std::vector<std::byte>& content, RecoveryCopy& copy);

 private:
  struct Kept {
    int slot = 0;
    std::wstring file;
    std::wstring temporary;
    // Where the crash writes its copy before moving it into place: never the temporary file the
    // frame's thread may be writing or moving at that moment.
    std::wstring crashTemporary;
    std::vector<std::byte> content;
    bool onDisk = false;
    bool durable = false;
    // The document was saved or closed: the copy goes, and a crash deletes rather than writes it.
    bool removed = false;
  };

  Kept& KeptFor(int slot);
  std::wstring NameFor(int slot) const;

  std::wstring folder_;
  RecoveryFileCalls calls_;
  // "<process id>-<start time>-", the start of every copy's name of this process.
  std::wstring prefix_;
  std::vector<Kept> kept_;
};

// Makes `store` write its copies when the process crashes; null takes that back. A crash is an
// exception nobody handles on any thread, a C++ exception that would end in terminate(), and
// one leaving a thread's guarded entry. What the handler guarantees:
// - it allocates nothing of its own and takes no lock of the runtime's: it only walks the list
//   of copies kept in memory and hands their bytes to the system's file functions (which may
//   use the system's own heap to convert the names);
// - it reads that list under a lock every change of it holds; when the crash happened inside
//   such a change, or another thread keeps the lock past a second, it writes nothing, and the
//   copies already on disk (each written whole, then renamed into place) are what is left;
// - a copy is only ever replaced whole: a crash of the handler itself leaves the one before;
// - what it writes is always the newest content of each copy, and a copy being removed is
//   deleted, not written: a crash at any step of a write leaves the copy before or the new one,
//   and a crash during a removal never brings a saved or closed document back;
// - it then passes the crash on to the filter installed before it, and failing that to the
//   system, so the crash is still reported as it would have been.
void WriteRecoveryCopiesOnCrash(RecoveryStore* store);
