#include "engine/compressed_name.h"

#include "system/ascii_case.h"

#include "decompress/compress.h"
#include "system/file_io.h"
#include "system/helpers.h"

namespace {

struct ExtensionRule {
  const char* pattern;
  const char* installed;
};

// Tested in order, the first match wins. The ".DO_" files have one exception
// ahead of them: the file "kvx-ww8.do_" is a document, the others templates.
constexpr ExtensionRule kRulesBeforeDocument[] = {
    {".EX_", ".EXE"}, {".HL_", ".HLP"}, {".CH_", ".CHM"}, {".DL_", ".DLL"},
    {".BI_", ".BIN"}, {".RE_", ".RES"}, {".VB_", ".VBX"}, {".RP_", ".RPT"},
};
constexpr const char* kDocumentName = "kvx-ww8.do_";
constexpr const char* kDocumentExtension = ".DOC";
constexpr ExtensionRule kRulesAfterDocument[] = {
    {".DO_", ".DOT"}, {".HD_", ".HDB"}, {".EP_", ".EPF"}, {".DA_", ".DAT"}, {".JP_", ".JPG"},
    {".RT_", ".RTF"}, {".WA_", ".WAV"}, {".W_", ".WB"},   {".TX_", ".TXT"},
};

// "Contains" as the table states it; an extension holds one dot, its first
// character, so this is a prefix test in effect.
const char* FindRule(const ExtensionRule* first, const ExtensionRule* last, const std::string& ext) {
  for (; first != last; ++first) {
    if (ext.find(first->pattern) != std::string::npos) return first->installed;
  }
  return nullptr;
}

const char* InstalledExtension(const std::string& name) {
  const std::string ext = AsciiUpperCase(ExtractFileExt(name));
  if (const char* found = FindRule(std::begin(kRulesBeforeDocument), std::end(kRulesBeforeDocument), ext)) {
    return found;
  }
  if (AsciiLowerCase(name).find(kDocumentName) != std::string::npos) return kDocumentExtension;
  return FindRule(std::begin(kRulesAfterDocument), std::end(kRulesAfterDocument), ext);
}

}  // namespace

std::string MapCompressedName(const std::string& name) {
  const char* installed = InstalledExtension(name);
  return installed ? ChangeFileExt(name, installed) : name;
}

bool IsCompressedSource(const std::string& sourceName) {
  const std::string ext = ExtractFileExt(sourceName);
  return !ext.empty() && ext.back() == '_';
}

InstallFilePlan PlanInstallFile(const std::string& sourceName, const std::string& targetName,
                                const std::string& sourceDir, const std::string& targetDir,
                                const std::optional<std::uint32_t>& checksum) {
  return {AddBackslash(sourceDir) + sourceName, AddBackslash(targetDir) + MapCompressedName(targetName),
          IsCompressedSource(sourceName), checksum};
}

bool ExpandCompressedFile(const std::string& source, const std::string& target,
                          const std::optional<std::uint32_t>& checksum) {
  InFileName = source;
  OutFileName = target;
  return Expand(checksum) != -1;
}

bool InstallFileContent(const InstallFilePlan& plan) {
  return plan.expand ? ExpandCompressedFile(plan.sourcePath, plan.targetPath, plan.checksum)
                     : kv::CopyFileOver(plan.sourcePath, plan.targetPath, plan.checksum);
}
