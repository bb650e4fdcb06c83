#include "engine/random_generator.h"

namespace adv {

namespace {
constexpr int kM = 397;
constexpr std::uint32_t kMatrixA = 0x9908B0DFu;
constexpr std::uint32_t kUpperMask = 0x80000000u;
constexpr std::uint32_t kLowerMask = 0x7FFFFFFFu;
}  // namespace

void RandomGenerator::Seed(std::uint32_t seed) {
  for (int i = 0; i < kN; ++i) {
    state_[i] = seed & 0xFFFF0000u;
    seed = 69069u * seed + 1u;
    state_[i] |= (seed & 0xFFFF0000u) >> 16;
    seed = 69069u * seed + 1u;
  }
  index_ = kN;
}

void RandomGenerator::Twist() {
  for (int k = 0; k < kN; ++k) {
    std::uint32_t y = (state_[k] & kUpperMask) | (state_[(k + 1) % kN] & kLowerMask);
    state_[k] = state_[(k + kM) % kN] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
  }
  index_ = 0;
}

std::uint32_t RandomGenerator::Next() {
  if (index_ >= kN) {
    if (index_ == kN + 1) Seed(4357);
    Twist();
  }
  std::uint32_t y = state_[index_++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

}  // namespace adv
