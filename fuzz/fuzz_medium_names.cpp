// libFuzzer target for the name rules of hzpack make: any product file
// names (UTF-8, "/" between folders, one per line) beside DEMO.EXE. Every
// name make accepts, it lists so that the setup program reads back the names
// listed, in their order, and installs each under the name it has in the
// product; a name it cannot carry is refused with MakeError, never changed.
#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "engine/install_plan.h"
#include "fuzz/fuzz_support.h"
#include "system/code_page.h"
#include "system/setup_list.h"
#include "tools/hzpack/medium_maker.h"

#include <algorithm>

namespace {

using fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(data, data + size);
  std::vector<hzpack::MediumEntry> entries{hzpack::ShipAs("DEMO.EXE")};
  for (std::string::size_type start = 0; start <= text.size();) {
    const std::string::size_type end = std::min(text.find('\n', start), text.size());
    try {
      entries.push_back(hzpack::ShipAs(text.substr(start, end - start)));
    } catch (const hzpack::MakeError&) {
    }
    start = end + 1;
  }
  try {
    entries = hzpack::OrderEntries(entries, "");
  } catch (const hzpack::MakeError&) {
    return 0;
  }

  const InstallList list = ReadInstallList(ProfileOfText(hzpack::SetupListText("Demo", "C:\\Programme\\Demo", "", "", entries, {})));
  Check(list.programFiles.size() == entries.size(), "the list reads back as many names as make listed");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    Check(list.programFiles[i] == entries[i].listedName, "the list reads back as the names listed",
          entries[i].listedName + " as " + list.programFiles[i]);
    std::string product;
    Check(Utf8ToCp1252(entries[i].productName, product), "an accepted name is one code page 1252 writes");
    std::replace(product.begin(), product.end(), '/', '\\');
    Check(AsciiUpperCase(MapCompressedName(entries[i].listedName)) == AsciiUpperCase(product),
          "the setup program installs each file under its name in the product");
    Check(!LeavesDestination(entries[i].listedName), "the install plan accepts every name make lists");
  }
  return 0;
}
