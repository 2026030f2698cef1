#include "sound/OggPages.h"

#include <algorithm>
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
// Follows the stream's second packet, the comment header, segment by segment without keeping
// it (its texts may run to hundreds of megabytes): type 3, "vorbis", the vendor text, a count of
// texts, each with its length, and the framing bit. A lacing value below 255 ends a packet.
class CommentHeaderCheck {
 public:
  bool Fits() const { return packet_ > 1 && state_ == State::Framed; }

  void Add(const Page& page) {
    const std::size_t segmentCount = page.bytes.size() - page.body.size() - HeaderSize;
    std::size_t offset = 0;
    for (std::size_t index = 0; index < segmentCount && packet_ <= 1; ++index) {
      const auto length = std::to_integer<std::size_t>(page.bytes[HeaderSize + index]);
      if (packet_ == 1) Take(page.body.subspan(offset, length));
      offset += length;
      if (length < 255) ++packet_;
    }
  }

 private:
  enum class State { Type, VendorLength, Vendor, Count, TextLength, Text, Framing, Framed, Broken };

  void Take(std::span<const std::byte> bytes) {
    while (!bytes.empty() && state_ != State::Framed && state_ != State::Broken) {
      if (state_ == State::Vendor || state_ == State::Text) {
        const auto skipped = static_cast<std::size_t>(std::min<std::uint64_t>(skip_, bytes.size()));
        bytes = bytes.subspan(skipped);
        skip_ -= skipped;
        if (skip_ == 0) AfterText();
        continue;
      }
      const std::size_t width = state_ == State::Type ? 7 : state_ == State::Framing ? 1 : 4;
      const std::size_t taken = std::min(width - have_, bytes.size());
      std::copy_n(bytes.begin(), taken, field_.begin() + static_cast<std::ptrdiff_t>(have_));
      bytes = bytes.subspan(taken);
      have_ += taken;
      if (have_ == width) Field();
    }
  }

  // A whole fixed field has arrived in field_.
  void Field() {
    have_ = 0;
    ByteReader reader(field_);
    const std::uint32_t value = *reader.Read(4);
    switch (state_) {
      case State::Type:
        state_ = std::to_integer<int>(field_[0]) == 3 ? State::VendorLength : State::Broken;
        break;
      case State::VendorLength:
        skip_ = value;
        state_ = State::Vendor;
        if (skip_ == 0) AfterText();
        break;
      case State::Count:
        texts_ = value;
        state_ = State::Text;
        AfterText();
        break;
      case State::TextLength:
        skip_ = value;
        --texts_;
        state_ = State::Text;
        if (skip_ == 0) AfterText();
        break;
      case State::Framing: state_ = State::Framed; break;
      default: break;
    }
  }

  // The vendor text or a comment text is over.
  void AfterText() {
    if (state_ == State::Vendor) {
      state_ = State::Count;
    } else {
      state_ = texts_ > 0 ? State::TextLength : State::Framing;
    }
  }

  std::size_t packet_ = 0;
  State state_ = State::Type;
  std::array<std::byte, 7> field_{};
  std::size_t have_ = 0;
  std::uint64_t skip_ = 0;
  std::uint32_t texts_ = 0;
};

// One lacing value and the bytes it stands for.
struct Segment {
  std::size_t length = 0;
  std::span<const std::byte> bytes;
};

void AppendPacket(std::vector<Segment>& segments, std::span<const std::byte> packet) {
  for (std::size_t offset = 0;;) {
    const std::size_t length = std::min<std::size_t>(255, packet.size() - offset);
    segments.push_back({length, packet.subspan(offset, length)});
    offset += length;
    if (length < 255) return;
  }
}

void AppendLittleEndian(std::vector<std::byte>& out, std::uint64_t value, int width) {
  for (int index = 0; index < width; ++index) out.push_back(static_cast<std::byte>(value >> (8 * index)));
}

