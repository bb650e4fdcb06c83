// Whether the files scripts name exist, asked once per name: the same picture named on a
// hundred lines costs one search.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "host/file_system.h"

namespace adv {

class FileProbe {
 public:
  explicit FileProbe(const FileSystem& files) : files_(files) {}
  const NameLookup& Find(std::string_view name);

 private:
  const FileSystem& files_;
  std::map<std::string, NameLookup, std::less<>> found_;
};

// Why a name found only by case folding or conversion is fragile; "" for one found as written.
std::string NameWarning(std::string_view name, const NameLookup& found);

}  // namespace adv
