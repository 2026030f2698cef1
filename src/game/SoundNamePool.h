#pragma once

// Every sound name of a game held once, however many entries name it: a thousand lists of a
// hundred entries name a few thousand files. Names that the game's file system takes for one
// (SoundNameKey: without case, `/` as `\`) get one id. The text lies in one buffer and the
// table holds only ids, so a name costs its characters and a few bytes more.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Two names in the order of their keys, without making the keys: below, at or above zero.
int CompareSoundNames(std::wstring_view a, std::wstring_view b);
inline bool SameSoundName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && CompareSoundNames(a, b) == 0;
}
// Whether `name` is `folder` or lies under it (`folder` given without a separator at its end);
// where its part under the folder starts.
std::optional<std::size_t> SoundNamePartUnder(std::wstring_view name, std::wstring_view folder);

class SoundNamePool {
 public:
  using Id = std::uint32_t;

  // The id of the name the game takes `spelling` for; new names keep this spelling.
  Id Intern(std::wstring_view spelling);
  std::optional<Id> Find(std::wstring_view name) const;
  // The name as first met (or as last respelled).
  std::wstring_view Spelling(Id id) const;
  // Gives a name another spelling of the same key: a file's own spelling outranks a list's.
  void Respell(Id id, std::wstring_view spelling);

  std::size_t Count() const { return start_.size(); }
  std::size_t MemoryBytes() const;

 private:
  static std::uint32_t HashOf(std::wstring_view name);
  // The slot that holds the name `name` (hashed `hash`) is taken for, or the empty slot where it goes.
  std::size_t SlotOf(std::wstring_view name, std::uint32_t hash) const;
  void Grow();

  std::vector<wchar_t> text_;
  std::vector<std::uint32_t> start_;
  std::vector<std::uint16_t> length_;
  std::vector<std::uint32_t> hash_;
  // Open addressing over ids + 1; 0 is an empty slot. Kept at most half full.
  std::vector<std::uint32_t> slots_;
};
