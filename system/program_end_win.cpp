#include "system/program_end.h"

#include "system/win.h"

namespace {
bool g_intercepted = false;
}

void EndProgram(ExitCode code) {
  if (g_intercepted) throw seam::ProgramEnded{code};
  ExitProcess(static_cast<UINT>(code));
}

void seam::InterceptProgramEnd(bool intercept) { g_intercepted = intercept; }
