#include "check/file_probe.h"

#include "check/check_report.h"

namespace adv {

const NameLookup& FileProbe::Find(std::string_view name) {
  if (auto it = found_.find(name); it != found_.end()) return it->second;
  return found_.emplace(std::string(name), files_.Lookup(name)).first->second;
}

std::string NameWarning(std::string_view name, const NameLookup& found) {
  switch (found.match) {
    case NameMatch::kCaseFolded:
      return Cat(Quoted(name), " is found only as \"", found.on_disk,
                 "\" (letter case differs): a case-sensitive copy of the game will not find it");
    case NameMatch::kConverted:
      return Cat(Quoted(name), " is found only as \"", found.on_disk,
                 "\" (its Shift-JIS name converted to UTF-8): a copy of the game that keeps the "
                 "names as written will not find it");
    case NameMatch::kMissing:
    case NameMatch::kExact:
      break;
  }
  return {};
}

}  // namespace adv
