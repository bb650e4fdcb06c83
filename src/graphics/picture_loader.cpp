#include "graphics/picture_loader.h"

#include <algorithm>

#include "base/sjis_string.h"

namespace adv {

bool LoadPicture(CDrawImage& surface, std::string_view name, const LoadContext& context) {
  return LoadBmp(surface, name, context) || LoadK16(surface, name, context) ||
         LoadPng(surface, name, context) || LoadGif(surface, name, context) ||
         LoadSusie(surface, name, context) || LoadOlePicture(surface, name, context);
}

namespace {

// Position of the last "\" or "/" (a second Shift-JIS byte is never taken for "\"), or npos.
std::size_t LastSeparator(std::string_view s) {
  std::size_t back = SjisFindLast(s, '\\');
  std::size_t slash = SjisFindLast(s, '/');
  if (back == std::string_view::npos) return slash;
  if (slash == std::string_view::npos) return back;
  return std::max(back, slash);
}

}  // namespace

std::string ExecutableFolderOf(std::string_view exe_path) {
  std::size_t cut = LastSeparator(exe_path);
  if (cut != std::string_view::npos) return std::string(exe_path.substr(0, cut));
  std::size_t colon = exe_path.find(':');
  return colon == std::string_view::npos ? std::string()
                                         : std::string(exe_path.substr(0, colon + 1));
}

std::string PluginFolderFromSetting(std::string_view value, std::string_view exe_folder) {
  std::string folder;
  if (!value.empty() && (value.find(':') != std::string_view::npos || value.front() == '/')) {
    folder = value;
  } else {
    folder = std::string(exe_folder) + std::string(value);
  }
  if (folder.size() > 1 && LastSeparator(folder) == folder.size() - 1) folder.pop_back();
  return folder;
}

}  // namespace adv
