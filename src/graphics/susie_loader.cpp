// Image plug-ins: shared libraries named *.spi in the plug-in folder (conventions in
// susie_api.h). The folder is searched and the chosen plug-in loaded for every picture that gets
// this far, and unloaded afterwards. Plug-ins are programs: the folder is one the player chose,
// never one a game names on its own (see startup).
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "files/file_reader.h"
#include "graphics/dib_convert.h"
#include "graphics/picture_file.h"
#include "graphics/picture_loader.h"
#include "graphics/susie_api.h"
#include "host/plugin_library.h"

namespace adv {

namespace {

// Plug-ins may look at the first 2 KB of any file without checking its length.
constexpr std::size_t kPeekBytes = 2048;
// A BITMAPINFOHEADER claiming more than this is not believed.
constexpr std::uint32_t kMaxDibHeaderSize = 1024;

struct FreeBlock {
  void operator()(void* p) const { std::free(p); }
};
using Block = std::unique_ptr<void, FreeBlock>;

[[nodiscard]] bool ReadIntoBuffer(const LoadContext& context, std::string_view name,
                                  std::vector<std::uint8_t>& buffer, long& length) {
  CFileReader reader;
  if (!reader.Open(context.files, name)) return false;
  const std::int64_t size = reader.GetLength();
  if (size < 0 || static_cast<std::uint64_t>(size) > kMaxPictureFileBytes || size > LONG_MAX) {
    return false;
  }
  const auto n = static_cast<std::size_t>(size);
  buffer.assign(n < kPeekBytes ? n + kPeekBytes : n, 0);
  reader.Seek(0, 0);
  if (reader.Read(buffer.data(), n) != n) return false;
  length = static_cast<long>(size);
  return true;
}

// The first plug-in of the folder that says it reads the file, still loaded.
PluginLibrary ChoosePlugin(const LoadContext& context, std::string_view name,
                           std::vector<std::uint8_t>& buffer) {
  const std::string& folder = context.plugin_folder;
  if (folder.empty()) return {};
  const std::string file_name(name);
  for (const std::string& entry : ListFolder(folder, "*.spi")) {
    PluginLibrary plugin;
    if (!plugin.Open(folder + "/" + entry)) continue;
    auto is_supported = reinterpret_cast<SusieIsSupportedFn>(plugin.Symbol("IsSupported"));
    if (is_supported != nullptr && is_supported(file_name.c_str(), buffer.data()) != 0) {
      return plugin;
    }
  }
  return {};
}

// Draws the plug-in's bitmap, reading no more of its blocks than the header describes.
bool DrawPluginBitmap(CDrawImage& surface, const void* bitmap_info, const void* bits) {
  const auto* info = static_cast<const std::uint8_t*>(bitmap_info);
  // The plug-in's block is as long as its header says; its first field is that length.
  const std::uint32_t header_size = ByteReader(std::span(info, 4)).U32Le();
  if (header_size < kDibMinHeaderSize || header_size > kMaxDibHeaderSize) return false;
  DibHeader h;
  if (!ReadDibHeader(std::span(info, header_size), h)) return false;
  const auto info_size = DibInfoSize(h);
  const auto bits_size = DibBitsSize(h);
  if (!info_size || !bits_size || *bits_size == 0 || *bits_size > kMaxPictureFileBytes) {
    return false;
  }
  return DrawDib(surface, std::span(info, static_cast<std::size_t>(*info_size)),
                 std::span(static_cast<const std::uint8_t*>(bits),
                           static_cast<std::size_t>(*bits_size))) > 0;
}

}  // namespace

bool LoadSusie(CDrawImage& surface, std::string_view name, const LoadContext& context) {
  std::vector<std::uint8_t> buffer;
  long length = 0;
  if (!ReadIntoBuffer(context, name, buffer, length)) return false;
  PluginLibrary plugin = ChoosePlugin(context, name, buffer);
  if (!plugin.IsOpen()) return false;
  auto get_info = reinterpret_cast<SusieGetPictureInfoFn>(plugin.Symbol("GetPictureInfo"));
  auto get_picture = reinterpret_cast<SusieGetPictureFn>(plugin.Symbol("GetPicture"));
  if (get_info == nullptr || get_picture == nullptr) return false;

  SusiePictureInfo info{};
  get_info(buffer.data(), length, 1, &info);
  std::free(info.info_text);
  if (!surface.Create(info.width, info.height)) return false;

  void* bitmap_info = nullptr;
  void* bits = nullptr;
  const int result = get_picture(buffer.data(), length, 1, &bitmap_info, &bits, nullptr, 0);
  Block info_block(bitmap_info);
  Block bits_block(bits);
  if (result != 0 || bitmap_info == nullptr || bits == nullptr) return false;
  return DrawPluginBitmap(surface, bitmap_info, bits);
}

}  // namespace adv
