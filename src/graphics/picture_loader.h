// Picture files into surfaces: a fixed chain of loaders, each opening the file itself through
// CFileReader (so packed twins load too) and refusing files that are not its format.
#pragma once

#include <string>
#include <string_view>

#include "graphics/draw_image.h"
#include "host/file_system.h"
#include "host/picture_decoder.h"

namespace adv {

struct LoadContext {
  const FileSystem& files;
  // Reads GIF and every other format a library knows; null: those formats fail.
  PictureDecoder* decoder = nullptr;
  // Native folder searched for *.spi image plug-ins, one the player trusts; empty: none.
  std::string plugin_folder;
};

// Each loader returns true when it produced the picture at its own size. On false the surface's
// pixels are unspecified but it stays usable.
[[nodiscard]] bool LoadBmp(CDrawImage& surface, std::string_view name, const LoadContext& context);
[[nodiscard]] bool LoadK16(CDrawImage& surface, std::string_view name, const LoadContext& context);
[[nodiscard]] bool LoadPng(CDrawImage& surface, std::string_view name, const LoadContext& context);
[[nodiscard]] bool LoadGif(CDrawImage& surface, std::string_view name, const LoadContext& context);
[[nodiscard]] bool LoadSusie(CDrawImage& surface, std::string_view name,
                             const LoadContext& context);
[[nodiscard]] bool LoadOlePicture(CDrawImage& surface, std::string_view name,
                                  const LoadContext& context);

// Tries the loaders above in that order until one succeeds.
[[nodiscard]] bool LoadPicture(CDrawImage& surface, std::string_view name,
                               const LoadContext& context);

// The plug-in folder of a settings value: a value holding ":" (or, here, starting with "/") is a
// full path; anything else, empty included, is appended as it is to the executable's folder. One
// trailing "\" or "/" is removed.
std::string PluginFolderFromSetting(std::string_view value, std::string_view exe_folder);

}  // namespace adv
