// Runs a fuzz target once over each input it is given, so the normal test build proves every
// seed and every input that ever failed still passes, under whatever sanitizers the tree has.
//   <target> PATH...   (a file, or a folder whose files are read, sub-folders included)
// A folder that does not exist holds no inputs; no inputs at all is a failure.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path given = argv[i];
        if (fs::is_directory(given)) {
            for (const fs::directory_entry& e : fs::recursive_directory_iterator(given)) {
                if (e.is_regular_file()) inputs.push_back(e.path());
            }
        } else if (fs::exists(given)) {
            inputs.push_back(given);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        // Named first, so a crash shows which input caused it.
        std::printf("%s\n", input.c_str());
        std::fflush(stdout);
        std::ifstream f(input, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(f), {}};
        if (!f.good() && !f.eof()) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 1;
        }
        // An input of its own size, so reading past it is caught.
        std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
        LLVMFuzzerTestOneInput(exact.data(), exact.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
