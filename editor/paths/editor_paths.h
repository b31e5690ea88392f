// The editor's own part of finding its files: its command line, the help file's name, and the
// folder of a path. Which data file it uses is decided by core/data_location.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/data_location.h"

namespace tessaly::editor {

// Arguments are separated by blanks; a quotation mark starts or ends a quoted stretch in which
// blanks belong to the argument, and the marks themselves are dropped.
std::vector<std::wstring> SplitArguments(std::wstring_view commandLine);
// The first argument, or empty when there is none.
std::wstring FirstArgument(std::wstring_view commandLine);

// Everything before the last backslash (or slash); empty when the path has none.
std::wstring FolderPart(std::wstring_view path);

}  // namespace tessaly::editor
