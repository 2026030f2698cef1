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
  static std::uint32_t HashOf(std::wstring_view key);
  // The slot that holds the name whose key is `key` (hashed `hash`), or the empty slot where it goes.
  std::size_t SlotOf(std::wstring_view key, std::uint32_t hash) const;
  void Grow();

  std::vector<wchar_t> text_;
  std::vector<std::uint32_t> start_;
  std::vector<std::uint16_t> length_;
  std::vector<std::uint32_t> hash_;
  // Open addressing over ids + 1; 0 is an empty slot. Kept at most half full.
  std::vector<std::uint32_t> slots_;
};
