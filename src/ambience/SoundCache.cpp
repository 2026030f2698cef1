#include "ambience/SoundCache.h"

#include <algorithm>
#include <set>

#include "ambience/AmbienceFormat.h"
#include "ambience/Resampler.h"

namespace {

CachedSound Refused(SoundCacheRefusal refusal, SoundRefusal decodeRefusal = SoundRefusal::None) {
  return {nullptr, refusal, decodeRefusal};
}

}  // namespace

SoundCache::SoundCache(SoundFileReader reader, std::size_t boundBytes)
    : reader_(std::move(reader)), boundBytes_(boundBytes) {}

CachedSound SoundCache::Get(const std::wstring& path) {
  const std::optional<SoundFileStamp> stamp = reader_.stamp(path);
  auto known = entries_.find(path);
  if (!stamp) {
    if (known != entries_.end()) Drop(known);
    return Refused(SoundCacheRefusal::CannotRead);
  }
  if (known != entries_.end()) {
    if (known->second.stamp == *stamp) {
      known->second.lastUse = ++uses_;
      return known->second.result;
    }
    Drop(known);
  }
  CachedSound result = Load(path, *stamp);
  // A refusal for want of room is not kept, since the sound may fit once the list names fewer
  // files; nor is a failed read, which the next attempt may overcome.
  if (result.refusal != SoundCacheRefusal::OverMemoryBound &&
      result.refusal != SoundCacheRefusal::CannotRead) {
    if (result.sound) bytesHeld_ += result.sound->Bytes();
    entries_[path] = {*stamp, result, ++uses_};
  }
  return result;
}

CachedSound SoundCache::Load(const std::wstring& path, const SoundFileStamp& stamp) {
  // The converted size is known before converting: a file past the bound is refused before
  // its larger float copy is made. The file's own bytes count too, while it is being decoded.
  if (!MakeRoom(stamp.size)) return Refused(SoundCacheRefusal::OverMemoryBound);
  const std::optional<std::vector<std::byte>> bytes = reader_.read(path);
  if (!bytes) return Refused(SoundCacheRefusal::CannotRead);
  const DecodedSound decoded = DecodeSound(*bytes);
  if (!decoded) return Refused(SoundCacheRefusal::CannotDecode, decoded.refusal);
  const Resampler resampler(decoded.sampleRate);
  const auto frames =
      static_cast<std::size_t>(resampler.OutputFrames(static_cast<std::int64_t>(decoded.FrameCount())));
  if (!MakeRoom(frames * AmbienceChannels * sizeof(float))) return Refused(SoundCacheRefusal::OverMemoryBound);
  auto sound = std::make_shared<AmbienceSound>();
  sound->samples = resampler.ToAmbience(decoded.samples, decoded.channels);
  return {std::move(sound), SoundCacheRefusal::None, SoundRefusal::None};
}

void SoundCache::KeepOnly(std::span<const std::wstring> paths) {
  const std::set<std::wstring> kept(paths.begin(), paths.end());
  for (auto entry = entries_.begin(); entry != entries_.end();) {
    auto next = std::next(entry);
    if (!kept.contains(entry->first)) Drop(entry);
    entry = next;
  }
}

// Drops the sounds used longest ago until `bytes` fit under the bound. A sound that a mixer or
// a caller still holds stays: dropping it would free nothing.
bool SoundCache::MakeRoom(std::size_t bytes) {
  if (bytes > boundBytes_) return false;  // nothing dropped could make room for it
  while (bytes > boundBytes_ - bytesHeld_) {
    auto oldest = entries_.end();
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
      const auto& sound = entry->second.result.sound;
      if (sound == nullptr || sound.use_count() > 1) continue;
      if (oldest == entries_.end() || entry->second.lastUse < oldest->second.lastUse) oldest = entry;
    }
    if (oldest == entries_.end()) return false;
    Drop(oldest);
  }
  return true;
}

void SoundCache::Drop(std::map<std::wstring, Entry>::iterator entry) {
  if (entry->second.result.sound) bytesHeld_ -= entry->second.result.sound->Bytes();
  entries_.erase(entry);
}
