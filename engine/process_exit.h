// The program's immediate end: the user's abort of the install ends the
// process on the spot, without clean-up and without returning.
#pragma once

// The exit code of an install the user cancelled ("Abbrechen" in the retry
// question).
constexpr unsigned kExitCancelled = 2;

[[noreturn]] void EndProgramAtOnce(unsigned exitCode);

namespace seam {
// For tests only: called with the exit code instead of ending the process. It
// must not return (a test's replacement throws); if it does, the process ends
// all the same. nullptr restores the real end.
void ReplaceProcessExit(void (*exit)(unsigned exitCode));
}  // namespace seam
