// helpc: compiles the help source files into the help file the help window reads.
//   helpc -o Tessaly.ahp SOURCE...      (sources in topic order)
//   helpc --list Tessaly.ahp            (prints the topic tree of a help file)
// Exit status: 0 done, 1 a file could not be read or written, 2 an error in the sources or usage.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "editor/help/help_file.h"
#include "tools/helpc/help_source.h"

namespace {

bool ReadFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes beside the target and renames over it, so a failed build never leaves half a file.
bool WriteFileWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) std::remove(temporary.c_str());
    return !error;
}

int List(const std::string& path) {
    std::string bytes;
    if (!ReadFile(path, bytes)) {
        std::cerr << "helpc: cannot read " << path << "\n";
        return 1;
    }
    const auto file = tessaly::help::ReadHelpFile(
        {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    if (file.status != tessaly::help::HelpFileStatus::kOk) {
        std::cerr << "helpc: " << path << " holds no topics\n";
        return 2;
    }
    for (const auto& t : file.topics) {
        std::cout << (t.level == 0 ? "" : "    ") << tessaly::Cp1252ToUtf8(t.title) << "  ("
                  << t.text.size() << " bytes)\n";
    }
    return 0;
}

int Usage() {
    std::cerr << "usage: helpc -o OUTPUT SOURCE...\n       helpc --list HELPFILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--list") return List(args[1]);
    if (args.size() < 3 || args[0] != "-o") return Usage();

    tessaly::helpc::CompileResult result;
    for (std::size_t i = 2; i < args.size(); ++i) {
        std::string source;
        if (!ReadFile(args[i], source)) {
            std::cerr << "helpc: cannot read " << args[i] << "\n";
            return 1;
        }
        tessaly::helpc::CompileHelpSource(source, args[i], result);
    }
    tessaly::helpc::CheckHelpTopics(result);
    if (!result.errors.empty()) {
        for (const std::string& e : result.errors) std::cerr << e << "\n";
        return 2;
    }
    if (!WriteFileWhole(args[1], tessaly::help::WriteHelpFile(result.topics))) {
        std::cerr << "helpc: cannot write " << args[1] << "\n";
        return 1;
    }
    return 0;
}
