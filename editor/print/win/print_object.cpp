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

// A locked view of a DEVMODE held in movable global memory.
class LockedSettings {
  public:
    explicit LockedSettings(HGLOBAL settings)
        : settings_(settings),
          mode_(settings ? static_cast<DEVMODEA*>(GlobalLock(settings)) : nullptr) {}
    ~LockedSettings() {
        if (mode_) GlobalUnlock(settings_);
    }
    LockedSettings(const LockedSettings&) = delete;
    LockedSettings& operator=(const LockedSettings&) = delete;

    DEVMODEA* get() const { return mode_; }

  private:
    HGLOBAL settings_;
    DEVMODEA* mode_;
};

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
        if (!dc_) UseDefaultPrinter();
        return dc_ != nullptr;
    }
    DeviceMetrics Metrics() const;
    void UpdateLineHeight();
    void ReleaseDevice();
    void ReportPrinterError(int code);

    std::atomic<ULONG> references_{1};
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
    double lineHeight_ = 0;
    Margins margins_;
    std::string printerName_;
    HGLOBAL settings_ = nullptr;
    Position position_;
    bool documentOpen_ = false;
    // After a job step failed, nothing more goes to the device.
    bool failed_ = false;
};

cTPrint::~cTPrint() {
    if (documentOpen_) abortDoc(dc_);
    ReleaseDevice();
    if (settings_) GlobalFree(settings_);
}

DeviceMetrics cTPrint::Metrics() const {
    return {GetDeviceCaps(dc_, LOGPIXELSX),      GetDeviceCaps(dc_, LOGPIXELSY),
            GetDeviceCaps(dc_, PHYSICALWIDTH),   GetDeviceCaps(dc_, PHYSICALHEIGHT),
            GetDeviceCaps(dc_, PHYSICALOFFSETX), GetDeviceCaps(dc_, PHYSICALOFFSETY),
            GetDeviceCaps(dc_, HORZRES),         GetDeviceCaps(dc_, VERTRES)};
}

void cTPrint::UpdateLineHeight() {
    TEXTMETRICA metrics{};
    const int perInch = dc_ ? GetDeviceCaps(dc_, LOGPIXELSY) : 0;
    if (perInch <= 0 || !GetTextMetricsA(dc_, &metrics)) {
        lineHeight_ = 0;
        return;
    }
    lineHeight_ = static_cast<double>(metrics.tmHeight + metrics.tmExternalLeading) / perInch;
}

// The device and the fonts in it go; the settings stay with the object.
void cTPrint::ReleaseDevice() {
    if (dc_ && previousFont_) SelectObject(dc_, previousFont_);
    if (font_) DeleteObject(font_);
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
    font_ = nullptr;
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
    if (settings_) settings_ = GlobalFree(settings_);
    HANDLE printer = nullptr;
    if (printerName_.empty() || !OpenPrinterA(printerName_.data(), &printer, nullptr)) {
        return printerName_;
    }
    // The printer handle and the lock are needed only while the device context is made.
    const LONG size =
        DocumentPropertiesA(nullptr, printer, printerName_.data(), nullptr, nullptr, 0);
    if (size > 0) settings_ = GlobalAlloc(GHND, size);
    {
        LockedSettings settings(settings_);
        if (settings.get()) {
            DocumentPropertiesA(nullptr, printer, printerName_.data(), settings.get(), nullptr,
                                DM_OUT_BUFFER);
        }
        dc_ = CreateDCA("WINSPOOL", printerName_.c_str(), nullptr, settings.get());
    }
    ClosePrinter(printer);
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
    if (confirmed && dialog.hDC) {
        ReleaseDevice();
        dc_ = dialog.hDC;
        if (auto* names = static_cast<DEVNAMES*>(GlobalLock(dialog.hDevNames))) {
            printerName_ = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
            GlobalUnlock(dialog.hDevNames);
        }
    }
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    UpdateLineHeight();
    if (settings_) GlobalFree(settings_);
    settings_ = confirmed ? dialog.hDevMode : nullptr;
    if (!confirmed && dialog.hDevMode) GlobalFree(dialog.hDevMode);
    return printerName_;
}

void cTPrint::SetFont(std::string_view face, int points, std::string_view style) {
    if (!HaveDevice()) return;
    const std::string faceName(face);
    HFONT font = win::MakeFont(dc_, faceName.c_str(), points, style);
    HGDIOBJ replaced = SelectObject(dc_, font);
    // The font the device had before the first one of ours goes back at the end.
    if (font_) {
        DeleteObject(font_);
    } else {
        previousFont_ = replaced;
    }
    font_ = font;
    UpdateLineHeight();
}

double cTPrint::TextWidthInches(std::string_view text) {
    if (!HaveDevice()) return 0;
    const int perInch = GetDeviceCaps(dc_, LOGPIXELSX);
    return perInch > 0 ? static_cast<double>(win::DcMeasure(dc_).Width(text)) / perInch : 0;
}

std::string cTPrint::FitText(std::string_view text, double inches) {
    if (!HaveDevice()) return {};
    return print::FitText(win::DcMeasure(dc_), GetDeviceCaps(dc_, LOGPIXELSX), text, inches);
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
    const int perInch = GetDeviceCaps(dc_, LOGPIXELSX);
    if (perInch > 0 && GetTextMetricsA(dc_, &metrics)) {
        *averageWidth = static_cast<double>(metrics.tmAveCharWidth) / perInch;
    }
    *lineHeight = lineHeight_;
}

int cTPrint::LinesLeft(double y) {
    if (!HaveDevice()) return 0;
    return print::LinesLeft(Metrics(), margins_, lineHeight_, y);
}

int cTPrint::CanDuplex() {
    LockedSettings settings(settings_);
    return settings.get() && (settings.get()->dmFields & DM_DUPLEX) ? 1 : 0;
}

void cTPrint::SetDuplex(int mode) {
    if (!settings_ || mode == 0) return;
    LockedSettings settings(settings_);
    DEVMODEA* devMode = settings.get();
    if (!devMode || !(devMode->dmFields & DM_DUPLEX) || !dc_) return;
    devMode->dmDuplex = static_cast<short>(mode);
    devMode->dmFields |= DM_DUPLEX;
    // ResetDC puts the device's default font back.
    ResetDCA(dc_, devMode);
    if (font_) SelectObject(dc_, font_);
}

void cTPrint::PrintText(std::string_view text, double x, double y) {
    if (!HaveDevice()) return;
    const DeviceMetrics device = Metrics();
    if (device.pixelsPerInchX <= 0 || device.pixelsPerInchY <= 0) return;
    const PlacedLine line =
        PlaceLine(device, margins_, lineHeight_, win::DcMeasure(dc_), position_, text, x, y);
    if (line.draw && !failed_) {
        win::DrawTextAt(dc_, line.px, line.py, line.text);
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
    if (startDoc(dc_, &job) <= 0) {
        ReportPrinterError(1);
        failed_ = true;
        return;
    }
    documentOpen_ = true;
}

void cTPrint::StartNewPage() {
    if (failed_) return;
    if (!dc_ || startPage(dc_) <= 0) {
        ReportPrinterError(2);
        // Nothing more goes to this job, and the spooler does not keep it half-open.
        failed_ = true;
        if (documentOpen_ && dc_) abortDoc(dc_);
        documentOpen_ = false;
    }
}

void cTPrint::EndCurrentPage() {
    if (!dc_ || failed_) return;
    endPage(dc_);
}

void cTPrint::EndDocument() {
    if (!dc_) return;
    if (documentOpen_ && !failed_) endDoc(dc_);
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
