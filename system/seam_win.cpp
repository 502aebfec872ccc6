#include "system/seam.h"

#include <optional>

namespace {
std::optional<SimulatedWindowsVersion> g_version;
bool g_restrictedAccount = false;
int g_bitsPerPixel = 0;
std::optional<seam::SimulatedKeys> g_keys;
bool g_programEndIntercepted = false;
bool g_skipUninstallPauses = false;
}  // namespace

void seam::SimulateWindowsVersion(const SimulatedWindowsVersion* version) {
  g_version = version ? std::optional<SimulatedWindowsVersion>(*version) : std::nullopt;
}

void seam::SimulateRestrictedAccount(bool restricted) { g_restrictedAccount = restricted; }

void seam::SimulateScreenBitsPerPixel(int bitsPerPixel) { g_bitsPerPixel = bitsPerPixel; }

void seam::SimulateKeysAtStart(const SimulatedKeys* keys) {
  g_keys = keys ? std::optional<SimulatedKeys>(*keys) : std::nullopt;
}

void seam::InterceptProgramEnd(bool intercept) { g_programEndIntercepted = intercept; }

const SimulatedWindowsVersion* seam::SimulatedVersion() { return g_version ? &*g_version : nullptr; }

bool seam::RestrictedAccountSimulated() { return g_restrictedAccount; }

int seam::SimulatedBitsPerPixel() { return g_bitsPerPixel; }

const seam::SimulatedKeys* seam::SimulatedKeysAtStart() { return g_keys ? &*g_keys : nullptr; }

bool seam::ProgramEndIntercepted() { return g_programEndIntercepted; }

void seam::SkipUninstallPauses(bool skip) { g_skipUninstallPauses = skip; }

bool seam::UninstallPausesSkipped() { return g_skipUninstallPauses; }
