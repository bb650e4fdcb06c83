#include "host/picture_header.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "base/byte_reader.h"

namespace adv {

namespace {

bool StartsWith(std::span<const std::uint8_t> file, std::string_view magic, std::size_t at = 0) {
  return file.size() >= at + magic.size() &&
         std::equal(magic.begin(), magic.end(), file.begin() + static_cast<std::ptrdiff_t>(at),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::optional<PictureSize> Checked(ByteReader& r, std::int64_t width, std::int64_t height) {
  if (!r.ok()) return std::nullopt;
  return PictureSize{width, height};
}

std::optional<PictureSize> Gif(ByteReader r) {
  r.Seek(6);
  const std::int64_t width = r.U16Le();
  const std::int64_t height = r.U16Le();
  const std::uint8_t flags = r.U8();
  r.Skip(2);
  if ((flags & 0x80) != 0) r.Skip(std::size_t{3} << ((flags & 7) + 1));
  // Extensions come before the first image; each is a run of sized blocks.
  while (r.ok()) {
    const std::uint8_t kind = r.U8();
    if (kind == 0x2C) {
      r.Skip(4);
      const std::int64_t image_width = r.U16Le();
      const std::int64_t image_height = r.U16Le();
      return Checked(r, std::max(width, image_width), std::max(height, image_height));
    }
    if (kind != 0x21) return std::nullopt;
    r.Skip(1);
    for (std::uint8_t n = r.U8(); r.ok() && n != 0; n = r.U8()) r.Skip(n);
  }
  return std::nullopt;
}

std::optional<PictureSize> Jpeg(ByteReader r) {
  r.Seek(2);
  while (r.ok()) {
    if (r.U8() != 0xFF) return std::nullopt;
    std::uint8_t marker = r.U8();
    while (marker == 0xFF && r.ok()) marker = r.U8();                    // fill bytes
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;           // no frame before the scan
    const std::size_t length = r.U16Be();
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      r.Skip(1);
      const std::int64_t height = r.U16Be();
      return Checked(r, r.U16Be(), height);
    }
    if (length < 2) return std::nullopt;
    r.Skip(length - 2);
  }
  return std::nullopt;
}

std::optional<PictureSize> Bmp(ByteReader r) {
  if (r.U32LeAt(14) == 12) return Checked(r, r.U16LeAt(18), r.U16LeAt(20));
  return Checked(r, std::llabs(r.I32LeAt(18)), std::llabs(r.I32LeAt(22)));
}

std::optional<PictureSize> WebP(ByteReader r) {
  if (StartsWith(r.bytes(), "VP8 ", 12)) {
    return Checked(r, r.U16LeAt(26) & 0x3FFF, r.U16LeAt(28) & 0x3FFF);
  }
  if (StartsWith(r.bytes(), "VP8L", 12)) {
    const std::uint32_t bits = r.U32LeAt(21);
    return Checked(r, (bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1);
  }
  if (StartsWith(r.bytes(), "VP8X", 12)) {
    const auto u24 = [&r](std::size_t at) {
      return static_cast<std::int64_t>(r.U8At(at) | r.U8At(at + 1) << 8 | r.U8At(at + 2) << 16);
    };
    return Checked(r, u24(24) + 1, u24(27) + 1);
  }
  return std::nullopt;
}

// "P1" to "P7": whitespace and # comments between the fields.
std::optional<PictureSize> Pnm(std::span<const std::uint8_t> file) {
  std::size_t at = 2;
  std::int64_t fields[2] = {0, 0};
  for (std::int64_t& field : fields) {
    while (at < file.size() && (std::isspace(file[at]) || file[at] == '#')) {
      if (file[at] == '#') {
        while (at < file.size() && file[at] != '\n') ++at;
      } else {
        ++at;
      }
    }
    const std::size_t digits = at;
    for (; at < file.size() && std::isdigit(file[at]) && field < (std::int64_t{1} << 40); ++at) {
      field = field * 10 + (file[at] - '0');
    }
    if (at == digits) return std::nullopt;
  }
  return PictureSize{fields[0], fields[1]};
}

}  // namespace

std::optional<PictureSize> ReadPictureSize(std::span<const std::uint8_t> file) {
  ByteReader r(file);
  if (StartsWith(file, "\x89PNG\r\n\x1A\n") && StartsWith(file, "IHDR", 12)) {
    return Checked(r, r.U32BeAt(16), r.U32BeAt(20));
  }
  if (StartsWith(file, "GIF87a") || StartsWith(file, "GIF89a")) return Gif(r);
  if (StartsWith(file, "\xFF\xD8")) return Jpeg(r);
  if (StartsWith(file, "BM")) return Bmp(r);
  if (StartsWith(file, "RIFF") && StartsWith(file, "WEBP", 8)) return WebP(r);
  if (StartsWith(file, "qoif")) return Checked(r, r.U32BeAt(4), r.U32BeAt(8));
  if (file.size() >= 2 && file[0] == 'P' && file[1] >= '1' && file[1] <= '6') return Pnm(file);
  return std::nullopt;
}

}  // namespace adv
