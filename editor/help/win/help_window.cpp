// The help window: creation and layout, the topic tree and text pane, menus, keys, the splitter,
// and the search commands over the rules in editor/help.
#include "editor/help/win/help_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

#include "core/file_io.h"
#include "win/dialog.h"
#include "win/gdi.h"
#include "win/handles.h"
#include "win/message_box.h"
#include "win/text.h"
#include "editor/help/topic_search.h"
#include "editor/help/topic_tree.h"
#include "editor/print/win/help_text_print.h"

namespace tessaly::help {
using win::Cp1252ToWide;
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kTitleGrey = RGB(211, 211, 211);
constexpr COLORREF kPaper = RGB(255, 250, 205);
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 370;
constexpr wchar_t kTitlePrefix[] = L"     ";
constexpr UINT_PTR kPaneSubclassId = 1;

// The one help window of this process (a second "Help" brings it forward).
HWND openHelp = nullptr;

// The help file is only ever read, through the file layer every program reads with (shared
// with other readers). A file above the reader's limit is not read at all: nothing in it could be
// shown. One that cannot be read has nothing to show either.
std::optional<std::vector<std::uint8_t>> ReadHelpBytes(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    bool tooLarge = false;
    ReadWholeFileInPieces(path, IfMissing::kFail, [&](std::uint64_t size, const PieceSource& next) {
        if (size > kMaxHelpFileBytes) {
            tooLarge = true;
            return;
        }
        bytes.resize(static_cast<std::size_t>(size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const std::size_t n = next(std::span(bytes).subspan(got));
            if (n == 0) break;
            got += n;
        }
        bytes.resize(got);
    });
    if (tooLarge) return std::nullopt;
    return bytes;
}

struct Dragging {
    bool active = false;
    RECT tree{}, pane{};  // positions and sizes in client pixels, at the start
    int bar = 0;
    int barHeight = 0;
};

struct HelpWindow final : win::Dialog {
    HelpWindow(const std::wstring& helpFile, HelpHost* host) : helpFile(helpFile), host(host) {}

    std::wstring helpFile;
    HWND tree = nullptr;
    HWND pane = nullptr;
    HelpHost* host;  // null: Ctrl+P prints nothing
    std::vector<HelpTopic> topics;
    std::vector<HTREEITEM> items;              // tree item by topic number - 1
    std::vector<HTREEITEM> order;              // TopicOrder
    std::vector<std::string_view> orderTexts;  // their texts, for the search
    int shownTopic = 0;
    HTREEITEM currentItem = nullptr;
    HTREEITEM lastItem = nullptr;
    bool textFocus = false;
    Dragging drag;
    SearchState search;
    win::Menu treeMenu;
    win::Menu paneMenu;
    win::Accelerators accelerators;
    win::Font treeFont;
    win::Font titleFont;
    win::Font paneFont;
    win::Brush greyBrush;
    win::Brush paperBrush;
    win::Icon smallIcon;
    bool printing = false;  // a print of a topic is under way (see OnPrint)

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

HelpWindow* From(HWND hwnd) {
    return win::DialogOf<HelpWindow>(hwnd);
}

RECT ChildRect(HWND parent, int id) {
    RECT r{};
    HWND child = GetDlgItem(parent, id);
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Place(HWND parent, int id, int x, int y, int w, int h) {
    MoveWindow(GetDlgItem(parent, id), x, y, w, h, TRUE);
}

void Resize(HWND parent, int id, int w, int h) {
    SetWindowPos(GetDlgItem(parent, id), nullptr, 0, 0, w, h,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- tree items ----

void SetBold(HelpWindow& w, HTREEITEM item, bool bold) {
    if (!item) return;
    TVITEMW tv{};
    tv.mask = TVIF_STATE | TVIF_HANDLE;
    tv.hItem = item;
    tv.stateMask = TVIS_BOLD;
    tv.state = bold ? TVIS_BOLD : 0;
    SendMessageW(w.tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

int TopicOf(HelpWindow& w, HTREEITEM item) {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!SendMessageW(w.tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return 0;
    return static_cast<int>(tv.lParam);
}

std::wstring Label(HelpWindow& w, HTREEITEM item) {
    const int topic = TopicOf(w, item);
    if (topic < 1 || topic > static_cast<int>(w.topics.size())) return {};
    return Cp1252ToWide(w.topics[static_cast<std::size_t>(topic - 1)].title);
}

HTREEITEM NextItem(HWND tree, UINT how, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
}

void Select(HelpWindow& w, HTREEITEM item) {
    SendMessageW(w.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void BuildTree(HelpWindow& w) {
    // One repaint for the whole tree instead of one per item: thousands of topics stay quick.
    SendMessageW(w.tree, WM_SETREDRAW, FALSE, 0);
    SendMessageW(w.tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    w.items.assign(w.topics.size(), nullptr);
    for (const TopicBranch& branch : BuildTopicTree(w.topics)) {
        auto insert = [&](int topic, HTREEITEM parent) {
            const std::wstring label =
                Cp1252ToWide(w.topics[static_cast<std::size_t>(topic - 1)].title);
            TVINSERTSTRUCTW is{};
            is.hParent = parent;
            is.hInsertAfter = TVI_LAST;
            is.item.mask = TVIF_TEXT | TVIF_PARAM;
            is.item.pszText = const_cast<wchar_t*>(label.c_str());
            is.item.lParam = topic;
            HTREEITEM item = reinterpret_cast<HTREEITEM>(
                SendMessageW(w.tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&is)));
            w.items[static_cast<std::size_t>(topic - 1)] = item;
            return item;
        };
        HTREEITEM parent = insert(branch.topic, TVI_ROOT);
        for (int child : branch.children) insert(child, parent);
    }
    for (HTREEITEM item : w.items) {
        SendMessageW(w.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(w.tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(w.tree, nullptr, TRUE);
}

void RebuildTopicOrder(HelpWindow& w) {
    TreeWalker<HTREEITEM> walker;
    walker.count = static_cast<int>(SendMessageW(w.tree, TVM_GETCOUNT, 0, 0));
    walker.firstRoot = [&] { return NextItem(w.tree, TVGN_ROOT, nullptr); };
    walker.firstChild = [&](HTREEITEM item) { return NextItem(w.tree, TVGN_CHILD, item); };
    walker.nextSibling = [&](HTREEITEM item) { return NextItem(w.tree, TVGN_NEXT, item); };
    w.order = TopicOrder(walker);
    w.orderTexts.clear();
    for (HTREEITEM item : w.order) {
        const int topic = TopicOf(w, item);
        w.orderTexts.push_back(
            topic >= 1 && topic <= static_cast<int>(w.topics.size())
                ? std::string_view(w.topics[static_cast<std::size_t>(topic - 1)].text)
                : std::string_view());
    }
}

// ---- showing topics ----

void SetStatus(HelpWindow& w, int part, const std::wstring& text) {
    SendDlgItemMessageW(w.hwnd, kStatusId, SB_SETTEXTW, static_cast<WPARAM>(part),
                        reinterpret_cast<LPARAM>(text.c_str()));
}

void SetStatusParts(HelpWindow& w, int width) {
    int edges[2] = {static_cast<int>(std::lround(width * 0.65)), -1};
    SendDlgItemMessageW(w.hwnd, kStatusId, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

// The tree's selection changed: show the topic of the newly selected item.
void OnSelectionChanged(HelpWindow& w) {
    SetBold(w, w.lastItem, false);
    w.currentItem = NextItem(w.tree, TVGN_CARET, nullptr);
    w.lastItem = w.currentItem;
    if (!w.currentItem) return;
    SetBold(w, w.currentItem, false);
    const int topic = TopicOf(w, w.currentItem);
    if (topic < 1 || topic > static_cast<int>(w.topics.size())) return;
    w.shownTopic = topic;
    SetWindowTextW(w.pane,
                   Cp1252ToWide(w.topics[static_cast<std::size_t>(topic - 1)].text).c_str());
    const std::wstring label = Label(w, w.currentItem);
    SetDlgItemTextW(w.hwnd, kTitleId, (kTitlePrefix + label).c_str());
    HTREEITEM parent = NextItem(w.tree, TVGN_PARENT, w.currentItem);
    SetStatus(w, 1, parent ? Label(w, parent) + L" : " + label : label);
    // The text's length in characters is not shown: it tells a reader of help nothing.
}

void OnPaneFocus(HelpWindow& w, bool gained) {
    if (gained) {
        w.textFocus = true;
        SendMessageW(w.pane, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        SetBold(w, w.currentItem, true);
        SendMessageW(w.pane, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        SendMessageW(w.pane, EM_SCROLLCARET, 0, 0);
    } else {
        w.textFocus = false;
        SetBold(w, w.currentItem, false);
        if (w.currentItem) Select(w, w.currentItem);
    }
}

// ---- search ----

void ShowMatch(HelpWindow& w, HTREEITEM item, int position) {
    const int length = static_cast<int>(w.search.text.size());
    Select(w, item);
    Select(w, nullptr);  // no item selected; the bold mark shows where the match is
    SetBold(w, item, true);
    SetFocus(w.pane);
    SendMessageW(w.pane, EM_SETSEL, static_cast<WPARAM>(position - 1),
                 static_cast<LPARAM>(position - 1 + length));
    SendMessageW(w.pane, EM_SCROLLCARET, 0, 0);
    w.textFocus = true;
    w.lastItem = item;
}

void ShowStep(HelpWindow& w, const SearchStep& step) {
    for (int index : step.passed) SetBold(w, w.order[static_cast<std::size_t>(index - 1)], false);
    const UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
    switch (step.result) {
        case SearchStep::Result::kNothing:
            break;
        case SearchStep::Result::kMatch:
            ShowMatch(w, w.order[static_cast<std::size_t>(step.index - 1)], step.position);
            break;
        case SearchStep::Result::kNoneFound:
            win::ShowMessage(w.hwnd, "None found", Cp1252ToUtf8(w.search.text), style);
            SetFocus(w.tree);
            if (w.shownTopic >= 1) Select(w, w.items[static_cast<std::size_t>(w.shownTopic - 1)]);
            break;
        case SearchStep::Result::kNoMoreFound:
            win::ShowMessage(w.hwnd, "No more found", Cp1252ToUtf8(w.search.text), style);
            ShowMatch(w, w.order[static_cast<std::size_t>(step.index - 1)], step.position);
            break;
    }
}

PaneSelection PaneSelectionOf(HelpWindow& w) {
    DWORD start = 0, end = 0;
    SendMessageW(w.pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

void OnFindText(HelpWindow& w) {
    bool wholeWord = w.search.wholeWord;
    const std::optional<std::string> answer = FindTextDialog(w.pane, wholeWord);
    if (!answer) return;
    RebuildTopicOrder(w);
    ShowStep(w, StartSearch(w.search, *answer, wholeWord, w.orderTexts));
}

void OnNextOrPrev(HelpWindow& w, bool next) {
    if (w.search.text.empty()) return;
    ShowStep(w, next ? SearchNext(w.search, PaneSelectionOf(w), w.orderTexts)
                     : SearchPrev(w.search, PaneSelectionOf(w), w.orderTexts));
}

// ---- commands ----

void OpenMenu(HelpWindow& w, HMENU menu, int x, int y) {
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, w.hwnd, nullptr);
}

void OnMenuKey(HelpWindow& w) {
    const int id = w.textFocus ? kTextId : kTreeId;
    const RECT control = ChildRect(w.hwnd, id);
    RECT window{};
    GetWindowRect(w.hwnd, &window);
    OpenMenu(w, (w.textFocus ? w.paneMenu : w.treeMenu).get(), control.left + window.left + 40,
             control.top + window.top + 50);
}

void OnSwitchFocus(HelpWindow& w) {
    if (w.textFocus) {
        SendMessageW(w.pane, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        if (w.lastItem) Select(w, w.lastItem);
        SetBold(w, w.lastItem, false);
        SetFocus(w.tree);
        w.textFocus = false;
    } else {
        SetFocus(w.pane);
    }
}

void ExpandAll(HelpWindow& w, UINT how) {
    RebuildTopicOrder(w);
    for (HTREEITEM item : w.order) {
        SendMessageW(w.tree, TVM_EXPAND, how, reinterpret_cast<LPARAM>(item));
    }
}

// Set for the length of a print, whatever way it ends.
class PrintingScope {
  public:
    explicit PrintingScope(HelpWindow& w) : w_(w) { w_.printing = true; }
    ~PrintingScope() { w_.printing = false; }
    PrintingScope(const PrintingScope&) = delete;
    PrintingScope& operator=(const PrintingScope&) = delete;

  private:
    HelpWindow& w_;
};

void OnPrint(HelpWindow& w) {
    if (w.shownTopic < 1 || !w.host) return;
    // The printer dialog and the printer's error box have no owner, so this window stays
    // usable under them: the print takes its own copy of the topic, and the window neither
    // changes nor closes until the print is done.
    const HelpTopic topic = w.topics[static_cast<std::size_t>(w.shownTopic - 1)];
    if (topic.text.empty()) return;
    const PrintingScope printing(w);
    w.host->PrintTopic(w.hwnd, topic);
}

void OnCommand(HelpWindow& w, int id, int code) {
    if (id == kTextId) {
        if (code == EN_SETFOCUS) OnPaneFocus(w, true);
        if (code == EN_KILLFOCUS) OnPaneFocus(w, false);
        return;
    }
    if (w.printing) return;
    switch (id) {
        case kFindTextCommand:
            OnFindText(w);
            break;
        case kNextCommand:
            OnNextOrPrev(w, true);
            break;
        case kPrevCommand:
            OnNextOrPrev(w, false);
            break;
        case kPrintCommand:
            OnPrint(w);
            break;
        case kExpandCommand:
            ExpandAll(w, TVE_EXPAND);
            break;
        case kCollapseCommand:
            ExpandAll(w, TVE_COLLAPSE);
            break;
        case kMenuCommand:
            OnMenuKey(w);
            break;
        case kSwitchFocusCommand:
            OnSwitchFocus(w);
            break;
        case kEscapeCommand:
            if (!w.search.text.empty()) {
                SendMessageW(w.pane, EM_SETSEL, static_cast<WPARAM>(-1), 0);
                CancelSearch(w.search);
            } else {
                DestroyWindow(w.hwnd);
            }
            break;
        case IDCANCEL:  // the dialog manager's Escape, should the accelerator not see it
            DestroyWindow(w.hwnd);
            break;
        default:
            break;
    }
}

void OnTreeContextMenu(HelpWindow& w, LPARAM lParam) {
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TVHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(w.tree, &hit.pt);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageW(w.tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!item || !(hit.flags & TVHT_ONITEM)) return;
    Select(w, item);
    w.shownTopic = TopicOf(w, item);
    OpenMenu(w, w.treeMenu.get(), screen.x, screen.y);
}

LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR data) {
    if (message == WM_CONTEXTMENU) {
        HelpWindow& w = *reinterpret_cast<HelpWindow*>(data);
        OpenMenu(w, w.paneMenu.get(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    return DefSubclassProc(pane, message, wParam, lParam);
}

// ---- layout and splitter ----

void Layout(HelpWindow& w, int width, int height) {
    const RECT bar = ChildRect(w.hwnd, kSplitterId);
    const int sx = bar.left, sy = bar.top;
    const RECT tree = ChildRect(w.hwnd, kTreeId);
    Resize(w.hwnd, kTitleId, width - sx - 37, sy + 18);
    Resize(w.hwnd, kBandId, width - sx - 37, sy + 12);
    Resize(w.hwnd, kTextId, width - sx - 20, height - 65);
    Resize(w.hwnd, kTreeId, tree.right - tree.left, height - 40);
    Resize(w.hwnd, kSplitterId, 5, height - 40);
    SendDlgItemMessageW(w.hwnd, kStatusId, WM_SIZE, 0, 0);
    SetStatusParts(w, width);
}

BOOL OnSetCursor(HelpWindow& w, HWND under, UINT mouseMessage) {
    HWND bar = GetDlgItem(w.hwnd, kSplitterId);
    if (mouseMessage == WM_LBUTTONUP) w.drag.active = false;
    if (w.drag.active && mouseMessage == WM_MOUSEMOVE) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(w.hwnd, &p);
        const int d = p.x - w.drag.bar;
        if (d != 0) {
            const RECT& t = w.drag.tree;
            const RECT& pn = w.drag.pane;
            const int tw = t.right - t.left, th = t.bottom - t.top, pw = pn.right - pn.left;
            Place(w.hwnd, kTreeId, t.left, t.top, tw + d, th);
            Place(w.hwnd, kTitleId, pn.left + d, t.top, pw - d - 17, 23);
            Place(w.hwnd, kBandId, pn.left + d, t.top + 23, pw - d - 17, 12);
            Place(w.hwnd, kTextId, pn.left + d, t.top + 35, pw - d, th - 35);
            Place(w.hwnd, kSplitterId, w.drag.bar + d, t.top, 5, w.drag.barHeight);
        }
    }
    if (under != bar) return FALSE;
    SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
    if (mouseMessage == WM_LBUTTONDOWN) {
        w.drag.active = true;
        w.drag.tree = ChildRect(w.hwnd, kTreeId);
        w.drag.pane = ChildRect(w.hwnd, kTextId);
        const RECT r = ChildRect(w.hwnd, kSplitterId);
        w.drag.bar = r.left;
        w.drag.barHeight = r.bottom - r.top;
    }
    SetWindowLongPtrW(w.hwnd, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// ---- creation ----

HMENU BuildMenu(bool forTree) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kFindTextCommand, L"Find text\tCTRL+F");
    AppendMenuW(menu, MF_STRING, kNextCommand, L"Next\tF3");
    AppendMenuW(menu, MF_STRING, kPrevCommand, L"Prev\tSHFT+F3");
    AppendMenuW(menu, MF_STRING, kEscapeCommand, L"Find cancel\tEscape");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (forTree) {
        AppendMenuW(menu, MF_STRING, kExpandCommand, L"Expand topics");
        AppendMenuW(menu, MF_STRING, kCollapseCommand, L"Collapse topics");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kPrintCommand, L"Print text\tCTRL+P");
    } else {
        AppendMenuW(menu, MF_STRING, kPrintCommand, L"Print item\tCTRL+P");
    }
    return menu;
}

HACCEL BuildAccelerators() {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'F', kFindTextCommand},
        {FVIRTKEY, VK_F2, kSwitchFocusCommand},
        {FVIRTKEY, VK_F3, kNextCommand},
        {FVIRTKEY | FSHIFT, VK_F3, kPrevCommand},
        {FVIRTKEY | FCONTROL, 'P', kPrintCommand},
        {FVIRTKEY, VK_F10, kMenuCommand},
        {FVIRTKEY, VK_ESCAPE, kEscapeCommand},
    };
    return CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

HWND AddControl(HWND parent, DWORD exStyle, const wchar_t* cls, DWORD style, int x, int y, int w,
                int h, int id) {
    return win::AddControl(parent, {cls, L"", style, id, x, y, w, h, exStyle});
}

BOOL OnInitDialog(HelpWindow& hw) {
    HWND hwnd = hw.hwnd;

    // Controls in their creation order. Labels cannot be edited: an edited label was never kept.
    hw.tree = AddControl(hwnd, WS_EX_CLIENTEDGE, WC_TREEVIEWW, TVS_SHOWSELALWAYS | WS_TABSTOP, 10,
                         5, 235, 325, kTreeId);
    AddControl(hwnd, 0, L"STATIC", SS_LEFT | SS_CENTERIMAGE, 250, 5, 370, 23, kTitleId);
    AddControl(hwnd, 0, L"STATIC", SS_LEFT, 250, 28, 370, 12, kBandId);
    hw.pane = AddControl(hwnd, 0, L"EDIT",
                         ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL | WS_TABSTOP, 250,
                         40, 370, 290, kTextId);
    AddControl(hwnd, 0, L"STATIC", SS_NOTIFY, 245, 5, 5, 325, kSplitterId);
    AddControl(hwnd, 0, STATUSCLASSNAMEW, 0, 0, 0, 0, 0, kStatusId);

    hw.smallIcon.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"GenHelp",
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), 0)));
    if (hw.smallIcon) {
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hw.smallIcon.get()));
    }

    // The status bar's parts first, so that showing the first topic can fill part 2.
    RECT client{};
    GetClientRect(hwnd, &client);
    SetStatusParts(hw, client.right);
    SetStatus(hw, 0, kStatusHint);

    const std::optional<std::vector<std::uint8_t>> bytes = ReadHelpBytes(hw.helpFile);
    HelpFile file = bytes ? ReadHelpFile(*bytes) : HelpFile{HelpFileStatus::kDamaged, {}};
    // Empty and damaged files alike have nothing to show.
    if (file.status != HelpFileStatus::kOk) {
        win::ShowMessage(hwnd, "No help content", "Help File", MB_OK | MB_ICONINFORMATION);
        DestroyWindow(hwnd);
        return FALSE;
    }
    hw.topics = std::move(file.topics);
    BuildTree(hw);
    Select(hw, NextItem(hw.tree, TVGN_ROOT, nullptr));

    {
        const win::WindowDc dc(hwnd);
        hw.treeFont = win::MakeOwnedFont(dc.get(), "MS Sans Serif", 10);
        hw.titleFont = win::MakeOwnedFont(dc.get(), "MS Sans Serif", 12);
        hw.paneFont = win::MakeOwnedFont(dc.get(), "MS Sans Serif", 10);
    }
    SendMessageW(hw.tree, WM_SETFONT, reinterpret_cast<WPARAM>(hw.treeFont.get()), TRUE);
    SendDlgItemMessageW(hwnd, kTitleId, WM_SETFONT, reinterpret_cast<WPARAM>(hw.titleFont.get()),
                        TRUE);
    SendMessageW(hw.pane, WM_SETFONT, reinterpret_cast<WPARAM>(hw.paneFont.get()), TRUE);
    SendMessageW(hw.pane, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(12, 12));

    hw.treeMenu.reset(BuildMenu(true));
    hw.paneMenu.reset(BuildMenu(false));
    hw.accelerators.reset(BuildAccelerators());
    hw.greyBrush.reset(CreateSolidBrush(kTitleGrey));
    hw.paperBrush.reset(CreateSolidBrush(kPaper));

    SetWindowSubclass(hw.pane, &PaneProc, kPaneSubclassId, reinterpret_cast<DWORD_PTR>(&hw));
    return FALSE;  // the focus stays where the selection put it
}

// The window's resources go with its state, once the controls that use them are gone.
void OnDestroy(HelpWindow& w) {
    RemoveWindowSubclass(w.pane, &PaneProc, kPaneSubclassId);
    if (openHelp == w.hwnd) openHelp = nullptr;
}

HBRUSH OnColor(HelpWindow& w, HDC dc, HWND control) {
    switch (GetDlgCtrlID(control)) {
        case kTitleId:
            SetTextColor(dc, kBlack);
            SetBkColor(dc, kTitleGrey);
            return w.greyBrush.get();
        case kBandId:
            SetTextColor(dc, kPaper);
            SetBkColor(dc, kPaper);
            return w.paperBrush.get();
        case kTextId:
            SetTextColor(dc, kBlack);
            SetBkColor(dc, kPaper);
            return w.paperBrush.get();
        default:
            return nullptr;
    }
}

INT_PTR HelpWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(*this);
        case WM_COMMAND:
            OnCommand(*this, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == kTreeId &&
                (header->code == TVN_SELCHANGEDW || header->code == TVN_SELCHANGEDA)) {
                OnSelectionChanged(*this);
            }
            return FALSE;
        }
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == tree) OnTreeContextMenu(*this, lParam);
            return TRUE;
        case WM_SIZE:
            Layout(*this, LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_SETCURSOR:
            return OnSetCursor(*this, reinterpret_cast<HWND>(wParam), HIWORD(lParam));
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            return reinterpret_cast<INT_PTR>(
                OnColor(*this, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                if (!printing) DestroyWindow(hwnd);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            if (!printing) DestroyWindow(hwnd);
            return TRUE;
        case WM_DESTROY:
            OnDestroy(*this);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND CreateHelpWindow(const std::wstring& helpFile, std::wstring_view title, HWND caller,
                      int xOffset, int yOffset, HelpHost* host) {
    if (!FileExists(helpFile)) {
        win::ShowMessage(caller, "No help available", "Help File", MB_OK | MB_ICONINFORMATION);
        return nullptr;
    }
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
    DWORD exStyle = caller ? static_cast<DWORD>(GetWindowLongPtrW(caller, GWL_EXSTYLE)) : 0;
    if (exStyle & WS_EX_TOPMOST) exStyle = WS_EX_TOPMOST;

    static bool commonControls = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)commonControls;

    // Laid out in pixels by its own code: the template is an empty dialog.
    HWND hwnd = win::CreateModeless(std::make_unique<HelpWindow>(helpFile, host), nullptr,
                                    win::DialogTemplate(style, exStyle));
    if (!hwnd) return nullptr;

    SetWindowTextW(hwnd, title.empty() ? L"Application Help" : std::wstring(title).c_str());
    RECT callerRect{};
    if (caller) GetWindowRect(caller, &callerRect);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    SetWindowPos(hwnd, nullptr, callerRect.left + xOffset, callerRect.top + yOffset,
                 frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER);
    ShowWindow(hwnd, SW_SHOW);
    SetFocus(From(hwnd)->tree);
    openHelp = hwnd;
    return hwnd;
}

bool TranslateHelpMessage(HWND help, MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root == help) {
        HelpWindow* w = From(help);
        if (w && w->accelerators && TranslateAcceleratorW(help, w->accelerators.get(), &msg)) {
            return true;
        }
        return IsDialogMessageW(help, &msg) != FALSE;
    }
    // The caller's dialog waits below this loop; its keys (Tab, Alt+letter) keep working.
    wchar_t cls[16] = {};
    if (root && GetClassNameW(root, cls, 16) && std::wstring_view(cls) == L"#32770") {
        return IsDialogMessageW(root, &msg) != FALSE;
    }
    return false;
}

void RunHelpWindow(HWND help) {
    MSG msg{};
    while (IsWindow(help)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that called us
            break;
        }
        if (got < 0) break;
        if (!TranslateHelpMessage(help, msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

HWND OpenHelpWindow() {
    return openHelp && IsWindow(openHelp) ? openHelp : nullptr;
}

void ShowHelp(const std::wstring& helpFile, std::wstring_view title, HWND caller, int xOffset,
              int yOffset) {
    if (HWND open = OpenHelpWindow()) {
        if (IsIconic(open)) ShowWindow(open, SW_RESTORE);
        SetForegroundWindow(open);
        return;
    }
    // Ctrl+P prints the topic on paper.
    class PaperHost final : public HelpHost {
        void PrintTopic(HWND, const HelpTopic& topic) override {
            print::HelpTextPrint(topic.title, topic.text);
        }
    } paper;
    HWND help = CreateHelpWindow(helpFile, title, caller, xOffset, yOffset, &paper);
    if (help) RunHelpWindow(help);
}

}  // namespace tessaly::help
