#include "base/path_text.h"

#include <algorithm>

#include "base/sjis_string.h"

namespace adv {

std::size_t LastPathSeparator(std::string_view path) {
  const std::size_t back = SjisFindLast(path, '\\');
  const std::size_t slash = SjisFindLast(path, '/');
  if (back == std::string_view::npos) return slash;
  if (slash == std::string_view::npos) return back;
  return std::max(back, slash);
}

std::string ExecutableFolderOf(std::string_view exe_path) {
  const std::size_t cut = LastPathSeparator(exe_path);
  if (cut != std::string_view::npos) return std::string(exe_path.substr(0, cut));
  const std::size_t colon = SjisFind(exe_path, ':');
  return colon == std::string_view::npos ? std::string()
                                         : std::string(exe_path.substr(0, colon + 1));
}

}  // namespace adv
