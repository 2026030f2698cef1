// RIFF WAVE with PCM samples. The chunk walk trusts no size: every chunk must fit in what is
// left of the file, and the format must be complete and consistent before a sample is read.

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "sound/ByteReader.h"
#include "sound/SoundDecoder.h"

namespace {

constexpr std::uint16_t PcmTag = 1;
constexpr std::uint16_t ExtensibleTag = 0xFFFE;
// KSDATAFORMAT_SUBTYPE_PCM after its first two bytes (which hold the format tag).
constexpr std::array<std::uint8_t, 14> PcmSubtypeTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                          0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct WaveFormat {
  std::uint16_t channels = 0;
  std::uint32_t rate = 0;
  std::uint16_t bits = 0;
};

bool HasTag(std::span<const std::byte> bytes, const char (&tag)[5]) {
  return bytes.size() >= 4 && std::memcmp(bytes.data(), tag, 4) == 0;
}

bool IsPcmTag(std::uint32_t tag, std::span<const std::byte> body) {
  if (tag == PcmTag) return true;
  if (tag != ExtensibleTag || body.size() < 40) return false;
  const auto subtype = body.subspan(24, 16);
  ByteReader reader(subtype);
  return reader.Read(2) == PcmTag &&
         std::memcmp(subtype.data() + 2, PcmSubtypeTail.data(), PcmSubtypeTail.size()) == 0;
}

// Reads a "fmt " body; on refusal the reason is in `refusal`.
std::optional<WaveFormat> ReadFormat(std::span<const std::byte> body, SoundRefusal& refusal) {
  ByteReader reader(body);
  const auto tag = reader.Read(2), channels = reader.Read(2), rate = reader.Read(4);
  const auto byteRate = reader.Read(4), blockAlign = reader.Read(2), bits = reader.Read(2);
  if (!bits) {
    refusal = SoundRefusal::Corrupt;
    return std::nullopt;
  }
  (void)byteRate;  // derivable from the rest; writers disagree on it, players ignore it
  refusal = !IsPcmTag(*tag, body)                       ? SoundRefusal::UnsupportedEncoding
            : *channels == 0                            ? SoundRefusal::Corrupt
            : *channels > 2                             ? SoundRefusal::UnsupportedChannels
            : *bits != 8 && *bits != 16                 ? SoundRefusal::UnsupportedEncoding
            : *rate < MinSoundRate || *rate > MaxSoundRate ? SoundRefusal::UnsupportedRate
            : *blockAlign != *channels * *bits / 8      ? SoundRefusal::Corrupt
                                                        : SoundRefusal::None;
  if (refusal != SoundRefusal::None) return std::nullopt;
  return WaveFormat{static_cast<std::uint16_t>(*channels), *rate, static_cast<std::uint16_t>(*bits)};
}

DecodedSound ReadSamples(std::span<const std::byte> data, const WaveFormat& format,
                         const SoundDecodeLimits& limits) {
  const std::size_t bytesPerSample = format.bits / 8;
  const std::size_t blockAlign = bytesPerSample * format.channels;
  if (data.size() % blockAlign != 0) return RefusedSound(SoundRefusal::Truncated);
  const std::size_t count = data.size() / bytesPerSample;
  if (count == 0) return RefusedSound(SoundRefusal::Empty);
  if (count > limits.maxSamples) return RefusedSound(SoundRefusal::TooLong);
  DecodedSound sound;
  sound.sampleRate = format.rate;
  sound.channels = format.channels;
  sound.samples.resize(count);
  ByteReader reader(data);
  constexpr std::size_t StopCheckInterval = std::size_t{1} << 20;
  for (std::size_t index = 0; index < count; ++index) {
    if (index % StopCheckInterval == 0 && limits.Stopped()) return RefusedSound(SoundRefusal::Stopped);
    auto& sample = sound.samples[index];
    const std::uint32_t raw = *reader.Read(bytesPerSample);
    // 8-bit WAV samples are unsigned around 128; 16-bit ones are signed.
    sample = bytesPerSample == 1 ? static_cast<std::int16_t>((static_cast<int>(raw) - 128) * 256)
                                 : static_cast<std::int16_t>(static_cast<std::uint16_t>(raw));
  }
  return sound;
}

}  // namespace

DecodedSound DecodeWave(std::span<const std::byte> file, const SoundDecodeLimits& limits) {
  ByteReader header(file);
  const auto riff = header.Take(4);
  const auto riffSize = header.Read(4);
  const auto wave = header.Take(4);
  if (!riff || !HasTag(*riff, "RIFF")) return RefusedSound(SoundRefusal::UnknownFormat);
  if (!wave) return RefusedSound(SoundRefusal::Truncated);
  if (!HasTag(*wave, "WAVE")) return RefusedSound(SoundRefusal::UnknownFormat);
  if (*riffSize < 4 || *riffSize - 4 > header.Remaining()) return RefusedSound(SoundRefusal::Truncated);

  ByteReader chunks(*header.Take(*riffSize - 4));
  std::optional<WaveFormat> format;
  while (chunks.Remaining() > 0) {
    const auto id = chunks.Take(4);
    const auto size = chunks.Read(4);
    if (!size) return RefusedSound(SoundRefusal::Truncated);
    const auto body = chunks.Take(*size);
    if (!body) return RefusedSound(SoundRefusal::Truncated);
    if (HasTag(*id, "fmt ")) {
      SoundRefusal refusal = SoundRefusal::None;
      format = ReadFormat(*body, refusal);
      if (!format) return RefusedSound(refusal);
    } else if (HasTag(*id, "data")) {
      if (!format) return RefusedSound(SoundRefusal::Corrupt);
      return ReadSamples(*body, *format, limits);
    }
    // Chunks are padded to an even length; the pad byte of the last chunk may be missing.
    if (*size % 2 != 0 && chunks.Remaining() > 0) chunks.Skip(1);
  }
  return RefusedSound(format ? SoundRefusal::Truncated : SoundRefusal::Corrupt);
}
