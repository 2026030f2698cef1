#include "DibEncoder.h"

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPaletteSize = 16 * 4;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kIconDirSize = 6;
constexpr std::uint32_t kIconEntrySize = 16;

// Rows of a device-independent bitmap are padded to whole 32-bit words.
std::uint32_t RowBytes(int width, int bitsPerPixel) {
  return ((static_cast<std::uint32_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  void U8(std::uint32_t value) { out_.push_back(static_cast<std::uint8_t>(value)); }
  void U16(std::uint32_t value) {
    U8(value & 0xFF);
    U8(value >> 8);
  }
  void U32(std::uint32_t value) {
    U16(value & 0xFFFF);
    U16(value >> 16);
  }

 private:
  std::vector<std::uint8_t>& out_;
};

// `height` is the header's height: twice the picture's for an icon (colour bits plus mask).
void WriteInfoHeader(ByteWriter& out, int width, int height, std::uint32_t imageBytes) {
  out.U32(kInfoHeaderSize);
  out.U32(static_cast<std::uint32_t>(width));
  out.U32(static_cast<std::uint32_t>(height));
  out.U16(1);  // planes
  out.U16(4);  // bits per pixel
  out.U32(0);  // BI_RGB
  out.U32(imageBytes);
  out.U32(0);
  out.U32(0);
  out.U32(16);  // colours used
  out.U32(0);
}

void WritePalette(ByteWriter& out) {
  const PaletteColor* palette = StandardPalette();
  for (int index = 0; index < 16; ++index) {
    out.U8(palette[index].blue);
    out.U8(palette[index].green);
    out.U8(palette[index].red);
    out.U8(0);
  }
}

// Colour index of pixel (x, y) of a strip made of `images` side by side; transparency is black.
std::uint8_t StripIndex(const std::vector<PixelImage>& images, int x, int y) {
  for (const PixelImage& image : images) {
    if (x < image.width) {
      PixelValue value = image.At(x, y);
      return value == kTransparent ? 0 : value;
    }
    x -= image.width;
  }
  return 0;
}

// 4-bit colour rows, bottom row first.
void WriteColorBits(ByteWriter& out, const std::vector<PixelImage>& images, int width, int height) {
  const std::uint32_t rowBytes = RowBytes(width, 4);
  for (int y = height - 1; y >= 0; --y) {
    for (std::uint32_t byte = 0; byte < rowBytes; ++byte) {
      const int x = static_cast<int>(byte) * 2;
      std::uint32_t high = x < width ? StripIndex(images, x, y) : 0;
      std::uint32_t low = x + 1 < width ? StripIndex(images, x + 1, y) : 0;
      out.U8((high << 4) | low);
    }
  }
}

// 1-bit AND mask rows, bottom row first; a set bit lets the background show through.
void WriteMaskBits(ByteWriter& out, const PixelImage& image) {
  const std::uint32_t rowBytes = RowBytes(image.width, 1);
  for (int y = image.height - 1; y >= 0; --y) {
    for (std::uint32_t byte = 0; byte < rowBytes; ++byte) {
      std::uint32_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = static_cast<int>(byte) * 8 + bit;
        if (x < image.width && image.At(x, y) == kTransparent) bits |= 0x80u >> bit;
      }
      out.U8(bits);
    }
  }
}

std::uint32_t IconImageBytes(const PixelImage& image) {
  return kInfoHeaderSize + kPaletteSize +
         (RowBytes(image.width, 4) + RowBytes(image.width, 1)) * image.height;
}

std::string CheckStrip(const std::vector<PixelImage>& images) {
  if (images.empty()) return "no image";
  for (const PixelImage& image : images) {
    if (image.height != images.front().height) return "image '" + image.name + "' differs in height";
    for (PixelValue value : image.pixels) {
      if (value == kTransparent) return "image '" + image.name + "' has transparent pixels";
    }
  }
  return {};
}

}  // namespace

EncodedFile EncodeBitmapFile(const std::vector<PixelImage>& images) {
  EncodedFile file;
  file.error = CheckStrip(images);
  if (!file.error.empty()) return file;
  int width = 0;
  for (const PixelImage& image : images) width += image.width;
  const int height = images.front().height;
  const std::uint32_t bitsOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteSize;
  const std::uint32_t imageBytes = RowBytes(width, 4) * height;

  ByteWriter out(file.bytes);
  out.U8('B');
  out.U8('M');
  out.U32(bitsOffset + imageBytes);
  out.U32(0);
  out.U32(bitsOffset);
  WriteInfoHeader(out, width, height, imageBytes);
  WritePalette(out);
  WriteColorBits(out, images, width, height);
  return file;
}

EncodedFile EncodeIconFile(const std::vector<PixelImage>& images) {
  EncodedFile file;
  if (images.empty()) {
    file.error = "no image";
    return file;
  }
  ByteWriter out(file.bytes);
  out.U16(0);
  out.U16(1);  // icon, not cursor
  out.U16(static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = kIconDirSize + kIconEntrySize * static_cast<std::uint32_t>(images.size());
  for (const PixelImage& image : images) {
    out.U8(image.width == 256 ? 0 : image.width);
    out.U8(image.height == 256 ? 0 : image.height);
    out.U8(16);  // colours
    out.U8(0);
    out.U16(1);  // planes
    out.U16(4);  // bits per pixel
    out.U32(IconImageBytes(image));
    out.U32(offset);
    offset += IconImageBytes(image);
  }
  for (const PixelImage& image : images) {
    WriteInfoHeader(out, image.width, image.height * 2,
                    (RowBytes(image.width, 4) + RowBytes(image.width, 1)) * image.height);
    WritePalette(out);
    WriteColorBits(out, {image}, image.width, image.height);
    WriteMaskBits(out, image);
  }
  return file;
}
