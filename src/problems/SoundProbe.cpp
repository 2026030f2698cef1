#include "problems/SoundProbe.h"

namespace {

SoundProbe Faulty(const FileStat& stamp, SoundFault fault, SoundRefusal refusal) {
  SoundProbe probe;
  probe.verdict = SoundVerdict::Faulty;
  probe.fault = fault;
  probe.refusal = refusal;
  probe.stamp = stamp;
  return probe;
}

}  // namespace

SoundProbe ProbeSound(const ProbeFileSystem& files, const std::wstring& path, const SoundProbe* previous,
                      const std::atomic<bool>* stop) {
  const FileStat stamp = files.Stat(path);
  if (previous != nullptr && previous->verdict != SoundVerdict::Pending && previous->stamp == stamp) return *previous;

  SoundProbe probe;
  probe.stamp = stamp;
  if (!stamp.exists) {
    probe.verdict = SoundVerdict::Missing;
    return probe;
  }
  if (stamp.size > MaxProbedSoundBytes) return Faulty(stamp, SoundFault::Refused, SoundRefusal::TooLong);
  const std::optional<std::vector<std::byte>> bytes = files.Read(path);
  if (!bytes) return Faulty(stamp, SoundFault::Unreadable, SoundRefusal::None);
  SoundDecodeLimits limits;
  limits.stopRequested = stop;
  const DecodedSound sound = DecodeSound(*bytes, limits);
  if (!sound) return Faulty(stamp, SoundFault::Refused, sound.refusal);
  probe.verdict = SoundVerdict::Playable;
  probe.durationMs = sound.DurationMs();
  return probe;
}

const SoundProbe* SoundProbeCache::Find(const std::wstring& path) const {
  const auto found = probes_.find(path);
  return found == probes_.end() ? nullptr : &found->second;
}

const SoundProbe& SoundProbeCache::Probe(const ProbeFileSystem& files, const std::wstring& path) {
  SoundProbe& slot = probes_[path];
  slot = ProbeSound(files, path, &slot);
  return slot;
}
