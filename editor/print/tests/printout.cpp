// Reading back what the test printers wrote, through Ghostscript and poppler.
#include "editor/print/tests/printout.h"

#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "editor/print/win/printer_calls.h"

namespace tessaly::print::test {
namespace {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Unescape(std::string text) {
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : kEntities) {
        for (size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + 1)) {
            text.replace(at, std::strlen(entity), plain);
        }
    }
    return text;
}

// Movable global memory holding a copy of the bytes.
HGLOBAL GlobalCopy(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GHND, size);
    std::memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    return memory;
}

std::string TempFolder() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

struct PrintDialogAct {
    std::function<void(HWND)> act;
    int runs = 0;
    HWND last = nullptr;  // acted on once: it ends with the button `act` pressed
};
PrintDialogAct printDialogAct;

HWND VisiblePrintDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM p) {
            char title[16] = {};
            GetWindowTextA(hwnd, title, sizeof title);
            if (!IsWindowVisible(hwnd) || std::string(title) != "Print") return TRUE;
            *reinterpret_cast<HWND*>(p) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK LookForPrintDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = VisiblePrintDialog();
    if (!dialog || !IsWindowEnabled(dialog) || dialog == printDialogAct.last) return;
    printDialogAct.last = dialog;
    ++printDialogAct.runs;
    printDialogAct.act(dialog);
}

}  // namespace

InPrintDialog::InPrintDialog(std::function<void(HWND dialog)> act) {
    printDialogAct = {std::move(act), 0};
    timer_ = SetTimer(nullptr, 0, 50, LookForPrintDialog);
}

InPrintDialog::~InPrintDialog() {
    KillTimer(nullptr, timer_);
    printDialogAct = {};
}

int InPrintDialog::runs() const {
    return printDialogAct.runs;
}

void PrintCopies(HWND dialog, int copies) {
    // The copies box of the standard print dialog template (edt3).
    SetDlgItemInt(dialog, 0x482, static_cast<UINT>(copies), FALSE);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

win::Replaced AnswerPrintDialogsWith(const std::string& printer) {
    return printDialog.Replace(
        [printer](PRINTDLGA* dialog) { return AnswerPrintDialog(dialog, printer); });
}

win::Replaced PrintInto(const std::string& path) {
    return startDoc.Replace([path](HDC dc, const DOCINFOA* job) {
        DOCINFOA into = *job;
        into.lpszOutput = path.c_str();
        return StartDocA(dc, &into);
    });
}

BOOL AnswerPrintDialog(PRINTDLGA* dialog, const std::string& printer) {
    std::string name = printer;
    HANDLE handle = nullptr;
    if (!OpenPrinterA(name.data(), &handle, nullptr)) return FALSE;
    const LONG size = DocumentPropertiesA(nullptr, handle, name.data(), nullptr, nullptr, 0);
    std::vector<char> mode(size > 0 ? size : 0);
    if (size > 0) {
        DocumentPropertiesA(nullptr, handle, name.data(), reinterpret_cast<DEVMODEA*>(mode.data()),
                            nullptr, DM_OUT_BUFFER);
    }
    ClosePrinter(handle);
    if (mode.empty()) return FALSE;
    dialog->hDC =
        CreateDCA("WINSPOOL", name.c_str(), nullptr, reinterpret_cast<DEVMODEA*>(mode.data()));
    dialog->hDevMode = GlobalCopy(mode.data(), mode.size());

    // Driver (empty), device and port names after the header.
    const std::string port = "FILE:";
    std::vector<char> names(sizeof(DEVNAMES) + 1 + name.size() + 1 + port.size() + 1);
    auto* header = reinterpret_cast<DEVNAMES*>(names.data());
    header->wDriverOffset = sizeof(DEVNAMES);
    header->wDeviceOffset = header->wDriverOffset + 1;
    header->wOutputOffset = header->wDeviceOffset + name.size() + 1;
    std::memcpy(names.data() + header->wDeviceOffset, name.c_str(), name.size());
    std::memcpy(names.data() + header->wOutputOffset, port.c_str(), port.size());
    dialog->hDevNames = GlobalCopy(names.data(), names.size());
    return TRUE;
}

std::string OutputPath(const std::string& name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path =
        std::string(folder) + "tessaly-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string UnixPath(const std::string& windowsPath) {
    // Wine's own export; the answer lives on the process heap.
    using ToUnix = char*(CDECL*)(const wchar_t*);
    static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) throw std::runtime_error("not running under Wine");
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) throw std::runtime_error("no Linux path for " + windowsPath);
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

