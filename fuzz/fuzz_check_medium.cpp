// libFuzzer target for hzpack check on a whole medium: a sound medium whose
// one compressed file, DEMO.EX_, is the input. The check passes exactly where
// the expansion turns the file into as many bytes as its header says and the
// file has nothing after the coded stream (without its last byte it would
// not expand): it accepts exactly the streams the setup program decodes.
#include "decompress/compress.h"
#include "fuzz/fuzz_support.h"
#include "tools/hzpack/check.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

using fuzz::Check;

const char kList[] =
    "[General]\r\nName=Demo\r\ndefaultPath=C:\\Programme\\Demo\r\n"
    "[StartMenu]\r\nFolder=Demo\r\n[Group]\r\nName=Demo\r\n"
    "[programfiles]\r\n1=DEMO.EX_\r\n"
    "[Items]\r\nDEMO.EXE=Demo\r\nUninstal.exe=Programm entfernen\r\n";

std::vector<std::uint8_t> Text(const char* text) { return std::vector<std::uint8_t>(text, text + std::strlen(text)); }

// The expanded size, or -1 where Expand fails.
long long Expanded(const std::string& dir, const std::vector<std::uint8_t>& file) {
  InFileName = dir + "in";
  OutFileName = dir + "out";
  fuzz::WriteFile(InFileName, file);
  const bool expanded = Expand() == 1;
  const long long size = expanded ? static_cast<long long>(fuzz::ReadFile(OutFileName).size()) : -1;
  std::remove(InFileName.c_str());
  std::remove(OutFileName.c_str());
  return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& dir = fuzz::ScratchDir();
  static const bool medium = [&dir] {
    fuzz::WriteFile(dir + "Setup.lst", Text(kList));
    fuzz::WriteFile(dir + "SETUP.EXE", Text("MZ"));
    fuzz::WriteFile(dir + "Vertrag.Txt", Text("Vertrag"));
    return true;
  }();
  static_cast<void>(medium);
  const std::vector<std::uint8_t> file(data, data + size);
  fuzz::WriteFile(dir + "DEMO.EX_", file);
  std::ostringstream findings;
  const bool passed = hzpack::CheckMedium(dir, findings, false) == 0;

  bool decodes = size >= kHzlHeaderSize;
  if (decodes) {
    const std::uint32_t stored = data[4] | data[5] << 8 | data[6] << 16 | static_cast<std::uint32_t>(data[7]) << 24;
    decodes = Expanded(dir, file) == static_cast<long long>(stored) &&
              Expanded(dir, {data, data + size - 1}) < 0;
  }
  if (passed != decodes) std::fprintf(stderr, "%s", findings.str().c_str());
  Check(passed == decodes, "hzpack check accepts exactly the streams the setup program decodes");
  return 0;
}
