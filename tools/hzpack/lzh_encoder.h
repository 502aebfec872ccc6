// LZHUF encoder for the media packer: the inverse of unit lzh's decoder.
// An optimal parse over hash chains, costed with the adaptive symbol code's
// current lengths; the decoder's own tree codes the symbols.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace hzpack {

// Called now and then with the number of input bytes encoded so far.
using Progress = std::function<void(std::size_t done)>;

// The coded bit stream for data, without any header; the last byte is padded
// with zero bits. The decoder, given data's size, expands it exactly.
std::vector<std::uint8_t> LzhEncode(const std::uint8_t* data, std::size_t size, const Progress& progress = {});

}  // namespace hzpack
