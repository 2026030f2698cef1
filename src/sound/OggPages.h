#pragma once

// The Ogg container around a Vorbis stream, checked before the decoder sees it: pages back to
// back from the first byte, each with a valid checksum, one logical stream that starts with a
// Vorbis identification header and ends with its end-of-stream page. The Vorbis decoder itself
// carries on past damaged or missing pages, so this is where a cut-off or corrupted file is
// told apart from a whole one.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sound/SoundDecoder.h"

struct OggStreamCheck {
  SoundRefusal refusal = SoundRefusal::None;
};

// Also checks that the comment header's lengths and counts stay inside the header: stb_vorbis
// trusts them, and a length past the end makes it write outside what it allocated. Gives up
// between two pages once `stop` is set (Stopped).
OggStreamCheck CheckOggStream(std::span<const std::byte> file, const std::atomic<bool>* stop = nullptr);

// A stream CheckOggStream accepted, with its comment header replaced by an empty one and the
// header pages laid out anew: the decoder keeps every comment text in its memory, and nothing
// here shows them. The pages after the headers are copied as they are (their sequence numbers
// then skip or repeat, which the decoder does not look at).
std::vector<std::byte> OggWithoutComments(std::span<const std::byte> file);

// The checksum of a whole page, its own checksum field (bytes 22 to 25) counted as zero: CRC-32
// with polynomial 0x04C11DB7, no reflection, initial value zero.
std::uint32_t OggPageChecksum(std::span<const std::byte> page);
