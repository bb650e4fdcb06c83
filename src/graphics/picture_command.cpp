#include "graphics/picture_command.h"

#include <optional>

#include "app/frame_loop.h"
#include "engine.h"
#include "graphics/picture_loader.h"
#include "script/arguments.h"
#include "script/error_report.h"
#include "script/interpreter.h"
#include "base/messages.h"
#include "text/message_display.h"

namespace adv {

namespace {

// Below this many milliseconds of wait left, a picture goes straight to the back buffer;
// otherwise it waits in the spare buffer for the swap.
constexpr std::uint32_t kDirectDrawThreshold = 100;

struct Source {
  const CDrawImage* surface = nullptr;
  std::optional<Colour> colour;
};

struct Placement {
  int transition = 0, pause = 0, method = 0, level = 0;
  int x = 0, y = 0, width = 0, height = 0, src_x = 0, src_y = 0;
};

// An absent size argument takes the source's size.
int ReadSize(Engine& engine, int fallback) {
  std::string word = ReadStringArg(engine);
  return word.empty() ? fallback : WordToInt(engine, word);
}

Placement ReadPlacement(Engine& engine, const Source& source) {
  Placement p;
  p.transition = ReadIntArg(engine);
  p.pause = ReadIntArg(engine);
  p.method = ReadIntArg(engine);
  p.level = ReadIntArg(engine);
  p.x = ReadIntArg(engine);
  p.y = ReadIntArg(engine);
  p.width = ReadSize(engine, source.surface ? source.surface->Width() : 640);
  p.height = ReadSize(engine, source.surface ? source.surface->Height() : 480);
  if (source.surface != nullptr) {
    p.src_x = ReadIntArg(engine);
    p.src_y = ReadIntArg(engine);
  }
  return p;
}

void ComposeColour(Engine& engine, CDrawImage& dst, Colour colour, const Placement& p) {
  switch (p.method) {
    case 0:
      dst.Fill(p.x, p.y, p.width, p.height, colour);
      break;
    case 1:
      dst.FillTranslucent(p.x, p.y, p.width, p.height, colour, p.level);
      break;
    case 2:
      dst.FillAdd(p.x, p.y, p.width, p.height, colour);
      break;
    case 3:
      dst.FillSub(p.x, p.y, p.width, p.height, colour);
      break;
    case 4:
      dst.FillDark(p.x, p.y, p.width, p.height, colour, p.level);
      break;
    case 5:
      dst.FillLight(p.x, p.y, p.width, p.height, colour, p.level);
      break;
    case 6:
      ReportScriptError(engine, kMsgMethod6Colour);
      break;
    default:
      break;  // other methods draw nothing, silently
  }
}

void ComposeSurface(CDrawImage& dst, const CDrawImage& src, const Placement& p) {
  const int x = p.x, y = p.y, w = p.width, h = p.height, sx = p.src_x, sy = p.src_y;
  switch (p.method) {
    case 0:
      dst.Blt(x, y, w, h, src, sx, sy);
      break;
    case 1:
      dst.CopyTranslucent(x, y, w, h, src, sx, sy, p.level);
      break;
    case 2:
      dst.CopyAdd(x, y, w, h, src, sx, sy);
      break;
    case 3:
      dst.CopySub(x, y, w, h, src, sx, sy);
      break;
    case 4:
      dst.CopyDark(x, y, w, h, src, sx, sy, p.level);
      break;
    case 5:
      dst.CopyLight(x, y, w, h, src, sx, sy, p.level);
      break;
    case 6:
      dst.CopyAlpha(x, y, w, h, src, sx, sy);
      break;
    default:
      break;
  }
}

// The sprite's transparent colour is the source's top-left pixel, wherever the rectangle is.
void ComposeSprite(Engine& engine, CDrawImage& dst, const CDrawImage& src, const Placement& p) {
  const int x = p.x, y = p.y, w = p.width, h = p.height, sx = p.src_x, sy = p.src_y;
  const Pixel key = src.GetPixel(0, 0);
  switch (p.method) {
    case 0:
      dst.CopyKeyed(x, y, w, h, src, sx, sy, key);
      break;
    case 1:
      dst.CopyTranslucentKeyed(x, y, w, h, src, sx, sy, key, p.level);
      break;
    case 2:
      ReportScriptError(engine, kMsgSprMethod2);
      break;
    case 3:
      ReportScriptError(engine, kMsgSprMethod3);
      break;
    case 4:
      dst.CopyDarkKeyed(x, y, w, h, src, sx, sy, key, p.level);
      break;
    case 5:
      dst.CopyLightKeyed(x, y, w, h, src, sx, sy, key, p.level);
      break;
    case 6:
      ReportScriptError(engine, kMsgSprMethod6);
      break;
    default:
      break;
  }
}

// Carries the rectangle from the base surface to the window.
void ShowOnScreen(Engine& engine, const Placement& p) {
  Surfaces& s = engine.surfaces;
  const Rect r = Rect::FromSize(p.x, p.y, p.width, p.height);
  const bool direct = p.transition == 0 && RemainingWait(engine) < kDirectDrawThreshold;
  CDrawImage& target = direct ? s.back : s.spare;
  if (!direct) target.Blt(0, 0, 640, 480, s.back, 0, 0);
  target.Blt(p.x, p.y, p.width, p.height, s.base, p.x, p.y);
  ComposeMessageLayer(engine, target, r);
  if (p.transition != 0) {
    engine.interp.state = kStateTransition;
    engine.interp.transition = TransitionState{r, p.transition, 0, p.pause};
    return;
  }
  MarkDirtyArea(engine, p.x, p.y, p.width, p.height);
  if (!direct) RequestSwap(engine);
  Yield(engine);
  AddWait(engine, p.pause);
}

}  // namespace

bool PictureCommand(Engine& engine, bool sprite) {
  const std::string dst_name = ReadStringArg(engine);
  const std::string src_name = ReadStringArg(engine);

  const SurfaceName dst_ref = ParseSurfaceName(dst_name);
  if (dst_ref.kind == SurfaceName::Kind::kOther) {
    ReportScriptError(engine, kMsgDestInvalid);
    return true;
  }
  CDrawImage* dst = FindSurface(engine.surfaces, dst_ref);
  if (dst == nullptr) {
    ReportScriptError(engine, kMsgDestNoOffscreen);
    return true;
  }

  Source source;
  CDrawImage picture;  // a loaded file lives for this command only
  const SurfaceName src_ref = ParseSurfaceName(src_name);
  if (src_ref.kind != SurfaceName::Kind::kOther) {
    source.surface = FindSurface(engine.surfaces, src_ref);
    if (source.surface == nullptr) {
      ReportScriptError(engine, kMsgSrcNoOffscreen);
      return true;
    }
  } else if (!src_name.empty() && src_name[0] == '#') {
    source.colour = ParseColour(src_name);
  } else {
    LoadContext context{engine.files, engine.host.Decoder(), engine.plugin_folder};
    if (!LoadPicture(picture, AddDefaultExtension(src_name, ".bmp"), context)) {
      ReportScriptError(engine, kMsgSrcOpen);
      return true;
    }
    source.surface = &picture;
  }

  Placement p = ReadPlacement(engine, source);
  const bool to_screen = dst_ref.kind == SurfaceName::Kind::kScreen;
  if (!to_screen && p.transition != 0) {
    ReportScriptError(engine, kMsgTransitionNotScreen);
    p.transition = 0;
  }

  if (source.colour) {
    if (sprite) {
      ReportScriptError(engine, kMsgSprColour);
    } else {
      ComposeColour(engine, *dst, *source.colour, p);
    }
  } else if (sprite) {
    ComposeSprite(engine, *dst, *source.surface, p);
  } else {
    ComposeSurface(*dst, *source.surface, p);
  }

  if (to_screen) {
    ShowOnScreen(engine, p);
  } else {
    AddWait(engine, p.pause);
  }
  return true;
}

}  // namespace adv
