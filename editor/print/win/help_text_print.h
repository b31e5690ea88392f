// Printing a help topic: its title and the page number at the top of every page, the text
// below in a fixed-pitch font, wrapped between the margins; two-sided when it takes more than
// one page and the printer can.
#pragma once

#include <string_view>

namespace tessaly::print {

// Asks for a printer and prints the topic; returns when the job is done or the choice was
// cancelled. Text lines end in CR LF. An empty text prints nothing.
void HelpTextPrint(std::string_view title, std::string_view text);

}  // namespace tessaly::print
