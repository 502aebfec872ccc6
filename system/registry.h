// Registry access as the program uses it: keys under HKEY_LOCAL_MACHINE,
// opened with full access where the program writes or deletes, for reading
// where it only looks something up.
#pragma once

#include "system/handles.h"

#include <string>

// Opens (or, with create, creates) HKEY_LOCAL_MACHINE\subkey with full access.
// An empty result means the key could not be had; GetLastError tells why.
kv::RegKey OpenMachineKey(const std::string& subkey, bool create);
// Opens HKEY_LOCAL_MACHINE\subkey for reading only: a look-up creates no
// key and needs no more than the right to read, which every account has.
kv::RegKey OpenMachineKeyToRead(const std::string& subkey);
// Opens parent\subkey with the given access; empty when it cannot be had.
kv::RegKey OpenKey(HKEY parent, const std::string& subkey, REGSAM access);
// A string value (REG_SZ or REG_EXPAND_SZ, unexpanded); "" when absent.
std::string ReadRegString(HKEY key, const std::string& name);
// Writes a REG_SZ value; false when the system refuses.
bool WriteRegString(HKEY key, const std::string& name, const std::string& value);
// Writes a REG_DWORD value; false when the system refuses.
bool WriteRegDword(HKEY key, const std::string& name, unsigned long value);
