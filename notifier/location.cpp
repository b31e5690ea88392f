#include "notifier/location.h"

namespace tessaly {

std::wstring NotifierDataFilePath(std::wstring_view documents, std::wstring_view programFile,
                                  const std::function<bool(const std::wstring&)>& folderExists) {
    if (!documents.empty()) {
        std::wstring folder(documents);
        if (folder.back() != L'\\') folder += L'\\';  // a drive root comes with its backslash
        folder += L"Quorvane\\Tessaly\\";
        if (folderExists(folder)) return folder + L"Tessaly.tsy";
    }
    const std::size_t slash = programFile.find_last_of(L"\\/");
    const std::wstring_view programFolder =
        slash == std::wstring_view::npos ? std::wstring_view{} : programFile.substr(0, slash + 1);
    return std::wstring(programFolder) + L"Tessaly.tsy";
}

}  // namespace tessaly
