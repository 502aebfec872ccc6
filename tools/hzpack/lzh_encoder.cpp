#include "tools/hzpack/lzh_encoder.h"

#include "decompress/lzh_internal.h"

#include <algorithm>
#include <array>

namespace hzpack {
namespace {

using namespace lzh;

constexpr unsigned kHashBits = 15;
constexpr unsigned kChainDepth = 96;
// A match this long is taken at once, without looking one byte further.
constexpr unsigned kLazyLimit = 24;
constexpr std::size_t kProgressStep = 1 << 20;

class BitWriter {
public:
  void Put(std::uint32_t code, unsigned n) {
    acc_ = (acc_ << n) | code;
    pending_ += n;
    while (pending_ >= 8) {
      pending_ -= 8;
      out_.push_back(static_cast<std::uint8_t>(acc_ >> pending_));
    }
  }
  std::vector<std::uint8_t> Finish() {
    if (pending_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - pending_)));
    return std::move(out_);
  }

private:
  std::uint64_t acc_ = 0;
  unsigned pending_ = 0;
  std::vector<std::uint8_t> out_;
};

struct PositionCode {
  std::uint8_t code;
  std::uint8_t length;
};

// The prefix code of each upper-6-bit value, read off the decoder's table:
// the first length bits of any index that decodes to it.
constexpr std::array<PositionCode, 64> MakePositionCodes() {
  std::array<PositionCode, 64> codes{};
  for (unsigned b = 0; b < 256; ++b) {
    const unsigned n = kOffsetTables.length[b];
    codes[kOffsetTables.upper[b]] = {static_cast<std::uint8_t>(b >> (8 - n)), static_cast<std::uint8_t>(n)};
  }
  return codes;
}
constexpr std::array<PositionCode, 64> kPositionCodes = MakePositionCodes();

struct Match {
  unsigned length = 0;
  unsigned distance = 0;  // 1..4096 bytes behind
};

class Encoder {
public:
  Encoder(const std::uint8_t* data, std::size_t size) : head_(std::size_t{1} << kHashBits, -1), prev_(kRingSize, -1) {
    // The decoder's ring starts with spaces before the first write position;
    // matches may reach back into them.
    text_.assign(kFirstWritePos, kRingFill);
    text_.insert(text_.end(), data, data + size);
    InitTree(tree_);
    for (std::size_t p = 0; p < kFirstWritePos; ++p) Insert(p);
  }

  std::vector<std::uint8_t> Run(const Progress& progress) {
    const std::size_t end = text_.size();
    std::size_t p = kFirstWritePos;
    std::size_t reported = 0;
    while (p < end) {
      Match m = Find(p);
      Insert(p);
      if (m.length >= kMinMatch && m.length < kLazyLimit) {
        const Match next = Find(p + 1);
        if (next.length > m.length) {
          PutSymbol(text_[p]);
          ++p;
          Insert(p);
          m = next;
        }
      }
      if (m.length < kMinMatch) {
        PutSymbol(text_[p]);
        ++p;
      } else {
        PutSymbol(m.length + 253);
        const PositionCode& code = kPositionCodes[(m.distance - 1) >> 6];
        bits_.Put(code.code, code.length);
        bits_.Put((m.distance - 1) & 63, 6);
        for (std::size_t i = 1; i < m.length; ++i) Insert(p + i);
        p += m.length;
      }
      if (progress && p - reported >= kProgressStep) {
        reported = p;
        progress(p - kFirstWritePos);
      }
    }
    return bits_.Finish();
  }

private:
  unsigned Hash(std::size_t p) const {
    const std::uint32_t v = text_[p] | text_[p + 1] << 8 | text_[p + 2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  void Insert(std::size_t p) {
    if (p + kMinMatch > text_.size()) return;
    const unsigned h = Hash(p);
    prev_[p & kRingMask] = head_[h];
    head_[h] = static_cast<std::int32_t>(p);
  }

  // Longest match for p within the ring, never running past the data.
  Match Find(std::size_t p) const {
    Match best;
    const std::size_t maxLength = std::min<std::size_t>(kMaxMatch, text_.size() - p);
    if (maxLength < kMinMatch) return best;
    const std::int64_t limit = static_cast<std::int64_t>(p) - static_cast<std::int64_t>(kRingSize);
    std::int64_t c = head_[Hash(p)];
    for (unsigned depth = kChainDepth; c >= 0 && c > limit - 1 && depth > 0; --depth) {
      const auto cand = static_cast<std::size_t>(c);
      if (text_[cand + best.length] == text_[p + best.length]) {
        unsigned len = 0;
        while (len < maxLength && text_[cand + len] == text_[p + len]) ++len;
        if (len > best.length) {
          best = {len, static_cast<unsigned>(p - cand)};
          if (len == maxLength) break;
        }
      }
      const std::int32_t next = prev_[cand & kRingMask];
      if (next >= c) break;  // the slot has been reused by a newer position
      c = next;
    }
    return best;
  }

  void PutSymbol(unsigned s) {
    std::uint32_t code = 0;
    unsigned length = 0;
    for (unsigned k = tree_.Parent[s + kNodes]; k != kRoot; k = tree_.Parent[k]) {
      code |= (k & 1u) << length;  // children sit at an even and the next odd position
      ++length;
    }
    bits_.Put(code, length);
    UpdateTree(tree_, s);
  }

  std::vector<std::uint8_t> text_;
  std::vector<std::int32_t> head_;
  std::vector<std::int32_t> prev_;
  Tree tree_;
  BitWriter bits_;
};

}  // namespace

std::vector<std::uint8_t> LzhEncode(const std::uint8_t* data, std::size_t size, const Progress& progress) {
  return Encoder(data, size).Run(progress);
}

}  // namespace hzpack
