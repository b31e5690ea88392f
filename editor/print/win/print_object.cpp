// The print object "cTPrint" over GDI printing, and the factory that creates it by name.
#include "editor/print/win/print_object.h"

#include <winspool.h>

#include <algorithm>
#include <atomic>
#include <new>

#include "editor/print/print_layout.h"
#include "editor/print/win/printer_calls.h"
#include "win/message_box.h"
#include "win/gdi.h"

namespace tessaly::print {

// {bb4c6ca6-5280-4367-b4b1-c46aebc8b08a}
const IID IID_ITPrint = {
    0xbb4c6ca6, 0x5280, 0x4367, {0xb4, 0xb1, 0xc4, 0x6a, 0xeb, 0xc8, 0xb0, 0x8a}};

namespace {

// An open printer, closed when it goes.
using Printer = win::Owned<HANDLE, &ClosePrinter>;

class cTPrint final : public ITPrint {
  public:
    cTPrint() = default;
    cTPrint(const cTPrint&) = delete;
    cTPrint& operator=(const cTPrint&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITPrint)) {
            *object = static_cast<ITPrint*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    std::string STDMETHODCALLTYPE UseDefaultPrinter() override;
    std::string STDMETHODCALLTYPE ChoosePrinter() override;
    void STDMETHODCALLTYPE SetFont(std::string_view face, int points,
                                   std::string_view style) override;
    double STDMETHODCALLTYPE TextWidthInches(std::string_view text) override;
    std::string STDMETHODCALLTYPE FitText(std::string_view text, double inches) override;
    void STDMETHODCALLTYPE SetMargins(double left, double right, double top,
                                      double bottom) override {
        margins_ = {left, right, top, bottom};
    }
    void STDMETHODCALLTYPE GetPageSize(double* width, double* height) override;
    void STDMETHODCALLTYPE GetCharMetrics(double* averageWidth, double* lineHeight) override;
    int STDMETHODCALLTYPE LinesLeft(double y) override;
    int STDMETHODCALLTYPE CanDuplex() override;
    void STDMETHODCALLTYPE SetDuplex(int mode) override;
    void STDMETHODCALLTYPE SetPosition(double x, double y) override { position_ = {x, y}; }
    void STDMETHODCALLTYPE PrintText(std::string_view text, double x, double y) override;
    void STDMETHODCALLTYPE StartDocument(std::string_view name) override;
    void STDMETHODCALLTYPE StartNewPage() override;
    void STDMETHODCALLTYPE EndCurrentPage() override;
    void STDMETHODCALLTYPE EndDocument() override;

  private:
    ~cTPrint();

    // The "auto" calls: the default printer when none is chosen yet. False when there is
    // still no device (no printer installed), and the call does nothing.
    bool HaveDevice() {
        if (!dc()) UseDefaultPrinter();
        return dc() != nullptr;
    }
    HDC dc() const { return device_.get(); }
    DeviceMetrics Metrics() const;
    void UpdateLineHeight();
    void ReleaseDevice();
    void ReportPrinterError(int code);

    std::atomic<ULONG> references_{1};
    win::OwnedDc device_;
    win::Font font_;                  // ours, selected into the device
    HGDIOBJ previousFont_ = nullptr;  // the device's own, put back before ours goes
    double lineHeight_ = 0;
    Margins margins_;
    std::string printerName_;
    win::GlobalMemory settings_;  // the printer's DEVMODE
    Position position_;
    bool documentOpen_ = false;
    // After a job step failed, nothing more goes to the device.
    bool failed_ = false;
};

cTPrint::~cTPrint() {
    if (documentOpen_) abortDoc(device_.get());
    ReleaseDevice();
}

DeviceMetrics cTPrint::Metrics() const {
    return {GetDeviceCaps(dc(), LOGPIXELSX),      GetDeviceCaps(dc(), LOGPIXELSY),
            GetDeviceCaps(dc(), PHYSICALWIDTH),   GetDeviceCaps(dc(), PHYSICALHEIGHT),
            GetDeviceCaps(dc(), PHYSICALOFFSETX), GetDeviceCaps(dc(), PHYSICALOFFSETY),
            GetDeviceCaps(dc(), HORZRES),         GetDeviceCaps(dc(), VERTRES)};
}

void cTPrint::UpdateLineHeight() {
    TEXTMETRICA metrics{};
    const int perInch = dc() ? GetDeviceCaps(dc(), LOGPIXELSY) : 0;
    if (perInch <= 0 || !GetTextMetricsA(dc(), &metrics)) {
        lineHeight_ = 0;
        return;
    }
    lineHeight_ = static_cast<double>(metrics.tmHeight + metrics.tmExternalLeading) / perInch;
}

// The device and the fonts in it go; the settings stay with the object.
void cTPrint::ReleaseDevice() {
    if (device_ && previousFont_) SelectObject(device_.get(), previousFont_);
    font_.reset();
    device_.reset();
    previousFont_ = nullptr;
    documentOpen_ = false;
}

void cTPrint::ReportPrinterError(int code) {
    const char* text = code == 1   ? "Document printing error"
                       : code == 2 ? "Page printing error"
                                   : "Unspecified printer error";
    win::ShowMessage(nullptr, text, "Printer Error", MB_OK | MB_ICONERROR);
}

std::string cTPrint::UseDefaultPrinter() {
    char device[128] = {};
    GetProfileStringA("WINDOWS", "DEVICE", "", device, 127);
    std::string_view entry = device;
    entry = entry.substr(0, entry.find(','));
    const auto first = entry.find_first_not_of(' ');
    entry = first == std::string_view::npos
                ? std::string_view()
                : entry.substr(first, entry.find_last_not_of(' ') - first + 1);
    printerName_ = entry;

    ReleaseDevice();
    settings_.reset();
    HANDLE opened = nullptr;
    if (printerName_.empty() || !OpenPrinterA(printerName_.data(), &opened, nullptr)) {
        return printerName_;
    }
    {
        // The printer and the lock are needed only while the device context is made.
        const Printer printer(opened);
        const LONG size =
            DocumentPropertiesA(nullptr, opened, printerName_.data(), nullptr, nullptr, 0);
        if (size > 0) settings_.reset(GlobalAlloc(GHND, size));
        const win::Locked<DEVMODEA> settings(settings_.get());
        if (settings) {
            DocumentPropertiesA(nullptr, opened, printerName_.data(), settings.get(), nullptr,
                                DM_OUT_BUFFER);
        }
        device_.reset(CreateDCA("WINSPOOL", printerName_.c_str(), nullptr, settings.get()));
    }
    UpdateLineHeight();
    return printerName_;
}

std::string cTPrint::ChoosePrinter() {
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.Flags = PD_RETURNDC | PD_HIDEPRINTTOFILE | PD_NOSELECTION | PD_NOPAGENUMS |
                   PD_USEDEVMODECOPIESANDCOLLATE;
    dialog.nCopies = 0;
    const bool confirmed = printDialog(&dialog);
    win::GlobalMemory chosenSettings(dialog.hDevMode);
    const win::GlobalMemory names(dialog.hDevNames);
    if (confirmed && dialog.hDC) {
        ReleaseDevice();
        device_.reset(dialog.hDC);
        if (const win::Locked<DEVNAMES> locked(names.get()); locked) {
            printerName_ = reinterpret_cast<const char*>(locked.get()) + locked->wDeviceOffset;
        }
    }
    UpdateLineHeight();
    // A cancelled choice keeps no settings.
    settings_ = confirmed ? std::move(chosenSettings) : win::GlobalMemory();
    return printerName_;
}

void cTPrint::SetFont(std::string_view face, int points, std::string_view style) {
    if (!HaveDevice()) return;
    const std::string faceName(face);
    win::Font font = win::MakeOwnedFont(device_.get(), faceName.c_str(), points, style);
    HGDIOBJ replaced = SelectObject(device_.get(), font.get());
    // The font the device had before the first one of ours goes back at the end.
    if (!font_) previousFont_ = replaced;
    font_ = std::move(font);  // the one it replaced is no longer selected: it goes
    UpdateLineHeight();
}

double cTPrint::TextWidthInches(std::string_view text) {
    if (!HaveDevice()) return 0;
    const int perInch = GetDeviceCaps(dc(), LOGPIXELSX);
    return perInch > 0 ? static_cast<double>(win::DcMeasure(dc()).Width(text)) / perInch : 0;
}

std::string cTPrint::FitText(std::string_view text, double inches) {
    if (!HaveDevice()) return {};
    return print::FitText(win::DcMeasure(dc()), GetDeviceCaps(dc(), LOGPIXELSX), text, inches);
}

void cTPrint::GetPageSize(double* width, double* height) {
    *width = *height = 0;
    if (!HaveDevice()) return;
    const DeviceMetrics device = Metrics();
    if (device.pixelsPerInchX <= 0 || device.pixelsPerInchY <= 0) return;
    *width = static_cast<double>(device.physicalWidth) / device.pixelsPerInchX;
    *height = static_cast<double>(device.physicalHeight) / device.pixelsPerInchY;
}

void cTPrint::GetCharMetrics(double* averageWidth, double* lineHeight) {
    *averageWidth = *lineHeight = 0;
    if (!HaveDevice()) return;
    TEXTMETRICA metrics{};
    const int perInch = GetDeviceCaps(dc(), LOGPIXELSX);
    if (perInch > 0 && GetTextMetricsA(dc(), &metrics)) {
        *averageWidth = static_cast<double>(metrics.tmAveCharWidth) / perInch;
    }
    *lineHeight = lineHeight_;
}

int cTPrint::LinesLeft(double y) {
    if (!HaveDevice()) return 0;
    return print::LinesLeft(Metrics(), margins_, lineHeight_, y);
}

int cTPrint::CanDuplex() {
    const win::Locked<DEVMODEA> settings(settings_.get());
    return settings.get() && (settings.get()->dmFields & DM_DUPLEX) ? 1 : 0;
}

void cTPrint::SetDuplex(int mode) {
    if (!settings_ || mode == 0) return;
    const win::Locked<DEVMODEA> settings(settings_.get());
    DEVMODEA* devMode = settings.get();
    if (!devMode || !(devMode->dmFields & DM_DUPLEX) || !dc()) return;
    devMode->dmDuplex = static_cast<short>(mode);
    devMode->dmFields |= DM_DUPLEX;
    // ResetDC puts the device's default font back.
    ResetDCA(dc(), devMode);
    if (font_) SelectObject(dc(), font_.get());
}

void cTPrint::PrintText(std::string_view text, double x, double y) {
    if (!HaveDevice()) return;
    const DeviceMetrics device = Metrics();
    if (device.pixelsPerInchX <= 0 || device.pixelsPerInchY <= 0) return;
    const PlacedLine line =
        PlaceLine(device, margins_, lineHeight_, win::DcMeasure(dc()), position_, text, x, y);
    if (line.draw && !failed_) {
        win::DrawTextAt(dc(), line.px, line.py, line.text);
    }
}

void cTPrint::StartDocument(std::string_view name) {
    if (failed_) return;
    // With no printer at all the job cannot start either, and the user hears so.
    if (!HaveDevice()) {
        ReportPrinterError(1);
        failed_ = true;
        return;
    }
    const std::string documentName(name.substr(0, 63));
    DOCINFOA job{};
    job.cbSize = sizeof job;
    job.lpszDocName = documentName.c_str();
    if (startDoc(dc(), &job) <= 0) {
        ReportPrinterError(1);
        failed_ = true;
        return;
    }
    documentOpen_ = true;
}

void cTPrint::StartNewPage() {
    if (failed_) return;
    if (!dc() || startPage(dc()) <= 0) {
        ReportPrinterError(2);
        // Nothing more goes to this job, and the spooler does not keep it half-open.
        failed_ = true;
        if (documentOpen_ && dc()) abortDoc(dc());
        documentOpen_ = false;
    }
}

void cTPrint::EndCurrentPage() {
    if (!dc() || failed_) return;
    endPage(dc());
}

void cTPrint::EndDocument() {
    if (!dc()) return;
    if (documentOpen_ && !failed_) endDoc(dc());
    documentOpen_ = false;
    ReleaseDevice();
}

}  // namespace

HRESULT CreateObjectByName(std::string_view className, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (className != "cTPrint") return CLASS_E_CLASSNOTAVAILABLE;
    auto* created = new (std::nothrow) cTPrint;
    if (!created) return E_OUTOFMEMORY;
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

win::ComPtr<ITPrint> CreatePrintObject() {
    win::ComPtr<ITPrint> object;
    CreateObjectByName("cTPrint", IID_ITPrint, reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

}  // namespace tessaly::print
