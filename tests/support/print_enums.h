// GoogleTest prints an enumeration it knows nothing of as its bytes
// ("4-byte object <01-00 00-00>"); these give a failed comparison the names.
#pragma once

#include "engine/install_plan.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"
#include "wizard/install_dir.h"

#include <cstddef>
#include <ostream>

// names: the enumerators in the order they are declared.
template <typename Enum, std::size_t N>
void PrintByName(Enum value, const char* const (&names)[N], std::ostream* out) {
  const auto index = static_cast<std::size_t>(value);
  if (index < N) *out << names[index];
  else *out << "(" << index << ")";
}

inline void PrintTo(ListedFilePlace v, std::ostream* out) {
  PrintByName(v, {"Elsewhere", "ProgramDir", "WindowsDir"}, out);
}
inline void PrintTo(PlannedFile::Step v, std::ostream* out) { PrintByName(v, {"Place", "Refuse"}, out); }
inline void PrintTo(FileTurn v, std::ostream* out) { PrintByName(v, {"Place", "KeepSample", "Refuse"}, out); }
inline void PrintTo(ProgramDirFate v, std::ostream* out) {
  PrintByName(v, {"Stays", "Goes", "KeepsUsersFiles"}, out);
}
inline void PrintTo(DirectoryVerdict v, std::ostream* out) {
  PrintByName(v, {"Accepted", "RootRefused", "CreationDeclined", "Unusable"}, out);
}
