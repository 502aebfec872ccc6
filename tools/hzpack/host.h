// What the packer needs of the system it runs on: host_posix.cpp for the
// native tool, host_win.cpp for hzpack.exe.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace hzpack {

// The folder the running tool lies in.
std::filesystem::path OwnDirectory();

// A command-line argument as UTF-8: the native tool's arguments are UTF-8
// already, hzpack.exe's come in the ANSI code page.
std::string ArgumentToUtf8(const std::string& argument);

bool IsTerminal(std::FILE* stream);

// Calls work(0) to work(count - 1), on every core where the build has
// threads (the Win32 build's thread model has none: one after the other
// there). work must be safe to run side by side; the first exception it
// raises is raised here once every call has ended, and no new call starts
// after it. Answers the number of cores used.
unsigned ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace hzpack
