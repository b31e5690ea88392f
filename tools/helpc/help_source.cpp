// Turning the help source into topics: headings, paragraph joining, Windows-1252 conversion.
#include "tools/helpc/help_source.h"

#include <cstdint>
#include <cstdio>

#include "core/codepage.h"

namespace tessaly::helpc {
namespace {

struct Line {
    std::string text;  // UTF-8, no line break
    int number = 0;
};

// Lines end in LF, CR LF or a CR alone (as some editors still save): a CR left inside a line
// would run every later line of the file into a title or a text.
std::vector<Line> SplitLines(std::string_view s) {
    std::vector<Line> lines;
    int number = 0;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t end = s.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = s.size();
        lines.push_back({std::string(s.substr(pos, end - pos)), ++number});
        pos = end + (s.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

std::string Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

std::string Where(std::string_view name, int line) {
    return std::string(name) + ":" + std::to_string(line) + ": ";
}

// UTF-8 to Windows-1252, one character at a time, so that a character the code page lacks is an
// error naming it instead of a silent "?".
bool ToCp1252(std::string_view utf8, std::string& out, std::string& error) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<std::uint8_t>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        const std::size_t n = b < 0x80             ? 1
                              : (b & 0xE0) == 0xC0 ? 2
                              : (b & 0xF0) == 0xE0 ? 3
                              : (b & 0xF8) == 0xF0 ? 4
                                                   : 0;
        if (n == 0 || i + n > utf8.size()) {
            error = "not valid UTF-8";
            return false;
        }
        const std::string_view ch = utf8.substr(i, n);
        const std::string byte = Utf8ToCp1252(ch);
        // A valid character that comes back as '?' (other than '?' itself) has no place in the
        // code page; a malformed one does not survive the round trip.
        if (byte.size() != 1 || (byte == "?" && ch != "?") || Cp1252ToUtf8(byte) != ch) {
            if (byte == "?" && ch != "?" && n > 1) {
                char32_t c = b & (0x7F >> n);
                for (std::size_t k = 1; k < n; ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
                char code[16];
                std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
                error = std::string("the character ") + std::string(ch) + " (" + code +
                        ") has no place in Windows-1252";
            } else {
                error = "not valid UTF-8";
            }
            return false;
        }
        out += byte;
        i += n;
    }
    return true;
}

// A list item: "- ", or a number and ". ".
bool IsListItem(std::string_view line) {
    if (line.starts_with("- ")) return true;
    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    return digits > 0 && line.substr(digits).starts_with(". ");
}

// A list item or a table row (it holds a TAB).
bool IsOwnLine(std::string_view line) {
    return IsListItem(line) || line.find('\t') != std::string_view::npos;
}

}  // namespace

void CompileHelpSource(std::string_view utf8, std::string_view name, CompileResult& result) {
    enum class Previous { kBlank, kParagraph, kListItem, kTableRow };
    std::vector<std::string> body;  // output lines of the current topic, UTF-8
    Previous previous = Previous::kBlank;
    bool inTopic = false;
    int topicLine = 0;
    std::string title;
    std::int32_t level = 0;

    auto finish = [&] {
        if (!inTopic) return;
        while (!body.empty() && body.back().empty()) body.pop_back();
        std::size_t first = 0;
        while (first < body.size() && body[first].empty()) ++first;
        std::string text;
        for (std::size_t i = first; i < body.size(); ++i) {
            if (i > first) text += "\r\n";
            text += body[i];
        }
        help::HelpTopic topic;
        std::string error;
        if (!ToCp1252(title, topic.title, error) || !ToCp1252(text, topic.text, error)) {
            result.errors.push_back(Where(name, topicLine) + "topic \"" + title + "\": " + error);
        }
        topic.level = level;
        result.topics.push_back(std::move(topic));
        body.clear();
    };

    for (const Line& line : SplitLines(utf8)) {
        std::string_view s = line.text;
        if (s.starts_with("=")) {
            finish();
            level = s.starts_with("==") ? 1 : 0;
            title = Trim(s.substr(level == 0 ? 1 : 2));
            if (title.empty()) {
                result.errors.push_back(Where(name, line.number) + "a topic needs a title");
            }
            inTopic = true;
            topicLine = line.number;
            previous = Previous::kBlank;
            continue;
        }
        if (Trim(s).empty()) {
            if (inTopic) body.emplace_back();
            previous = Previous::kBlank;
            continue;
        }
        if (!inTopic) {
            result.errors.push_back(Where(name, line.number) +
                                    "text before the first topic title (a line starting \"= \")");
            inTopic = true;  // report once, go on checking the rest
            title = "(none)";
            topicLine = line.number;
        }
        if (s.starts_with("\\")) s.remove_prefix(1);
        const bool continuation = s.starts_with("  ") && previous != Previous::kBlank;
        // Unindented, it would stand as a paragraph of its own and break the item mid-sentence.
        if (previous == Previous::kListItem && !continuation && !IsOwnLine(s)) {
            result.errors.push_back(Where(name, line.number) +
                                    "this line continues the list item above: indent it by two "
                                    "spaces, or leave a blank line before a new paragraph");
        }
        if (continuation || (previous == Previous::kParagraph && !IsOwnLine(s))) {
            std::string rest = Trim(s);
            if (!rest.empty()) body.back() += " " + rest;
            continue;
        }
        // A line's own trailing blanks are noise; its leading TABs and blanks are layout.
        std::string kept(s.substr(0, s.find_last_not_of(' ') + 1));
        body.push_back(kept);
        previous = IsListItem(s)  ? Previous::kListItem
                   : IsOwnLine(s) ? Previous::kTableRow
                                  : Previous::kParagraph;
    }
    finish();
}

void CheckHelpTopics(CompileResult& result) {
    if (result.topics.empty()) result.errors.push_back("no topics: a help file needs at least one");
    for (const help::HelpTopic& t : result.topics) {
        for (const auto& [what, value] : {std::pair{"title", &t.title}, {"text", &t.text}}) {
            if (value->size() > help::kMaxHelpText) {
                result.errors.push_back(std::string("topic \"") +
                                        Cp1252ToUtf8(t.title.substr(0, 60)) + "\": its " + what +
                                        " is " + std::to_string(value->size()) +
                                        " bytes; a help file holds at most 65535");
            }
        }
    }
}

}  // namespace tessaly::helpc
