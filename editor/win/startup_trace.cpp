// Start-up timestamps of the bench build.
#include "editor/win/startup_trace.h"

#ifdef TESSALY_STARTUP_TRACE
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace tessaly::editor {
namespace {

std::vector<std::pair<const char*, long long>>& Marks() {
    static std::vector<std::pair<const char*, long long>> marks;
    return marks;
}

}  // namespace

void StartupMark(const char* label) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    Marks().emplace_back(label, now.QuadPart);
}

void WriteStartupMarks() {
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TESSALY_STARTUP_TRACE", path, MAX_PATH) == 0) return;
    if (FILE* f = _wfopen(path, L"w")) {
        for (const auto& [label, counter] : Marks()) std::fprintf(f, "%s %lld\n", label, counter);
        std::fclose(f);
    }
    Marks().clear();
}

}  // namespace tessaly::editor
#endif
