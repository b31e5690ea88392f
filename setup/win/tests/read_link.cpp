// Shortcuts read back through IShellLink and IPersistFile.
#include "setup/win/tests/read_link.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace tessaly::setup::test {

LinkInfo ReadLink(const std::filesystem::path& link) {
    LinkInfo info;
    CoInitialize(nullptr);
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(
                shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
                wchar_t text[MAX_PATH] = {};
                shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
                info.target = text;
                text[0] = 0;
                shellLink->GetWorkingDirectory(text, MAX_PATH);
                info.folder = text;
                text[0] = 0;
                shellLink->GetArguments(text, MAX_PATH);
                info.arguments = text;
                text[0] = 0;
                shellLink->GetDescription(text, MAX_PATH);
                info.description = text;
                shellLink->GetShowCmd(&info.show);
            }
            file->Release();
        }
        shellLink->Release();
    }
    CoUninitialize();
    return info;
}

}  // namespace tessaly::setup::test
