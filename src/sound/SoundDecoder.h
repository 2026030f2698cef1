#pragma once

// Turns the bytes of an audio file into samples the output device takes: interleaved signed
// 16-bit PCM. PCM WAV (8 or 16 bits, mono or stereo) and Ogg Vorbis are played; anything else
// is refused with the reason, which the Windows side words for the user.
//
// The bytes come from whatever file an entry names, so they are treated as hostile: every read
// is bounded, allocation is capped, and a refusal is the only way a bad file can end.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class SoundRefusal {
  None,
  UnknownFormat,         // neither a RIFF WAVE nor an Ogg stream
  UnsupportedEncoding,   // a WAV that is not 8- or 16-bit PCM, or an Ogg stream that is not Vorbis
  UnsupportedChannels,   // more than two channels
  UnsupportedRate,       // a sample rate outside what the output device takes
  Truncated,             // the file ends before its own structure says it does
  Corrupt,               // the structure is inconsistent or a checksum fails
  TooLong,               // more samples than the player holds in memory
  Empty,                 // no samples at all
  Stopped,               // the caller asked to stop before the end (a sound nobody waits for)
};

struct DecodedSound {
  std::vector<std::int16_t> samples;  // interleaved, channels per frame
  std::uint32_t sampleRate = 0;
  std::uint16_t channels = 0;
  SoundRefusal refusal = SoundRefusal::None;

  explicit operator bool() const { return refusal == SoundRefusal::None; }
  std::size_t FrameCount() const { return channels == 0 ? 0 : samples.size() / channels; }
  // The playing time in milliseconds, rounded down.
  std::uint64_t DurationMs() const {
    return sampleRate == 0 ? 0 : static_cast<std::uint64_t>(FrameCount()) * 1000 / sampleRate;
  }
};

inline DecodedSound RefusedSound(SoundRefusal refusal) {
  DecodedSound sound;
  sound.refusal = refusal;
  return sound;
}

struct SoundDecodeLimits {
  // Ambient sounds are short loops; ten minutes of 48 kHz stereo is far beyond any of them and
  // keeps a hostile file from asking for gigabytes.
  std::size_t maxSamples = std::size_t{48000} * 2 * 600;
  // Set by the caller to give up: decoding ten minutes of Vorbis takes seconds.
  const std::atomic<bool>* stopRequested = nullptr;

  bool Stopped() const { return stopRequested != nullptr && stopRequested->load(); }
};

inline constexpr std::uint32_t MinSoundRate = 1000;
inline constexpr std::uint32_t MaxSoundRate = 192000;

DecodedSound DecodeSound(std::span<const std::byte> file, const SoundDecodeLimits& limits = {});
DecodedSound DecodeWave(std::span<const std::byte> file, const SoundDecodeLimits& limits = {});
DecodedSound DecodeVorbis(std::span<const std::byte> file, const SoundDecodeLimits& limits = {});
