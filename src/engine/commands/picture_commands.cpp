#include "engine/commands/picture_commands.h"

#include <array>
#include <optional>

#include "base/messages.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "engine/message_display.h"
#include "engine/surface_name.h"
#include "graphics/composition_method.h"
#include "graphics/picture_loader.h"
#include "script/arguments.h"
#include "script/error_report.h"

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

// How each method composes a colour (.pic), a surface (.pic) and a sprite (.spr, keyed by the
// source's top-left pixel). A null entry is refused with the message beside it.
struct MethodRow {
  void (*fill)(CDrawImage& dst, Colour colour, const Placement& p);
  void (*copy)(CDrawImage& dst, const CDrawImage& src, const Placement& p);
  void (*sprite)(CDrawImage& dst, const CDrawImage& src, const Placement& p, Pixel key);
  std::string_view fill_refused;
  std::string_view sprite_refused;
};

constexpr std::array<MethodRow, kCompositionMethodCount> kMethods{{
    // kCopy
    {[](CDrawImage& d, Colour c, const Placement& p) { d.Fill(p.x, p.y, p.width, p.height, c); },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p) {
       d.Blt(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y);
     },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p, Pixel key) {
       d.CopyKeyed(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y, key);
     },
     {},
     {}},
    // kTranslucent
    {[](CDrawImage& d, Colour c, const Placement& p) {
       d.FillTranslucent(p.x, p.y, p.width, p.height, c, p.level);
     },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p) {
       d.CopyTranslucent(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y, p.level);
     },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p, Pixel key) {
       d.CopyTranslucentKeyed(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y, key, p.level);
     },
     {},
     {}},
    // kAdd
    {[](CDrawImage& d, Colour c, const Placement& p) { d.FillAdd(p.x, p.y, p.width, p.height, c); },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p) {
       d.CopyAdd(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y);
     },
     nullptr,
     {},
     kMsgSprMethod2},
    // kSubtract
    {[](CDrawImage& d, Colour c, const Placement& p) { d.FillSub(p.x, p.y, p.width, p.height, c); },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p) {
       d.CopySub(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y);
     },
     nullptr,
     {},
     kMsgSprMethod3},
    // kDarken
    {[](CDrawImage& d, Colour c, const Placement& p) {
       d.FillDark(p.x, p.y, p.width, p.height, c, p.level);
     },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p) {
       d.CopyDark(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y, p.level);
     },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p, Pixel key) {
       d.CopyDarkKeyed(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y, key, p.level);
     },
     {},
     {}},
    // kLighten
    {[](CDrawImage& d, Colour c, const Placement& p) {
       d.FillLight(p.x, p.y, p.width, p.height, c, p.level);
     },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p) {
       d.CopyLight(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y, p.level);
     },
     [](CDrawImage& d, const CDrawImage& src, const Placement& p, Pixel key) {
       d.CopyLightKeyed(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y, key, p.level);
     },
     {},
     {}},
    // kAlpha
    {nullptr,
     [](CDrawImage& d, const CDrawImage& src, const Placement& p) {
       d.CopyAlpha(p.x, p.y, p.width, p.height, src, p.src_x, p.src_y);
     },
     nullptr, kMsgMethod6Colour, kMsgSprMethod6},
}};

// An absent size argument takes the source's size.
int ReadSize(ScriptContext& script, int fallback) {
  std::string word = ReadStringArg(script);
  return word.empty() ? fallback : WordToInt(script, word);
}

Placement ReadPlacement(ScriptContext& script, const Source& source) {
  Placement p;
  p.transition = ReadIntArg(script);
  p.pause = ReadIntArg(script);
  p.method = ReadIntArg(script);
  p.level = ReadIntArg(script);
  p.x = ReadIntArg(script);
  p.y = ReadIntArg(script);
  p.width = ReadSize(script, source.surface ? source.surface->Width() : kScreenWidth);
  p.height = ReadSize(script, source.surface ? source.surface->Height() : kScreenHeight);
  if (source.surface != nullptr) {
    p.src_x = ReadIntArg(script);
    p.src_y = ReadIntArg(script);
  }
  return p;
}

