#include "tools/hzpack/lzh_encoder.h"

#include "decompress/lzh_internal.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace hzpack {
namespace {

using namespace lzh;

constexpr unsigned kHashBits = 15;
constexpr unsigned kChainDepth = 96;
// A match this long is taken whole: the positions inside it are not searched.
constexpr unsigned kNiceLength = kMaxMatch;
// Input parsed with one set of symbol costs; the adaptive code's lengths are
// read again before each block.
constexpr std::size_t kBlock = 2048;
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

constexpr unsigned DistanceBits(unsigned distance) { return kPositionCodes[(distance - 1) >> 6].length + 6u; }

struct Match {
  unsigned length = 0;
  unsigned distance = 0;  // 1..4096 bytes behind
};

// Optimal parse: each block of input is split into literals and matches of
// the fewest bits under the symbol code's lengths as they stand at the
// block's start and the position code's fixed lengths.
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
    std::size_t reported = 0;
    for (std::size_t p = kFirstWritePos; p < end;) {
      const std::size_t stop = std::min(end, p + kBlock);
      Parse(p, stop);
      Emit(p, stop);
      p = stop;
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

  // How many bytes from a equal those from b, up to limit; eight at a time
  // (the first difference of two little-endian words is their lowest).
  unsigned MatchLength(std::size_t a, std::size_t b, std::size_t limit) const {
    const std::uint8_t* x = text_.data() + a;
    const std::uint8_t* y = text_.data() + b;
    unsigned length = 0;
    for (; length + 8 <= limit; length += 8) {
      std::uint64_t u;
      std::uint64_t v;
      std::memcpy(&u, x + length, 8);
      std::memcpy(&v, y + length, 8);
      if (u != v) return length + static_cast<unsigned>(__builtin_ctzll(u ^ v)) / 8;
    }
    while (length < limit && x[length] == y[length]) ++length;
    return length;
  }

  // The matches for p within the ring and below stop, nearest first, each
  // longer than the one before: every length up to a match's own is best
  // taken from the nearest match that reaches it. Returns their number.
  unsigned FindMatches(std::size_t p, std::size_t stop) {
    unsigned found = 0;
    unsigned best = kMinMatch - 1;
    const std::size_t maxLength = std::min<std::size_t>(kMaxMatch, stop - p);
    if (maxLength < kMinMatch) return 0;
    // Within the ring, and never before the text (an empty chain ends in -1).
    const std::int64_t limit = std::max<std::int64_t>(static_cast<std::int64_t>(p) - kRingSize, 0);
    std::int64_t c = head_[Hash(p)];
    for (unsigned depth = kChainDepth; c >= limit && depth > 0; --depth) {
      const auto cand = static_cast<std::size_t>(c);
      if (text_[cand + best] == text_[p + best]) {
        const unsigned len = MatchLength(cand, p, maxLength);
        if (len > best) {
          best = len;
          matches_[found++] = {len, static_cast<unsigned>(p - cand)};
          if (len == maxLength) break;
        }
      }
      const std::int32_t next = prev_[cand & kRingMask];
      if (next >= c) break;  // the slot has been reused by a newer position
      c = next;
    }
    return found;
  }

  // The code lengths of the symbol code as it stands: a node's children sit
  // below it, so one pass down from the root gives every depth.
  void ReadSymbolCosts() {
    std::array<std::uint8_t, kNodes> depth;
    depth[kRoot] = 0;
    for (unsigned k = kRoot + 1; k-- > 0;) {
      const unsigned child = tree_.Child[k];
      if (child >= kNodes) {
        symbolBits_[child - kNodes] = depth[k];
      } else {
        depth[child] = depth[child + 1] = static_cast<std::uint8_t>(depth[k] + 1);
      }
    }
  }

  // Fewest bits from start to every position up to stop, and the last step
  // of that way: a literal (length 1) or a match.
  void Parse(std::size_t start, std::size_t stop) {
    ReadSymbolCosts();
    const std::size_t n = stop - start;
    std::fill(bits_to_.begin(), bits_to_.begin() + n + 1, std::numeric_limits<std::uint32_t>::max());
    bits_to_[0] = 0;
    std::size_t searchFrom = start;
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t p = start + i;
      const std::uint32_t here = bits_to_[i];
      const std::uint32_t literal = here + symbolBits_[text_[p]];
      if (literal < bits_to_[i + 1]) {
        bits_to_[i + 1] = literal;
        step_[i + 1] = {1, 0};
      }
      const unsigned found = p >= searchFrom ? FindMatches(p, stop) : 0;
      Insert(p);
      unsigned length = kMinMatch;
      for (unsigned m = 0; m < found; ++m) {
        const Match& match = matches_[m];
        const std::uint32_t base = here + DistanceBits(match.distance);
        for (; length <= match.length; ++length) {
          const std::uint32_t cost = base + symbolBits_[length + 253];
          if (cost < bits_to_[i + length]) {
            bits_to_[i + length] = cost;
            step_[i + length] = {length, match.distance};
          }
        }
      }
      if (found > 0 && matches_[found - 1].length >= kNiceLength) searchFrom = p + matches_[found - 1].length;
    }
  }

  // Codes the way Parse found, from its end back to start.
  void Emit(std::size_t start, std::size_t stop) {
    path_.clear();
    for (std::size_t i = stop - start; i > 0; i -= step_[i].length) path_.push_back(step_[i]);
    std::size_t p = start;
    for (auto it = path_.rbegin(); it != path_.rend(); ++it) {
      if (it->length == 1) {
        PutSymbol(text_[p]);
      } else {
        PutSymbol(it->length + 253);
        const PositionCode& code = kPositionCodes[(it->distance - 1) >> 6];
        bits_.Put(code.code, code.length);
        bits_.Put((it->distance - 1) & 63, 6);
      }
      p += it->length;
    }
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
  std::array<Match, kMaxMatch> matches_;
  std::array<std::uint8_t, kSymbols> symbolBits_;
  std::array<std::uint32_t, kBlock + 1> bits_to_;
  std::array<Match, kBlock + 1> step_;
  std::vector<Match> path_;
};

}  // namespace

std::vector<std::uint8_t> LzhEncode(const std::uint8_t* data, std::size_t size, const Progress& progress) {
  return Encoder(data, size).Run(progress);
}

}  // namespace hzpack
