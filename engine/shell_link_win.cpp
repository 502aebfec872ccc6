#include "engine/shell_link.h"

#include "system/ascii_case.h"
#include "system/helpers.h"
#include "system/handles.h"

namespace {

// IPersistFile takes the link's path in UTF-16, in a buffer of this many
// characters: a link path has at most 259.
constexpr int kWidePathChars = 260;
// And IShellLinkA::GetPath hands the target back through one of this size.
constexpr int kTargetChars = 260;

// False when the path does not fit; the buffer is then not to be used.
bool ToWidePath(const std::string& path, WCHAR (&wide)[kWidePathChars]) {
  return ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, kWidePathChars) != 0;
}

kv::ComPtr<IShellLinkA> NewShellLink() {
  kv::ComPtr<IShellLinkA> link;
  ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                     reinterpret_cast<void**>(link.Receive()));
  return link;
}

kv::ComPtr<IPersistFile> PersistFileOf(IShellLinkA* link) {
  kv::ComPtr<IPersistFile> file;
  if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive())) != S_OK) file.Reset();
  return file;
}

}  // namespace

void CreateShellLink(const std::string& target, const std::string& description, const std::string& linkPath,
                     const std::string& workingDir, int showCommand) {
  const kv::ComScope com;
  const kv::ComPtr<IShellLinkA> link = NewShellLink();
  if (!link) return;
  const kv::ComPtr<IPersistFile> file = PersistFileOf(link.Get());
  if (!file) return;
  WCHAR widePath[kWidePathChars];
  if (FAILED(link.Get()->SetPath(target.c_str())) || FAILED(link.Get()->SetDescription(description.c_str())) ||
      FAILED(link.Get()->SetShowCmd(showCommand)) || FAILED(link.Get()->SetWorkingDirectory(workingDir.c_str())) ||
      !ToWidePath(linkPath, widePath))
    return;
  file.Get()->Save(widePath, TRUE);
  file.Get()->SaveCompleted(widePath);
}

std::string GetShellLinkTarget(const std::string& linkPath) {
  if (AsciiUpperCase(ExtractFileExt(linkPath)) != ".LNK") return "NOT a shortuct by extension!";
  const kv::ComScope com;
  const kv::ComPtr<IShellLinkA> link = NewShellLink();
  if (!link) return {};
  const kv::ComPtr<IPersistFile> file = PersistFileOf(link.Get());
  WCHAR widePath[kWidePathChars];
  if (!file || !ToWidePath(linkPath, widePath)) return {};
  file.Get()->Load(widePath, STGM_READ);
  char target[kTargetChars] = {};
  WIN32_FIND_DATAA found;
  link.Get()->GetPath(target, kTargetChars, &found, SLGP_UNCPRIORITY);
  return target;
}
