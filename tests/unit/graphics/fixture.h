// The picture files of the data folder (its README says how each was made).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace adv::test {

inline std::string Fixture(const std::string& name) {
  std::ifstream in(ADV_SOURCE_DIR "/tests/unit/graphics/data/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  EXPECT_FALSE(bytes.str().empty()) << name;
  return bytes.str();
}

}  // namespace adv::test