void RunUnixProgram(const std::vector<std::string>& argv) {
    // Wine gives no usable process handle for a Linux program, so a shell around it leaves a
    // marker with the exit status when it is done, and we wait for that.
    char markerName[MAX_PATH];
    GetTempFileNameA(TempFolder().c_str(), "tsy", 0, markerName);
    DeleteFileA(markerName);
    const std::string marker = UnixPath(markerName);
    std::string script;
    for (const std::string& arg : argv) script += "'" + arg + "' ";
    script += ">/dev/null 2>&1; echo $? >'" + marker + ".part' && mv '" + marker + ".part' '" +
              marker + "'";
    std::string commandLine = "/bin/sh -c \"" + script + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw std::runtime_error("cannot start " + argv.front());
    }
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    for (int waited = 0; waited < 60000; waited += 20) {
        if (GetFileAttributesA(markerName) != INVALID_FILE_ATTRIBUTES) {
            const std::string status = ReadWholeFile(markerName);
            DeleteFileA(markerName);
            if (status.rfind("0", 0) != 0) throw std::runtime_error(argv.front() + " failed");
            return;
        }
        Sleep(20);
    }
    throw std::runtime_error(argv.front() + " did not finish");
}

std::string ReadJobFile(const std::string& path) {
    return ReadWholeFile(path);
}

Printout ReadPrintout(const std::string& postScriptPath) {
    Printout printout;
    for (int waited = 0; waited < 10000; waited += 20) {
        printout.postScript = ReadWholeFile(postScriptPath);
        if (printout.postScript.find("%%EOF") != std::string::npos) break;
        Sleep(20);
    }
    printout.twoSided = printout.postScript.find("/Duplex true") != std::string::npos;

    const std::string ps = UnixPath(postScriptPath);
    const std::string pdf = postScriptPath + ".pdf", text = postScriptPath + ".txt",
                      boxes = postScriptPath + ".html";
    RunUnixProgram({"/usr/bin/gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pdfwrite",
                    "-sOutputFile=" + UnixPath(pdf), ps});
    RunUnixProgram({"/usr/bin/pdftotext", "-layout", UnixPath(pdf), UnixPath(text)});
    RunUnixProgram({"/usr/bin/pdftotext", "-bbox", UnixPath(pdf), UnixPath(boxes)});

    // pdftotext ends every page with a form feed.
    std::string all = ReadWholeFile(text);
    for (size_t start = 0, end; (end = all.find('\f', start)) != std::string::npos;
         start = end + 1) {
        printout.pages.push_back(all.substr(start, end - start));
    }

    static const std::regex kPageOrWord(
        R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    const std::string html = ReadWholeFile(boxes);
    int page = 0;
    for (std::sregex_iterator it(html.begin(), html.end(), kPageOrWord), end; it != end; ++it) {
        const std::smatch& m = *it;
        if (!m[1].matched) {
            ++page;
            continue;
        }
        printout.words.push_back({page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]),
                                  std::stod(m[4]), Unescape(m[5])});
    }
    for (const std::string& file : {pdf, text, boxes}) DeleteFileA(file.c_str());
    return printout;
}

std::vector<GrayPage> RenderGray(const std::string& postScriptPath, int dpi) {
    const std::string prefix = postScriptPath + "-gray";
    RunUnixProgram({"/usr/bin/gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pgmraw",
                    "-r" + std::to_string(dpi), "-sOutputFile=" + UnixPath(prefix) + "-%d.pgm",
                    UnixPath(postScriptPath)});
    std::vector<GrayPage> pages;
    for (int number = 1;; ++number) {
        const std::string file = prefix + "-" + std::to_string(number) + ".pgm";
        const std::string bytes = ReadWholeFile(file);
        DeleteFileA(file.c_str());
        if (bytes.empty()) break;
        // "P5", width, height, largest value, each maybe after comment lines; one blank, then
        // the bytes.
        std::istringstream header(bytes);
        std::string token;
        std::vector<int> numbers;
        while (numbers.size() < 3 && header >> token) {
            if (token[0] == '#') {
                std::getline(header, token);
            } else if (token != "P5") {
                numbers.push_back(std::stoi(token));
            }
        }
        GrayPage page;
        page.width = numbers.at(0);
        page.height = numbers.at(1);
        const std::size_t start = static_cast<std::size_t>(header.tellg()) + 1;
        page.pixels.assign(bytes.begin() + start, bytes.end());
        page.pixels.resize(static_cast<std::size_t>(page.width) * page.height, 255);
        pages.push_back(std::move(page));
    }
    return pages;
}

std::vector<std::string> RenderPages(const std::string& postScriptPath,
                                     const std::string& pngPrefix, int dpi) {
    RunUnixProgram({"/usr/bin/gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m",
                    "-dTextAlphaBits=4", "-dGraphicsAlphaBits=4", "-r" + std::to_string(dpi),
                    "-sOutputFile=" + pngPrefix + "-%d.png", UnixPath(postScriptPath)});
    std::vector<std::string> written;
    for (int page = 1;; ++page) {
        std::string png = pngPrefix + "-" + std::to_string(page) + ".png";
        std::string windowsPath = "Z:" + png;
        for (char& c : windowsPath) {
            if (c == '/') c = '\\';
        }
        if (GetFileAttributesA(windowsPath.c_str()) == INVALID_FILE_ATTRIBUTES) break;
        written.push_back(png);
    }
    return written;
}

}  // namespace tessaly::print::test
