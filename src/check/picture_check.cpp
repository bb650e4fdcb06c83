#include "check/picture_check.h"

#include "base/messages.h"
#include "check/argument_checks.h"
#include "script/script_file.h"

namespace adv {

namespace {

enum class Source { kSurface, kColour, kUnknown };

// The source as the command resolves it; false when the command would end with an error here.
[[nodiscard]] bool ReadSource(LineCheck& at, Source& source) {
  const Arg name = at.String();
  switch (ClassifySurface(name)) {
    case SurfaceKind::kScreen:
      source = Source::kSurface;
      return true;
    case SurfaceKind::kOffscreen:
      source = Source::kSurface;
      if (OffscreenExists(at, name)) return true;
      at.Error(kMsgSrcNoOffscreen, name.text);
      return false;
    case SurfaceKind::kUnknown:
      source = Source::kUnknown;
      return true;
    case SurfaceKind::kOther:
      break;
  }
  if (name.KnownPrefix().starts_with("#")) {
    source = Source::kColour;
    CheckColour(at, name);
    return true;
  }
  source = Source::kSurface;
  if (!name.Known()) return true;
  const std::string file = AddDefaultExtension(name.text, ".bmp");
  if (at.FileFound(file, true)) return true;
  at.Error(kMsgSrcOpen, file);
  return false;
}

// Refusals of the composition: what the method and the kind of source decide. A sprite of a
// colour is refused whatever the method.
void CheckMethod(LineCheck& at, bool sprite, Source source, std::optional<int> method) {
  if (sprite && source == Source::kColour) {
    at.Error(kMsgSprColour);
    return;
  }
  if (!method) return;
  if (sprite && source == Source::kSurface) {
    if (*method == 2) at.Error(kMsgSprMethod2);
    if (*method == 3) at.Error(kMsgSprMethod3);
    if (*method == 6) at.Error(kMsgSprMethod6);
  } else if (!sprite && source == Source::kColour && *method == 6) {
    at.Error(kMsgMethod6Colour);
  }
}

void CheckPicture(LineCheck& at, bool sprite) {
  const Arg destination = at.String();
  const SurfaceKind kind = ClassifySurface(destination);
  if (kind == SurfaceKind::kOther) {
    at.Error(kMsgDestInvalid, destination.text);
    return;
  }
  if (kind == SurfaceKind::kOffscreen && !OffscreenExists(at, destination)) {
    at.Error(kMsgDestNoOffscreen, destination.text);
    return;
  }
  Source source = Source::kUnknown;
  if (!ReadSource(at, source)) return;
  const std::optional<int> transition = at.Int();
  at.Int();  // pause
  const std::optional<int> method = at.Int();
  for (int i = 0; i < 5; ++i) at.Int();  // level, x, y, width, height (absent sizes are fine)
  if (source != Source::kColour) {
    at.Int();  // source x
    at.Int();  // source y
  }
  if (kind == SurfaceKind::kOffscreen && transition.value_or(0) != 0) {
    at.Error(kMsgTransitionNotScreen);
  }
  CheckMethod(at, sprite, source, method);
}

}  // namespace

void CheckPic(LineCheck& at) {
  CheckPicture(at, false);
}

void CheckSpr(LineCheck& at) {
  CheckPicture(at, true);
}

}  // namespace adv
