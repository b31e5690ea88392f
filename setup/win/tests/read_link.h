// What a shortcut (.lnk) file holds, read back through the shell for the installer's tests.
#pragma once

#include <filesystem>
#include <string>

namespace tessaly::setup::test {

struct LinkInfo {
    std::wstring target, folder, arguments, description;
    int show = -1;  // SW_ value; -1 when the link could not be read
};

// Empty texts when the file is missing or not a shortcut.
LinkInfo ReadLink(const std::filesystem::path& link);

}  // namespace tessaly::setup::test
