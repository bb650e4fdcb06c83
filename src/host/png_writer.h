// Writing 24-bit PNG files (screenshots).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace adv {

// rgb: width x height x 3 bytes, top row first. False (with nothing left behind) on failure.
[[nodiscard]] bool WritePng24(const std::string& path, int width, int height,
                              const std::vector<std::uint8_t>& rgb);

}  // namespace adv
