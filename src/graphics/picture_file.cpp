#include "graphics/picture_file.h"

#include <algorithm>

#include "files/file_reader.h"

namespace adv {

bool ReadPictureFile(const LoadContext& context, std::string_view name, std::string_view magic,
                     std::uint64_t min_length, std::vector<std::uint8_t>& bytes) {
  CFileReader reader;
  if (!reader.Open(context.files, name)) return false;
  const std::int64_t length = reader.GetLength();
  if (length < 0 || static_cast<std::uint64_t>(length) < min_length ||
      static_cast<std::uint64_t>(length) > kMaxPictureFileBytes) {
    return false;
  }
  if (!magic.empty()) {
    std::vector<char> head(magic.size());
    std::size_t got = reader.Read(head.data(), head.size());
    reader.Seek(0, 0);
    if (got != head.size() || !std::equal(head.begin(), head.end(), magic.begin())) return false;
  }
  return reader.ReadAll(bytes, kMaxPictureFileBytes);
}

bool SurfaceFromRgb(CDrawImage& surface, const DecodedPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return false;
  const std::size_t row_bytes = static_cast<std::size_t>(picture.width) * 3;
  if (picture.rgb.size() / row_bytes < static_cast<std::size_t>(picture.height)) return false;
  if (!surface.Create(picture.width, picture.height)) return false;
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* s = picture.rgb.data() + y * row_bytes;
    Pixel* d = surface.Row(y);
    for (int x = 0; x < picture.width; ++x, s += 3)
      d[x] = ColorToPixel(MakeColour(s[0], s[1], s[2]));
  }
  return true;
}

}  // namespace adv
