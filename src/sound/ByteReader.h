#pragma once

// Little-endian reads from a span that never step outside it: a read past the end answers
// nothing and leaves the reader where it was.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return position_; }
  std::size_t Remaining() const { return bytes_.size() - position_; }

  std::optional<std::uint32_t> Read(std::size_t width) {
    if (width > 4 || Remaining() < width) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t index = 0; index < width; ++index) {
      value |= std::to_integer<std::uint32_t>(bytes_[position_ + index]) << (8 * index);
    }
    position_ += width;
    return value;
  }

  std::optional<std::span<const std::byte>> Take(std::size_t count) {
    if (Remaining() < count) return std::nullopt;
    auto taken = bytes_.subspan(position_, count);
    position_ += count;
    return taken;
  }

  bool Skip(std::size_t count) { return Take(count).has_value(); }

 private:
  std::span<const std::byte> bytes_;
  std::size_t position_ = 0;
};
