// Runs the adv executable as a player would and collects what it wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace adv::test {

struct RunResult {
  int status = -1;
  std::string out;  // everything written to stdout
  std::string err;  // everything written to stderr
  std::vector<std::string> ErrLines() const;
  // Whether stderr has the script error line "FILE:LINE: message", with or without the English
  // explanation that follows it.
  bool HasError(const std::string& line) const;
};

// Runs a program with args; stdin is empty. Returns its exit status, stdout and stderr.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args);
// RunProgram for the adv under test.
RunResult RunAdv(const std::vector<std::string>& args);

// The source folder of a scenario test: tests/scenarios/NAME.
std::string ScenarioDir(const std::string& name);
// A file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes a pixel
  // RGB of the pixel as 0xRRGGBB.
  std::uint32_t At(int x, int y) const;
};

// Reads an 8-bit RGB or RGBA PNG; false when it cannot.
bool ReadPng(const std::string& path, Picture& picture);

// The screenshot value of a 5-bit channel: (v << 3) | (v >> 2).
constexpr std::uint32_t Expand5(std::uint32_t v) {
  return (v << 3) | (v >> 2);
}
// The screenshot colour of a script colour #RRGGBB.
constexpr std::uint32_t ShotColour(std::uint32_t rrggbb) {
  return (Expand5((rrggbb >> 19) & 31) << 16) | (Expand5((rrggbb >> 11) & 31) << 8) |
         Expand5((rrggbb >> 3) & 31);
}

}  // namespace adv::test
