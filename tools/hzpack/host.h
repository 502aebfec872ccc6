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

// A file's name as the setup program's ANSI calls see it (code page 1252):
// on Linux the name read as UTF-8, as hzpack make writes it, and "" for a
// name that is not UTF-8 or has a character the code page lacks.
std::string NameAsListed(const std::filesystem::path& name);

// Code page 1252 text as the terminal shows it: UTF-8 on Linux; the
// console's code page for hzpack.exe writing to a console, else unchanged.
std::string TerminalText(const std::string& cp1252);

// Calls work(0) to work(count - 1), on every core where the build has
// threads (the Win32 build's thread model has none: one after the other
// there). work must be safe to run side by side; the first exception it
// raises is raised here once every call has ended, and no new call starts
// after it. Answers the number of cores used.
unsigned ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace hzpack
