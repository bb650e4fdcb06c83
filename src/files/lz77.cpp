#include "files/lz77.h"

#include <algorithm>

namespace adv {

bool Lz77Decode(std::span<const std::uint8_t> flags, std::span<const std::uint8_t> packed,
                std::size_t unpacked_size, std::vector<std::uint8_t>& out) {
  out.assign(unpacked_size, 0);
  std::size_t j = 0;
  std::size_t token = 0;
  for (std::size_t k = 0; k < packed.size(); ++token) {
    std::size_t flag_index = token / 8;
    if (flag_index >= flags.size()) return false;
    if ((flags[flag_index] >> (token % 8)) & 1) {
      if (j >= unpacked_size) return false;
      out[j++] = packed[k++];
      continue;
    }
    if (k + 1 >= packed.size()) return false;
    unsigned w = packed[k] | (unsigned{packed[k + 1]} << 8);
    k += 2;
    std::size_t length = (w & 15) + kLz77MinLength;
    std::size_t distance = (w >> 4) + kLz77MinDistance;
    if (distance > j || length > unpacked_size - j) return false;
    // Byte by byte: a distance shorter than the length repeats what was just written.
    for (std::size_t i = 0; i < length; ++i, ++j) out[j] = out[j - distance];
  }
  return j == unpacked_size;
}

namespace {

constexpr int kHashBits = 15;
constexpr std::uint32_t kHashMask = (1u << kHashBits) - 1;
constexpr int kChainLimit = 256;

class Encoder {
 public:
  explicit Encoder(std::span<const std::uint8_t> in)
      : in_(in), head_(std::size_t{1} << kHashBits, -1), prev_(in.size(), -1) {}

  Lz77Stream Run() {
    const std::size_t n = in_.size();
    std::size_t i = 0;
    Match cur = Find(i);
    while (i < n) {
      if (cur.length < kLz77MinLength) {
        Insert(i);
        Literal(i++);
        cur = Find(i);
        continue;
      }
      Insert(i);
      Match next = Find(i + 1);
      if (next.length > cur.length) {
        Literal(i++);
        cur = next;
        continue;
      }
      Reference(cur);
      for (std::size_t k = 1; k < cur.length; ++k) Insert(i + k);
      i += cur.length;
      cur = Find(i);
    }
    return std::move(out_);
  }

 private:
  struct Match {
    std::size_t length = 0;
    std::size_t distance = 0;
  };

  std::uint32_t Hash(std::size_t i) const {
    std::uint32_t v = in_[i] | (std::uint32_t{in_[i + 1]} << 8) | (std::uint32_t{in_[i + 2]} << 16);
    return (v * 2654435761u) >> (32 - kHashBits) & kHashMask;
  }

  void Insert(std::size_t i) {
    if (i + kLz77MinLength > in_.size()) return;
    std::uint32_t h = Hash(i);
    prev_[i] = head_[h];
    head_[h] = static_cast<std::int64_t>(i);
  }

  Match Find(std::size_t i) const {
    Match best;
    if (i + kLz77MinLength > in_.size()) return best;
    const std::size_t limit = std::min(kLz77MaxLength, in_.size() - i);
    std::int64_t p = head_[Hash(i)];
    for (int steps = 0; p >= 0 && steps < kChainLimit; ++steps, p = prev_[p]) {
      std::size_t distance = i - static_cast<std::size_t>(p);
      if (distance > kLz77MaxDistance) break;
      if (distance < kLz77MinDistance) continue;
      std::size_t length = 0;
      while (length < limit && in_[p + length] == in_[i + length]) ++length;
      if (length > best.length) {
        best = {length, distance};
        if (length == limit) break;
      }
    }
    return best;
  }

  void NextToken(bool literal) {
    if (token_ % 8 == 0) out_.flags.push_back(0);
    if (literal) out_.flags.back() |= static_cast<std::uint8_t>(1u << (token_ % 8));
    ++token_;
  }

  void Literal(std::size_t i) {
    NextToken(true);
    out_.data.push_back(in_[i]);
  }

  void Reference(const Match& m) {
    NextToken(false);
    unsigned w =
        static_cast<unsigned>(((m.distance - kLz77MinDistance) << 4) | (m.length - kLz77MinLength));
    out_.data.push_back(static_cast<std::uint8_t>(w & 0xFF));
    out_.data.push_back(static_cast<std::uint8_t>(w >> 8));
  }

  std::span<const std::uint8_t> in_;
  std::vector<std::int64_t> head_;
  std::vector<std::int64_t> prev_;
  Lz77Stream out_;
  std::size_t token_ = 0;
};

}  // namespace

Lz77Stream Lz77Encode(std::span<const std::uint8_t> input) {
  return Encoder(input).Run();
}

}  // namespace adv
