// Builds standard MIDI files in memory for tests, benchmarks and fuzz seeds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace adv::test {

inline void AppendNumber(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (n-- > 0) out.push_back(static_cast<std::uint8_t>(groups[n] | (n > 0 ? 0x80 : 0)));
}

class SmfTrack {
 public:
  // An event after delta ticks, its bytes as they appear in the file (status included or left
  // out for running status).
  SmfTrack& Event(std::uint32_t delta, std::initializer_list<std::uint8_t> data) {
    AppendNumber(bytes, delta);
    bytes.insert(bytes.end(), data);
    return *this;
  }
  SmfTrack& Meta(std::uint32_t delta, std::uint8_t type, std::string_view data) {
    AppendNumber(bytes, delta);
    bytes.push_back(0xFF);
    bytes.push_back(type);
    AppendNumber(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
  SmfTrack& Tempo(std::uint32_t delta, std::uint32_t us) {
    const char data[3] = {static_cast<char>(us >> 16), static_cast<char>(us >> 8),
                          static_cast<char>(us)};
    return Meta(delta, 0x51, std::string_view(data, 3));
  }
  SmfTrack& Marker(std::uint32_t delta, std::string_view text) { return Meta(delta, 0x06, text); }
  SmfTrack& SysEx(std::uint32_t delta, std::uint8_t status,
                  std::initializer_list<std::uint8_t> data) {
    AppendNumber(bytes, delta);
    bytes.push_back(status);
    AppendNumber(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), data);
    return *this;
  }
  SmfTrack& End(std::uint32_t delta = 0) { return Meta(delta, 0x2F, ""); }

  std::vector<std::uint8_t> bytes;
};

inline void AppendU32Be(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

inline std::vector<std::uint8_t> BuildSmf(std::uint16_t division,
                                          const std::vector<SmfTrack>& tracks) {
  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  out.push_back(static_cast<std::uint8_t>(tracks.size() >> 8));
  out.push_back(static_cast<std::uint8_t>(tracks.size()));
  out.push_back(static_cast<std::uint8_t>(division >> 8));
  out.push_back(static_cast<std::uint8_t>(division));
  for (const SmfTrack& t : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    AppendU32Be(out, static_cast<std::uint32_t>(t.bytes.size()));
    out.insert(out.end(), t.bytes.begin(), t.bytes.end());
  }
  return out;
}

}  // namespace adv::test
