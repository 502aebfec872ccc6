#include "tests/decompress/reference_lzh.h"

#include <cstring>

namespace reference {
namespace {

constexpr int N = 4096;                    // ring
constexpr int F = 60;                      // longest match
constexpr int THRESHOLD = 2;               // a match is longer than this
constexpr int N_CHAR = 256 - THRESHOLD + F;  // 314 symbols
constexpr int T = N_CHAR * 2 - 1;          // 627 nodes
constexpr int R = T - 1;                   // the root
constexpr unsigned MAX_FREQ = 0x8000;

class Decoder {
public:
  Decoder(const std::uint8_t* coded, std::size_t length) : in_(coded), length_(length) {}

  Decoded Run(std::int32_t size) {
    Decoded d;
    StartHuff();
    std::uint8_t text[N];
    std::memset(text, ' ', N - F);
    std::memset(text + N - F, 0, F);  // never read by a sound stream
    int r = N - F;
    for (std::int32_t count = 0; count < size;) {
      const int c = DecodeChar();
      if (c < 256) {
        d.output.push_back(static_cast<std::uint8_t>(c));
        text[r++] = static_cast<std::uint8_t>(c);
        r &= N - 1;
        ++count;
      } else {
        const int i = (r - DecodePosition() - 1) & (N - 1);
        const int j = c - 255 + THRESHOLD;
        for (int k = 0; k < j; ++k) {
          const std::uint8_t b = text[(i + k) & (N - 1)];
          d.output.push_back(b);
          text[r++] = b;
          r &= N - 1;
          ++count;
        }
      }
    }
    d.usedMissingBits = bitsTaken_ > 8 * static_cast<std::uint64_t>(length_);
    d.rebuilds = rebuilds_;
    return d;
  }

private:
  int NextByte() { return next_ < length_ ? in_[next_++] : 0; }

  void Refill() {
    while (getlen_ <= 8) {
      getbuf_ = static_cast<std::uint16_t>(getbuf_ | NextByte() << (8 - getlen_));
      getlen_ += 8;
    }
  }

  int GetBit() {
    Refill();
    const int bit = getbuf_ >> 15;
    getbuf_ = static_cast<std::uint16_t>(getbuf_ << 1);
    --getlen_;
    ++bitsTaken_;
    return bit;
  }

  int GetByte() {
    Refill();
    const int byte = getbuf_ >> 8;
    getbuf_ = static_cast<std::uint16_t>(getbuf_ << 8);
    getlen_ -= 8;
    bitsTaken_ += 8;
    return byte;
  }

  void StartHuff() {
    for (int i = 0; i < N_CHAR; ++i) {
      freq_[i] = 1;
      son_[i] = static_cast<std::uint16_t>(i + T);
      prnt_[i + T] = static_cast<std::uint16_t>(i);
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
      freq_[j] = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
      son_[j] = static_cast<std::uint16_t>(i);
      prnt_[i] = prnt_[i + 1] = static_cast<std::uint16_t>(j);
    }
    freq_[T] = 0xFFFF;
    prnt_[R] = 0;
  }

  void Reconst() {
    ++rebuilds_;
    int j = 0;
    for (int i = 0; i < T; ++i) {
      if (son_[i] >= T) {
        freq_[j] = static_cast<std::uint16_t>((freq_[i] + 1) / 2);
        son_[j] = son_[i];
        ++j;
      }
    }
    for (int i = 0, n = N_CHAR; n < T; i += 2, ++n) {
      const unsigned f = freq_[i] + freq_[i + 1];
      int k = n - 1;
      while (f < freq_[k]) --k;
      ++k;
      const std::size_t moved = static_cast<std::size_t>(n - k) * sizeof freq_[0];
      std::memmove(&freq_[k + 1], &freq_[k], moved);
      freq_[k] = static_cast<std::uint16_t>(f);
      std::memmove(&son_[k + 1], &son_[k], moved);
      son_[k] = static_cast<std::uint16_t>(i);
    }
    for (int i = 0; i < T; ++i) {
      const int k = son_[i];
      prnt_[k] = static_cast<std::uint16_t>(i);
      if (k < T) prnt_[k + 1] = static_cast<std::uint16_t>(i);
    }
  }

  void Update(int symbol) {
    if (freq_[R] == MAX_FREQ) Reconst();
    int c = prnt_[symbol + T];
    do {
      const unsigned k = ++freq_[c];
      int l = c + 1;
      if (k > freq_[l]) {
        while (k > freq_[++l]) {
        }
        --l;
        freq_[c] = freq_[l];
        freq_[l] = static_cast<std::uint16_t>(k);
        const int i = son_[c];
        prnt_[i] = static_cast<std::uint16_t>(l);
        if (i < T) prnt_[i + 1] = static_cast<std::uint16_t>(l);
        const int j = son_[l];
        son_[l] = static_cast<std::uint16_t>(i);
        prnt_[j] = static_cast<std::uint16_t>(c);
        if (j < T) prnt_[j + 1] = static_cast<std::uint16_t>(c);
        son_[c] = static_cast<std::uint16_t>(j);
        c = l;
      }
    } while ((c = prnt_[c]) != 0);
  }

  int DecodeChar() {
    int c = son_[R];
    while (c < T) c = son_[c + GetBit()];
    c -= T;
    Update(c);
    return c;
  }

  // The first 8 bits of a position select its upper 6 bits and the length
  // of their code, by the groups of the published table.
  static void PositionPrefix(int b, int& upper, int& length) {
    if (b < 0x20) {
      upper = 0, length = 3;
    } else if (b < 0x50) {
      upper = 1 + (b - 0x20) / 16, length = 4;
    } else if (b < 0x90) {
      upper = 4 + (b - 0x50) / 8, length = 5;
    } else if (b < 0xC0) {
      upper = 12 + (b - 0x90) / 4, length = 6;
    } else if (b < 0xF0) {
      upper = 24 + (b - 0xC0) / 2, length = 7;
    } else {
      upper = 48 + (b - 0xF0), length = 8;
    }
  }

  int DecodePosition() {
    int i = GetByte();
    int upper = 0, length = 0;
    PositionPrefix(i, upper, length);
    for (int j = length - 2; j > 0; --j) i = (i << 1) + GetBit();
    return upper << 6 | (i & 0x3F);
  }

  const std::uint8_t* in_;
  std::size_t length_;
  std::size_t next_ = 0;
  std::uint64_t bitsTaken_ = 0;
  std::uint16_t getbuf_ = 0;
  int getlen_ = 0;
  unsigned rebuilds_ = 0;
  std::uint16_t freq_[T + 1] = {};
  std::uint16_t son_[T] = {};
  std::uint16_t prnt_[T + N_CHAR] = {};
};

}  // namespace

Decoded LzhDecode(const std::uint8_t* coded, std::size_t length, std::int32_t size) {
  return Decoder(coded, length).Run(size);
}

}  // namespace reference
