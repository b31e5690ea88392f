// Code-page conversions and text measuring for the editor's windows.
#include "editor/win/win_text.h"

#include <algorithm>
#include <vector>

namespace tessaly::editor {
namespace {

std::wstring ToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n,
                        nullptr, nullptr);
    return bytes;
}

// The measuring calls see at most 255 characters, as the form's fields never hold more.
std::string_view Measured(std::string_view text) {
    return text.substr(0, 255);
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    return ToWide(CP_UTF8, utf8);
}
std::string WideToUtf8(std::wstring_view wide) {
    return FromWide(CP_UTF8, wide);
}
std::wstring Cp1252ToWide(std::string_view bytes) {
    return ToWide(1252, bytes);
}
std::string WideToCp1252(std::wstring_view wide) {
    return FromWide(1252, wide);
}
std::wstring AnsiToWide(std::string_view bytes) {
    return ToWide(CP_ACP, bytes);
}

std::string GetItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(item);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(item, wide.data(), length + 1);
    wide.resize(static_cast<std::size_t>(std::max(got, 0)));
    return WideToCp1252(wide);
}

void SetItemText(HWND dialog, int id, std::string_view cp1252) {
    SetDlgItemTextW(dialog, id, Cp1252ToWide(cp1252).c_str());
}

int TextWidth(HDC dc, std::string_view text) {
    const std::string buffer(Measured(text));
    SIZE size{};
    GetTextExtentPoint32A(dc, buffer.c_str(), static_cast<int>(buffer.size()), &size);
    return size.cx;
}

std::string FitTextToWidth(HDC dc, std::string_view text, int maxWidth) {
    const std::string buffer(Measured(text));
    int fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointA(dc, buffer.c_str(), static_cast<int>(buffer.size()), maxWidth, &fit,
                               nullptr, &size)) {
        return buffer;
    }
    return buffer.substr(0, static_cast<std::size_t>(std::clamp(fit, 0, int(buffer.size()))));
}

void DrawTextAt(HDC dc, int x, int y, std::string_view text) {
    TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

}  // namespace tessaly::editor
