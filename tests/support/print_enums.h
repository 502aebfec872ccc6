// GoogleTest prints an enumeration it knows nothing of as its bytes
// ("4-byte object <01-00 00-00>"); these give a failed comparison the names.
#pragma once

#include "engine/install_plan.h"
#include "uninstall/listed_files.h"
#include "wizard/install_dir.h"

#include <ostream>

inline void PrintTo(ListedFilePlace place, std::ostream* out) {
  switch (place) {
    case ListedFilePlace::Elsewhere: *out << "Elsewhere"; return;
    case ListedFilePlace::ProgramDir: *out << "ProgramDir"; return;
    case ListedFilePlace::WindowsDir: *out << "WindowsDir"; return;
  }
  *out << "ListedFilePlace(" << static_cast<int>(place) << ")";
}

inline void PrintTo(PlannedFile::Step step, std::ostream* out) {
  switch (step) {
    case PlannedFile::Step::Place: *out << "Place"; return;
    case PlannedFile::Step::Refuse: *out << "Refuse"; return;
  }
  *out << "Step(" << static_cast<int>(step) << ")";
}

inline void PrintTo(DirectoryVerdict verdict, std::ostream* out) {
  switch (verdict) {
    case DirectoryVerdict::Accepted: *out << "Accepted"; return;
    case DirectoryVerdict::RootRefused: *out << "RootRefused"; return;
    case DirectoryVerdict::CreationDeclined: *out << "CreationDeclined"; return;
    case DirectoryVerdict::Unusable: *out << "Unusable"; return;
  }
  *out << "DirectoryVerdict(" << static_cast<int>(verdict) << ")";
}
