// The readable source of the help file: topics as titled sections of plain UTF-8 text.
//
//   = Title            a top-level topic
//   == Title           a sub-topic, under the top-level topic before it
//   (body lines)       the topic's text
//
// Body lines of one paragraph are joined with a space, so the source can be wrapped freely and
// the help window wraps the text to its own width. A blank line separates paragraphs. A line that
// begins with "- " or with a number and ". ", or that holds a TAB, is a line of its own (a list
// item or a table row); lines after it that begin with two spaces continue it. A list item's next
// line must be another item, such a continuation or blank: anything else is an error, as it would
// break the item mid-sentence. Leading and trailing
// blank lines of a topic are dropped. A backslash at the start of a line is removed, so "\= x" is
// body text "= x". Source lines may end in LF, CR LF or CR; output lines end in CR LF; text is
// stored as Windows-1252.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/help/help_file.h"

namespace tessaly::helpc {

struct CompileResult {
    std::vector<help::HelpTopic> topics;
    std::vector<std::string> errors;  // "name:line: what is wrong"; empty on success
};

// Appends the topics of one source file (`name` only labels the messages).
void CompileHelpSource(std::string_view utf8, std::string_view name, CompileResult& result);

// Checks the whole list: at least one topic, no title or text over the file's 65,535-byte limit.
void CheckHelpTopics(CompileResult& result);

}  // namespace tessaly::helpc
