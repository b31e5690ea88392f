// Code-page conversions and error texts for every program.
#include "win/text.h"

#include <algorithm>
#include <cstdio>

#include "win/handles.h"

namespace tessaly::win {
namespace {

std::wstring ToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n,
                        nullptr, nullptr);
    return bytes;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    return ToWide(CP_UTF8, utf8);
}
std::string WideToUtf8(std::wstring_view wide) {
    return FromWide(CP_UTF8, wide);
}
std::wstring AnsiToWide(std::string_view bytes) {
    return ToWide(CP_ACP, bytes);
}

std::string ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const LocalMemory held(buffer);
    std::wstring text = buffer ? buffer : L"";
    // The system's texts end in a line break, which has no place inside a sentence of ours.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    char number[32];
    std::snprintf(number, sizeof number, " (error %lu)", static_cast<unsigned long>(error));
    return WideToUtf8(text) + number;
}

}  // namespace tessaly::win
