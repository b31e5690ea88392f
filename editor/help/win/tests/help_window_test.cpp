// Drives the real help window in-process under Wine: controls, layout, selection, keys, menus,
// the splitter, the search with its question answered by a thread timer, and the failures.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/help/help_file.h"
#include "editor/help/win/help_window.h"
#include "win/message_box.h"
#include "win/text.h"

namespace tessaly::help {
namespace {

namespace fs = std::filesystem;

struct Box {
    std::wstring text, caption;
    UINT style;
};
std::vector<Box> boxes;

int RecordBox(HWND, std::string_view text, std::string_view caption, UINT style) {
    boxes.push_back({win::Utf8ToWide(text), win::Utf8ToWide(caption), style});
    return IDOK;
}

// Runs `steps` one per timer tick inside whatever modal loop is running (the find question,
// a menu, the help window's own loop). A step that returns false is tried again at the next
// tick, so a step can wait for its window to appear.
struct Script {
    static inline std::vector<std::function<bool()>> steps;
    static inline std::size_t next = 0;
    static inline int tries = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (next < steps.size() && (steps[next]() || ++tries > 100)) {
            ++next;
            tries = 0;
        }
        if (next >= steps.size()) KillTimer(nullptr, id);
    }
    static void Start(std::vector<std::function<bool()>> s) {
        steps = std::move(s);
        next = 0;
        tries = 0;
        SetTimer(nullptr, 0, 20, &Tick);
    }
};

HWND FindThreadWindow(const wchar_t* cls, const wchar_t* caption) {
    struct Search {
        const wchar_t* cls;
        const wchar_t* caption;
        HWND found;
    } search{cls, caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t buffer[256] = {};
            GetClassNameW(hwnd, buffer, 256);
            if (s.cls && std::wstring(buffer) != s.cls) return TRUE;
            GetWindowTextW(hwnd, buffer, 256);
            if (s.caption && std::wstring(buffer) != s.caption) return TRUE;
            if (!IsWindowVisible(hwnd)) return TRUE;
            s.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Answers the "Text to Find" question once it is open.
bool AnswerFind(const std::wstring& text, bool wholeWord) {
    HWND dialog = FindThreadWindow(L"#32770", L"Text to Find");
    if (!dialog) return false;
    SetDlgItemTextW(dialog, 9999, text.c_str());
    CheckDlgButton(dialog, 9998, wholeWord ? BST_CHECKED : BST_UNCHECKED);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    return true;
}

std::wstring Text(HWND hwnd) {
    wchar_t buffer[4096] = {};
    GetWindowTextW(hwnd, buffer, 4096);
    return buffer;
}

std::wstring StatusText(HWND help, int part) {
    wchar_t buffer[256] = {};
    SendDlgItemMessageW(help, kStatusId, SB_GETTEXTW, static_cast<WPARAM>(part),
                        reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

RECT ClientRectOf(HWND help, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(help, id), &r);
    MapWindowPoints(nullptr, help, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

HTREEITEM Item(HWND tree, UINT how, HTREEITEM from = nullptr) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
}

bool IsBold(HWND tree, HTREEITEM item) {
    return (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_BOLD) &
            TVIS_BOLD) != 0;
}

std::pair<DWORD, DWORD> Selection(HWND pane) {
    DWORD start = 0, end = 0;
    SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// Presses a key the way the window's loop sees it.
void Press(HWND help, UINT key, bool shift = false, bool control = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{GetFocus() ? GetFocus() : help,
            key == VK_F10 ? UINT(WM_SYSKEYDOWN) : UINT(WM_KEYDOWN),
            key,
            1,
            0,
            {}};
    if (!TranslateHelpMessage(help, msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

// Reads the items of the pop-up menu once it is open, then closes it.
bool ReadOpenMenu(std::vector<std::wstring>& items) {
    HWND popup = FindThreadWindow(L"#32768", nullptr);
    if (!popup) return false;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    items.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back(info.fType & MFT_SEPARATOR ? L"-"
                                                   : std::to_wstring(info.wID) + L" " + text);
    }
    EndMenu();
    return true;
}

const std::vector<HelpTopic> kTopics = {
    {"Welcome. The cat sat.\r\nSecond line.", "Intro", 0},
    {"Find the dog here. dog", "Sub one", 1},
    {"Another dog and a cat.", "Second", 0},
    {"", "Empty", 7},
};

class HelpWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = fs::path(temp) / ("tessaly-help-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
        file_ = Write("Tessaly.ahp", WriteHelpFile(kTopics));
        boxes.clear();
        caller_ = CreateWindowExW(0, L"STATIC", L"caller", WS_OVERLAPPED | WS_VISIBLE, 30, 40, 200,
                                  100, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        if (IsWindow(help_)) DestroyWindow(help_);
        DestroyWindow(caller_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::wstring Write(const char* name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(folder_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return (folder_ / name).wstring();
    }
    HWND Open(std::wstring_view title = L"Tessaly Help") {
        help_ = CreateHelpWindow(file_, title, caller_, 100, 80, nullptr);
        SetForegroundWindow(help_);
        return help_;
    }
    HWND Tree() { return GetDlgItem(help_, kTreeId); }
    HWND Pane() { return GetDlgItem(help_, kTextId); }
    HTREEITEM TopicItem(int n) {  // 1: Intro, 2: Sub one, 3: Second, 4: Empty
        HTREEITEM intro = Item(Tree(), TVGN_ROOT);
        if (n == 1) return intro;
        if (n == 2) return Item(Tree(), TVGN_CHILD, intro);
        HTREEITEM second = Item(Tree(), TVGN_NEXT, intro);
        return n == 3 ? second : Item(Tree(), TVGN_CHILD, second);
    }

    fs::path folder_;
    std::wstring file_;
    HWND caller_ = nullptr;
    HWND help_ = nullptr;
    const win::Replaced answered_ = win::messageBox.Replace(&RecordBox);
};

TEST_F(HelpWindowTest, WindowControlsAndFirstTopic) {
    ASSERT_NE(Open(L""), nullptr);
    EXPECT_EQ(Text(help_), L"Application Help");
    EXPECT_EQ(GetWindow(help_, GW_OWNER), nullptr);
    RECT window{}, client{};
    GetWindowRect(help_, &window);
    GetClientRect(help_, &client);
    EXPECT_EQ(window.left, 30 + 100);
    EXPECT_EQ(window.top, 40 + 80);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 370);
    const LONG_PTR style = GetWindowLongPtrW(help_, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_NE(SendMessageW(help_, WM_GETICON, ICON_SMALL, 0), 0);

    // The controls in their creation order.
    std::vector<int> ids;
    for (HWND c = GetWindow(help_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        ids.push_back(GetDlgCtrlID(c));
    }
    EXPECT_EQ(ids, (std::vector<int>{101, 102, 103, 104, 105, 106}));
    const LONG_PTR tree = GetWindowLongPtrW(Tree(), GWL_STYLE);
    EXPECT_TRUE(tree & TVS_SHOWSELALWAYS);
    EXPECT_FALSE(tree & (TVS_EDITLABELS | TVS_HASLINES | TVS_HASBUTTONS));
    const LONG_PTR pane = GetWindowLongPtrW(Pane(), GWL_STYLE);
    EXPECT_EQ(pane & (ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL),
              ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL);
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(help_, kSplitterId), GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(SendMessageW(Pane(), EM_GETMARGINS, 0, 0), MAKELONG(12, 12));

    // Fonts: MS Sans Serif, 10 pt in the tree and pane, 12 pt in the title strip.
    HDC dc = GetDC(help_);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(help_, dc);
    for (auto [id, points] : {std::pair{kTreeId, 10}, {kTextId, 10}, {kTitleId, 12}}) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(help_, id, WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif") << id;
        EXPECT_EQ(font.lfHeight, -(dpi * points / 72)) << id;
    }

    // The first layout pass: sizes follow the client area, positions stay.
    EXPECT_EQ(ClientRectOf(help_, kTitleId).left, 250);
    EXPECT_EQ(Width(ClientRectOf(help_, kTitleId)), 640 - 245 - 37);
    EXPECT_EQ(Height(ClientRectOf(help_, kTitleId)), 5 + 18);
    EXPECT_EQ(Width(ClientRectOf(help_, kTextId)), 640 - 245 - 20);
    EXPECT_EQ(Height(ClientRectOf(help_, kTextId)), 370 - 65);
    EXPECT_EQ(Width(ClientRectOf(help_, kTreeId)), 235);
    EXPECT_EQ(Height(ClientRectOf(help_, kTreeId)), 370 - 40);

    int parts[3] = {};
    EXPECT_EQ(SendDlgItemMessageW(help_, kStatusId, SB_GETPARTS, 3, LPARAM(parts)), 2);
    EXPECT_EQ(parts[0], 416);  // 65 % of 640
    EXPECT_EQ(StatusText(help_, 0), kStatusHint);

    // The first topic is shown, its item selected, the tree fully expanded.
    EXPECT_EQ(Item(Tree(), TVGN_CARET), TopicItem(1));
    EXPECT_EQ(Text(Pane()), L"Welcome. The cat sat.\r\nSecond line.");
    EXPECT_EQ(Text(GetDlgItem(help_, kTitleId)), L"     Intro");
    EXPECT_EQ(StatusText(help_, 1), L"Intro");
    EXPECT_EQ(SendMessageW(Tree(), TVM_GETCOUNT, 0, 0), 4);
    EXPECT_TRUE(SendMessageW(Tree(), TVM_GETITEMSTATE, WPARAM(TopicItem(3)), TVIS_EXPANDED) &
                TVIS_EXPANDED);
}

TEST_F(HelpWindowTest, ColoursOfTitleStripBandAndPane) {
    ASSERT_NE(Open(), nullptr);
    struct Expect {
        int id;
        COLORREF text, background;
    };
    for (const Expect& e : {Expect{kTitleId, RGB(0, 0, 0), RGB(211, 211, 211)},
                            Expect{kBandId, RGB(255, 250, 205), RGB(255, 250, 205)},
                            Expect{kTextId, RGB(0, 0, 0), RGB(255, 250, 205)}}) {
        HDC dc = GetDC(GetDlgItem(help_, e.id));
        SendMessageW(help_, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(GetDlgItem(help_, e.id)));
        EXPECT_EQ(GetTextColor(dc), e.text) << e.id;
        EXPECT_EQ(GetBkColor(dc), e.background) << e.id;
        ReleaseDC(GetDlgItem(help_, e.id), dc);
    }
}

TEST_F(HelpWindowTest, TopmostCallerMakesATopmostWindow) {
    SetWindowPos(caller_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(help_, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(HelpWindowTest, SelectionShowsTextTitleAndParent) {
    ASSERT_NE(Open(), nullptr);
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, LPARAM(TopicItem(2)));
    EXPECT_EQ(Text(Pane()), L"Find the dog here. dog");
    EXPECT_EQ(Text(GetDlgItem(help_, kTitleId)), L"     Sub one");
    EXPECT_EQ(StatusText(help_, 1), L"Intro : Sub one");
    // A topic with an empty text shows an empty pane; its label has no parent part when top level.
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, LPARAM(TopicItem(4)));
    EXPECT_EQ(Text(Pane()), L"");
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, LPARAM(TopicItem(3)));
    EXPECT_EQ(StatusText(help_, 1), L"Second");
}

TEST_F(HelpWindowTest, F2SwitchesBetweenTreeAndTextAndMarksTheTopic) {
    ASSERT_NE(Open(), nullptr);
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, LPARAM(TopicItem(2)));
    SetFocus(Tree());
    Press(help_, VK_F2);
    EXPECT_EQ(GetFocus(), Pane());
    EXPECT_TRUE(IsBold(Tree(), TopicItem(2)));
    Press(help_, VK_F2);
    EXPECT_EQ(GetFocus(), Tree());
    EXPECT_EQ(Item(Tree(), TVGN_CARET), TopicItem(2));
    EXPECT_FALSE(IsBold(Tree(), TopicItem(2)));
}

TEST_F(HelpWindowTest, SearchAcrossTopicsWithTheQuestionAnswered) {
    ASSERT_NE(Open(), nullptr);
    Script::Start({[] { return AnswerFind(L"  DOG ", true); }});
    Press(help_, 'F', false, true);
    // First match: "dog" in "Sub one" at character 10; the tree has no selection, the item is bold.
    EXPECT_EQ(Text(Pane()), L"Find the dog here. dog");
    EXPECT_EQ(Selection(Pane()), (std::pair<DWORD, DWORD>{9, 12}));
    EXPECT_EQ(Item(Tree(), TVGN_CARET), nullptr);
    EXPECT_TRUE(IsBold(Tree(), TopicItem(2)));
    EXPECT_EQ(GetFocus(), Pane());

    Press(help_, VK_F3);
    EXPECT_EQ(Selection(Pane()), (std::pair<DWORD, DWORD>{19, 22}));
    Press(help_, VK_F3);
    EXPECT_EQ(Text(Pane()), L"Another dog and a cat.");
    EXPECT_EQ(Selection(Pane()), (std::pair<DWORD, DWORD>{8, 11}));
    EXPECT_FALSE(IsBold(Tree(), TopicItem(2)));
    EXPECT_TRUE(IsBold(Tree(), TopicItem(3)));
    // No wrapping: the last match is shown again.
    Press(help_, VK_F3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"No more found");
    EXPECT_EQ(boxes[0].caption, L"dog");
    EXPECT_EQ(boxes[0].style, UINT(MB_OK | MB_TASKMODAL | MB_SETFOREGROUND));
    EXPECT_EQ(Selection(Pane()), (std::pair<DWORD, DWORD>{8, 11}));
    // Backward across topics.
    Press(help_, VK_F3, true);
    EXPECT_EQ(Text(Pane()), L"Find the dog here. dog");
    EXPECT_EQ(Selection(Pane()), (std::pair<DWORD, DWORD>{19, 22}));

    // A new search that finds nothing says "None found" and gives the tree the focus.
    Script::Start({[] { return AnswerFind(L"zebra", false); }});
    Press(help_, 'F', false, true);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, L"None found");
    EXPECT_EQ(boxes[1].caption, L"zebra");
    EXPECT_EQ(GetFocus(), Tree());
}

TEST_F(HelpWindowTest, EscapeCancelsTheSearchThenCloses) {
    ASSERT_NE(Open(), nullptr);
    Script::Start({[] { return AnswerFind(L"cat", false); }});
    Press(help_, 'F', false, true);
    EXPECT_EQ(Selection(Pane()), (std::pair<DWORD, DWORD>{13, 16}));
    Press(help_, VK_ESCAPE);
    ASSERT_TRUE(IsWindow(help_));
    EXPECT_EQ(Selection(Pane()).first, Selection(Pane()).second);
    // With the search cancelled, F3 does nothing.
    Press(help_, VK_F3);
    EXPECT_EQ(Text(Pane()), L"Welcome. The cat sat.\r\nSecond line.");
    Press(help_, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(help_));
    EXPECT_EQ(OpenHelpWindow(), nullptr);
}

TEST_F(HelpWindowTest, CancellingTheQuestionKeepsTheSearch) {
    ASSERT_NE(Open(), nullptr);
    Script::Start({[] { return AnswerFind(L"dog", true); }});
    Press(help_, 'F', false, true);
    Script::Start({[] {
        HWND dialog = FindThreadWindow(L"#32770", L"Text to Find");
        if (dialog) SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return dialog != nullptr;
    }});
    Press(help_, 'F', false, true);
    Press(help_, VK_F3);
    EXPECT_EQ(Selection(Pane()), (std::pair<DWORD, DWORD>{19, 22}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HelpWindowTest, MenusFromF10AndRightClicks) {
    ASSERT_NE(Open(), nullptr);
    const std::vector<std::wstring> treeMenu = {L"121 Find text\tCTRL+F",
                                                L"122 Next\tF3",
                                                L"123 Prev\tSHFT+F3",
                                                L"132 Find cancel\tEscape",
                                                L"-",
                                                L"125 Expand topics",
                                                L"126 Collapse topics",
                                                L"-",
                                                L"124 Print text\tCTRL+P"};
    const std::vector<std::wstring> paneMenu = {L"121 Find text\tCTRL+F",
                                                L"122 Next\tF3",
                                                L"123 Prev\tSHFT+F3",
                                                L"132 Find cancel\tEscape",
                                                L"-",
                                                L"124 Print item\tCTRL+P"};
    std::vector<std::wstring> seen;
    auto read = [&] { return ReadOpenMenu(seen); };

    SetFocus(Tree());
    Script::Start({read});
    Press(help_, VK_F10);
    EXPECT_EQ(seen, treeMenu);

    SetFocus(Pane());
    Script::Start({read});
    Press(help_, VK_F10);
    EXPECT_EQ(seen, paneMenu);

    // A right click on an item selects it first; on empty tree space nothing opens.
    RECT item{};
    const HTREEITEM third = TopicItem(3);
    std::memcpy(&item, &third, sizeof third);  // the item goes in, its rectangle comes out
    SendMessageW(Tree(), TVM_GETITEMRECT, TRUE, LPARAM(&item));
    POINT p{item.left + 3, item.top + 3};
    ClientToScreen(Tree(), &p);
    seen.clear();
    Script::Start({read});
    SendMessageW(help_, WM_CONTEXTMENU, WPARAM(Tree()), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(seen, treeMenu);
    EXPECT_EQ(Text(Pane()), L"Another dog and a cat.");

    RECT tree{};
    GetWindowRect(Tree(), &tree);
    seen.clear();
    SendMessageW(help_, WM_CONTEXTMENU, WPARAM(Tree()), MAKELPARAM(tree.left + 5, tree.bottom - 5));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(FindThreadWindow(L"#32768", nullptr), nullptr);

    Script::Start({read});
    SendMessageW(Pane(), WM_CONTEXTMENU, WPARAM(Pane()), MAKELPARAM(p.x + 300, p.y));
    EXPECT_EQ(seen, paneMenu);
}

TEST_F(HelpWindowTest, ExpandAndCollapseAll) {
    ASSERT_NE(Open(), nullptr);
    SendMessageW(help_, WM_COMMAND, kCollapseCommand, 0);
    EXPECT_FALSE(SendMessageW(Tree(), TVM_GETITEMSTATE, WPARAM(TopicItem(1)), TVIS_EXPANDED) &
                 TVIS_EXPANDED);
    SendMessageW(help_, WM_COMMAND, kExpandCommand, 0);
    EXPECT_TRUE(SendMessageW(Tree(), TVM_GETITEMSTATE, WPARAM(TopicItem(3)), TVIS_EXPANDED) &
                TVIS_EXPANDED);
}

TEST_F(HelpWindowTest, PrintHookGetsTheShownTopicOnlyWithText) {
    struct RecordingHost final : HelpHost {
        std::vector<std::string> printed;
        void PrintTopic(HWND, const HelpTopic& t) override { printed.push_back(t.title); }
    } host;
    std::vector<std::string>& printed = host.printed;
    help_ = CreateHelpWindow(file_, L"Tessaly Help", caller_, 100, 80, &host);
    SetForegroundWindow(help_);
    Press(help_, 'P', false, true);
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, LPARAM(TopicItem(4)));
    Press(help_, 'P', false, true);
    EXPECT_EQ(printed, (std::vector<std::string>{"Intro"}));
}

TEST_F(HelpWindowTest, SplitterDragAndResize) {
    ASSERT_NE(Open(), nullptr);
    const RECT tree = ClientRectOf(help_, kTreeId), pane = ClientRectOf(help_, kTextId);
    HWND bar = GetDlgItem(help_, kSplitterId);
    POINT at{247, 100};
    ClientToScreen(help_, &at);
    SetCursorPos(at.x, at.y);
    SendMessageW(help_, WM_SETCURSOR, WPARAM(bar), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SetCursorPos(at.x + 50, at.y);
    POINT now{};
    GetCursorPos(&now);
    ASSERT_EQ(now.x, at.x + 50) << "the cursor cannot be moved here";
    SendMessageW(help_, WM_SETCURSOR, WPARAM(Pane()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    SendMessageW(help_, WM_SETCURSOR, WPARAM(Pane()), MAKELPARAM(HTCLIENT, WM_LBUTTONUP));
    // The bar was at x 245 and the press at 247: the controls follow the cursor by 52.
    const int d = 52;
    EXPECT_EQ(Width(ClientRectOf(help_, kTreeId)), Width(tree) + d);
    EXPECT_EQ(ClientRectOf(help_, kTextId).left, pane.left + d);
    EXPECT_EQ(Width(ClientRectOf(help_, kTextId)), Width(pane) - d);
    EXPECT_EQ(Width(ClientRectOf(help_, kTitleId)), Width(pane) - d - 17);
    EXPECT_EQ(Width(ClientRectOf(help_, kBandId)), Width(pane) - d - 17);
    EXPECT_EQ(ClientRectOf(help_, kSplitterId).left, 245 + d);
    // After the button is up, moving does nothing.
    SetCursorPos(at.x + 90, at.y);
    SendMessageW(help_, WM_SETCURSOR, WPARAM(Pane()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(ClientRectOf(help_, kSplitterId).left, 245 + d);

    // A resize lays the window out again from the bar's new place.
    RECT frame{0, 0, 800, 500};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(help_, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(help_, GWL_EXSTYLE)));
    SetWindowPos(help_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    const int sx = 245 + d;
    EXPECT_EQ(Width(ClientRectOf(help_, kTitleId)), 800 - sx - 37);
    EXPECT_EQ(Width(ClientRectOf(help_, kBandId)), 800 - sx - 37);
    EXPECT_EQ(Width(ClientRectOf(help_, kTextId)), 800 - sx - 20);
    EXPECT_EQ(Height(ClientRectOf(help_, kTextId)), 500 - 65);
    EXPECT_EQ(Height(ClientRectOf(help_, kTreeId)), 500 - 40);
    EXPECT_EQ(Height(ClientRectOf(help_, kSplitterId)), 500 - 40);
    int parts[2] = {};
    SendDlgItemMessageW(help_, kStatusId, SB_GETPARTS, 2, LPARAM(parts));
    EXPECT_EQ(parts[0], 520);
}

TEST_F(HelpWindowTest, MissingAndEmptyFiles) {
    EXPECT_EQ(CreateHelpWindow((folder_ / "none.ahp").wstring(), L"", caller_, 100, 80, nullptr),
              nullptr);
    const std::wstring empty = Write("empty.ahp", {0, 0, 0, 0});
    EXPECT_EQ(CreateHelpWindow(empty, L"", caller_, 100, 80, nullptr), nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"No help available");
    EXPECT_EQ(boxes[1].text, L"No help content");
    for (const Box& b : boxes) {
        EXPECT_EQ(b.caption, L"Help File");
        EXPECT_EQ(b.style, UINT(MB_OK | MB_ICONINFORMATION));
    }
    EXPECT_EQ(OpenHelpWindow(), nullptr);
    EXPECT_EQ(FindThreadWindow(L"#32770", nullptr), nullptr);
}

// A damaged file, once a tree of five million topics and a window that never came, and a file
// too large for any help: nothing to show, said at once.
TEST_F(HelpWindowTest, DamagedAndOversizedFilesHaveNoContent) {
    std::vector<std::uint8_t> damaged(10 * 1024 * 1024, 0);
    for (int i = 0; i < 3; ++i) damaged[static_cast<std::size_t>(i)] = 0xFF;
    damaged[3] = 0x7F;
    const std::wstring damagedFile = Write("damaged.ahp", damaged);
    // Count 1, then zeros up to one byte past the limit (the file system keeps it sparse).
    const std::wstring oversized = Write("oversized.ahp", {1, 0, 0, 0});
    HANDLE file =
        CreateFileW(oversized.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(kMaxHelpFileBytes) + 1;
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);

    for (const std::wstring& path : {damagedFile, oversized}) {
        boxes.clear();
        EXPECT_EQ(CreateHelpWindow(path, L"", caller_, 100, 80, nullptr), nullptr);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, L"No help content");
        EXPECT_EQ(OpenHelpWindow(), nullptr);
    }
    DeleteFileW(oversized.c_str());
}

// While the help window's loop runs, the caller's dialog keeps its keys: Tab moves its focus.
TEST_F(HelpWindowTest, CallerDialogKeepsItsKeysDuringTheLoop) {
    ASSERT_NE(Open(), nullptr);
    struct {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, title;
    } tmpl{};
    tmpl.dialog.style = WS_POPUP | WS_VISIBLE | WS_CAPTION;
    HWND caller = CreateDialogIndirectParamW(
        nullptr, &tmpl.dialog, nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; },
        0);
    HWND first = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 50, 20,
                                 caller, HMENU(1), nullptr, nullptr);
    HWND second = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 30, 50,
                                  20, caller, HMENU(2), nullptr, nullptr);
    SetForegroundWindow(caller);
    SetFocus(first);
    MSG tab{first, WM_KEYDOWN, VK_TAB, 1, 0, {}};
    EXPECT_TRUE(TranslateHelpMessage(help_, tab));
    EXPECT_EQ(GetFocus(), second);
    // Its Escape is its own: the help window stays open.
    MSG escape{second, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    TranslateHelpMessage(help_, escape);
    EXPECT_TRUE(IsWindow(help_));
    DestroyWindow(caller);
}

// A second "Help" while the window is open brings that window forward; no second one opens.
TEST_F(HelpWindowTest, SecondShowHelpBringsTheOpenWindowForward) {
    HWND first = nullptr;
    int helpWindows = 0;
    Script::Start({
        [&] {
            first = OpenHelpWindow();
            return first != nullptr;
        },
        [&] {
            SetForegroundWindow(caller_);
            ShowHelp(file_, L"Tessaly Help", caller_, 100, 100);
            EnumThreadWindows(
                GetCurrentThreadId(),
                [](HWND hwnd, LPARAM count) -> BOOL {
                    wchar_t text[64] = {};
                    GetWindowTextW(hwnd, text, 64);
                    if (std::wstring(text) == L"Tessaly Help") ++*reinterpret_cast<int*>(count);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&helpWindows));
            EXPECT_EQ(GetForegroundWindow(), first);
            return true;
        },
        [&] {
            SendMessageW(first, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        },
    });
    ShowHelp(file_, L"Tessaly Help", caller_, 100, 100);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(helpWindows, 1);
    EXPECT_FALSE(IsWindow(first));
}

}  // namespace
}  // namespace tessaly::help
