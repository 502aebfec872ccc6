// hzpack check: a distribution medium against what the setup program will
// make of it. Reads the medium's Setup.lst through the program's own list
// reading, works out the whole install with the program's own install plan,
// decodes every compressed file completely, and reports one line per
// finding:
//
//   error: WHERE: WHAT     the install fails, places a wrong or damaged file,
//                          or stops an automatic install
//   warning: WHERE: WHAT   it installs, but not as the vendor most likely meant
//
// WHERE is a file's name as listed or "[Section] Key".
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace hzpack {

// What decoding one compressed file completely found; "" when it is sound.
// Every fault the setup program refuses (or that would install a wrong
// file) is one: no "!HZL", a header cut short, a negative size, coded data
// cut short, a stream that decodes to another size than its header says,
// and bytes left over after the coded stream.
std::string CompressedFileFault(const std::vector<std::uint8_t>& file);

// Checks the medium in directory medium, writes the findings (and with plan
// the install as it will happen) to out. 0 when no error was found, 1 when
// one was.
int CheckMedium(const std::string& medium, std::ostream& out, bool plan);

}  // namespace hzpack
