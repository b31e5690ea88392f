#include "core/typed_number.h"

namespace tessaly {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without any of `chars` at either end.
std::string_view Trim(std::string_view text, std::string_view chars) {
    const std::size_t first = text.find_first_not_of(chars);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(chars) - first + 1);
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
    return Trim(text, " \t");
}

std::string_view TrimSpaces(std::string_view text) {
    return Trim(text, " ");
}

std::int64_t ReadLeadingNumber(std::string_view text, std::int64_t maxValue) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        // Stop growing once past the cap, so no run of digits can overflow.
        if (value <= maxValue) value = value * 10 + (text[i] - '0');
    }
    return value > maxValue ? maxValue : value;
}

std::int64_t ReadLeadingHundredths(std::string_view text, std::int64_t maxValue) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::int64_t whole = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (whole <= maxValue) whole = whole * 10 + (text[i] - '0');
    }
    if (whole > maxValue) return maxValue;
    // Fraction to three digits is enough to round to hundredths exactly.
    std::int64_t thousandths = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        int digits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
            if (digits < 3) thousandths = thousandths * 10 + (text[i] - '0');
        }
        for (; digits < 3; ++digits) thousandths *= 10;
    }
    std::int64_t value = whole * 100 + (thousandths + 5) / 10;
    return value > maxValue ? maxValue : value;
}

}  // namespace tessaly
