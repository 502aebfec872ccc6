// What the fuzz targets share: checking a property, a scratch folder on
// tmpfs, and a plain model of how Windows resolves an absolute path, against
// which the program's own path rules are judged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// Ends the run with the property's text, and what it was held against,
// when it does not hold.
void Check(bool ok, const char* what, const std::string& against = "");

// A private folder on tmpfs with a trailing "/", made on first use and removed
// with its files when the fuzzer ends. fuzz/run-fuzz.sh puts it inside a
// folder of its own (KV_FUZZ_SCRATCH), which it removes even after a crash.
const std::string& ScratchDir();
// The names in a folder, "." and ".." left out.
std::vector<std::string> EntriesIn(const std::string& dir);
std::vector<std::uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The components of an absolute path ("C:\..." or "C:/...") as Windows
// resolves it, lower case (ASCII): empty components and "." dropped, ".."
// going up, trailing dots and blanks trimmed, a stream (":name") dropped,
// and a component of dots and blanks alone taken to go up, the farthest any
// system reads it. Empty for anything but an absolute path with a drive.
std::vector<std::string> ResolvedPath(const std::string& path);
// True when path resolves to something strictly below folder.
bool ResolvesBelow(const std::string& path, const std::string& folder);
// True when path resolves to an entry directly in folder.
bool ResolvesDirectlyIn(const std::string& path, const std::string& folder);

}  // namespace fuzz
