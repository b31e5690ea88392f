// One way to run a dialog. Its state is a class derived from win::Dialog with one handler,
// OnMessage; one dialog procedure finds the state, calls the handler inside the one exception
// guard, and lets the state go with the window. The layout comes from a resource or from a
// template built in memory, whose controls are then added in pixels:
//
//   class AskName final : public win::Dialog {
//     public:
//       std::string name;
//     private:
//       INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM) override {
//           if (msg == WM_INITDIALOG) {
//               win::AddControl(hwnd, {L"EDIT", L"", WS_TABSTOP, kNameBox, 10, 10, 160, 20});
//               win::AddControl(hwnd, {L"BUTTON", L"Ok", BS_DEFPUSHBUTTON, IDOK, 60, 40, 60, 24});
//               return TRUE;
//           }
//           if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
//               name = win::GetItemText(hwnd, kNameBox);
//               End(IDOK);
//               return TRUE;
//           }
//           return FALSE;
//       }
//   };
//   AskName ask;
//   if (win::RunModal(ask, owner, win::DialogTemplate(WS_POPUP | WS_CAPTION).Title(L"Name")
//                                     .Size(130, 50)) == IDOK) { ... ask.name ... }
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::win {

class Dialog;
class DialogTemplate;
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The state behind one dialog window.
class Dialog {
  public:
    Dialog() = default;
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Set before the handler sees WM_INITDIALOG; null again once the window is gone.
    HWND hwnd = nullptr;

    // Whether it runs in a modal loop of its own (RunModal) rather than beside its caller.
    bool modal() const { return modal_; }
    // Closes it: a modal dialog's RunModal returns `result`; a modeless one is destroyed.
    void End(INT_PTR result);

  protected:
    // Every message from WM_INITDIALOG to WM_NCDESTROY, answered as a dialog procedure answers
    // (TRUE: handled). An exception counts as "not handled"; it never reaches the system.
    virtual INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

  private:
    friend INT_PTR CALLBACK DialogProcedure(HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR RunModal(Dialog&, HWND, const DialogTemplate&);
    friend HWND CreateModeless(std::unique_ptr<Dialog>, HWND, const DialogTemplate&);
    bool modal_ = false;
    bool ownedByWindow_ = false;  // deleted when its window goes
};

// Where a dialog's window comes from: a template among the program's resources, or an empty
// dialog built in memory whose controls its handler adds at WM_INITDIALOG (AddControl).
class DialogTemplate {
  public:
    // An empty dialog of that style.
    explicit DialogTemplate(DWORD style, DWORD exStyle = 0) : style_(style), exStyle_(exStyle) {}
    // The template of that id among the program's resources.
    static DialogTemplate Resource(int id) {
        DialogTemplate t(0);
        t.resourceId_ = id;
        return t;
    }

    // In dialog units; only the size the dialog has before its handler places it.
    DialogTemplate& Size(short cx, short cy);
    DialogTemplate& Title(std::wstring_view title);
    // The dialog's font (DS_SETFONT); its controls take it too.
    DialogTemplate& Font(WORD points, std::wstring_view face);

  private:
    friend INT_PTR RunModal(Dialog&, HWND, const DialogTemplate&);
    friend HWND CreateModeless(std::unique_ptr<Dialog>, HWND, const DialogTemplate&);
    std::vector<WORD> InMemory() const;

    int resourceId_ = 0;
    DWORD style_ = 0, exStyle_ = 0;
    short cx_ = 0, cy_ = 0;
    std::wstring title_;
    WORD points_ = 0;
    std::wstring face_;
};

// Runs the dialog modally over owner and returns what it ended with (-1 when it could not be
// created). The caller keeps the state.
INT_PTR RunModal(Dialog& dialog, HWND owner, const DialogTemplate& from);
// Creates it beside its caller; the window keeps the state and deletes it when it goes. Null
// when the window could not be created or closed itself while it opened (the state is gone).
HWND CreateModeless(std::unique_ptr<Dialog> dialog, HWND owner, const DialogTemplate& from);

// The state of one of these dialogs, or null for any other window.
Dialog* DialogAt(HWND hwnd);
template <class T>
T* DialogOf(HWND hwnd) {
    return dynamic_cast<T*>(DialogAt(hwnd));
}

// A control added to a dialog as it opens, placed in the dialog's client pixels.
struct Control {
    const wchar_t* windowClass;  // L"BUTTON", L"STATIC", WC_TREEVIEWW, ...
    std::wstring_view text;
    DWORD style;  // WS_CHILD and WS_VISIBLE are added
    int id;
    int x, y, width, height;
    DWORD exStyle = 0;
};
// In `font`, or else in the dialog's own font when it has one.
HWND AddControl(HWND dialog, const Control& control, HFONT font = nullptr);

}  // namespace tessaly::win
