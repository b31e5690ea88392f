// Prints one topic of a help file on the test printer into a PostScript file, so its pages can
// be looked at (help-printout.sh beside this file renders them).
//   print_help_topic.exe HELP_FILE OUTPUT.ps [TOPIC]
// TOPIC counts from 1; without it the topic with the longest text is printed; 0 prints every
// topic, each title over its text, as one long text titled "Tessaly Help".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "editor/help/help_file.h"
#include "editor/print/tests/printout.h"
#include "editor/print/win/help_text_print.h"
#include "editor/print/win/print_object.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: print_help_topic.exe HELP_FILE OUTPUT.ps [TOPIC]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    const tessaly::help::HelpFile file = tessaly::help::ReadHelpFile(bytes);
    if (file.topics.empty()) {
        std::fprintf(stderr, "print_help_topic: no topics in %s\n", argv[1]);
        return 1;
    }
    std::size_t topic = 0;
    tessaly::help::HelpTopic all{"", "Tessaly Help", 0};
    if (argc == 4 && std::atoi(argv[3]) == 0) {
        for (const tessaly::help::HelpTopic& each : file.topics) {
            all.text += each.title + "\r\n\r\n" + each.text + "\r\n\r\n";
        }
    } else if (argc == 4) {
        topic = static_cast<std::size_t>(std::atoi(argv[3])) - 1;
        if (topic >= file.topics.size()) {
            std::fprintf(stderr, "print_help_topic: no topic %s\n", argv[3]);
            return 2;
        }
    } else {
        for (std::size_t i = 1; i < file.topics.size(); ++i) {
            if (file.topics[i].text.size() > file.topics[topic].text.size()) topic = i;
        }
    }

    const tessaly::win::Replaced printer =
        tessaly::print::test::AnswerPrintDialogsWith(tessaly::print::test::kDuplexPrinter);
    const tessaly::win::Replaced into = tessaly::print::test::PrintInto(argv[2]);
    const tessaly::help::HelpTopic& chosen = all.text.empty() ? file.topics[topic] : all;
    tessaly::print::HelpTextPrint(chosen.title, chosen.text);
    std::printf("\"%s\", %zu characters\n", chosen.title.c_str(), chosen.text.size());
    return 0;
}
