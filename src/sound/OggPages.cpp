#include "sound/OggPages.h"

#include <array>
#include <cstring>
#include <vector>

#include "sound/ByteReader.h"

namespace {

constexpr std::size_t HeaderSize = 27;
constexpr std::size_t ChecksumOffset = 22;
constexpr std::uint32_t FirstPageFlag = 0x02;
constexpr std::uint32_t LastPageFlag = 0x04;

constexpr std::array<std::uint32_t, 256> MakeChecksumTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t index = 0; index < 256; ++index) {
    std::uint32_t value = index << 24;
    for (int bit = 0; bit < 8; ++bit) value = (value & 0x80000000u) ? (value << 1) ^ 0x04C11DB7u : value << 1;
    table[index] = value;
  }
  return table;
}

constexpr auto ChecksumTable = MakeChecksumTable();

struct Page {
  std::uint32_t flags = 0;
  std::uint32_t serial = 0;
  std::span<const std::byte> bytes;  // the whole page, header included
  std::span<const std::byte> body;
};

bool ChecksumMatches(const Page& page) {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // A fuzzer cannot guess checksums; without this it would never reach the Vorbis decoder.
  (void)page;
  return true;
#else
  ByteReader stored(page.bytes.subspan(ChecksumOffset, 4));
  return stored.Read(4) == OggPageChecksum(page.bytes);
#endif
}

// Reads the page that starts at the reader's position.
SoundRefusal ReadPage(ByteReader& reader, std::span<const std::byte> file, Page& page) {
  const std::size_t start = reader.Position();
  const auto capture = reader.Take(4);
  if (!capture) return SoundRefusal::Truncated;
  if (std::memcmp(capture->data(), "OggS", 4) != 0) return SoundRefusal::Corrupt;
  const auto version = reader.Read(1);
  const auto flags = reader.Read(1);
  if (!version || !flags || !reader.Skip(8)) return SoundRefusal::Truncated;
  const auto serial = reader.Read(4);
  if (!serial || !reader.Skip(8)) return SoundRefusal::Truncated;
  const auto segmentCount = reader.Read(1);
  if (!segmentCount) return SoundRefusal::Truncated;
  if (*version != 0) return SoundRefusal::Corrupt;
  const auto lacing = reader.Take(*segmentCount);
  if (!lacing) return SoundRefusal::Truncated;
  std::size_t bodySize = 0;
  for (std::byte length : *lacing) bodySize += std::to_integer<std::size_t>(length);
  const auto body = reader.Take(bodySize);
  if (!body) return SoundRefusal::Truncated;
  page = {*flags, *serial, file.subspan(start, HeaderSize + *segmentCount + bodySize), *body};
  return ChecksumMatches(page) ? SoundRefusal::None : SoundRefusal::Corrupt;
}

bool StartsWithVorbisIdentification(std::span<const std::byte> body) {
  return body.size() >= 7 && std::to_integer<int>(body[0]) == 1 && std::memcmp(body.data() + 1, "vorbis", 6) == 0;
}

// Gathers the stream's second packet, the comment header, from the pages' lacing values: a
// value below 255 ends a packet.
struct CommentHeader {
  std::size_t packet = 0;
  std::vector<std::byte> bytes;

  bool Complete() const { return packet > 1; }

  void Add(const Page& page) {
    const std::size_t segmentCount = page.bytes.size() - page.body.size() - HeaderSize;
    std::size_t offset = 0;
    for (std::size_t index = 0; index < segmentCount && packet <= 1; ++index) {
      const auto length = std::to_integer<std::size_t>(page.bytes[HeaderSize + index]);
      if (packet == 1) bytes.insert(bytes.end(), page.body.begin() + offset, page.body.begin() + offset + length);
      offset += length;
      if (length < 255) ++packet;
    }
  }
};

// The comment header: type 3, "vorbis", the vendor text, a count of texts, each with its length,
// and the framing bit.
bool CommentHeaderFits(std::span<const std::byte> header) {
  ByteReader reader(header);
  const auto type = reader.Read(1);
  if (type != 3u || !reader.Skip(6)) return false;
  const auto vendorLength = reader.Read(4);
  if (!vendorLength || !reader.Skip(*vendorLength)) return false;
  const auto count = reader.Read(4);
  if (!count) return false;
  for (std::uint32_t index = 0; index < *count; ++index) {
    const auto length = reader.Read(4);
    if (!length || !reader.Skip(*length)) return false;
  }
  return reader.Remaining() > 0;
}

}  // namespace

std::uint32_t OggPageChecksum(std::span<const std::byte> page) {
  std::uint32_t checksum = 0;
  for (std::size_t index = 0; index < page.size(); ++index) {
    // The page's own checksum field counts as zero.
    const bool field = index >= ChecksumOffset && index < ChecksumOffset + 4;
    const std::uint32_t value = field ? 0 : std::to_integer<std::uint32_t>(page[index]);
    checksum = (checksum << 8) ^ ChecksumTable[((checksum >> 24) ^ value) & 0xFF];
  }
  return checksum;
}

OggStreamCheck CheckOggStream(std::span<const std::byte> file) {
  ByteReader reader(file);
  Page first;
  if (const SoundRefusal refusal = ReadPage(reader, file, first); refusal != SoundRefusal::None) return {refusal};
  if (!(first.flags & FirstPageFlag)) return {SoundRefusal::Corrupt};
  if (!StartsWithVorbisIdentification(first.body)) return {SoundRefusal::UnsupportedEncoding};
  CommentHeader comments;
  comments.Add(first);
  Page page = first;
  // Whatever follows the end-of-stream page (a chained stream) is not played and not checked.
  while (!(page.flags & LastPageFlag)) {
    if (reader.Remaining() == 0) return {SoundRefusal::Truncated};
    if (const SoundRefusal refusal = ReadPage(reader, file, page); refusal != SoundRefusal::None) return {refusal};
    // Interleaved logical streams (video, a second track) are not something a sound name plays.
    if (page.serial != first.serial) return {SoundRefusal::UnsupportedEncoding};
    comments.Add(page);
  }
  if (!comments.Complete() || !CommentHeaderFits(comments.bytes)) return {SoundRefusal::Corrupt};
  return {SoundRefusal::None, comments.bytes.size()};
}
