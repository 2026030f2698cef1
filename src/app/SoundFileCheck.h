#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

// Whether the files that entries name exist in the sound folder. Each name is looked up on
// disk once and remembered; the frame clears what it remembers when it comes back to the
// foreground, when the folder changes and when a name is edited, since files may have come
// or gone meanwhile. Names compare as the file system does: without case, `/` as `\`.
class SoundFileCheck {
 public:
  const std::wstring& Folder() const { return folder_; }
  // An empty folder means none is known: no name is then missing, none found.
  void SetFolder(const std::wstring& folder);
  void Forget() { known_.clear(); }

  // The name's file under the folder.
  std::wstring FullPath(const std::wstring& name) const;
  // False for an empty name and when no folder is known. Looks on the disk the first time.
  bool IsMissing(const std::wstring& name);
  // What is known without looking (for painting, which must never wait for a disk): false
  // too for a name not looked up yet.
  bool IsKnownMissing(const std::wstring& name) const;

 private:
  static std::wstring Key(const std::wstring& name);

  std::wstring folder_;
  std::unordered_map<std::wstring, bool> known_;
};
