#pragma once

// Each sound file of a list decoded once and kept in the ambience format, so that the preview,
// the timeline and the export never decode a file twice. The memory it may take is bounded:
// a list may name long files, and the editor must not grow without limit for an audition; a file
// that would pass the bound is refused with that reason and plays silent.
//
// Files are read through an injected reader, so the cache runs the same on any system and in
// tests. A sound is known by its path together with the size and write time the reader reports:
// a file changed on disk is decoded again. When a new sound would pass the bound, the sounds
// used longest ago make room for it, unless something still plays them (dropping those would
// free nothing); the owner also drops what no open list names any more (KeepOnly).
//
// One owner uses it at a time. The sounds it hands out are shared and immutable, so a mixer on
// another thread may keep playing one that the cache has since dropped or replaced.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sound/SoundDecoder.h"

// A sound in the ambience format: interleaved stereo float at 44.1 kHz.
struct AmbienceSound {
  std::vector<float> samples;

  std::int64_t FrameCount() const { return static_cast<std::int64_t>(samples.size() / 2); }
  std::size_t Bytes() const { return samples.size() * sizeof(float); }
};

struct SoundFileStamp {
  std::uint64_t size = 0;
  std::int64_t writeTime = 0;  // in the reader's own units; only compared for equality

  bool operator==(const SoundFileStamp&) const = default;
};

struct SoundFileReader {
  // The file's stamp; nothing when it does not exist or cannot be examined.
  std::function<std::optional<SoundFileStamp>(const std::wstring& path)> stamp;
  // The file's bytes; nothing when it cannot be read.
  std::function<std::optional<std::vector<std::byte>>(const std::wstring& path)> read;
};

enum class SoundCacheRefusal {
  None,
  CannotRead,       // missing or unreadable file
  CannotDecode,     // the decoder refused it; the decoder's reason is given with it
  OverMemoryBound,  // decoding it would take the cache past its bound
};

struct CachedSound {
  std::shared_ptr<const AmbienceSound> sound;  // null when refused
  SoundCacheRefusal refusal = SoundCacheRefusal::None;
  SoundRefusal decodeRefusal = SoundRefusal::None;  // CannotDecode: why

  explicit operator bool() const { return sound != nullptr; }
};

class SoundCache {
 public:
  static constexpr std::size_t DefaultBound = std::size_t{256} << 20;

  explicit SoundCache(SoundFileReader reader, std::size_t boundBytes = DefaultBound);

  // The sound at `path`, decoded and converted the first time it is asked for, or after its
  // stamp changed. A refusal by the decoder is kept until the file changes; one by the bound
  // (only when the sounds still in use fill it) is tried again once memory was freed.
  CachedSound Get(const std::wstring& path);

  // Drops every sound whose path is not among `paths`: the list no longer names it.
  void KeepOnly(std::span<const std::wstring> paths);

  std::size_t BytesHeld() const { return bytesHeld_; }
  std::size_t BoundBytes() const { return boundBytes_; }

 private:
  struct Entry {
    SoundFileStamp stamp;
    CachedSound result;
    std::uint64_t lastUse = 0;
  };

  CachedSound Load(const std::wstring& path, const SoundFileStamp& stamp);
  bool MakeRoom(std::size_t bytes);
  void Drop(std::map<std::wstring, Entry>::iterator entry);

  SoundFileReader reader_;
  std::size_t boundBytes_;
  std::size_t bytesHeld_ = 0;
  std::uint64_t uses_ = 0;
  std::map<std::wstring, Entry> entries_;
};
