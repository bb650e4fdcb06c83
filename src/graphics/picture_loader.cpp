#include "graphics/picture_loader.h"

#include "base/path_text.h"

#include <algorithm>

#include "base/sjis_string.h"

namespace adv {

bool LoadPicture(CDrawImage& surface, std::string_view name, const LoadContext& context) {
  return LoadBmp(surface, name, context) || LoadK16(surface, name, context) ||
         LoadPng(surface, name, context) || LoadGif(surface, name, context) ||
         LoadSusie(surface, name, context) || LoadOlePicture(surface, name, context);
}

std::string PluginFolderFromSetting(std::string_view value, std::string_view exe_folder) {
  std::string folder;
  if (!value.empty() && (value.find(':') != std::string_view::npos || value.front() == '/')) {
    folder = value;
  } else {
    folder = std::string(exe_folder) + std::string(value);
  }
  if (folder.size() > 1 && LastPathSeparator(folder) == folder.size() - 1) folder.pop_back();
  return folder;
}

}  // namespace adv
