// The install run that Next on the shortcut page starts.
#include "wizard/Faktion.h"

#include "system/Kv_tools.h"

void Tf_Aktion::InstallRun() {
  ShowPage(5, 6);
  ProcessMessages();
  SetModalResult(form::mrOK);
}
