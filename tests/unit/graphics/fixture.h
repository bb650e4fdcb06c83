// The picture files of the data folder (its README says how each was made).
#pragma once

#include <gtest/gtest.h>

#include "support/run_adv.h"

namespace adv::test {

inline std::string Fixture(const std::string& name) {
  std::string bytes = ReadFile(ADV_SOURCE_DIR "/tests/unit/graphics/data/" + name);
  EXPECT_FALSE(bytes.empty()) << name;  // a missing file must not pass as a refused one
  return bytes;
}

}  // namespace adv::test
