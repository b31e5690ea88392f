// What both file layers share: the names of a save's temporary files.
#include "core/file_io.h"

#include <algorithm>

namespace tessaly {
namespace {

constexpr std::string_view kSavingSuffix = ".saving";

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::filesystem::path SaveTemporaryName(const std::filesystem::path& target, std::uint64_t process,
                                        std::uint64_t count) {
    std::filesystem::path temp = target;
    temp +=
        "." + std::to_string(process) + "-" + std::to_string(count) + std::string(kSavingSuffix);
    return temp;
}

std::optional<std::string> SaveTemporaryTarget(std::string_view name) {
    // <target>.<digits>-<digits>.saving, compared without regard to case as Windows names are.
    if (name.size() <= kSavingSuffix.size()) return std::nullopt;
    std::string_view rest = name.substr(0, name.size() - kSavingSuffix.size());
    const std::string_view suffix = name.substr(rest.size());
    if (!std::equal(
            suffix.begin(), suffix.end(), kSavingSuffix.begin(), kSavingSuffix.end(),
            [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; })) {
        return std::nullopt;
    }
    const std::size_t dot = rest.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    const std::string_view numbers = rest.substr(dot + 1);
    const std::size_t dash = numbers.find('-');
    if (dash == std::string_view::npos || !AllDigits(numbers.substr(0, dash)) ||
        !AllDigits(numbers.substr(dash + 1))) {
        return std::nullopt;
    }
    return std::string(rest.substr(0, dot));
}

}  // namespace tessaly
