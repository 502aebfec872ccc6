// Compressed files on the medium: the installed name of a listed file, the
// choice between expanding and copying it, and the expansion itself.
//
// A compressed file is marked by a "_" in place of the last letter of its
// extension (".EX_" for ".EXE").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The name a file gets in the install directory: the extension of a
// compressed name is restored (in upper case; the rest keeps its case),
// anything else is returned unchanged. Works on bare names and on paths.
std::string MapCompressedName(const std::string& name);

// True when a file listed under this source name is expanded rather than
// copied: its extension is not empty and ends in "_".
bool IsCompressedSource(const std::string& sourceName);

// Where one listed file comes from and goes to, and how it gets there.
struct InstallFilePlan {
  std::string sourcePath;  // source directory + source name
  std::string targetPath;  // target directory + mapped target name
  bool expand;             // ExpandCompressedFile, else a plain copy
  std::optional<std::uint32_t> checksum = std::nullopt;  // the source's CRC-32, where the medium gives it
};

// Directories may come with or without a trailing backslash.
InstallFilePlan PlanInstallFile(const std::string& sourceName, const std::string& targetName,
                                const std::string& sourceDir, const std::string& targetDir,
                                const std::optional<std::uint32_t>& checksum = std::nullopt);

// True when target has been produced completely from the compressed source
// (which has the checksum, where one is given). Never raises. On failure a
// file that stood at target stays as it was.
bool ExpandCompressedFile(const std::string& source, const std::string& target,
                          const std::optional<std::uint32_t>& checksum = std::nullopt);

// Carries out a plan: expansion, or a plain copy; either replaces an earlier
// target only once the new file is complete and has the plan's checksum.
bool InstallFileContent(const InstallFilePlan& plan);
