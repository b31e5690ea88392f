// Where the notifier finds the data file. It reads no settings, so this is fixed at start-up.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

// documents + "\Quorvane\Tessaly\Tessaly.tsy" when that folder exists, else the file beside the
// program (programFile is the program's own full path). No folder is ever created. An empty
// documents path (no such folder on this system) goes straight to the program's folder, rather
// than to "\Quorvane\..." at the root of whatever drive is current.
std::wstring NotifierDataFilePath(std::wstring_view documents, std::wstring_view programFile,
                                  const std::function<bool(const std::wstring&)>& folderExists);

}  // namespace tessaly
