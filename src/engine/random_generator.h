// The Mersenne Twister MT19937 in its 1998 reference form (seeded by the 69069 linear
// congruential generator), one instance per engine.
#pragma once

#include <array>
#include <cstdint>

namespace adv {

class RandomGenerator {
 public:
  static constexpr int kN = 624;

  void Seed(std::uint32_t seed);
  std::uint32_t Next();

 private:
  void Twist();

  std::array<std::uint32_t, kN> state_{};
  int index_ = kN + 1;  // kN + 1: never seeded
};

}  // namespace adv
