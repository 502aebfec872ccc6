// The process-wide values.
#include "system/process_values.h"
#include "system/helpers.h"

bool AutoMode = false;
std::string ProgName;
std::string ShortcutName;
std::string DefaultPath;
std::string StartMenuFolder;
std::string GroupName;
bool MobileOption = false;
bool OnlyMobile = false;
std::string InstallPath;
std::string MainProgFile;
std::string OldGroup;
bool CopyErrors = false;
std::string UserProfileDir;
std::string ExeDir;
std::string GivenInstallDir;
bool AllUsersGiven = false;
bool SuppressMsgBoxes = false;
bool RestartNeeded = false;

const char* const ShortDateFormat = "dd.mm.yyyy";
const char* const ShortTimeFormat = "hh:mm";

void InitProcessValues() {
  ExeDir = AddBackslash(GetAppDir());
  CopyErrors = false;
}
