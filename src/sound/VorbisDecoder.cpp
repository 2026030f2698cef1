// Ogg Vorbis through stb_vorbis, decoding from memory into a fixed arena so that a hostile
// setup header cannot make it allocate without bound. The comments never reach it: they are
// the one part of a file whose memory is the file's own to choose, and nothing shows them.

#include <climits>
#include <memory>
#include <vector>

#include "sound/OggPages.h"
#include "sound/SoundDecoder.h"
#include "sound/StbVorbis.h"

namespace {

// Typical streams need about 150 KB of setup and scratch memory; sixteen times that covers every
// real encoder's output with room to spare. The arena is left as it comes, not cleared: only
// what the setup actually uses of it is ever touched, and so takes memory.
constexpr std::size_t ArenaBytes = std::size_t{2} << 20;
constexpr int ChunkFrames = 4096;

SoundRefusal RefusalForOpenError(int error) {
  switch (error) {
    case VORBIS_too_many_channels: return SoundRefusal::UnsupportedChannels;
    case VORBIS_unexpected_eof: return SoundRefusal::Truncated;
    case VORBIS_feature_not_supported: return SoundRefusal::UnsupportedEncoding;
    default: return SoundRefusal::Corrupt;
  }
}

struct VorbisCloser {
  void operator()(stb_vorbis* vorbis) const { stb_vorbis_close(vorbis); }
};

DecodedSound DecodeFrames(stb_vorbis* vorbis, const SoundDecodeLimits& limits) {
  const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
  if (info.channels < 1) return RefusedSound(SoundRefusal::Corrupt);
  if (info.channels > 2) return RefusedSound(SoundRefusal::UnsupportedChannels);
  if (info.sample_rate < MinSoundRate || info.sample_rate > MaxSoundRate) return RefusedSound(SoundRefusal::UnsupportedRate);
  DecodedSound sound;
  sound.sampleRate = info.sample_rate;
  sound.channels = static_cast<std::uint16_t>(info.channels);
  const std::size_t chunkSamples = std::size_t{ChunkFrames} * sound.channels;
  for (;;) {
    const std::size_t used = sound.samples.size();
    if (used > limits.maxSamples) return RefusedSound(SoundRefusal::TooLong);
    if (limits.Stopped()) return RefusedSound(SoundRefusal::Stopped);
    sound.samples.resize(used + chunkSamples);
    const int frames = stb_vorbis_get_samples_short_interleaved(vorbis, sound.channels, sound.samples.data() + used,
                                                                static_cast<int>(chunkSamples));
    sound.samples.resize(used + static_cast<std::size_t>(frames) * sound.channels);
    if (frames == 0) break;
  }
  if (sound.samples.size() > limits.maxSamples) return RefusedSound(SoundRefusal::TooLong);
  if (sound.samples.empty()) return RefusedSound(SoundRefusal::Empty);
  return sound;
}

}  // namespace

DecodedSound DecodeVorbis(std::span<const std::byte> file, const SoundDecodeLimits& limits) {
  if (file.size() > INT_MAX) return RefusedSound(SoundRefusal::TooLong);
  const OggStreamCheck check = CheckOggStream(file, limits.stopRequested);
  if (check.refusal != SoundRefusal::None) return RefusedSound(check.refusal);
  const std::vector<std::byte> stream = OggWithoutComments(file);
  auto arena = std::make_unique_for_overwrite<std::max_align_t[]>(ArenaBytes / sizeof(std::max_align_t));
  stb_vorbis_alloc alloc{reinterpret_cast<char*>(arena.get()), static_cast<int>(ArenaBytes)};
  int error = 0;
  std::unique_ptr<stb_vorbis, VorbisCloser> vorbis(stb_vorbis_open_memory(
      reinterpret_cast<const unsigned char*>(stream.data()), static_cast<int>(stream.size()), &error, &alloc));
  if (!vorbis) return RefusedSound(RefusalForOpenError(error));
  return DecodeFrames(vorbis.get(), limits);
}
