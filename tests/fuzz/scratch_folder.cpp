// The scratch folder and the small file helpers of the fuzz targets.
#include "tests/fuzz/scratch_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace tessaly::fuzz {
namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path path;
    Scratch() {
        std::string name = (fs::temp_directory_path() / "tessaly-fuzz-XXXXXX").string();
        if (!::mkdtemp(name.data())) Fail("cannot make a scratch folder in " + name);
        path = name;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

}  // namespace

const fs::path& EmptyScratchFolder() {
    static const Scratch scratch;
    for (const fs::directory_entry& e : fs::directory_iterator(scratch.path)) {
        fs::remove_all(e.path());
    }
    return scratch.path;
}

void WriteBytes(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    if (!f) Fail("cannot write " + path.string());
}

Bytes ReadBytes(const fs::path& path) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    if (!f) Fail("cannot read " + path.string());
    Bytes bytes(static_cast<std::size_t>(f.tellg()));
    f.seekg(0);
    f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) Fail("cannot read " + path.string());
    return bytes;
}

std::map<std::string, Bytes> FolderContents(const fs::path& folder) {
    std::map<std::string, Bytes> files;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) {
        if (e.is_regular_file()) {
            files.emplace(e.path().lexically_relative(folder).string(), ReadBytes(e.path()));
        }
    }
    return files;
}

void Fail(const std::string& message) {
    std::fprintf(stderr, "fuzz target: %s\n", message.c_str());
    std::abort();
}

}  // namespace tessaly::fuzz
