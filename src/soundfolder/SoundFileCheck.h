#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

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
  // Takes which of `names` (the shown document's) are missing as what the screen shows from
  // now on; true when that differs from what it showed, so that the caller repaints.
  bool ShowMissing(const std::vector<std::wstring>& names);
  // Whether the screen shows `name` as missing. Painting asks only this: it must never wait for
  // a disk, and a mark drawn from a lookup that came after the last ShowMissing (a name just
  // replaced, a lookup forgotten on the way back to the foreground) would disagree with the
  // rest of the screen until some unrelated repaint.
  bool IsShownMissing(const std::wstring& name) const;

 private:
  static std::wstring Key(const std::wstring& name);

  std::wstring folder_;
  std::unordered_map<std::wstring, bool> known_;
  std::wstring shownFolder_;
  std::set<std::wstring> shown_;
};
