#include "system/program_end.h"

#include "system/run_log.h"
#include "system/seam.h"
#include "system/win.h"

#include <string>

ExitCode CompletedRunCode(bool filesGivenUp, bool restartNeeded) {
  if (filesGivenUp) return ecFilesGivenUp;
  return restartNeeded ? ecRestartNeeded : ecCompleted;
}

void LogEnd(ExitCode code) { LogRun("Ende, Exitcode " + std::to_string(static_cast<int>(code))); }

void EndProgram(ExitCode code) {
  LogEnd(code);
  if (seam::ProgramEndIntercepted()) throw seam::ProgramEnded{code};
  ExitProcess(static_cast<UINT>(code));
}
