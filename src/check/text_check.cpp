#include "check/text_check.h"

#include <algorithm>
#include <array>

#include "base/messages.h"
#include "check/argument_checks.h"
#include "text/text_layer.h"

namespace adv {

namespace {

// Font settings both commands take, each with one integer, besides "name".
constexpr std::array<std::string_view, 9> kIntFontSettings{
    "weight", "italic", "underline", "strikeout", "edge", "spacing", "size", "leading", "offset"};
constexpr std::array<std::string_view, 8> kTxtColours{
    "usual",          "usualshadow",       "selected", "notselected",
    "selectedshadow", "notselectedshadow", "shadow",   "transparency"};
constexpr std::array<std::string_view, 3> kTprColours{"usual", "shadow", "transparency"};

template <std::size_t N>
bool IsOneOf(const Arg& word, const std::array<std::string_view, N>& words) {
  return std::find(words.begin(), words.end(), word.text) != words.end();
}

bool OutOfRange(std::optional<int> n, int low, int high) {
  return n && (*n < low || *n > high);
}

// "font KEYWORD ...": the settings both layers share; false for a keyword that is not one.
bool CheckFontSetting(LineCheck& at, const Arg& keyword, std::string_view magnification_refused) {
  if (keyword.text == "magnification") {
    if (OutOfRange(at.Int(), 1, kMaxMagnification)) at.Error(magnification_refused);
  } else if (keyword.text == "name") {
    at.String();
  } else if (IsOneOf(keyword, kIntFontSettings)) {
    at.Int();
  } else {
    return false;
  }
  return true;
}

void CheckColourSetting(LineCheck& at, std::string_view command, std::string_view expected,
                        bool (*known)(const Arg&)) {
  const Arg which = at.String();
  CheckColour(at, at.String());
  if (which.Known() && !known(which)) ReportNoEffect(at, command, which, expected);
}

void CheckTxtFont(LineCheck& at) {
  const Arg keyword = at.String();
  if (!keyword.Known()) return;
  if (keyword.text == "color") {
    CheckColourSetting(at, ".txt font color",
                       "usual, usualshadow, selected, notselected, selectedshadow, "
                       "notselectedshadow, shadow or transparency",
                       [](const Arg& w) { return IsOneOf(w, kTxtColours); });
  } else if (!CheckFontSetting(at, keyword, kMsgTxtFontMagnification)) {
    ReportNoEffect(at, ".txt font", keyword,
                   "name, color, weight, italic, underline, strikeout, edge, spacing, size, "
                   "leading, offset or magnification");
  }
}

void CheckTprFont(LineCheck& at) {
  const Arg keyword = at.String();
  if (!keyword.Known()) return;
  if (keyword.text == "align") {
    if (OutOfRange(at.Int(), 0, 2))
      at.Fault(".tpr font align takes 0, 1 or 2; other values do nothing");
  } else if (keyword.text == "color") {
    CheckColourSetting(at, ".tpr font color", "usual, shadow or transparency",
                       [](const Arg& w) { return IsOneOf(w, kTprColours); });
  } else if (!CheckFontSetting(at, keyword, kMsgTprFontMagnification)) {
    ReportNoEffect(at, ".tpr font", keyword,
                   "name, align, color, weight, italic, underline, strikeout, edge, spacing, "
                   "size, leading, offset or magnification");
  }
}

}  // namespace

void CheckTxt(LineCheck& at) {
  const Arg group = at.String();
  if (!group.Known()) return;
  if (group.text == "maxline") {
    if (OutOfRange(at.Int(), 1, kMaxLines)) at.Error(kMsgTxtMaxline);
  } else if (group.text == "space") {
    const Arg what = at.String();
    if (what.text == "size") {
      const std::optional<int> width = at.Int();
      const std::optional<int> max_width = at.Int();
      const std::optional<int> height = at.Int();
      if (width && max_width && height && (*width <= 0 || *max_width < *width || *height <= 0)) {
        at.Error(kMsgTxtSpaceSize);
      }
    } else if (what.text == "pos") {
      at.Int();
      at.Int();
    } else {
      ReportNoEffect(at, ".txt space", what, "size or pos");
    }
  } else if (group.text == "font") {
    CheckTxtFont(at);
  } else {
    ReportNoEffect(at, ".txt", group, "maxline, space or font");
  }
}

void CheckTpr(LineCheck& at) {
  const Arg first = at.String();
  if (first.text == "font") {
    CheckTprFont(at);
    return;
  }
  switch (ClassifySurface(first)) {
    case SurfaceKind::kOther:
      ReportNoEffect(at, ".tpr", first, "font, screen or an offscreen");
      return;
    case SurfaceKind::kOffscreen:
      if (!OffscreenExists(at, first)) {
        at.Error(kMsgDestNoOffscreen, first.text);
        return;
      }
      break;
    case SurfaceKind::kScreen:
    case SurfaceKind::kUnknown:
      break;
  }
  at.Int();
  at.Int();
  at.String();
}

}  // namespace adv
