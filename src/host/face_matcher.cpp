#include "host/face_matcher.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <utility>

namespace adv {

namespace {

// Weights from 600 (semi-bold) up are drawn bold.
constexpr int kBoldWeight = 600;

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kClassicFaces{{
    {"ＭＳ ゴシック", "IPAGothic"},
    {"ＭＳ 明朝", "IPAMincho"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},
    // The same faces under their English names.
    {"MS Gothic", "IPAGothic"},
    {"MS Mincho", "IPAMincho"},
    {"MS PGothic", "IPAPGothic"},
    {"MS PMincho", "IPAPMincho"},
}};

}  // namespace

std::string SubstituteFamily(std::string_view face) {
  for (const auto& [classic, ipa] : kClassicFaces) {
    if (face == classic) return std::string(ipa);
  }
  return std::string(face);
}

struct FaceMatcher::Config {
  FcConfig* config = nullptr;
  ~Config() {
    if (config != nullptr) FcConfigDestroy(config);
  }
};

FaceMatcher::FaceMatcher() = default;

FaceMatcher::~FaceMatcher() = default;

std::optional<FaceFile> FaceMatcher::Match(const std::string& face, int weight, bool italic) {
  const bool bold = weight >= kBoldWeight;
  const auto key = std::make_tuple(face, bold, italic);
  if (auto it = answers_.find(key); it != answers_.end()) return it->second;

  // fontconfig reads its configuration and caches with the first question, not before.
  if (config_ == nullptr) {
    config_ = std::make_unique<Config>();
    config_->config = FcInitLoadConfigAndFonts();
  }
  std::optional<FaceFile> answer;
  FcConfig* config = config_->config;
  FcPattern* pattern = FcPatternCreate();
  if (config != nullptr && pattern != nullptr) {
    const std::string family = SubstituteFamily(face);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcChar8* file = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FaceFile found;
      found.path = reinterpret_cast<const char*>(file);
      int index = 0;
      if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) found.index = index;
      FcChar8* name = nullptr;
      if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
        found.family = reinterpret_cast<const char*>(name);
      }
      answer = std::move(found);
    }
    if (match != nullptr) FcPatternDestroy(match);
  }
  if (pattern != nullptr) FcPatternDestroy(pattern);
  answers_.emplace(key, answer);
  return answer;
}

}  // namespace adv
