#include "system/program_end.h"

#include "system/seam.h"
#include "system/win.h"

void EndProgram(ExitCode code) {
  if (seam::ProgramEndIntercepted()) throw seam::ProgramEnded{code};
  ExitProcess(static_cast<UINT>(code));
}
