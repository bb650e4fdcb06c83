#include "host/headless/input_script.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace adv {

namespace {

[[nodiscard]] bool ParseInt(const std::string& word, long long& value) {
  const char* end = word.data() + word.size();
  auto [ptr, ec] = std::from_chars(word.data(), end, value);
  return ec == std::errc() && ptr == end;
}

[[nodiscard]] bool ParseKey(std::string name, HostKey& key, bool& alt) {
  alt = false;
  if (name.rfind("alt+", 0) == 0) {
    alt = true;
    name = name.substr(4);
  }
  static const std::pair<const char*, HostKey> kKeys[] = {
      {"enter", HostKey::kEnter},   {"space", HostKey::kSpace},       {"esc", HostKey::kEscape},
      {"f4", HostKey::kF4},         {"f12", HostKey::kF12},           {"left", HostKey::kLeft},
      {"up", HostKey::kUp},         {"right", HostKey::kRight},       {"down", HostKey::kDown},
      {"ctrl", HostKey::kCtrl},     {"tab", HostKey::kTab},           {"a", HostKey::kA},
      {"pageup", HostKey::kPageUp}, {"pagedown", HostKey::kPageDown}, {"f11", HostKey::kF11},
  };
  for (const auto& [n, k] : kKeys) {
    if (name == n) {
      key = k;
      return true;
    }
  }
  return false;
}

HostEvent Mouse(HostEvent::Type type, MouseButton button, int x, int y) {
  HostEvent e;
  e.type = type;
  e.button = button;
  e.x = x;
  e.y = y;
  return e;
}

}  // namespace

bool ParseInputScript(std::string_view text, std::vector<TimedEvent>& events, std::string& error) {
  events.clear();
  std::istringstream in{std::string(text)};
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty() || w[0][0] == '#') continue;
    auto fail = [&](const std::string& why) {
      error = std::to_string(number) + ": " + why;
      return false;
    };
    long long ms = 0;
    if (!ParseInt(w[0], ms) || ms < 0 || ms > 0xFFFFFFFFLL) return fail("bad time '" + w[0] + "'");
    if (w.size() < 2) return fail("missing event");
    const std::string& name = w[1];
    auto add = [&](const HostEvent& e) { events.push_back({static_cast<std::uint32_t>(ms), e}); };
    auto xy = [&](std::size_t at, int& x, int& y) {
      long long a = 0, b = 0;
      if (w.size() != at + 2 || !ParseInt(w[at], a) || !ParseInt(w[at + 1], b) || a < -65536 ||
          a > 65535 || b < -65536 || b > 65535) {
        return false;
      }
      x = static_cast<int>(a);
      y = static_cast<int>(b);
      return true;
    };
    int x = 0, y = 0;
    if (name == "click" || name == "rclick") {
      if (!xy(2, x, y)) return fail("expected: " + name + " X Y");
      MouseButton b = name == "click" ? MouseButton::kLeft : MouseButton::kRight;
      add(Mouse(HostEvent::Type::kMouseMove, b, x, y));
      add(Mouse(HostEvent::Type::kMouseDown, b, x, y));
      add(Mouse(HostEvent::Type::kMouseUp, b, x, y));
    } else if (name == "down" || name == "up") {
      if (w.size() < 3 || (w[2] != "left" && w[2] != "right") || !xy(3, x, y)) {
        return fail("expected: " + name + " left|right X Y");
      }
      MouseButton b = w[2] == "left" ? MouseButton::kLeft : MouseButton::kRight;
      add(Mouse(HostEvent::Type::kMouseMove, b, x, y));
      add(Mouse(name == "down" ? HostEvent::Type::kMouseDown : HostEvent::Type::kMouseUp, b, x, y));
    } else if (name == "move") {
      if (!xy(2, x, y)) return fail("expected: move X Y");
      add(Mouse(HostEvent::Type::kMouseMove, MouseButton::kLeft, x, y));
    } else if (name == "key" || name == "keydown" || name == "keyup") {
      HostEvent e;
      if (w.size() != 3 || !ParseKey(w[2], e.key, e.alt)) {
        return fail("expected: " + name +
                    " enter|space|esc|f4|f12|left|up|right|down|ctrl|tab|a|pageup|pagedown|f11");
      }
      if (name != "keyup") {
        e.type = HostEvent::Type::kKeyDown;
        add(e);
      }
      if (name != "keydown") {
        e.type = HostEvent::Type::kKeyUp;
        add(e);
      }
    } else if (name == "wheel") {
      if (w.size() < 3 || (w[2] != "up" && w[2] != "down") || !xy(3, x, y)) {
        return fail("expected: wheel up|down X Y");
      }
      add(Mouse(HostEvent::Type::kMouseMove, MouseButton::kLeft, x, y));
      HostEvent e = Mouse(HostEvent::Type::kWheel, MouseButton::kLeft, x, y);
      e.wheel = w[2] == "up" ? 1 : -1;
      add(e);
    } else if (name == "close") {
      if (w.size() != 2) return fail("expected: close");
      HostEvent e;
      e.type = HostEvent::Type::kClose;
      add(e);
    } else {
      return fail("unknown event '" + name + "'");
    }
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const TimedEvent& a, const TimedEvent& b) { return a.ms < b.ms; });
  return true;
}

}  // namespace adv
