#pragma once

// What a sound file is worth to the game: missing, unreadable, refused by the decoder, or
// playable with a length. Finding out reads and decodes the whole file, so verdicts are kept
// with the file's stamp and reused while the stamp stays the same.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "problems/Problem.h"
#include "problems/ProbeFileSystem.h"

enum class SoundVerdict {
  Pending,   // not probed yet: the checks stay silent about the file until it is
  Missing,   // nothing by that path (a file that is there but cannot be examined is Faulty)
  Faulty,    // there, but gives no sound: `fault` and `refusal` say why
  Playable,  // decodes; `durationMs` is its playing time
};

struct SoundProbe {
  SoundVerdict verdict = SoundVerdict::Pending;
  SoundFault fault = SoundFault::None;
  SoundRefusal refusal = SoundRefusal::None;
  std::uint64_t durationMs = 0;
  std::wstring reason;  // an Unreadable file's: the system's own words for why
  FileStat stamp;

  bool operator==(const SoundProbe&) const = default;
};

// Files above this size are refused as too long without being read: the decoder would refuse
// them anyway (it holds ten minutes of 48 kHz stereo at most), and reading a stray video file
// whole would only cost memory.
inline constexpr std::uint64_t MaxProbedSoundBytes = std::uint64_t{256} << 20;

// Stats `path` and, unless `previous` was probed from the same stamp, reads and decodes it. A
// decode given up because `stop` was set ends Faulty with the refusal Stopped, a verdict on
// nothing that is not to be kept.
SoundProbe ProbeSound(const ProbeFileSystem& files, const std::wstring& path, const SoundProbe* previous = nullptr,
                      const std::atomic<bool>* stop = nullptr);

// Verdicts by path. Not synchronised: SoundProbeWorker keeps one under its lock.
class SoundProbeCache {
 public:
  const SoundProbe* Find(const std::wstring& path) const;
  void Store(const std::wstring& path, const SoundProbe& probe) { probes_[path] = probe; }
  // Probes `path` now, reading it again only when its stamp changed since the last probe.
  const SoundProbe& Probe(const ProbeFileSystem& files, const std::wstring& path);
  std::size_t Size() const { return probes_.size(); }
  void Clear() { probes_.clear(); }
  template <typename Visit>
  void ForEachPath(Visit visit) const {
    for (const auto& [path, probe] : probes_) visit(path);
  }

 private:
  std::unordered_map<std::wstring, SoundProbe> probes_;
};
