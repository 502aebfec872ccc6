// The Win32 file layer's replacement for systems without MoveFileExA
// (Windows 9x). ReplaceFilePath takes it there; it is declared for the tests,
// which run it on any Windows.
#pragma once

#include <string>

namespace kv {

// Puts from in place of to with MoveFileA alone: an earlier file at to is
// renamed aside, from is moved in, and only then is the earlier file
// deleted; if the move fails, it goes back to its name. Refuses a read-only
// target and a directory, as MoveFileExA does.
bool ReplaceByRenaming(const std::string& from, const std::string& to);

}  // namespace kv
