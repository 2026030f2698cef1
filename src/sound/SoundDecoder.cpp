#include "sound/SoundDecoder.h"

#include <cstring>

DecodedSound DecodeSound(std::span<const std::byte> file, const SoundDecodeLimits& limits) {
  // The contents decide, not the name's extension: a renamed file still plays, and a file that
  // is neither is told as such.
  if (file.size() >= 4 && std::memcmp(file.data(), "RIFF", 4) == 0) return DecodeWave(file, limits);
  if (file.size() >= 4 && std::memcmp(file.data(), "OggS", 4) == 0) return DecodeVorbis(file, limits);
  return RefusedSound(SoundRefusal::UnknownFormat);
}
