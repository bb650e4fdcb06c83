// Message boxes through SDL, with stderr and the default answer where no box can be shown.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "host/sdl/sdl_host.h"
#include "host/sjis_convert.h"

namespace adv {
namespace {

bool HasDisplayServer() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

void PrintBox(const std::string& text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    std::fprintf(stderr, "box: %.*s\n", static_cast<int>(stop - start), text.data() + start);
    start = end + 1;
  }
}

}  // namespace

MessageBoxAnswer SdlHost::ShowMessageBox(const std::string& text, const std::string& title,
                                         MessageBoxKind kind) {
  const std::string utf8_text = SjisToUtf8(text);
  const std::string utf8_title = SjisToUtf8(title);
  const bool yes_no = kind == MessageBoxKind::kYesNo;
  // Return picks the first button (Yes for a question); Escape or closing the box
  // answers No.
  const SDL_MessageBoxButtonData ok_buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"}};
  const SDL_MessageBoxButtonData yes_no_buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "はい"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "いいえ"}};
  const MessageBoxAnswer fallback = yes_no ? MessageBoxAnswer::kNo : MessageBoxAnswer::kOk;

  // SDL shows boxes even before it is initialised; without any display it would try X11 and
  // zenity in turn and fail noisily.
  if (window_ != nullptr || HasDisplayServer()) {
    SDL_MessageBoxData data{};
    data.flags = SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = window_;
    data.title = utf8_title.c_str();
    data.message = utf8_text.c_str();
    data.numbuttons = yes_no ? 2 : 1;
    data.buttons = yes_no ? yes_no_buttons : ok_buttons;
    int button = -1;
    if (SDL_ShowMessageBox(&data, &button) == 0) {
      if (!yes_no) return MessageBoxAnswer::kOk;
      return button == 1 ? MessageBoxAnswer::kYes : MessageBoxAnswer::kNo;
    }
    DebugLog(std::string("SDL_ShowMessageBox: ") + SDL_GetError());
  }
  PrintBox(utf8_text);
  return fallback;
}

}  // namespace adv