// Other method numbers draw nothing, silently.
void Compose(Engine& engine, CDrawImage& dst, const Source& source, const Placement& p,
             bool sprite) {
  if (source.colour && sprite) {
    ReportScriptError(engine.script, kMsgSprColour);
    return;
  }
  if (p.method < 0 || p.method >= kCompositionMethodCount) return;
  const MethodRow& row = kMethods[static_cast<std::size_t>(p.method)];
  if (source.colour) {
    if (row.fill != nullptr) {
      row.fill(dst, *source.colour, p);
    } else {
      ReportScriptError(engine.script, row.fill_refused);
    }
  } else if (!sprite) {
    row.copy(dst, *source.surface, p);
  } else if (row.sprite != nullptr) {
    // The transparent colour is the source's top-left pixel, wherever the rectangle is.
    row.sprite(dst, *source.surface, p, source.surface->GetPixel(0, 0));
  } else {
    ReportScriptError(engine.script, row.sprite_refused);
  }
}

// Carries the rectangle from the base surface to the window; a transition stages it instead.
State ShowOnScreen(Engine& engine, const Placement& p) {
  Surfaces& s = engine.surfaces;
  const Rect r = Rect::FromSize(p.x, p.y, p.width, p.height);
  const bool direct = p.transition == 0 && RemainingWait(engine) < kDirectDrawThreshold;
  CDrawImage& target = direct ? s.back : s.spare;
  if (!direct) target.Blt(0, 0, kScreenWidth, kScreenHeight, s.back, 0, 0);
  target.Blt(p.x, p.y, p.width, p.height, s.base, p.x, p.y);
  ComposeMessageLayer(engine, target, r);
  if (p.transition != 0) {
    engine.transition = PendingTransition{r, p.transition, 0, p.pause};
    return State::kTransition;
  }
  engine.frame.MarkDirty(r);
  if (!direct) engine.frame.RequestSwap();
  Yield(engine);
  AddWait(engine, p.pause);
  return State::kReadLine;
}

State PictureCommand(Engine& engine, bool sprite) {
  ScriptContext& script = engine.script;
  const std::string dst_name = ReadStringArg(script);
  const std::string src_name = ReadStringArg(script);

  const SurfaceName dst_ref = ParseSurfaceName(dst_name);
  if (dst_ref.kind == SurfaceName::Kind::kOther) {
    ReportScriptError(script, kMsgDestInvalid, dst_name);
    return State::kReadLine;
  }
  CDrawImage* dst = FindSurface(engine.surfaces, dst_ref);
  if (dst == nullptr) {
    ReportScriptError(script, kMsgDestNoOffscreen, dst_name);
    return State::kReadLine;
  }

  Source source;
  CDrawImage picture;  // a loaded file lives for this command only
  const SurfaceName src_ref = ParseSurfaceName(src_name);
  if (src_ref.kind != SurfaceName::Kind::kOther) {
    source.surface = FindSurface(engine.surfaces, src_ref);
    if (source.surface == nullptr) {
      ReportScriptError(script, kMsgSrcNoOffscreen, src_name);
      return State::kReadLine;
    }
  } else if (!src_name.empty() && src_name[0] == '#') {
    source.colour = ParseColour(src_name);
  } else {
    LoadContext context{engine.files, engine.host.Decoder(), engine.plugin_folder};
    const std::string file = AddDefaultExtension(src_name, ".bmp");
    if (!LoadPicture(picture, file, context)) {
      ReportScriptError(script, kMsgSrcOpen, file);
      return State::kReadLine;
    }
    source.surface = &picture;
  }

  Placement p = ReadPlacement(script, source);
  const bool to_screen = dst_ref.kind == SurfaceName::Kind::kScreen;
  if (!to_screen && p.transition != 0) {
    ReportScriptError(script, kMsgTransitionNotScreen);
    p.transition = 0;
  }
  Compose(engine, *dst, source, p, sprite);
  if (to_screen) return ShowOnScreen(engine, p);
  AddWait(engine, p.pause);
  return State::kReadLine;
}

}  // namespace

State PicCommand(Engine& engine) {
  return PictureCommand(engine, false);
}

State SprCommand(Engine& engine) {
  return PictureCommand(engine, true);
}

}  // namespace adv
