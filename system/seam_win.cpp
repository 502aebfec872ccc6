#include "system/seam.h"

#include <optional>

namespace {
std::optional<SimulatedWindowsVersion> g_version;
bool g_restrictedAccount = false;
bool g_skipUninstallPauses = false;
}  // namespace

void seam::SimulateWindowsVersion(const SimulatedWindowsVersion* version) {
  if (version)
    g_version = *version;
  else
    g_version.reset();
}

void seam::SimulateRestrictedAccount(bool restricted) { g_restrictedAccount = restricted; }

const SimulatedWindowsVersion* seam::SimulatedVersion() { return g_version ? &*g_version : nullptr; }

bool seam::RestrictedAccountSimulated() { return g_restrictedAccount; }

void seam::SkipUninstallPauses(bool skip) { g_skipUninstallPauses = skip; }

bool seam::UninstallPausesSkipped() { return g_skipUninstallPauses; }