// Lays segments out as pages of at most 255 segments, numbered from 1 after the first page. A
// page on which no packet ends has no granule position (all ones); the last keeps `lastGranule`.
void WritePages(std::vector<std::byte>& out, std::span<const Segment> segments, std::uint32_t serial,
                std::uint64_t lastGranule) {
  bool continued = false;
  std::uint32_t sequence = 1;
  for (std::size_t first = 0; first < segments.size(); first += 255, ++sequence) {
    const auto page = segments.subspan(first, std::min<std::size_t>(255, segments.size() - first));
    const bool packetEnds = std::any_of(page.begin(), page.end(), [](const Segment& s) { return s.length < 255; });
    const bool last = first + page.size() == segments.size();
    const std::size_t start = out.size();
    for (const char c : {'O', 'g', 'g', 'S', '\0'}) out.push_back(static_cast<std::byte>(c));
    out.push_back(static_cast<std::byte>(continued ? 1 : 0));
    AppendLittleEndian(out, last ? lastGranule : packetEnds ? 0 : ~std::uint64_t{0}, 8);
    AppendLittleEndian(out, serial, 4);
    AppendLittleEndian(out, sequence, 4);
    AppendLittleEndian(out, 0, 4);
    out.push_back(static_cast<std::byte>(page.size()));
    for (const Segment& segment : page) out.push_back(static_cast<std::byte>(segment.length));
    for (const Segment& segment : page) out.insert(out.end(), segment.bytes.begin(), segment.bytes.end());
    const std::uint32_t checksum = OggPageChecksum(std::span(out).subspan(start));
    for (std::size_t index = 0; index < 4; ++index)
      out[start + ChecksumOffset + index] = static_cast<std::byte>(checksum >> (8 * index));
    continued = page.back().length == 255;
  }
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

OggStreamCheck CheckOggStream(std::span<const std::byte> file, const std::atomic<bool>* stop) {
  ByteReader reader(file);
  Page first;
  if (const SoundRefusal refusal = ReadPage(reader, file, first); refusal != SoundRefusal::None) return {refusal};
  if (!(first.flags & FirstPageFlag)) return {SoundRefusal::Corrupt};
  if (!StartsWithVorbisIdentification(first.body)) return {SoundRefusal::UnsupportedEncoding};
  CommentHeaderCheck comments;
  comments.Add(first);
  Page page = first;
  // Whatever follows the end-of-stream page (a chained stream) is not played and not checked.
  while (!(page.flags & LastPageFlag)) {
    if (stop != nullptr && *stop) return {SoundRefusal::Stopped};
    if (reader.Remaining() == 0) return {SoundRefusal::Truncated};
    if (const SoundRefusal refusal = ReadPage(reader, file, page); refusal != SoundRefusal::None) return {refusal};
    // Interleaved logical streams (video, a second track) are not something a sound name plays.
    if (page.serial != first.serial) return {SoundRefusal::UnsupportedEncoding};
    comments.Add(page);
  }
  if (!comments.Fits()) return {SoundRefusal::Corrupt};
  return {SoundRefusal::None};
}

std::vector<std::byte> OggWithoutComments(std::span<const std::byte> file) {
  ByteReader reader(file);
  Page page;
  // The identification header has its page to itself; anything else the decoder refuses as is.
  if (ReadPage(reader, file, page) != SoundRefusal::None || page.bytes.size() != HeaderSize + 1 + page.body.size())
    return {file.begin(), file.end()};
  std::vector<std::byte> out(page.bytes.begin(), page.bytes.end());
  const std::uint32_t serial = page.serial;
  static constexpr std::array<std::uint8_t, 16> EmptyComments = {3, 'v', 'o', 'r', 'b', 'i', 's', 0,
                                                                  0, 0, 0, 0, 0, 0, 0, 1};
  std::vector<Segment> segments;
  AppendPacket(segments, std::as_bytes(std::span(EmptyComments)));
  // The setup header (packet 2) is gathered whole; what follows it on its last page is audio.
  std::vector<std::byte> setup;
  std::vector<Segment> audio;
  std::size_t packet = 1;
  std::uint64_t granule = 0;
  while (packet <= 2) {
    if (ReadPage(reader, file, page) != SoundRefusal::None) return {file.begin(), file.end()};
    ByteReader position(page.bytes.subspan(6, 8));
    granule = *position.Read(4);
    granule |= std::uint64_t{*position.Read(4)} << 32;
    std::size_t offset = 0;
    for (std::size_t index = 0; index < page.bytes.size() - page.body.size() - HeaderSize; ++index) {
      const auto length = std::to_integer<std::size_t>(page.bytes[HeaderSize + index]);
      const auto bytes = page.body.subspan(offset, length);
      if (packet == 2) setup.insert(setup.end(), bytes.begin(), bytes.end());
      if (packet > 2) audio.push_back({length, bytes});
      offset += length;
      packet += length < 255 ? 1 : 0;
    }
  }
  AppendPacket(segments, setup);
  segments.insert(segments.end(), audio.begin(), audio.end());
  WritePages(out, segments, serial, granule);
  const auto rest = file.subspan(reader.Position());
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}
