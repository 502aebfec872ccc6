// Rules hzpack check applies to a list and its texts beyond what the setup
// program's own functions decide: names a vendor most likely mistyped, and
// bytes a text page cannot show. Plain functions over values.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hzpack {

// The name of known (compared without regard to letter case) that name is
// most likely a mistake for: a German word for it, or one or two letters
// off (one for short names), a doubled or a swapped letter; "" for none.
std::string NearMiss(const std::string& name, const std::vector<std::string>& known);

// What the wizard's text page makes of a read-me or an agreement: "" when it
// shows it as it is; else why not, with the byte's line. A zero byte ends
// the text there; other control bytes (all below 32 but tab, line feed,
// carriage return and form feed) show as boxes or nothing. A text that is
// mostly such bytes is no text at all.
struct TextFault {
  bool cutShort = false;  // a zero byte: the rest of the text never shows
  std::string what;       // "" when sound
};
TextFault TextPageFault(const std::string& text);

// The line (from 1) of the character at offset.
std::size_t LineOf(const std::string& text, std::size_t offset);

}  // namespace hzpack
