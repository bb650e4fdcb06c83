// Face names to font files through fontconfig, asking for Japanese coverage, with the classic
// Windows Japanese faces mapped to their metric-compatible IPA equivalents.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "host/font.h"

namespace adv {

// The family that stands in for a classic Windows face ("ＭＳ ゴシック" gives "IPAGothic"), or
// the name itself. UTF-8 in and out.
std::string SubstituteFamily(std::string_view face);

class FaceMatcher {
 public:
  FaceMatcher();
  ~FaceMatcher();
  FaceMatcher(const FaceMatcher&) = delete;
  FaceMatcher& operator=(const FaceMatcher&) = delete;

  // The file for a face name (UTF-8) at a weight of 0 to 1000 (0 meaning normal) and slant; none
  // when fontconfig knows no font at all. Answers are kept, so a face is looked up once per style.
  std::optional<FaceFile> Match(const std::string& face, int weight, bool italic);

 private:
  struct Config;
  std::unique_ptr<Config> config_;  // loaded at the first Match
  std::map<std::tuple<std::string, bool, bool>, std::optional<FaceFile>> answers_;
};

}  // namespace adv
