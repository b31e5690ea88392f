// RAII holders for the system's handles and GDI objects, so every early return frees them.
#pragma once

#include <windows.h>

#include <utility>

namespace tessaly::win {

// A kernel handle (file, mutex, timer, ...). Both null and INVALID_HANDLE_VALUE mean none, since
// CreateFile reports failure with one and the other creators with the other.
class Handle {
  public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return valid(); }
    void reset(HANDLE h = nullptr) {
        if (valid()) CloseHandle(h_);
        h_ = h;
    }

  private:
    HANDLE h_ = nullptr;
};

// A GDI object made by us (font, brush, pen, bitmap), deleted with DeleteObject. It must no
// longer be selected into a DC by then: hold it longer than any SelectedObject of it.
template <typename T>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(T object = nullptr) {
        if (object_ != nullptr) DeleteObject(object_);
        object_ = object;
    }

  private:
    T object_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

// An icon we loaded or made ourselves (not a shared one, which the system frees).
class Icon {
  public:
    Icon() = default;
    explicit Icon(HICON icon) : icon_(icon) {}
    ~Icon() { reset(); }
    Icon(Icon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    Icon& operator=(Icon&& other) noexcept {
        if (this != &other) {
            reset();
            icon_ = std::exchange(other.icon_, nullptr);
        }
        return *this;
    }
    HICON get() const { return icon_; }
    explicit operator bool() const { return icon_ != nullptr; }
    void reset(HICON icon = nullptr) {
        if (icon_ != nullptr) DestroyIcon(icon_);
        icon_ = icon;
    }

  private:
    HICON icon_ = nullptr;
};

// A window's DC for one operation (GetDC / ReleaseDC).
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// A memory DC compatible with another (CreateCompatibleDC / DeleteDC).
class MemoryDc {
  public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it goes.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), old_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace tessaly::win
