// Which running process is the notifier, and the restart's messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/stop_restart.h"

namespace tessaly::setup {
namespace {

TEST(StopRunningProgram, MatchesTheWholeFileNameIgnoringCase) {
    struct Case {
        const wchar_t* path;
        bool matches;
    };
    const Case cases[] = {
        {L"C:\\Program Files (x86)\\Quorvane\\Tessaly\\TessalyStartup.exe", true},
        {L"c:\\x\\TESSALYSTARTUP.EXE", true},
        {L"TessalyStartup.exe", true},
        {L"/opt/wine/TessalyStartup.exe", true},
        {L"C:\\x\\OldTessalyStartup.exe", false},
        {L"C:\\x\\TessalyStartup.exe.bak", false},
        {L"C:\\TessalyStartup.exe\\helper.exe", false},
        {L"C:\\x\\TessalyStartup.ex", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsProgramFile(c.path, L"TessalyStartup.exe"), c.matches) << c.path;
    }
    EXPECT_FALSE(IsProgramFile(L"C:\\x\\a.exe", L""));
}

TEST(StopRunningProgram, OnlyTheFirstMatchInTheSystemsOrder) {
    const std::vector<RunningProcess> processes = {
        {4, L"C:\\Windows\\system32\\services.exe"},
        {8, L"C:\\Tools\\MyTessalyStartup.exe"},
        {12, L"C:\\Users\\ann\\TessalyStartup.exe"},
        {16, L"C:\\Users\\bob\\TessalyStartup.exe"},
    };
    EXPECT_EQ(FirstProcessRunning(processes, L"TessalyStartup.exe"), 12u);
    EXPECT_EQ(FirstProcessRunning(processes, L"Tessaly.exe"), std::nullopt);
    EXPECT_EQ(FirstProcessRunning({}, L"TessalyStartup.exe"), std::nullopt);
}

struct FakeRestart : RestartSystem {
    bool nt = true, privilege = true, exits = true;
    std::vector<std::wstring> calls;
    bool IsNtFamily() override { return nt; }
    bool EnableShutdownPrivilege() override {
        calls.push_back(L"privilege");
        return privilege;
    }
    bool RequestRestart() override {
        calls.push_back(L"exit");
        return exits;
    }
    void ShowMessage(const Message& m) override {
        EXPECT_EQ(m.style, 0x12000u);
        EXPECT_EQ(m.caption, L"Tessaly Setup");
        calls.push_back(m.text);
    }
};

TEST(RestartWindows, PrivilegeOnNtThenExitEachFailureTold) {
    struct Case {
        bool nt, privilege, exits;
        std::vector<std::wstring> calls;
    };
    const Case cases[] = {
        {true, true, true, {L"privilege", L"exit"}},
        {true, false, true, {L"privilege", L"Could not obtain shutdown privilege."}},
        {true, true, false, {L"privilege", L"exit", L"Shutdown failed."}},
        {false, false, true, {L"exit"}},
        {false, false, false, {L"exit", L"Shutdown failed."}},
    };
    for (const Case& c : cases) {
        FakeRestart fake;
        fake.nt = c.nt;
        fake.privilege = c.privilege;
        fake.exits = c.exits;
        RestartWindows(fake);
        EXPECT_EQ(fake.calls, c.calls) << c.nt << c.privilege << c.exits;
    }
}

}  // namespace
}  // namespace tessaly::setup
