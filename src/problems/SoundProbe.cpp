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

SoundProbe Unreadable(const ProbeFileSystem& files, const FileStat& stamp, std::uint32_t error) {
  SoundProbe probe = Faulty(stamp, SoundFault::Unreadable, SoundRefusal::None);
  if (error != 0) probe.reason = files.DescribeError(error);
  return probe;
}

}  // namespace

SoundProbe ProbeSound(const ProbeFileSystem& files, const std::wstring& path, const SoundProbe* previous,
                      const std::atomic<bool>* stop) {
  const FileStat stamp = files.Stat(path);
  // A file that could not be read may be readable now with the same stamp: the program that
  // held it locked has let go.
  if (previous != nullptr && previous->verdict != SoundVerdict::Pending && previous->fault != SoundFault::Unreadable &&
      previous->stamp == stamp)
    return *previous;

  SoundProbe probe;
  probe.stamp = stamp;
  if (!stamp.exists && stamp.error != 0) return Unreadable(files, stamp, stamp.error);
  if (!stamp.exists) {
    probe.verdict = SoundVerdict::Missing;
    return probe;
  }
  if (stamp.size > MaxProbedSoundBytes) return Faulty(stamp, SoundFault::Refused, SoundRefusal::TooLong);
  std::uint32_t error = 0;
  const std::optional<std::vector<std::byte>> bytes = files.Read(path, error);
  if (!bytes) return Unreadable(files, stamp, error);
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
