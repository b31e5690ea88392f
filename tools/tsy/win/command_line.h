// The console's arguments as UTF-8, whatever the ANSI code page, so non-ASCII descriptions
// and paths reach tsy intact.
#pragma once

#include <string>
#include <vector>

namespace tessaly {

// The arguments after the program name of a Windows command line (CommandLineToArgvW rules).
std::vector<std::string> Utf8Arguments(const wchar_t* commandLine);

}  // namespace tessaly
