// Any byte string as help source, one or more files (NUL bytes separate them), compiled as the
// build compiles editor/help/content. A source it refuses gets messages that name a file and a
// line of it; a source it accepts becomes a help file that the help window reads back topic for
// topic, with every title and every visible character of the source in it and line breaks only
// as CR LF; compiling costs memory in proportion to the source.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.h"
#include "editor/help/help_file.h"
#include "tests/fuzz/heap_watch.h"
#include "tests/fuzz/scratch_folder.h"
#include "tools/helpc/help_source.h"

namespace {

using namespace tessaly;
using fuzz::Require;

// The lines of the source as strings and the topics' texts, each a little more than the source.
constexpr std::size_t kCompileMultiple = 16;
constexpr std::size_t kFixedBytes = 64 << 10;

struct Source {
    std::string name;
    std::string_view text;
};

// Lines end in LF, CR LF or CR.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

std::string WithoutBlanks(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
    }
    return out;
}

// A message about a source names it and a line it has; the checks of the whole list name a
// topic instead.
bool NamesAPlace(const std::string& message, const std::vector<Source>& sources) {
    if (message.starts_with("topic \"") || message.starts_with("no topics")) return true;
    for (const Source& s : sources) {
        const std::string prefix = s.name + ":";
        if (!message.starts_with(prefix)) continue;
        const std::size_t colon = message.find(": ", prefix.size());
        if (colon == std::string::npos) return false;
        const std::string number = message.substr(prefix.size(), colon - prefix.size());
        if (number.empty() || number.size() > 9 ||
            !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        const std::size_t line = std::stoul(number);
        return line >= 1 && line <= std::max<std::size_t>(Lines(s.text).size(), 1);
    }
    return false;
}

// Only CR LF pairs break lines; a title is one line.
bool BreaksOnlyAsCrLf(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<Source> sources;
    for (std::size_t at = 0;;) {
        const std::size_t end = input.find('\0', at);
        sources.push_back({std::to_string(sources.size() + 1) + ".txt",
                           input.substr(at, end == std::string_view::npos ? end : end - at)});
        if (end == std::string_view::npos) break;
        at = end + 1;
    }

    helpc::CompileResult result;
    {
        fuzz::HeapWatch heap;
        for (const Source& s : sources) helpc::CompileHelpSource(s.text, s.name, result);
        helpc::CheckHelpTopics(result);
        heap.Require(kCompileMultiple * size + kFixedBytes, "compiling the help source");
    }
    for (const std::string& e : result.errors) {
        Require(NamesAPlace(e, sources), "a message that names no file and line of it");
    }
    if (!result.errors.empty()) return 0;

    // Accepted: the help file it makes reads back as compiled.
    const std::vector<std::uint8_t> file = help::WriteHelpFile(result.topics);
    const help::HelpFile read = help::ReadHelpFile(file);
    Require(read.status == help::HelpFileStatus::kOk, "a compiled help file has no content");
    Require(read.topics.size() == result.topics.size(), "a compiled help file reads other topics");
    for (std::size_t i = 0; i < read.topics.size(); ++i) {
        const help::HelpTopic &got = read.topics[i], &made = result.topics[i];
        Require(got.text == made.text && got.title == made.title && got.level == made.level,
                "a compiled help file reads another topic");
        Require(made.level == 0 || made.level == 1, "a topic neither top level nor sub-topic");
        Require(!made.title.empty(), "a topic without a title");
        Require(made.title.find_first_of("\r\n") == std::string::npos, "a title of two lines");
        Require(BreaksOnlyAsCrLf(made.text), "a line break other than CR LF in a text");
        Require(!made.text.starts_with("\r\n") && !made.text.ends_with("\r\n"),
                "a text that begins or ends with a blank line");
    }

    // Nothing visible is lost or made up: the headings are the titles, and the rest of the
    // source, less the backslash that lets a line begin with "=", is the texts.
    std::string titles, body, compiledTitles, compiledBody;
    for (const Source& s : sources) {
        for (std::string_view line : Lines(s.text)) {
            if (line.starts_with("=")) {
                titles += WithoutBlanks(line.substr(line.starts_with("==") ? 2 : 1));
                titles += '\n';
            } else {
                if (line.starts_with("\\")) line.remove_prefix(1);
                body += WithoutBlanks(line);
            }
        }
    }
    for (const help::HelpTopic& t : result.topics) {
        compiledTitles += WithoutBlanks(Cp1252ToUtf8(t.title)) + '\n';
        compiledBody += WithoutBlanks(Cp1252ToUtf8(t.text));
    }
    Require(compiledTitles == titles, "the titles are not the headings");
    Require(compiledBody == body, "the texts are not the source's body lines");
    return 0;
}
