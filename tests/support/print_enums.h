// GoogleTest prints an enumeration it knows nothing of as its bytes
// ("4-byte object <01-00 00-00>"); these give a failed comparison the names.
#pragma once

#include "engine/install_plan.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"
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

inline void PrintTo(FileTurn turn, std::ostream* out) {
  switch (turn) {
    case FileTurn::Place: *out << "Place"; return;
    case FileTurn::KeepSample: *out << "KeepSample"; return;
    case FileTurn::Refuse: *out << "Refuse"; return;
  }
  *out << "FileTurn(" << static_cast<int>(turn) << ")";
}

inline void PrintTo(ProgramDirFate fate, std::ostream* out) {
  switch (fate) {
    case ProgramDirFate::Goes: *out << "Goes"; return;
    case ProgramDirFate::KeepsUsersFiles: *out << "KeepsUsersFiles"; return;
    case ProgramDirFate::Stays: *out << "Stays"; return;
  }
  *out << "ProgramDirFate(" << static_cast<int>(fate) << ")";
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
